#pragma once
// The main window as the system sees it: its title and the check marks of
// the two grid-line menu items.

#include <string>

namespace tabulon {

class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string GetTitle() const = 0;
    virtual bool IsGridLineChecked(bool horizontal) const = 0;
    virtual void SetGridLineChecked(bool horizontal, bool checked) = 0;
};

}  // namespace tabulon
