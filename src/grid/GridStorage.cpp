// The grid's side of its table: the counts and sizes, making and deleting
// rows, columns and cells, the attributes of single cells, and the modified
// mark. The rows and cells themselves, and every change of them, are the
// table's (GridTable.cpp); what the grid adds is what is seen of them: the
// focus, the selection, the scroll bars and the redraw.

#include <algorithm>
#include <new>

#include "grid/GridCtrl.h"

namespace tabulon {

// ---- what the table tells ----

void CGridCtrl::Going(const TableChange& change) {
    // A row or column kept in a record is no longer the focus when it comes back.
    const bool focusGoes =
        change.kind == GridChange::Rows ? change.rows && change.rows->Contains(m_focus.row) : change.col == m_focus.col;
    if (focusGoes)
        if (CGridCellBase* cell = PeekCell(m_focus.row, m_focus.col))
            cell->SetState(cell->GetState() & ~CellState::kFocused);
}

void CGridCtrl::TableChanged(const TableChange& change) {
    switch (change.kind) {
    case GridChange::Cells:
        if (m_window) m_window->CellChanged(change.row, change.col);
        break;
    case GridChange::Rows:
        if (change.added && change.rows) {
            if (m_focus.row >= change.row) m_focus.row += change.rows->CountBelow(m_focus.row + 1);
        } else if (change.added) {
            if (m_focus.row >= 0 && change.row < m_focus.row) m_focus.row += change.count;
        } else if (change.rows && m_focus.row >= change.row) {
            if (change.rows->Contains(m_focus.row))
                m_focus = CellId(-1, -1);
            else
                m_focus.row -= change.rows->CountBelow(m_focus.row);
        }
        break;
    case GridChange::Columns:
        if (change.col < 0) {
            if (m_table.Cols() == 0) m_focus = CellId(-1, -1);
        } else if (change.added) {
            if (m_focus.col >= 0 && change.col < m_focus.col) ++m_focus.col;
        } else if (change.col == m_focus.col) {
            m_focus = CellId(-1, -1);
        } else if (change.col < m_focus.col) {
            --m_focus.col;
        }
        break;
    case GridChange::Order:
        // Whoever sorts, the rows on screen show their new order.
        if (m_window && m_allowDraw) m_window->InvalidateAll();
        break;
    }
    if (change.kind != GridChange::Cells) {
        ClearCachedTopLeft();
        if (m_window) m_window->TableChanged();
    }
    if (m_frame) m_frame->OnGridChanged(*this, change);
}

void CGridCtrl::CellGoing(int row, int col) {
    // A pending cell was never made, so it cannot be selected either.
    if (PeekCell(row, col)) SetCellState(row, col, {});
}

// ---- counts and sizes ----

bool CGridCtrl::SetRowCount(int n) {
    EndEditingBeforeLayoutChange();
    if (n < 0) return false;
    const int rows = m_table.Rows();
    if (n == rows) return true;
    if (!m_table.MayChange()) return false;
    if (n < rows && !m_table.RemoveRows(CRowSet(n, rows - n))) return false;
    try {
        if (n > rows)
            m_table.AppendRows(n - rows, static_cast<std::uint32_t>(GetDefaultCell(false, false)->GetHeight()));
    } catch (const std::bad_alloc&) {
        OnOutOfMemory();  // the rows made so far stay
    }
    SetModified(true, -1, -1);
    ResetScrollBars();
    Refresh();
    return true;
}

bool CGridCtrl::SetColumnCount(int n) {
    EndEditingBeforeLayoutChange();
    if (n < 0) return false;
    if (n == m_table.Cols()) return true;
    if (!m_table.MayChange()) return false;
    while (n < m_table.Cols())
        if (!m_table.RemoveColumn(m_table.Cols() - 1)) return false;
    bool ok = true;
    const auto width = static_cast<std::uint32_t>(GetDefaultCell(false, true)->GetWidth());
    try {
        while (m_table.Cols() < n)
            if (!m_table.InsertColumn(m_table.Cols(), width, static_cast<std::size_t>(n))) break;
    } catch (const std::bad_alloc&) {
        // The columns made so far stay; the one that failed left nothing behind.
        OnOutOfMemory();
        ok = false;
    }
    SetModified(true, -1, -1);
    ResetScrollBars();
    Refresh();
    return ok;
}

bool CGridCtrl::SetFixedRowCount(int n) {
    if (n < 0) return false;
    const int fixed = m_table.FixedRows();
    if (n == fixed) return true;
    ResetSelection();
    if (n > m_table.Rows() && (!SetRowCount(n) || m_table.Rows() < n)) return false;
    if (m_focus.row >= 0 && m_focus.row < n) m_focus = CellId(-1, -1);
    const int cols = m_table.Cols();
    if (n > fixed) {
        for (int r = fixed; r < n; ++r)
            for (int c = 0; c < cols; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                cell->SetState(cell->GetState() | CellState::kFixed | CellState::kFixedRow);
                cell->SetTextColour(kDefaultColour);
                cell->SetBackColour(kDefaultColour);
            }
    } else {
        for (int r = n; r < fixed; ++r)
            for (int c = 0; c < cols; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                if (c < m_table.FixedCols()) {
                    cell->SetState(cell->GetState() & ~CellState::kFixedRow);
                } else {
                    cell->SetState(cell->GetState() & ~(CellState::kFixed | CellState::kFixedRow));
                    cell->SetTextColour(kDefaultColour);
                    cell->SetBackColour(kDefaultColour);
                }
            }
    }
    m_table.SetFixed(n, m_table.FixedCols());
    Refresh();
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int n) {
    if (n < 0) return false;
    const int fixed = m_table.FixedCols();
    if (n == fixed) return true;
    if (n > m_table.Cols() && (!SetColumnCount(n) || m_table.Cols() < n)) return false;
    if (m_focus.col >= 0 && m_focus.col < n) m_focus = CellId(-1, -1);
    ResetSelection();
    const int rows = m_table.Rows();
    if (n > fixed) {
        for (int r = 0; r < rows; ++r)
            for (int c = fixed; c < n; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                cell->SetState(cell->GetState() | CellState::kFixed | CellState::kFixedCol);
                cell->SetTextColour(kDefaultColour);
                cell->SetBackColour(kDefaultColour);
            }
    } else {
        for (int r = 0; r < rows; ++r)
            for (int c = n; c < fixed; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                if (r < m_table.FixedRows()) {
                    cell->SetState(cell->GetState() & ~CellState::kFixedCol);
                } else {
                    cell->SetState(cell->GetState() & ~(CellState::kFixed | CellState::kFixedCol));
                    cell->SetTextColour(kDefaultColour);
                    cell->SetBackColour(kDefaultColour);
                }
            }
    }
    m_table.SetFixed(m_table.FixedRows(), n);
    Refresh();
    return true;
}

int CGridCtrl::GetRowHeight(int row) const {
    if (row < 0 || row >= m_table.Rows()) return -1;
    return static_cast<int>(m_table.Heights()[row]);
}

int CGridCtrl::GetColumnWidth(int col) const {
    if (col < 0 || col >= m_table.Cols()) return -1;
    return static_cast<int>(m_table.Widths()[col]);
}

bool CGridCtrl::SetRowHeight(int row, int height) {
    if (row < 0 || row >= m_table.Rows() || height < 0) return false;
    m_table.SetHeight(row, static_cast<std::uint32_t>(height));
    ResetScrollBars();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_table.Cols() || width < 0) return false;
    m_table.SetWidth(col, static_cast<std::uint32_t>(width));
    ResetScrollBars();
    return true;
}

long long CGridCtrl::GetFixedRowHeight() const {
    long long sum = 0;
    for (int r = 0; r < m_table.FixedRows(); ++r) sum += m_table.Heights()[r];
    return sum;
}

long long CGridCtrl::GetFixedColumnWidth() const {
    long long sum = 0;
    for (int c = 0; c < m_table.FixedCols(); ++c) sum += m_table.Widths()[c];
    return sum;
}

// ---- rows and columns ----

int CGridCtrl::InsertColumn(const std::string& heading, TextFormats format, int col) {
    EndEditingBeforeLayoutChange();
    if (col >= 0 && (col < m_table.FixedCols() || col > m_table.Cols())) return -1;
    ResetSelection();
    if (m_table.Rows() < 1) SetRowCount(1);
    if (col < 0) col = m_table.Cols();
    try {
        if (!m_table.InsertColumn(col, 0, 0)) return -1;
    } catch (const std::bad_alloc&) {
        OnOutOfMemory();
        return -1;
    }
    SetCellText(0, col, heading);
    for (int r = 0; r < m_table.Rows(); ++r) SetCellFormat(r, col, format);
    const int width = GetCell(0, col)->GetTextExtent(heading).cx;
    m_table.SetWidth(col, static_cast<std::uint32_t>(std::max(width, 0)));
    ResetScrollBars();
    SetModified(true, -1, -1);
    return col;
}

int CGridCtrl::HeadingRowHeight(int row, const std::string& heading) {
    if (heading.empty()) return GetDefaultCell(true, false)->GetHeight();
    return GetCell(row, 0)->GetTextExtent(heading).cy;
}

int CGridCtrl::InsertRow(const std::string& heading, int row) {
    EndEditingBeforeLayoutChange();
    if (row >= 0 && (row < m_table.FixedRows() || row >= m_table.Rows())) return -1;
    ResetSelection();
    if (m_table.Cols() < 1) SetColumnCount(1);
    if (row < 0) row = m_table.Rows();
    try {
        if (!m_table.InsertRow(row, 0)) return -1;
    } catch (const std::bad_alloc&) {
        OnOutOfMemory();
        return -1;
    }
    SetCellText(row, 0, heading);
    m_table.SetHeight(row, static_cast<std::uint32_t>(std::max(HeadingRowHeight(row, heading), 0)));
    ResetScrollBars();
    SetModified(true, -1, -1);
    return row;
}

bool CGridCtrl::DeleteColumn(int col) {
    EndEditingBeforeLayoutChange();
    if (col < 0 || col >= m_table.Cols()) return false;
    ResetSelection();
    if (!m_table.RemoveColumn(col)) return false;
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

bool CGridCtrl::DeleteRow(int row) {
    EndEditingBeforeLayoutChange();
    if (row < 0 || row >= m_table.Rows()) return false;
    ResetSelection();
    return DeleteRowsAt(CRowSet(row, 1));
}

bool CGridCtrl::DeleteRows(const std::vector<char>& remove) {
    EndEditingBeforeLayoutChange();
    ResetSelection();
    const int count = std::min(m_table.Rows(), static_cast<int>(remove.size()));
    std::vector<int> rows;
    try {
        for (int r = 0; r < count; ++r)
            if (remove[static_cast<std::size_t>(r)]) rows.push_back(r);
    } catch (const std::bad_alloc&) {
        OnOutOfMemory();
        return false;
    }
    return DeleteRowsAt(CRowSet(std::move(rows)));
}

bool CGridCtrl::DeleteNonFixedRows() {
    EndEditingBeforeLayoutChange();
    ResetSelection();
    // One run, asking for no memory when nothing is recorded: this also
    // clears up after memory ran out.
    const int fixed = m_table.FixedRows();
    if (m_table.Rows() > fixed) DeleteRowsAt(CRowSet(fixed, m_table.Rows() - fixed));
    return true;
}

bool CGridCtrl::DeleteRowsAt(CRowSet rows) {
    if (rows.Empty() || !m_table.RemoveRows(std::move(rows))) return false;
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

bool CGridCtrl::DeleteAllCells() {
    EndEditingBeforeLayoutChange();
    ResetSelection();
    m_table.Clear();
    m_focus = CellId(-1, -1);
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

// ---- cells ----

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
    if (!IsValidCell(row, col)) return nullptr;
    if (m_table.Slot(row, col).IsPending()) return MaterialiseCell(row, col);
    return m_table.Slot(row, col).get();
}

void CGridCtrl::OnOutOfMemory() {
    if (m_outOfMemoryThrows) throw;
    m_desktop->ShowOutOfMemory();
}

CellStates CGridCtrl::PendingState(int row, int col) const {
    CellStates state;
    if (col < m_table.FixedCols()) state |= CellState::kFixed | CellState::kFixedCol;
    if (row < m_table.FixedRows()) state |= CellState::kFixed | CellState::kFixedRow;
    return state;
}

TextFormats CGridCtrl::DefaultFormat(int row, int col) const {
    return GetDefaultCell(row < m_table.FixedRows(), col < m_table.FixedCols())->GetFormat();
}

CCellSlot CGridCtrl::NewSlot(int row, int col) {
    if (MakesCellsLazily()) {
        const unsigned format = DefaultFormat(row, col).ToBits();
        if (CCellSlot::CanPend(format)) return CCellSlot::Pending(format);
    }
    return CCellSlot(CreateCell(row, col));
}

CGridCellBase* CGridCtrl::MaterialiseCell(int row, int col) const {
    CCellSlot& slot = m_table.Slot(row, col);
    // Made as CreateCell makes it; only the cell class's own code runs, and
    // reading the table stays a const operation to its callers.
    std::unique_ptr<CGridCellBase> cell = const_cast<CGridCtrl*>(this)->CreateCell(row, col);
    if (!cell) return nullptr;
    cell->SetFormat(TextFormats::FromBits(slot.PendingFormat()));
    slot = CCellSlot(std::move(cell));
    return slot.get();
}

void CGridCtrl::MaterialiseAllCells() {
    for (int r = 0; r < m_table.Rows(); ++r)
        for (int c = 0; c < m_table.Cols(); ++c)
            if (m_table.Slot(r, c).IsPending()) MaterialiseCell(r, c);
}

CGridCellBase* CGridCtrl::CellForMeasuring(int row, int col, std::uint64_t& lastBlank) {
    if (!IsValidCell(row, col)) return nullptr;
    const CCellSlot& slot = m_table.Slot(row, col);
    if (!slot.IsPending()) return slot.get();
    const std::uint64_t blank =
        (std::uint64_t{slot.PendingFormat()} << 32) | PendingState(row, col).ToBits() | (1u << 31);
    if (blank == lastBlank) return nullptr;
    lastBlank = blank;
    if (!m_measuringCell) m_measuringCell = CreateCell(row, col);
    if (!m_measuringCell) return nullptr;
    m_measuringCell->SetState(PendingState(row, col));
    m_measuringCell->SetFormat(TextFormats::FromBits(slot.PendingFormat()));
    return m_measuringCell.get();
}

std::unique_ptr<CGridCellBase> CGridCtrl::CreateCell(int row, int col) {
    if (!m_cellClass || !m_cellClass->create) return nullptr;
    std::unique_ptr<CGridCellBase> cell = m_cellClass->create();
    cell->SetGrid(this);
    cell->SetCoords(row, col);
    m_table.NoteCoordCell(cell->KeepsCoords());
    CellStates state = cell->GetState();
    if (col < m_table.FixedCols()) state |= CellState::kFixed | CellState::kFixedCol;
    if (row < m_table.FixedRows()) state |= CellState::kFixed | CellState::kFixedRow;
    cell->SetState(state);
    cell->SetFormat(GetDefaultCell(row < m_table.FixedRows(), col < m_table.FixedCols())->GetFormat());
    return cell;
}

void CGridCtrl::DestroyCell(int row, int col) {
    if (!IsValidCell(row, col)) return;
    CellGoing(row, col);
    m_table.ReplaceCell(row, col, CCellSlot());
}

bool CGridCtrl::SetDefaultCellType(const CellClass& cellClass) {
    if (!cellClass.IsDerivedFrom(CGridCellBase::Class()) || !cellClass.create) return false;
    // Cells still pending were meant to be of the old class.
    if (&cellClass != m_cellClass && MakesCellsLazily()) MaterialiseAllCells();
    m_cellClass = &cellClass;
    return true;
}

bool CGridCtrl::SetCellType(int row, int col, const CellClass& cellClass) {
    CGridCellBase* old = GetCell(row, col);
    if (!old || !cellClass.IsDerivedFrom(CGridCellBase::Class()) || !cellClass.create) return false;
    std::unique_ptr<CGridCellBase> cell(cellClass.create());
    // Coordinates first: copying the text into a check box may already tell
    // the owner about the cell.
    cell->SetCoords(row, col);
    cell->CopyFrom(*old);
    return m_table.ReplaceCell(row, col, CCellSlot(std::move(cell)));
}

std::string_view CGridCtrl::GetCellText(int row, int col) const {
    CGridCellBase* cell = PeekCell(row, col);
    return cell ? cell->GetText() : std::string_view();  // a pending cell is still empty
}

bool CGridCtrl::SetCellText(int row, int col, std::string_view text) {
    if (!GetCell(row, col) || !m_table.SetText(row, col, text)) return false;
    SetModified(true, row, col);
    return true;
}

bool CGridCtrl::ChangeCheck(int row, int col, bool checked, const std::function<void()>& change) {
    if (!IsValidCell(row, col)) {
        change();  // a box outside the table ticks by itself
        return true;
    }
    return m_table.ChangeCheck(row, col, checked, change);
}

void CGridCtrl::PrefetchRow(int row, int stage, int firstCol, int lastCol) const {
    if (row < 0 || row >= m_table.Rows()) return;
    const Row& cells = m_table.RowAt(row);
    if (stage == 0) {
        __builtin_prefetch(cells.data() + firstCol);
        return;
    }
    lastCol = std::min(lastCol, static_cast<int>(cells.size()) - 1);
    for (int col = std::max(firstCol, 0); col <= lastCol; ++col) {
        const CGridCellBase* cell = cells[static_cast<std::size_t>(col)].get();
        if (!cell) continue;
        if (stage == 1)
            __builtin_prefetch(cell);
        else if (const std::string_view text = cell->GetText(); text.size() > CCellText::kInlineBytes)
            __builtin_prefetch(text.data());
    }
}

void CGridCtrl::PrefetchRowsAhead(int row, int step, int firstCol, int lastCol) const {
    for (int stage = 0; stage < 3; ++stage) PrefetchRow(row + step * kRowsAhead[stage], stage, firstCol, lastCol);
}

void CGridCtrl::NumberRows(int col, int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, m_table.Rows() - 1);
    std::string number;
    for (int r = first; r <= last; ++r) {
        for (int stage = 0; stage < 2; ++stage) PrefetchRow(r + kRowsAhead[stage], stage, col, col);
        number = std::to_string(r);
        if (GetCellText(r, col) != number) SetCellText(r, col, number);
        ReportProgress(kNumberingPhase, static_cast<std::uint64_t>(r - first),
                       static_cast<std::uint64_t>(last - first + 1));
    }
}

CellStates CGridCtrl::GetCellState(int row, int col) const {
    if (!IsValidCell(row, col)) return {};
    if (m_table.Slot(row, col).IsPending()) return PendingState(row, col);
    CGridCellBase* cell = PeekCell(row, col);
    return cell ? cell->GetState() : CellStates();
}

bool CGridCtrl::SetCellState(int row, int col, CellStates state) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    const bool selected = IsCellSelected(row, col);
    if (!selected && (state & CellState::kSelected))
        AddCell(m_selected, CellId(row, col));
    else if (selected && !(state & CellState::kSelected))
        EraseCell(m_selected, CellId(row, col));
    cell->SetState(state);
    return true;
}

bool CGridCtrl::SetCellFormat(int row, int col, TextFormats format) {
    if (IsValidCell(row, col) && m_table.Slot(row, col).IsPending() && CCellSlot::CanPend(format.ToBits())) {
        m_table.Slot(row, col).SetPendingFormat(format.ToBits());
        return true;
    }
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetFormat(format);
    return true;
}

TextFormats CGridCtrl::GetCellFormat(int row, int col) const {
    if (IsValidCell(row, col) && m_table.Slot(row, col).IsPending()) {
        // As CGridCell::GetFormat: an unset format is the default cell's.
        const unsigned format = m_table.Slot(row, col).PendingFormat();
        return format != 0xFFFFFFFFu ? TextFormats::FromBits(format) : DefaultFormat(row, col);
    }
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetFormat() : TextFormats();
}

bool CGridCtrl::SetCellTextColour(int row, int col, Colour colour) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetTextColour(colour);
    return true;
}

bool CGridCtrl::SetCellBackColour(int row, int col, Colour colour) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetBackColour(colour);
    return true;
}

bool CGridCtrl::SetGridItem(const GridItem& item) {
    CGridCellBase* cell = GetCell(item.row, item.col);
    if (!cell || ((item.mask & GridItemMask::kText) && !m_table.SetText(item.row, item.col, item.text))) return false;
    SetModified(true, item.row, item.col);
    if (item.mask & GridItemMask::kData) cell->SetData(item.data);
    if (item.mask & GridItemMask::kImage) cell->SetImage(item.image);
    if (item.mask & GridItemMask::kState) cell->SetState(item.state);
    if (item.mask & GridItemMask::kFormat) cell->SetFormat(item.format);
    if (item.mask & GridItemMask::kBackColour) cell->SetBackColour(item.backColour);
    if (item.mask & GridItemMask::kTextColour) cell->SetTextColour(item.textColour);
    if (item.mask & GridItemMask::kFont) cell->SetFont(&item.font);
    if (item.mask & GridItemMask::kMargin) cell->SetMargin(item.margin);
    return true;
}

// ---- taking back ----

void CGridCtrl::TakeBack(CGridChanges& changes, CGridChanges& redo, std::uint64_t doneBefore, std::uint64_t total) {
    TakeBackInto(changes, &redo, doneBefore, total);
}

void CGridCtrl::TakeBack(CGridChanges& changes) { TakeBackInto(changes, nullptr, 0, 0); }

void CGridCtrl::TakeBackInto(CGridChanges& changes, CGridChanges* redo, std::uint64_t doneBefore, std::uint64_t total) {
    EndEditingBeforeLayoutChange();
    ResetSelection();
    m_table.TakeBack(changes, redo, doneBefore, total);
    SetSortColumn(-1);
    ClearCachedTopLeft();
    ResetScrollBars();
    Refresh();
}

// ---- modified mark ----

void CGridCtrl::SetModified(bool modified, int row, int col) {
    if (col < 0 || col == m_sortColumn) SetSortColumn(-1);
    if (row > 0 && col > 0) {
        CGridCellBase* cell = GetCell(row, col);
        if (modified) {
            if (cell) cell->SetState(cell->GetState() | CellState::kModified);
            m_modified = true;
        } else if (cell) {
            cell->SetState(cell->GetState() & ~CellState::kModified);
        }
    } else {
        m_modified = modified;
    }
    if (!m_modified) {
        for (int r = 0; r < m_table.Rows(); ++r)
            for (const CCellSlot& slot : m_table.RowAt(r))
                if (CGridCellBase* cell = slot.get(); cell && (cell->GetState() & CellState::kModified))
                    cell->SetState(cell->GetState() & ~CellState::kModified);
    }
}

}  // namespace tabulon
