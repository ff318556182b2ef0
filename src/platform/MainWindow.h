#pragma once
// The main window as the system sees it: its title, the check marks of the
// two grid-line menu items, and closing it once the save prompts are past.

#include <string>

#include "platform/DrawingTypes.h"

namespace tabulon {

class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string GetTitle() const = 0;
    virtual bool IsGridLineChecked(bool horizontal) const = 0;
    virtual void SetGridLineChecked(bool horizontal, bool checked) = 0;
    // Closes the window and ends the program without asking again; the
    // caller has passed the save prompts. Hosts without a window ignore it.
    virtual void CloseWindow() {}
    // The window on the screen, frame included (right and bottom one past
    // it); empty for hosts without a window.
    virtual Rect GetWindowRect() const { return {}; }
    // The screen y below the window's bars at the top (menu, toolbar and
    // the find bar, open or not); 0 for hosts without a window.
    virtual int GetBarsBottom() const { return 0; }
    // Says in the status bar what a command has done, until the bar shows
    // something else. Hosts without a window ignore it.
    virtual void SetStatusText(const std::string& text) { (void)text; }
    // Opens the find bar on the pane given ('Database' or 'New items'), its
    // field ready for typing. Hosts without a window ignore it.
    virtual void ShowFindBar(bool databasePane) { (void)databasePane; }
    // The columns of a pane ('Database' or 'New items') changed, or their
    // names: what lists them (the find bar's choice) follows. Hosts without
    // a window ignore it.
    virtual void ColumnsChanged(bool databasePane) { (void)databasePane; }
    // A command has begun (busy) or ended: meanwhile the window shows that
    // the program is busy (the wait cursor), except over the questions the
    // command asks. Calls nest.
    virtual void SetBusy(bool busy) { (void)busy; }
    // The desktop's clipboard, as UTF-8 text ("" when it holds none). Hosts
    // without one keep nothing.
    virtual std::string GetClipboardText() const { return {}; }
    virtual void SetClipboardText(const std::string& text) { (void)text; }
};

// The window is busy while one lives.
class CBusyWindow {
public:
    explicit CBusyWindow(IMainWindow& window) : m_window(window) { m_window.SetBusy(true); }
    ~CBusyWindow() { m_window.SetBusy(false); }
    CBusyWindow(const CBusyWindow&) = delete;
    CBusyWindow& operator=(const CBusyWindow&) = delete;

private:
    IMainWindow& m_window;
};

}  // namespace tabulon
