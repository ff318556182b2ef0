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

    void SetBusy(bool on) override { busy += on ? 1 : -1; }
    void SetStatusText(const std::string& text) override { status = text; }
    void ColumnsChanged(bool databasePane) override { ++columnsChanged[databasePane]; }
    std::string GetClipboardText() const override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }

    std::string title = "Tabulon";
    int busy = 0;  // how deep in commands
    std::string status;
    std::string clipboard;
    int columnsChanged[2] = {0, 0};  // told of 'New items', of 'Database'
    bool horizontalChecked = true;
    bool verticalChecked = true;
};

}  // namespace tabulon::fakes
