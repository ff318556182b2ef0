// The table itself: the rows, each owning its cells, their sizes, the counts
// of rows and columns, making and deleting rows, columns and cells, the
// attributes of single cells, and the modified mark.

#include <algorithm>
#include <new>

#include "grid/GridCtrl.h"

namespace tabulon {

namespace {

// Room for one more entry, grown as push_back would grow it, so that the
// insertion after it cannot fail.
template <typename Vector>
void MakeRoomForOne(Vector& v) {
    if (v.size() == v.capacity()) v.reserve(std::max(v.size() + 1, 2 * v.capacity()));
}

// Room for one more cell in a row, or for room entries when that is more.
// A full row grows by half again, not by one: a line of 400,000 fields adds
// its columns one at a time, and growing every row to its exact new size
// each time would copy the table once per column.
template <typename Vector>
void MakeRoomInRow(Vector& row, std::size_t room) {
    if (row.size() < row.capacity() && room <= row.capacity()) return;
    row.reserve(std::max({room, row.size() + 1, row.size() + row.size() / 2, std::size_t{4}}));
}

}  // namespace

// ---- counts and sizes ----

bool CGridCtrl::SetRowCount(int n) {
    ++m_textsVersion;
    EndEditingBeforeLayoutChange();
    if (n < 0) return false;
    if (n == m_rows) return true;
    NotifyTableChanged();
    ClearCachedTopLeft();
    RowHeightsChangedFrom(std::min(n, m_rows));
    if (!MayChange()) return false;
    if (m_log && n < m_rows && !RemoveRowsAt(CRowSet(n, m_rows - n))) return false;
    if (n > m_rows && !NoteRowsAdded(m_rows, n - m_rows)) return false;
    if (n < m_fixedRows) m_fixedRows = n;
    if (n <= m_focus.row) m_focus = CellId(-1, -1);
    if (n < m_rows) {
        for (int r = n; r < m_rows; ++r) {
            for (int c = 0; c < m_cols; ++c) DestroyCell(r, c);
            m_totalHeight -= m_rowHeights[r];
        }
        m_rows = n;
        m_rowData.resize(n);
        m_rowHeights.resize(n);
    }
    try {
        m_rowData.reserve(n);
        m_rowHeights.reserve(n);
        m_rowPositions.Reserve(m_rowData.capacity());
        const auto height = static_cast<std::uint32_t>(GetDefaultCell(false, false)->GetHeight());
        while (m_rows < n) {
            // Room is reserved: only making the row's cells can fail, and
            // then its cells go with it.
            m_rowData.push_back(MakeRow(m_rows));
            m_rowHeights.push_back(height);
            m_totalHeight += height;
            ++m_rows;
        }
    } catch (const std::bad_alloc&) {
        // The log keeps only the rows that came.
        if (m_log && !m_log->m_entries.empty())
            if (auto* added = CGridChanges::Get<CGridChanges::RowsAdded>(m_log->m_entries.back()))
                added->rows.DropFrom(m_rows);
        OnOutOfMemory();
    }
    SetModified(true, -1, -1);
    ResetScrollBars();
    Refresh();
    return true;
}

bool CGridCtrl::SetColumnCount(int n) {
    ++m_textsVersion;
    EndEditingBeforeLayoutChange();
    if (n < 0) return false;
    if (n == m_cols) return true;
    NotifyTableChanged();
    ClearCachedTopLeft();
    if (!MayChange()) return false;
    if (m_log)
        while (n < m_cols)
            if (!RemoveColumnAt(m_cols - 1)) return false;
    if (n < m_fixedCols) m_fixedCols = n;
    if (n <= m_focus.col) m_focus = CellId(-1, -1);
    bool ok = true;
    if (n < m_cols) {
        for (int r = 0; r < m_rows; ++r) {
            for (int c = n; c < m_cols; ++c) DestroyCell(r, c);
            m_rowData[r].resize(n);
        }
        for (int c = n; c < m_cols; ++c) m_totalWidth -= m_colWidths[c];
        m_colWidths.resize(n);
        m_cols = n;
    }
    const auto width = static_cast<std::uint32_t>(GetDefaultCell(false, true)->GetWidth());
    try {
        while (m_cols < n) {
            if (m_log && !Record(CGridChanges::ColumnAdded{m_cols, m_fixedCols})) break;
            try {
                InsertColumnCells(m_cols, width, static_cast<std::size_t>(n));
            } catch (const std::bad_alloc&) {
                if (m_log) m_log->m_entries.pop_back();
                throw;
            }
            m_totalWidth += width;
            ++m_cols;
        }
    } catch (const std::bad_alloc&) {
        // The columns made so far stay; the one that failed left nothing behind.
        OnOutOfMemory();
        ok = false;
    }
    SetModified(true, -1, -1);
    NotifyColumnsChanged();
    ResetScrollBars();
    Refresh();
    return ok;
}

bool CGridCtrl::SetFixedRowCount(int n) {
    ++m_textsVersion;
    if (n < 0) return false;
    if (n == m_fixedRows) return true;
    NotifyTableChanged();
    ResetSelection();
    ClearCachedTopLeft();
    if (n > m_rows && (!SetRowCount(n) || m_rows < n)) return false;
    if (m_focus.row >= 0 && m_focus.row < n) m_focus = CellId(-1, -1);
    if (n > m_fixedRows) {
        for (int r = m_fixedRows; r < n; ++r)
            for (int c = 0; c < m_cols; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                cell->SetState(cell->GetState() | CellState::kFixed | CellState::kFixedRow);
                cell->SetTextColour(kDefaultColour);
                cell->SetBackColour(kDefaultColour);
            }
    } else {
        for (int r = n; r < m_fixedRows; ++r)
            for (int c = 0; c < m_cols; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                if (c < m_fixedCols) {
                    cell->SetState(cell->GetState() & ~CellState::kFixedRow);
                } else {
                    cell->SetState(cell->GetState() & ~(CellState::kFixed | CellState::kFixedRow));
                    cell->SetTextColour(kDefaultColour);
                    cell->SetBackColour(kDefaultColour);
                }
            }
    }
    m_fixedRows = n;
    Refresh();
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int n) {
    ++m_textsVersion;
    if (n < 0) return false;
    if (n == m_fixedCols) return true;
    NotifyTableChanged();
    if (n > m_cols && (!SetColumnCount(n) || m_cols < n)) return false;
    if (m_focus.col >= 0 && m_focus.col < n) m_focus = CellId(-1, -1);
    ResetSelection();
    ClearCachedTopLeft();
    if (n > m_fixedCols) {
        for (int r = 0; r < m_rows; ++r)
            for (int c = m_fixedCols; c < n; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                cell->SetState(cell->GetState() | CellState::kFixed | CellState::kFixedCol);
                cell->SetTextColour(kDefaultColour);
                cell->SetBackColour(kDefaultColour);
            }
    } else {
        for (int r = 0; r < m_rows; ++r)
            for (int c = n; c < m_fixedCols; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                if (r < m_fixedRows) {
                    cell->SetState(cell->GetState() & ~CellState::kFixedCol);
                } else {
                    cell->SetState(cell->GetState() & ~(CellState::kFixed | CellState::kFixedCol));
                    cell->SetTextColour(kDefaultColour);
                    cell->SetBackColour(kDefaultColour);
                }
            }
    }
    m_fixedCols = n;
    NotifyColumnsChanged();
    Refresh();
    return true;
}

int CGridCtrl::GetRowHeight(int row) const {
    if (row < 0 || row >= m_rows) return -1;
    return static_cast<int>(m_rowHeights[row]);
}

int CGridCtrl::GetColumnWidth(int col) const {
    if (col < 0 || col >= m_cols) return -1;
    return static_cast<int>(m_colWidths[col]);
}

bool CGridCtrl::SetRowHeight(int row, int height) {
    if (row < 0 || row >= m_rows || height < 0) return false;
    m_totalHeight += static_cast<long long>(height) - m_rowHeights[row];
    m_rowHeights[row] = static_cast<std::uint32_t>(height);
    RowHeightsChangedFrom(row);
    ResetScrollBars();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_cols || width < 0) return false;
    m_totalWidth += static_cast<long long>(width) - m_colWidths[col];
    m_colWidths[col] = static_cast<std::uint32_t>(width);
    ResetScrollBars();
    return true;
}

long long CGridCtrl::GetFixedRowHeight() const {
    long long sum = 0;
    for (int r = 0; r < m_fixedRows; ++r) sum += m_rowHeights[r];
    return sum;
}

long long CGridCtrl::GetFixedColumnWidth() const {
    long long sum = 0;
    for (int c = 0; c < m_fixedCols; ++c) sum += m_colWidths[c];
    return sum;
}

// ---- rows and columns ----

int CGridCtrl::InsertColumn(const std::string& heading, TextFormats format, int col) {
    ++m_textsVersion;
    NotifyTableChanged();
    EndEditingBeforeLayoutChange();
    if (col >= 0 && (col < m_fixedCols || col > m_cols)) return -1;
    ClearCachedTopLeft();
    ResetSelection();
    if (m_rows < 1) SetRowCount(1);
    if (col == m_cols) col = -1;
    const bool append = col < 0;
    if (append) col = m_cols;
    if (!MayChange() || (m_log && !Record(CGridChanges::ColumnAdded{col, m_fixedCols}))) return -1;
    try {
        InsertColumnCells(col, 0, 0);
    } catch (const std::bad_alloc&) {
        if (m_log) m_log->m_entries.pop_back();
        OnOutOfMemory();
        return -1;
    }
    ++m_cols;
    SetCellText(0, col, heading);
    for (int r = 0; r < m_rows; ++r) SetCellFormat(r, col, format);
    const int width = GetCell(0, col)->GetTextExtent(heading).cx;
    m_colWidths[col] = static_cast<std::uint32_t>(std::max(width, 0));
    m_totalWidth += m_colWidths[col];
    if (m_focus.col >= 0 && col < m_focus.col) ++m_focus.col;
    ResetScrollBars();
    SetModified(true, -1, -1);
    NotifyColumnsChanged();
    return col;
}

int CGridCtrl::HeadingRowHeight(int row, const std::string& heading) {
    if (heading.empty()) return GetDefaultCell(true, false)->GetHeight();
    return GetCell(row, 0)->GetTextExtent(heading).cy;
}

int CGridCtrl::InsertRow(const std::string& heading, int row) {
    ++m_textsVersion;
    NotifyTableChanged();
    EndEditingBeforeLayoutChange();
    if (row >= 0 && (row < m_fixedRows || row >= m_rows)) return -1;
    ClearCachedTopLeft();
    ResetSelection();
    if (m_cols < 1) SetColumnCount(1);
    if (row < 0) row = m_rows;
    if (!NoteRowsAdded(row, 1)) return -1;
    RowHeightsChangedFrom(row);
    try {
        Row cells = MakeRow(row);
        MakeRoomForOne(m_rowData);
        MakeRoomForOne(m_rowHeights);
        m_rowPositions.Reserve(m_rowData.capacity());
        // Nothing from here on allocates, so the row and its height go in together.
        m_rowData.insert(m_rowData.begin() + row, std::move(cells));
        m_rowHeights.insert(m_rowHeights.begin() + row, 0);
    } catch (const std::bad_alloc&) {
        if (m_log) m_log->m_entries.pop_back();
        OnOutOfMemory();
        return -1;
    }
    ++m_rows;
    RenumberCells(row + 1, 0);
    SetCellText(row, 0, heading);
    const int height = std::max(HeadingRowHeight(row, heading), 0);
    m_rowHeights[row] = static_cast<std::uint32_t>(height);
    m_totalHeight += height;
    if (m_focus.row >= 0 && row < m_focus.row) ++m_focus.row;
    ResetScrollBars();
    SetModified(true, -1, -1);
    return row;
}

bool CGridCtrl::DeleteColumn(int col) {
    EndEditingBeforeLayoutChange();
    if (col < 0 || col >= m_cols) return false;
    ResetSelection();
    if (!RemoveColumnAt(col)) return false;
    ClearCachedTopLeft();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

bool CGridCtrl::DeleteRow(int row) {
    EndEditingBeforeLayoutChange();
    if (row < 0 || row >= m_rows) return false;
    ResetSelection();
    if (!RemoveRowsAt(CRowSet(row, 1))) return false;
    ClearCachedTopLeft();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

bool CGridCtrl::DeleteRows(const std::vector<char>& remove) {
    EndEditingBeforeLayoutChange();
    ResetSelection();
    const int count = std::min(m_rows, static_cast<int>(remove.size()));
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
    if (m_rows > m_fixedRows) DeleteRowsAt(CRowSet(m_fixedRows, m_rows - m_fixedRows));
    return true;
}

bool CGridCtrl::DeleteRowsAt(CRowSet rows) {
    if (rows.Empty() || !RemoveRowsAt(std::move(rows))) return false;
    ClearCachedTopLeft();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

bool CGridCtrl::DeleteAllCells() {
    ++m_textsVersion;
    NotifyTableChanged();
    EndEditingBeforeLayoutChange();
    ResetSelection();
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c) DestroyCell(r, c);
    m_rowData.clear();
    m_rowHeights.clear();
    m_colWidths.clear();
    RowHeightsChangedFrom(0);
    m_totalHeight = 0;
    m_totalWidth = 0;
    m_focus = CellId(-1, -1);
    m_rows = m_cols = m_fixedRows = m_fixedCols = 0;
    ClearCachedTopLeft();
    ResetScrollBars();
    SetModified(true, -1, -1);
    NotifyColumnsChanged();
    return true;
}

// ---- rows and columns that go and come back ----

bool CGridCtrl::RemoveRowsAt(CRowSet rows) {
    ++m_textsVersion;
    if (rows.Empty()) return true;
    NotifyTableChanged();
    CGridChanges::RowsRemoved* record = nullptr;
    const int first = rows.Front();
    const int count = rows.Size();
    if (m_log) {
        if (m_log->m_failed) return false;
        record = Record(CGridChanges::RowsRemoved{std::move(rows), {}, {}, 0, m_fixedRows});
        if (!record) return false;
        // A kept row is no longer the focus when it comes back.
        if (record->rows.Contains(m_focus.row))
            if (CGridCellBase* cell = PeekCell(m_focus.row, m_focus.col))
                cell->SetState(cell->GetState() & ~CellState::kFocused);
        // The rows to the end, and more of them than stay before them: the
        // record takes the grid's arrays whole, and the grid starts new ones
        // for the rows before. Deleting every item of a list then holds the
        // list once, and asks for next to no memory.
        if (record->rows.IsRun() && first + count == m_rows && first <= count) {
            std::vector<Row> kept;
            std::vector<std::uint32_t> keptHeights;
            try {
                kept.reserve(static_cast<std::size_t>(first));
                keptHeights.reserve(static_cast<std::size_t>(first));
            } catch (const std::bad_alloc&) {
                m_log->m_entries.pop_back();
                RecordingFailed();
                return false;
            }
            for (int r = 0; r < first; ++r) {
                kept.push_back(std::move(m_rowData[r]));
                keptHeights.push_back(m_rowHeights[r]);
            }
            for (int r = first; r < m_rows; ++r) m_totalHeight -= m_rowHeights[r];
            record->cells = std::move(m_rowData);
            record->heights = std::move(m_rowHeights);
            record->offset = static_cast<std::size_t>(first);
            m_rowData = std::move(kept);
            m_rowHeights = std::move(keptHeights);
            AfterRowsRemoved(record->rows);
            return true;
        }
        try {
            record->cells.reserve(static_cast<std::size_t>(count));
            record->heights.reserve(static_cast<std::size_t>(count));
        } catch (const std::bad_alloc&) {
            m_log->m_entries.pop_back();
            RecordingFailed();
            return false;
        }
    }
    const CRowSet& gone = record ? record->rows : rows;
    int next = 0;
    int kept = first;
    // One pass: the rows that stay slide down over the removed ones.
    for (int r = first; r < m_rows; ++r) {
        if (next < count && gone[static_cast<std::size_t>(next)] == r) {
            ++next;
            m_totalHeight -= m_rowHeights[r];
            if (record) {
                record->cells.push_back(std::move(m_rowData[r]));
                record->heights.push_back(m_rowHeights[r]);
            } else {
                for (int c = 0; c < m_cols; ++c) DestroyCell(r, c);
            }
            ReportTakingBack(static_cast<std::uint64_t>(next));
            continue;
        }
        if (kept != r) {
            m_rowData[kept] = std::move(m_rowData[r]);
            m_rowHeights[kept] = m_rowHeights[r];
        }
        ++kept;
    }
    m_rowData.resize(static_cast<std::size_t>(kept));
    m_rowHeights.resize(static_cast<std::size_t>(kept));
    AfterRowsRemoved(gone);
    return true;
}

void CGridCtrl::AfterRowsRemoved(const CRowSet& rows) {
    const int first = rows.Front();
    m_fixedRows -= rows.CountBelow(m_fixedRows);
    m_rows = static_cast<int>(m_rowData.size());
    RenumberCells(first, 0);
    RowHeightsChangedFrom(first);
    if (m_focus.row >= first) {
        if (rows.Contains(m_focus.row))
            m_focus = CellId(-1, -1);
        else
            m_focus.row -= rows.CountBelow(m_focus.row);
    }
    if (m_log && m_log->m_freshFrom != INT_MAX) m_log->m_freshFrom -= rows.CountBelow(m_log->m_freshFrom);
}

bool CGridCtrl::PutRowsBack(const CRowSet& rows, std::vector<Row>& cells, std::vector<std::uint32_t>& heights,
                            std::size_t offset, int fixedRows) {
    ++m_textsVersion;
    const int count = rows.Size();
    if (count == 0 || !MayChange()) return count == 0;
    NotifyTableChanged();
    const int first = rows.Front();
    const int total = m_rows + count;
    // Arrays the grid gave up whole take back the rows before them.
    const bool whole = rows.IsRun() && m_rows == first && offset == static_cast<std::size_t>(first) &&
                       cells.size() == static_cast<std::size_t>(total);
    try {
        if (whole) {
            m_rowPositions.Reserve(cells.capacity());
        } else {
            m_rowData.reserve(static_cast<std::size_t>(total));
            m_rowHeights.reserve(static_cast<std::size_t>(total));
            m_rowPositions.Reserve(m_rowData.capacity());
        }
        if (m_log && !Record(CGridChanges::RowsAdded{rows, m_fixedRows})) return false;
    } catch (const std::bad_alloc&) {
        if (m_log) RecordingFailed();
        return false;
    }
    // Nothing from here on allocates.
    if (whole) {
        for (int r = 0; r < first; ++r) {
            cells[static_cast<std::size_t>(r)] = std::move(m_rowData[r]);
            heights[static_cast<std::size_t>(r)] = m_rowHeights[r];
        }
        for (int r = first; r < total; ++r) m_totalHeight += heights[static_cast<std::size_t>(r)];
        m_rowData = std::move(cells);
        m_rowHeights = std::move(heights);
    } else {
        // From the end down: each place takes a row put back or the next row
        // that was there.
        m_rowData.resize(static_cast<std::size_t>(total));
        m_rowHeights.resize(static_cast<std::size_t>(total));
        int from = m_rows - 1;
        int back = count - 1;
        for (int r = total - 1; r >= first; --r) {
            if (back >= 0 && rows[static_cast<std::size_t>(back)] == r) {
                const std::size_t k = offset + static_cast<std::size_t>(back);
                m_rowData[r] = std::move(cells[k]);
                m_rowHeights[r] = heights[k];
                m_totalHeight += m_rowHeights[r];
                --back;
                ReportTakingBack(static_cast<std::uint64_t>(count - 1 - back));
            } else {
                m_rowData[r] = std::move(m_rowData[from]);
                m_rowHeights[r] = m_rowHeights[from];
                --from;
            }
        }
    }
    cells.clear();
    if (m_focus.row >= first) m_focus.row += rows.CountBelow(m_focus.row + 1);
    m_rows = total;
    m_fixedRows = fixedRows;
    RenumberCells(first, 0);
    RowHeightsChangedFrom(first);
    return true;
}

bool CGridCtrl::RemoveColumnAt(int col) {
    ++m_textsVersion;
    NotifyTableChanged();
    CGridChanges::ColumnRemoved* record = nullptr;
    if (m_log) {
        if (m_log->m_failed) return false;
        try {
            CGridChanges::ColumnRemoved entry{col, m_colWidths[col], {}, m_fixedCols};
            entry.cells.reserve(static_cast<std::size_t>(m_rows));
            record = Record(std::move(entry));
        } catch (const std::bad_alloc&) {
            RecordingFailed();
        }
        if (!record) return false;
        if (m_focus.col == col)
            if (CGridCellBase* cell = PeekCell(m_focus.row, m_focus.col))
                cell->SetState(cell->GetState() & ~CellState::kFocused);
    }
    for (int r = 0; r < m_rows; ++r) {
        Row& row = m_rowData[r];
        if (record)
            record->cells.push_back(std::move(row[col]));
        else
            DestroyCell(r, col);
        row.erase(row.begin() + col);
    }
    m_totalWidth -= m_colWidths[col];
    m_colWidths.erase(m_colWidths.begin() + col);
    --m_cols;
    RenumberCells(0, col);
    if (col < m_fixedCols) --m_fixedCols;
    if (col == m_focus.col)
        m_focus = CellId(-1, -1);
    else if (col < m_focus.col)
        --m_focus.col;
    NotifyColumnsChanged();
    return true;
}

bool CGridCtrl::PutColumnBack(int col, std::uint32_t width, std::vector<CCellSlot>& cells, int fixedCols) {
    ++m_textsVersion;
    NotifyTableChanged();
    if (!MayChange() || static_cast<int>(cells.size()) != m_rows) return false;
    try {
        for (Row& row : m_rowData) MakeRoomInRow(row, 0);
        MakeRoomForOne(m_colWidths);
        if (m_log && !Record(CGridChanges::ColumnAdded{col, m_fixedCols})) return false;
    } catch (const std::bad_alloc&) {
        if (m_log) RecordingFailed();
        return false;
    }
    for (int r = 0; r < m_rows; ++r) {
        Row& row = m_rowData[r];
        row.insert(row.begin() + col, std::move(cells[static_cast<std::size_t>(r)]));
    }
    cells.clear();
    m_colWidths.insert(m_colWidths.begin() + col, width);
    m_totalWidth += width;
    ++m_cols;
    RenumberCells(0, col);
    m_fixedCols = fixedCols;
    if (m_focus.col >= col) ++m_focus.col;
    NotifyColumnsChanged();
    return true;
}

// ---- cells ----

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
    if (!IsValidCell(row, col)) return nullptr;
    if (m_rowData[row][col].IsPending()) return MaterialiseCell(row, col);
    return m_rowData[row][col].get();
}

void CGridCtrl::OnOutOfMemory() {
    if (m_outOfMemoryThrows) throw;
    m_desktop->ShowOutOfMemory();
}

CellStates CGridCtrl::PendingState(int row, int col) const {
    CellStates state;
    if (col < m_fixedCols) state |= CellState::kFixed | CellState::kFixedCol;
    if (row < m_fixedRows) state |= CellState::kFixed | CellState::kFixedRow;
    return state;
}

TextFormats CGridCtrl::DefaultFormat(int row, int col) const {
    return GetDefaultCell(row < m_fixedRows, col < m_fixedCols)->GetFormat();
}

CCellSlot CGridCtrl::NewSlot(int row, int col) {
    if (MakesCellsLazily()) {
        const unsigned format = DefaultFormat(row, col).ToBits();
        if (CCellSlot::CanPend(format)) return CCellSlot::Pending(format);
    }
    return CCellSlot(CreateCell(row, col));
}

CGridCellBase* CGridCtrl::MaterialiseCell(int row, int col) const {
    CCellSlot& slot = m_rowData[row][col];
    // Made as CreateCell makes it; only the cell class's own code runs, and
    // reading the table stays a const operation to its callers.
    std::unique_ptr<CGridCellBase> cell = const_cast<CGridCtrl*>(this)->CreateCell(row, col);
    if (!cell) return nullptr;
    cell->SetFormat(TextFormats::FromBits(slot.PendingFormat()));
    slot = CCellSlot(std::move(cell));
    return slot.get();
}

void CGridCtrl::MaterialiseAllCells() {
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c)
            if (m_rowData[r][c].IsPending()) MaterialiseCell(r, c);
}

CGridCellBase* CGridCtrl::CellForMeasuring(int row, int col, std::uint64_t& lastBlank) {
    if (!IsValidCell(row, col)) return nullptr;
    const CCellSlot& slot = m_rowData[row][col];
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

CGridCtrl::Row CGridCtrl::MakeRow(int row) {
    Row cells;
    cells.reserve(m_cols);
    for (int c = 0; c < m_cols; ++c) cells.push_back(NewSlot(row, c));
    return cells;
}

std::vector<CCellSlot> CGridCtrl::MakeColumn(int col) {
    std::vector<CCellSlot> cells;
    cells.reserve(m_rows);
    for (int r = 0; r < m_rows; ++r) cells.push_back(NewSlot(r, col));
    return cells;
}

void CGridCtrl::InsertColumnCells(int col, std::uint32_t width, std::size_t roomPerRow) {
    std::vector<CCellSlot> cells = MakeColumn(col);
    for (Row& row : m_rowData) MakeRoomInRow(row, roomPerRow);
    MakeRoomForOne(m_colWidths);
    // Nothing from here on allocates: every row gets its cell, or none does.
    for (int r = 0; r < m_rows; ++r) m_rowData[r].insert(m_rowData[r].begin() + col, std::move(cells[r]));
    m_colWidths.insert(m_colWidths.begin() + col, width);
    RenumberCells(0, col + 1);
}

void CGridCtrl::RenumberCells(int fromRow, int fromCol) {
    if (!m_hasCoordCells) return;
    for (int r = fromRow; r < m_rows; ++r)
        for (int c = fromCol; c < static_cast<int>(m_rowData[r].size()); ++c)
            if (CGridCellBase* cell = m_rowData[r][c].get()) cell->SetCoords(r, c);
}

std::unique_ptr<CGridCellBase> CGridCtrl::CreateCell(int row, int col) {
    if (!m_cellClass || !m_cellClass->create) return nullptr;
    std::unique_ptr<CGridCellBase> cell = m_cellClass->create();
    cell->SetGrid(this);
    cell->SetCoords(row, col);
    m_hasCoordCells = m_hasCoordCells || cell->KeepsCoords();
    CellStates state = cell->GetState();
    if (col < m_fixedCols) state |= CellState::kFixed | CellState::kFixedCol;
    if (row < m_fixedRows) state |= CellState::kFixed | CellState::kFixedRow;
    cell->SetState(state);
    cell->SetFormat(GetDefaultCell(row < m_fixedRows, col < m_fixedCols)->GetFormat());
    return cell;
}

void CGridCtrl::DestroyCell(int row, int col) {
    ++m_textsVersion;
    if (!IsValidCell(row, col)) return;
    // A pending cell was never made, so it cannot be selected either.
    if (PeekCell(row, col)) SetCellState(row, col, {});
    m_rowData[row][col].reset();
}

bool CGridCtrl::SetDefaultCellType(const CellClass& cellClass) {
    if (!cellClass.IsDerivedFrom(CGridCellBase::Class()) || !cellClass.create) return false;
    // Cells still pending were meant to be of the old class.
    if (&cellClass != m_cellClass && MakesCellsLazily()) MaterialiseAllCells();
    m_cellClass = &cellClass;
    return true;
}

bool CGridCtrl::SetCellType(int row, int col, const CellClass& cellClass) {
    ++m_textsVersion;
    CGridCellBase* old = GetCell(row, col);
    if (!old || !cellClass.IsDerivedFrom(CGridCellBase::Class()) || !cellClass.create) return false;
    std::unique_ptr<CGridCellBase> cell(cellClass.create());
    // Coordinates first: copying the text into a check box may already tell
    // the owner about the cell.
    cell->SetCoords(row, col);
    cell->CopyFrom(*old);
    m_hasCoordCells = m_hasCoordCells || cell->KeepsCoords();
    if (m_log && !m_log->IsFresh(row)) {
        auto* record = MayChange() ? Record(CGridChanges::CellChange{row, col, CCellSlot()}) : nullptr;
        if (!record) return false;
        record->cell = std::move(m_rowData[row][col]);
    }
    m_rowData[row][col] = CCellSlot(std::move(cell));  // the old cell goes here, unless the log took it
    NotifyCellChanged(row, col);
    return true;
}

std::string_view CGridCtrl::GetCellText(int row, int col) const {
    CGridCellBase* cell = PeekCell(row, col);
    return cell ? cell->GetText() : std::string_view();  // a pending cell is still empty
}

bool CGridCtrl::SetCellText(int row, int col, std::string_view text) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    const bool changed = cell->GetText() != text;
    if (changed && !NoteTextChange(row, col, *cell)) return false;
    cell->SetText(text);
    SetModified(true, row, col);
    if (changed) NotifyCellChanged(row, col);
    if (changed && row < m_fixedRows && col > 0) NotifyColumnsChanged();  // a column's name
    return true;
}

void CGridCtrl::PrefetchRow(int row, int stage, int firstCol, int lastCol) const {
    if (row < 0 || row >= m_rows) return;
    const Row& cells = m_rowData[row];
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
    last = std::min(last, m_rows - 1);
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
    if (m_rowData[row][col].IsPending()) return PendingState(row, col);
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
    if (IsValidCell(row, col) && m_rowData[row][col].IsPending() && CCellSlot::CanPend(format.ToBits())) {
        m_rowData[row][col].SetPendingFormat(format.ToBits());
        return true;
    }
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetFormat(format);
    return true;
}

TextFormats CGridCtrl::GetCellFormat(int row, int col) const {
    if (IsValidCell(row, col) && m_rowData[row][col].IsPending()) {
        // As CGridCell::GetFormat: an unset format is the default cell's.
        const unsigned format = m_rowData[row][col].PendingFormat();
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
    ++m_textsVersion;
    CGridCellBase* cell = GetCell(item.row, item.col);
    if (!cell || ((item.mask & GridItemMask::kText) && !NoteTextChange(item.row, item.col, *cell))) return false;
    SetModified(true, item.row, item.col);
    if (item.mask & GridItemMask::kText) cell->SetText(item.text);
    if (item.mask & GridItemMask::kData) cell->SetData(item.data);
    if (item.mask & GridItemMask::kImage) cell->SetImage(item.image);
    if (item.mask & GridItemMask::kState) cell->SetState(item.state);
    if (item.mask & GridItemMask::kFormat) cell->SetFormat(item.format);
    if (item.mask & GridItemMask::kBackColour) cell->SetBackColour(item.backColour);
    if (item.mask & GridItemMask::kTextColour) cell->SetTextColour(item.textColour);
    if (item.mask & GridItemMask::kFont) cell->SetFont(&item.font);
    if (item.mask & GridItemMask::kMargin) cell->SetMargin(item.margin);
    if (item.mask & GridItemMask::kText) NotifyCellChanged(item.row, item.col);
    if ((item.mask & GridItemMask::kText) && item.row < m_fixedRows && item.col > 0) NotifyColumnsChanged();
    return true;
}

// ---- modified mark ----

void CGridCtrl::SetModified(bool modified, int row, int col) {
    ++m_textsVersion;
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
        for (int r = 0; r < m_rows; ++r)
            for (const CCellSlot& slot : m_rowData[r])
                if (CGridCellBase* cell = slot.get(); cell && (cell->GetState() & CellState::kModified))
                    cell->SetState(cell->GetState() & ~CellState::kModified);
    }
}

}  // namespace tabulon
