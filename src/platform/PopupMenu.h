#pragma once
// Right-button menus: the system builds the items, the host shows them at
// the mouse pointer and answers the command chosen.

#include <string>
#include <vector>

namespace tabulon {

struct MenuItem {
    int id = 0;  // 0 with an empty text: a separator
    std::string text;
    std::string prompt;  // shown in the status bar while highlighted
    bool grayed = false;
    bool checked = false;
    // The letter of text underlined for the keyboard; 0 for none.
    char mnemonic = 0;
    static MenuItem Separator() { return {}; }
    bool IsSeparator() const { return id == 0 && text.empty(); }
};

// Gives each item of a menu a letter of its own for the keyboard: the first
// letter of a word where it is still free, else any free letter of its text.
void GiveMnemonics(std::vector<MenuItem>& items);

class IPopupMenuHost {
public:
    virtual ~IPopupMenuHost() = default;
    // Shows the menu at the pointer and waits; the chosen item's id, or 0
    // when the menu was closed without a choice. Greyed items cannot be chosen.
    virtual int ShowPopupMenu(const std::vector<MenuItem>& items) = 0;
};

}  // namespace tabulon
