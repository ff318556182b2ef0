#pragma once
// A right-button menu host that records each menu shown and answers the
// command a test chose (0: the menu is closed without a choice).

#include <vector>

#include "platform/PopupMenu.h"

namespace tabulon::fakes {

class ScriptedPopupMenu : public IPopupMenuHost {
public:
    int ShowPopupMenu(const std::vector<MenuItem>& items) override {
        menus.push_back(items);
        for (const auto& item : items)
            if (item.id == choose && !item.grayed) return choose;
        return 0;
    }
    const MenuItem* Item(int id) const {
        if (menus.empty()) return nullptr;
        for (const auto& item : menus.back())
            if (item.id == id) return &item;
        return nullptr;
    }

    int choose = 0;
    std::vector<std::vector<MenuItem>> menus;
};

}  // namespace tabulon::fakes
