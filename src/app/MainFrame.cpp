#include "app/MainFrame.h"

#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon {

void CMainFrame::MarkConfigurationModified() {
    // Rebuilt from the file name each time, so the mark never doubles.
    if (IsConfigurationOpen()) SetWindowText("Tabulon - " + m_config.cfgfile + "*");
}

CGridCtrl* CMainFrame::GetDatabaseGrid() const {
    if (m_databaseGrid) return m_databaseGrid;
    return m_databasePane ? m_databasePane->GetGrid() : nullptr;
}

CGridCtrl* CMainFrame::GetNewItemsGrid() const {
    if (m_newItemsGrid) return m_newItemsGrid;
    return m_newItemsPane ? m_newItemsPane->GetGrid() : nullptr;
}

}  // namespace tabulon
