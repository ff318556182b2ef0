// Which cells are selected and which one has the focus. The selected cells
// are kept in a set beside the table, so that a selection is cleared without
// visiting every cell.

#include <algorithm>

#include "grid/GridCtrl.h"

namespace tabulon {

void CGridCtrl::AddCell(CellSet& set, CellId cell) { set[CellKey(cell.row, cell.col)] = cell; }

void CGridCtrl::EraseCell(CellSet& set, CellId cell) { set.erase(CellKey(cell.row, cell.col)); }

bool CGridCtrl::IsCellSelected(int row, int col) const {
    if (!m_enableSelection) return false;
    CGridCellBase* cell = PeekCell(row, col);  // a pending cell is never selected
    return cell && cell->IsSelected();
}

bool CGridCtrl::IsCellEditable(int row, int col) const {
    if (!IsValidCell(row, col)) return false;
    CGridCellBase* cell = PeekCell(row, col);
    if (!cell) return m_editable && !(GetCellState(row, col) & CellState::kReadOnly);
    return m_editable && !cell->IsReadOnly();
}

void CGridCtrl::RedrawHeadingsOf(CellId cell) {
    for (int r = 0; r < m_table.FixedRows(); ++r) RedrawCell(r, cell.col);
    for (int c = 0; c < m_table.FixedCols(); ++c) RedrawCell(cell.row, c);
}

CellId CGridCtrl::SetFocusCell(int row, int col) {
    const CellId previous = m_focus;
    if (previous == CellId(row, col)) return previous;
    if (row >= 0 && row < m_table.FixedRows()) row = m_table.FixedRows();
    if (col >= 0 && col < m_table.FixedCols()) col = m_table.FixedCols();
    m_focus = CellId(row, col);
    if (IsValidCell(previous.row, previous.col)) {
        SendMessageToParent(previous.row, previous.col, GridNotify::kFocusLeaving);
        CGridCellBase* cell = GetCell(previous.row, previous.col);
        cell->SetState(cell->GetState() & ~CellState::kFocused);
        RedrawCell(previous.row, previous.col);
        if (m_trackFocusCell) {
            if (previous.col != m_focus.col)
                for (int r = 0; r < m_table.FixedRows(); ++r) RedrawCell(r, previous.col);
            if (previous.row != m_focus.row)
                for (int c = 0; c < m_table.FixedCols(); ++c) RedrawCell(previous.row, c);
        }
    }
    if (IsValidCell(m_focus.row, m_focus.col)) {
        CGridCellBase* cell = GetCell(m_focus.row, m_focus.col);
        cell->SetState(cell->GetState() | CellState::kFocused);
        RedrawCell(m_focus.row, m_focus.col);
        if (m_trackFocusCell) RedrawHeadingsOf(m_focus);
        SendMessageToParent(m_focus.row, m_focus.col, GridNotify::kFocusArriving);
    }
    if (m_window) m_window->FocusCellChanged(m_focus.row, m_focus.col);
    return previous;
}

void CGridCtrl::ResetSelection() {
    m_previousSelected.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
}

void CGridCtrl::EnableSelection(bool on) {
    ResetSelection();
    m_enableSelection = on;
    ResetSelection();
}

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint, bool select) {
    if (!m_enableSelection) return;
    const auto intoData = [](int& index, int fixed) {
        if (index >= 0 && index < fixed) index = fixed;
    };
    intoData(minRow, m_table.FixedRows());
    intoData(maxRow, m_table.FixedRows());
    intoData(minCol, m_table.FixedCols());
    intoData(maxCol, m_table.FixedCols());
    const CellRange range(minRow, minCol, maxRow, maxCol);
    std::unique_ptr<IDeviceContext> dc;
    if (forceRepaint && m_window) dc = m_window->GetDC();
    const auto redraw = [&](int r, int c) {
        if (!m_window || !m_allowDraw) return;
        if (dc) {
            RedrawCell(r, c, dc.get());
            return;
        }
        Rect rect;
        if (GetCellRect(r, c, rect)) m_window->InvalidateRect({rect.left, rect.top, rect.right + 1, rect.bottom + 1});
    };

    if (select) {
        CellSet old;
        old.swap(m_selected);
        for (const auto& [key, id] : old) {
            CGridCellBase* cell = GetCell(id.row, id.col);
            if (!cell) continue;
            cell->SetState(cell->GetState() & ~CellState::kSelected);
            if (!range.Contains(id.row, id.col)) redraw(id.row, id.col);
        }
        if (!(m_listMode && m_singleRowSelection) && minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0) {
            for (const auto& [key, id] : m_previousSelected) {
                if (!IsValidCell(id.row, id.col)) continue;
                SetCellState(id.row, id.col, GetCellState(id.row, id.col) | CellState::kSelected);
                redraw(id.row, id.col);
            }
        }
    }
    if (range.IsValid() && range.maxRow < m_table.Rows() && range.maxCol < m_table.Cols()) {
        for (int r = range.minRow; r <= range.maxRow; ++r)
            for (int c = range.minCol; c <= range.maxCol; ++c) {
                const CellStates state = GetCellState(r, c);
                const bool selected = static_cast<bool>(state & CellState::kSelected);
                if (select && !selected) {
                    SetCellState(r, c, state | CellState::kSelected);
                    redraw(r, c);
                } else if (!select && selected) {
                    SetCellState(r, c, state & ~CellState::kSelected);
                    redraw(r, c);
                }
            }
    }
}

void CGridCtrl::SelectAllCells() {
    SetSelectedRange(m_table.FixedRows(), m_table.FixedCols(), m_table.Rows() - 1, m_table.Cols() - 1);
}

void CGridCtrl::SelectRows(CellId cell) {
    if (!IsValidCell(cell.row, cell.col) || cell.row < m_table.FixedRows()) return;
    if (m_listMode && m_singleRowSelection) {
        SetSelectedRange(cell.row, m_table.FixedCols(), cell.row, m_table.Cols() - 1);
        return;
    }
    const int anchor = IsValidCell(m_anchor.row, m_anchor.col) ? m_anchor.row : cell.row;
    SetSelectedRange(std::min(anchor, cell.row), m_table.FixedCols(), std::max(anchor, cell.row), m_table.Cols() - 1);
}

void CGridCtrl::SelectColumns(CellId cell) {
    if (!IsValidCell(cell.row, cell.col) || cell.col < m_table.FixedCols()) return;
    if (m_singleColSelection) {
        SetSelectedRange(m_table.FixedRows(), cell.col, m_table.Rows() - 1, cell.col);
        return;
    }
    const int anchor = IsValidCell(m_anchor.row, m_anchor.col) ? m_anchor.col : cell.col;
    SetSelectedRange(m_table.FixedRows(), std::min(anchor, cell.col), m_table.Rows() - 1, std::max(anchor, cell.col));
}

void CGridCtrl::SelectCells(CellId cell) {
    if (!IsValidCell(cell.row, cell.col)) return;
    const CellId anchor = IsValidCell(m_anchor.row, m_anchor.col) ? m_anchor : cell;
    SetSelectedRange(std::min(anchor.row, cell.row), std::min(anchor.col, cell.col), std::max(anchor.row, cell.row),
                     std::max(anchor.col, cell.col));
}

CellRange CGridCtrl::GetSelectedCellRange() const {
    CellRange range(m_table.Rows(), m_table.Cols(), -1, -1);
    for (const auto& [key, id] : m_selected) {
        range.minRow = std::min(range.minRow, id.row);
        range.minCol = std::min(range.minCol, id.col);
        range.maxRow = std::max(range.maxRow, id.row);
        range.maxCol = std::max(range.maxCol, id.col);
    }
    return range;
}

}  // namespace tabulon
