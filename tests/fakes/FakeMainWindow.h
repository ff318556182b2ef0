#pragma once

#include <string>

#include "platform/MainWindow.h"

namespace tabulon::fakes {

class FakeMainWindow : public IMainWindow {
public:
    void SetTitle(const std::string& t) override { title = t; }
    std::string GetTitle() const override { return title; }
    bool IsGridLineChecked(bool horizontal) const override { return horizontal ? horizontalChecked : verticalChecked; }
    void SetGridLineChecked(bool horizontal, bool checked) override {
        (horizontal ? horizontalChecked : verticalChecked) = checked;
    }

    std::string title = "Tabulon";
    bool horizontalChecked = true;
    bool verticalChecked = true;
};

}  // namespace tabulon::fakes
