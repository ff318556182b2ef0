// Cut, Copy, Copy item and Paste: the active pane's focus cell and the
// desktop's clipboard.

#include <string>

#include "app/MainFrame.h"
#include "items/PasteItems.h"

namespace tabulon {

void CMainFrame::OnCopy(bool wholeItem) {
    std::string text;
    if (!(wholeItem ? CopyFocusItem(*this, m_databaseActive, text) : CopyFocusCell(*this, m_databaseActive, text))) {
        SayDone(wholeItem ? "No item to copy: click a cell of the item first" : "No cell to copy: click a cell first");
        return;
    }
    m_hosts.window.SetClipboardText(text);
}

void CMainFrame::OnCut() {
    std::string text;
    // On the clipboard before the cell is emptied, so that nothing is lost
    // when memory runs out between the two.
    if (!CopyFocusCell(*this, m_databaseActive, text)) {
        SayDone("No cell to cut: click a cell first");
        return;
    }
    m_hosts.window.SetClipboardText(text);
    CutFocusCell(*this, m_databaseActive, text);
}

void CMainFrame::OnPaste() {
    const std::string text = m_hosts.window.GetClipboardText();
    if (text.empty()) {
        SayDone("The clipboard holds no text to paste");
        return;
    }
    PasteIntoPane(*this, m_databaseActive, text);
    if (CGridCtrl* grid = PaneGrid(m_databaseActive)) grid->Refresh();
}

}  // namespace tabulon
