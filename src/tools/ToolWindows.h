#pragma once
// The main window's two modeless tool windows, 'Find dublicate' and
// 'Replace': each exists at most once, opens beside the main window on its
// command, comes to the front on the next one, and goes when it is closed.
// The main window keeps one of these and passes its commands and column
// changes on to it.

#include <memory>

#include "tools/FindDuplicateDlg.h"
#include "tools/ReplaceDlg.h"
#include "tools/ToolFrame.h"

namespace tabulon {

class CToolWindows {
public:
    CToolWindows(IToolFrame& frame, IMessageBox& messages, IDialogHost& dialogs, IProgressHost& progress)
        : m_context{frame, messages, dialogs, progress} {}
    // Windows still open go with their owner.
    ~CToolWindows();
    CToolWindows(const CToolWindows&) = delete;
    CToolWindows& operator=(const CToolWindows&) = delete;

    // "Find dublicate..": opens the window, or brings the open one to the front.
    void OnFindDuplicate();
    // "Replace..": the same for 'Replace'.
    void OnReplace();

    // The columns of 'Database' may have changed (loaded, inserted, deleted,
    // cleared): the open windows that describe them show them afresh.
    void OnDatabaseColumnsChanged();
    // The same for 'New items'.
    void OnNewItemsColumnsChanged();

    // The open windows, or none.
    CFindDuplicateDlg* FindDuplicateDlg() const { return m_pFindDuplicateDlg.get(); }
    CReplaceDlg* ReplaceDlg() const { return m_pReplaceDlg.get(); }

private:
    ToolContext m_context;
    std::unique_ptr<CFindDuplicateDlg> m_pFindDuplicateDlg;
    std::unique_ptr<CReplaceDlg> m_pReplaceDlg;
};

}  // namespace tabulon
