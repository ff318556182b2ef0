#include "items/TabulonWnd2.h"

#include <algorithm>
#include <string>

#include "config/ConfigTitle.h"
#include "items/PaneLayout.h"

namespace tabulon {

void CTabulonWnd2::OnInitialUpdate(IDesktop* desktop) {
    if (m_grid) return;
    m_grid = std::make_unique<CGridCtrl>(0, 0, 0, 0, desktop);
    pane::SetUpPaneGrid(*m_grid, kDatabaseCorner);
    m_grid->SetFrame(&m_frame);
}

void CTabulonWnd2::FitDatabaseColumns() {
    if (m_grid) pane::FitColumns(*m_grid);
}

void CTabulonWnd2::NumberItemRows(int first, int last) {
    if (!m_grid) return;
    first = std::max(first, 0);
    last = std::min(last, m_grid->GetRowCount() - 1);
    // The numbers follow from the rows: made anew after any step is taken back.
    const CGridCtrl::CUnrecorded numbers(*m_grid);
    m_grid->NumberRows(0, first, last);
}

void CTabulonWnd2::SortByAllColumns() {
    if (!m_grid) return;
    pane::SortByAllColumns(*m_grid, true);
    NumberItemRows(1, m_grid->GetRowCount() - 1);
}

void CTabulonWnd2::ClearDatabase() {
    if (!m_grid) return;
    m_grid->DeleteNonFixedRows();
    // From the last: taking the first each time would move every later
    // column along, which on a line of 400,000 fields never ends.
    for (int col = m_grid->GetColumnCount() - 1; col >= 1; --col) m_grid->DeleteColumn(col);
}

void CTabulonWnd2::MoveColumn(int from, int to) {
    if (!m_grid || !pane::MoveDataColumn(*m_grid, from, to, true)) return;
    FitDatabaseColumns();
    // Saving only one of the two files would pair the names with the wrong
    // fields: the configuration is marked too, as the moved columns mark the
    // Database.
    m_frame.MarkConfigurationModified();
}

bool CTabulonWnd2::IsDatabaseModified() const { return m_grid && m_grid->GetCellText(0, 0) == kModifiedDatabaseCorner; }

void CTabulonWnd2::SetDatabaseModified(bool modified) {
    if (!m_grid) return;
    // The mark follows the steps taken back and done again, not the other way round.
    const CGridCtrl::CUnrecorded mark(*m_grid);
    m_grid->SetCellText(0, 0, modified ? kModifiedDatabaseCorner : kDatabaseCorner);
    m_grid->RedrawCell(0, 0);
}

}  // namespace tabulon
