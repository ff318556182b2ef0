#include "app/MainFrame.h"

#include "items/ColumnCommands.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon {

void CMainFrame::MarkConfigurationModified() {
    // Rebuilt from the file name each time, so the mark never doubles.
    if (IsConfigurationOpen()) SetWindowText("Tabulon - " + m_config.cfgfile + "*");
}

void CMainFrame::ApplyGridLines(bool vertical, bool horizontal) {
    m_window.SetGridLineChecked(false, vertical);
    m_window.SetGridLineChecked(true, horizontal);
    const int mode = (horizontal ? 1 : 0) + (vertical ? 2 : 0);
    for (CGridCtrl* grid : {GetNewItemsGrid(), GetDatabaseGrid()})
        if (grid) grid->SetGridLines(mode);
}

void CMainFrame::OnGridLinesHorizontal() {
    const bool horizontal = IsGridLineChecked(true);
    const bool vertical = IsGridLineChecked(false);
    MarkConfigurationModified();
    ApplyGridLines(vertical, !horizontal);
}

void CMainFrame::OnGridLinesVertical() {
    const bool horizontal = IsGridLineChecked(true);
    const bool vertical = IsGridLineChecked(false);
    MarkConfigurationModified();
    ApplyGridLines(!vertical, horizontal);
}

void CMainFrame::OnMenuOpening() {
    // Only one grid edits at a time; asking both never misses it.
    for (CGridCtrl* grid : {GetNewItemsGrid(), GetDatabaseGrid()})
        if (grid && grid->IsEditing()) grid->EndEditing();
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

void CMainFrame::MoveColumnInActivePane(int from, int to) { MoveColumnInPane(*this, m_databaseActive, from, to); }

void CMainFrame::OnGridContextMenu(int row, int col) {
    // A host without menus or dialogs (batch mode) has nothing to show.
    if (!m_popupMenus || !m_dialogs) return;
    tabulon::OnGridContextMenu(*this, *m_popupMenus, *m_dialogs, m_databaseActive, row, col);
}

void CMainFrame::ResetNumberColumnWidths() {
    for (CGridCtrl* grid : {GetNewItemsGrid(), GetDatabaseGrid()}) {
        if (!grid || grid->GetColumnCount() == 0) continue;
        // Measured once: it takes a screen context, and this runs after every click.
        const int width = pane::NumberColumnWidth(*grid);
        if (grid->GetColumnWidth(0) == width) continue;
        grid->SetColumnWidth(0, width);
        grid->ResetScrollBars();
        grid->Refresh();
    }
}

CGridCtrl* CMainFrame::GetNewItemsGrid() const {
    if (m_newItemsGrid) return m_newItemsGrid;
    return m_newItemsPane ? m_newItemsPane->GetGrid() : nullptr;
}

}  // namespace tabulon
