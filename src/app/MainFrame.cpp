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

void CMainFrame::SortActivePaneByAllColumns() {
    if (m_databaseActive) {
        if (m_databasePane) m_databasePane->SortByAllColumns();
    } else if (m_newItemsPane) {
        m_newItemsPane->SortByAllColumns();
    }
}

void CMainFrame::NumberDatabaseItemRows() {
    if (CGridCtrl* grid = GetDatabaseGrid(); grid && m_databasePane)
        m_databasePane->NumberItemRows(1, grid->GetRowCount() - 1);
}

void CMainFrame::OnDatabaseEditEnded(CGridCtrl&, CellId focus) {
    CGridCtrl* database = GetDatabaseGrid();
    if (!database) return;
    if (m_databasePane) m_databasePane->SetDatabaseModified(true);
    NumberDatabaseItemRows();
    database->SetFocusCell(focus);
    database->Refresh();
}

void CMainFrame::OnGridCellChanged(CGridCtrl& grid, int row, int col) {
    // Any item cell of 'Database' changed by hand is an unsaved change,
    // whatever column the focus ends in.
    if (&grid != GetDatabaseGrid() || row < grid.GetFixedRowCount() || col < grid.GetFixedColumnCount()) return;
    if (m_databasePane) m_databasePane->SetDatabaseModified(true);
}

void CMainFrame::ResetNumberColumnWidths() {
    for (CGridCtrl* grid : {GetNewItemsGrid(), GetDatabaseGrid()})
        if (grid && grid->GetColumnCount() > 0 && grid->GetColumnWidth(0) != 60) {
            grid->SetColumnWidth(0, 60);
            grid->ResetScrollBars();
            grid->Refresh();
        }
}

CGridCtrl* CMainFrame::GetNewItemsGrid() const {
    if (m_newItemsGrid) return m_newItemsGrid;
    return m_newItemsPane ? m_newItemsPane->GetGrid() : nullptr;
}

}  // namespace tabulon
