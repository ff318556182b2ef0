#include "items/TabulonWnd1.h"

#include <algorithm>

#include "base/TextTrim.h"
#include "items/PaneLayout.h"

namespace tabulon {

namespace {
constexpr Colour kFlashColour = 0xE1FFFF;
constexpr Colour kWhite = 0xFFFFFF;

CGridCellCheckBox* CheckBoxOf(const CGridCtrl& grid, int row) {
    return dynamic_cast<CGridCellCheckBox*>(grid.GetCell(row, 0));
}
}  // namespace

void CTabulonWnd1::OnInitialUpdate(IDesktop* desktop) {
    if (m_grid) return;
    m_grid = std::make_unique<CGridCtrl>(0, 0, 0, 0, desktop);
    pane::SetUpPaneGrid(*m_grid, "New items");
    m_grid->SetFrame(&m_frame);
}

void CTabulonWnd1::NumberColumnHeadings() {
    if (!m_grid) return;
    for (int c = 1; c < m_grid->GetColumnCount(); ++c) m_grid->SetCellText(0, c, "Col " + std::to_string(c));
}

void CTabulonWnd1::FitNewItemsColumns() {
    if (m_grid) pane::FitColumns(*m_grid);
}

void CTabulonWnd1::MakeCheckCell(int row) {
    if (!m_grid) return;
    if (IGridWindow* window = m_grid->GetWindow()) window->InvalidateAll();
    m_grid->SetCellType(row, 0, CGridCellCheckBox::Class());
}

int CTabulonWnd1::CountCheckedItems() const {
    if (!m_grid) return 0;
    int count = 0;
    for (int r = 1; r < m_grid->GetRowCount(); ++r) {
        const CGridCellCheckBox* box = CheckBoxOf(*m_grid, r);
        if (box && box->GetCheck()) ++count;
    }
    return count;
}

void CTabulonWnd1::CheckAllItems(bool checked) {
    if (!m_grid) return;
    // Each toggle would repaint the whole grid; the caller repaints once.
    const bool drawing = m_grid->IsRedrawAllowed();
    m_grid->SetRedraw(false);
    for (int r = 1; r < m_grid->GetRowCount(); ++r)
        if (CGridCellCheckBox* box = CheckBoxOf(*m_grid, r); box && box->GetCheck() != checked) box->SetCheck(checked);
    if (drawing) m_grid->SetRedraw(true);
}

bool CTabulonWnd1::FindEmptyCheckedItem() {
    if (!m_grid) return false;
    for (int r = 1; r < m_grid->GetRowCount(); ++r) {
        const CGridCellCheckBox* box = CheckBoxOf(*m_grid, r);
        if (!box || !box->GetCheck() || !Trim(m_grid->GetCellText(r, 1)).empty()) continue;
        m_grid->SetCellBackColour(r, 1, kFlashColour);
        m_grid->SetFocusCell(r, 1);
        m_grid->EnsureVisible(r, 1);  // the message points at it: it must be in view
        m_grid->Refresh();
        m_frame.Messages().Show("Checked item with first cell empty found!", "Cell", MbIcon::Information,
                                MbButtons::Ok);
        m_grid->SetCellBackColour(r, 1, kWhite);
        m_grid->Refresh();
        return true;
    }
    return false;
}

void CTabulonWnd1::SortByAllColumns() {
    if (m_grid) pane::SortByAllColumns(*m_grid, false);
}

void CTabulonWnd1::MoveColumn(int from, int to) {
    if (!m_grid || !pane::MoveDataColumn(*m_grid, from, to, false)) return;
    NumberColumnHeadings();
    FitNewItemsColumns();
}

void CTabulonWnd1::AddItemFromText(const std::string& text, const std::string& separator, int row) {
    if (!m_grid || row < 0) return;
    const char sep = separator.size() == 1 ? separator[0] : '\0';
    const int k = separator.size() == 1 ? static_cast<int>(std::count(text.begin(), text.end(), sep)) : 0;
    const int columns = m_grid->GetColumnCount();
    // Headings are numbered once all the new columns are in: a long line
    // would otherwise renumber them all for every column it adds.
    int added = 0;
    while (added < k - columns + 2 && pane::AppendDataColumn(*m_grid) >= 0) ++added;
    if (added > 0) NumberColumnHeadings();
    if (added < k - columns + 2) return;
    if (row >= m_grid->GetRowCount()) {
        row = m_grid->InsertRow("", -1);
        if (row < 0) return;
        MakeCheckCell(row);
        if (CGridCellCheckBox* box = CheckBoxOf(*m_grid, row)) box->SetCheck(true);
    }
    if (k == 0) {
        pane::SetItemCell(*m_grid, row, 1, text);
        return;
    }
    std::size_t start = 0;
    for (int field = 0; field <= k; ++field) {
        const std::size_t end = field < k ? text.find(sep, start) : text.size();
        const std::string_view piece = std::string_view(text).substr(start, end - start);
        pane::SetItemCell(*m_grid, row, field + 1, Trim(piece));
        start = end + 1;
    }
}

}  // namespace tabulon
