// The table's changes: each passes Change, which records it before it is
// made, moves the version and tells the grid. Taking changes back is
// GridChanges.cpp.

#include "grid/GridTable.h"

#include <algorithm>
#include <new>
#include <utility>

#include "grid/MemoryHint.h"
#include "grid/SortKeys.h"

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

// ---- the one path ----

template <typename Make>
bool CGridTable::Change(const TableChange& change, Make&& make, bool recorded) {
    if (recorded && !MayChange()) return false;
    TableChange made = change;
    if (!make(made)) return false;
    Changed(made);
    return true;
}

void CGridTable::Changed(const TableChange& change) {
    ++m_version;
    TableChange told = change;
    told.recorded = m_log != nullptr;
    told.takingBack = m_takingBack;
    m_host.TableChanged(told);
}

template <typename Entry>
Entry* CGridTable::Record(Entry entry) {
    if (!m_log) return nullptr;
    using Stored = CGridChanges::Stored<Entry>;
    try {
        if constexpr (std::is_same_v<Stored, Entry>)
            m_log->m_entries.emplace_back(std::in_place_type<Entry>, std::move(entry));
        else
            m_log->m_entries.emplace_back(std::in_place_type<Stored>, std::make_unique<Entry>(std::move(entry)));
    } catch (const std::bad_alloc&) {
        RecordingFailed();
        return nullptr;
    }
    return CGridChanges::Get<Entry>(m_log->m_entries.back());
}

void CGridTable::RecordingFailed() {
    m_log->m_failed = true;
    // Whoever closes the step says so, once it has taken the step back.
    if (!m_takingBack && m_recordingThrows) throw std::bad_alloc();
}

bool CGridTable::NoteTextChange(int row, int col, const CGridCellBase& cell) {
    if (!m_log || m_log->IsFresh(row)) return true;
    try {
        return Record(CGridChanges::TextChange{row, col, std::string(cell.GetText())}) != nullptr;
    } catch (const std::bad_alloc&) {  // copying the text
        RecordingFailed();
        return false;
    }
}

bool CGridTable::NoteRowsAdded(int first, int count) {
    if (!m_log || count <= 0) return true;
    // Rows appended one by one make one run.
    auto* last =
        m_log->m_entries.empty() ? nullptr : CGridChanges::Get<CGridChanges::RowsAdded>(m_log->m_entries.back());
    if (!(last && last->fixedRows == m_fixedRows && last->rows.Extend(first, count)) &&
        !Record(CGridChanges::RowsAdded{CRowSet(first, count), m_fixedRows}))
        return false;
    int& fresh = m_log->m_freshFrom;
    if (first >= m_rows) {
        fresh = std::min(fresh, m_rows);  // every row from the old end on is new
    } else if (first < fresh && fresh != INT_MAX) {
        fresh += count;
    }
    return true;
}

// ---- sizes ----

void CGridTable::SetHeight(int row, std::uint32_t height) {
    m_totalHeight += static_cast<long long>(height) - m_rowHeights[row];
    m_rowHeights[row] = height;
    m_positions.HeightsChangedFrom(row);
}

void CGridTable::SetWidth(int col, std::uint32_t width) {
    m_totalWidth += static_cast<long long>(width) - m_colWidths[col];
    m_colWidths[col] = width;
}

void CGridTable::RenumberCells(int fromRow, int fromCol) {
    if (!m_hasCoordCells) return;
    for (int r = fromRow; r < m_rows; ++r)
        for (int c = fromCol; c < static_cast<int>(m_rowData[r].size()); ++c)
            if (CGridCellBase* cell = m_rowData[r][c].get()) cell->SetCoords(r, c);
}

void CGridTable::DestroyCell(int row, int col) {
    m_host.CellGoing(row, col);
    m_rowData[row][col].reset();
}

CGridTable::Row CGridTable::MakeRow(int row) {
    Row cells;
    cells.reserve(static_cast<std::size_t>(m_cols));
    for (int c = 0; c < m_cols; ++c) cells.push_back(m_host.NewSlot(row, c));
    return cells;
}

// ---- rows ----

bool CGridTable::AppendRows(int count, std::uint32_t height) {
    bool ranOut = false;
    const bool made = Change({GridChange::Rows, m_rows, -1, 0, nullptr, true}, [&](TableChange& change) {
        const int first = m_rows;
        if (!NoteRowsAdded(first, count)) return false;
        try {
            m_rowData.reserve(static_cast<std::size_t>(first + count));
            m_rowHeights.reserve(static_cast<std::size_t>(first + count));
            m_positions.Reserve(m_rowData.capacity());
            while (m_rows < first + count) {
                // Room is reserved: only making the row's cells can fail, and
                // then its cells go with it.
                m_rowData.push_back(MakeRow(m_rows));
                m_rowHeights.push_back(height);
                m_totalHeight += height;
                ++m_rows;
            }
        } catch (const std::bad_alloc&) {
            // The record keeps only the rows that came.
            if (m_log && !m_log->m_entries.empty())
                if (auto* added = CGridChanges::Get<CGridChanges::RowsAdded>(m_log->m_entries.back()))
                    added->rows.DropFrom(m_rows);
            ranOut = true;
        }
        change.count = m_rows - first;
        m_positions.HeightsChangedFrom(first);
        return change.count > 0;
    });
    if (ranOut) throw std::bad_alloc();
    return made;
}

bool CGridTable::InsertRow(int row, std::uint32_t height) {
    return Change({GridChange::Rows, row, -1, 1, nullptr, true}, [&](TableChange&) {
        // Everything that can fail comes before the record, so that a
        // failure leaves the record as it was.
        Row cells = MakeRow(row);
        MakeRoomForOne(m_rowData);
        MakeRoomForOne(m_rowHeights);
        m_positions.Reserve(m_rowData.capacity());
        if (!NoteRowsAdded(row, 1)) return false;
        // Nothing from here on allocates, so the row and its height go in together.
        m_rowData.insert(m_rowData.begin() + row, std::move(cells));
        m_rowHeights.insert(m_rowHeights.begin() + row, height);
        m_totalHeight += height;
        ++m_rows;
        RenumberCells(row + 1, 0);
        m_positions.HeightsChangedFrom(row);
        return true;
    });
}

bool CGridTable::RemoveRows(CRowSet rows) {
    if (rows.Empty()) return true;
    TableChange going{GridChange::Rows, rows.Front(), -1, rows.Size(), &rows, false};
    m_host.Going(going);
    return Change(going, [&](TableChange& change) { return TakeRowsOut(rows, change); });
}

bool CGridTable::TakeRowsOut(CRowSet& rows, TableChange& change) {
    CGridChanges::RowsRemoved* record = nullptr;
    const int first = rows.Front();
    const int count = rows.Size();
    if (m_log) {
        record = Record(CGridChanges::RowsRemoved{std::move(rows), {}, {}, 0, m_fixedRows});
        if (!record) return false;
        change.rows = &record->rows;
        // The rows to the end, and more of them than stay before them: the
        // record takes the table's arrays whole, and the table starts new
        // ones for the rows before. Deleting every item of a list then
        // holds the list once, and asks for next to no memory.
        if (record->rows.IsRun() && first + count == m_rows && first <= count) {
            BigVector<Row> kept;
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

void CGridTable::AfterRowsRemoved(const CRowSet& rows) {
    const int first = rows.Front();
    m_fixedRows -= rows.CountBelow(m_fixedRows);
    m_rows = static_cast<int>(m_rowData.size());
    RenumberCells(first, 0);
    m_positions.HeightsChangedFrom(first);
    if (m_log && m_log->m_freshFrom != INT_MAX) m_log->m_freshFrom -= rows.CountBelow(m_log->m_freshFrom);
}

bool CGridTable::PutRowsBack(const CRowSet& rows, BigVector<Row>& cells, std::vector<std::uint32_t>& heights,
                             std::size_t offset, int fixedRows) {
    const int count = rows.Size();
    if (count == 0) return MayChange();
    return Change({GridChange::Rows, rows.Front(), -1, count, &rows, true}, [&](TableChange&) {
        const int first = rows.Front();
        const int total = m_rows + count;
        // Arrays the table gave up whole take back the rows before them.
        const bool whole = rows.IsRun() && m_rows == first && offset == static_cast<std::size_t>(first) &&
                           cells.size() == static_cast<std::size_t>(total);
        try {
            if (whole) {
                m_positions.Reserve(cells.capacity());
            } else {
                m_rowData.reserve(static_cast<std::size_t>(total));
                m_rowHeights.reserve(static_cast<std::size_t>(total));
                m_positions.Reserve(m_rowData.capacity());
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
            // From the end down: each place takes a row put back or the next
            // row that was there.
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
        m_rows = total;
        m_fixedRows = fixedRows;
        RenumberCells(first, 0);
        m_positions.HeightsChangedFrom(first);
        return true;
    });
}

// ---- columns ----

void CGridTable::InsertColumnCells(int col, std::uint32_t width, std::size_t roomPerRow) {
    std::vector<CCellSlot> cells;
    cells.reserve(static_cast<std::size_t>(m_rows));
    for (int r = 0; r < m_rows; ++r) cells.push_back(m_host.NewSlot(r, col));
    for (Row& row : m_rowData) MakeRoomInRow(row, roomPerRow);
    MakeRoomForOne(m_colWidths);
    // Nothing from here on allocates: every row gets its cell, or none does.
    for (int r = 0; r < m_rows; ++r) m_rowData[r].insert(m_rowData[r].begin() + col, std::move(cells[r]));
    m_colWidths.insert(m_colWidths.begin() + col, width);
    m_totalWidth += width;
    ++m_cols;
    RenumberCells(0, col + 1);
}

bool CGridTable::InsertColumn(int col, std::uint32_t width, std::size_t roomPerRow) {
    return Change({GridChange::Columns, -1, col, 1, nullptr, true}, [&](TableChange&) {
        if (m_log && !Record(CGridChanges::ColumnAdded{col, m_fixedCols})) return false;
        try {
            InsertColumnCells(col, width, roomPerRow);
        } catch (const std::bad_alloc&) {
            if (m_log) m_log->m_entries.pop_back();
            throw;
        }
        return true;
    });
}

bool CGridTable::RemoveColumn(int col) {
    TableChange going{GridChange::Columns, -1, col};
    m_host.Going(going);
    return Change(going, [&](TableChange&) {
        CGridChanges::ColumnRemoved* record = nullptr;
        if (m_log) {
            try {
                CGridChanges::ColumnRemoved entry{col, m_colWidths[col], {}, m_fixedCols};
                entry.cells.reserve(static_cast<std::size_t>(m_rows));
                record = Record(std::move(entry));
            } catch (const std::bad_alloc&) {
                RecordingFailed();
            }
            if (!record) return false;
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
        return true;
    });
}

bool CGridTable::PutColumnBack(int col, std::uint32_t width, std::vector<CCellSlot>& cells, int fixedCols) {
    if (static_cast<int>(cells.size()) != m_rows) return false;
    return Change({GridChange::Columns, -1, col, 1, nullptr, true}, [&](TableChange&) {
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
        return true;
    });
}

// ---- cells ----

bool CGridTable::SetText(int row, int col, std::string_view text) {
    CGridCellBase* cell = m_rowData[row][col].get();
    if (!cell) return false;
    if (cell->GetText() == text) return true;
    return Change({GridChange::Cells, row, col}, [&](TableChange&) {
        if (!NoteTextChange(row, col, *cell)) return false;
        cell->SetText(text);
        return true;
    });
}

bool CGridTable::ChangeCheck(int row, int col, bool checked, const std::function<void()>& change) {
    return Change({GridChange::Cells, row, col}, [&](TableChange&) {
        if (m_log && !m_log->IsFresh(row) && !Record(CGridChanges::CheckChange{row, col, checked})) return false;
        change();
        return true;
    });
}

bool CGridTable::ReplaceCell(int row, int col, CCellSlot cell) {
    return Change({GridChange::Cells, row, col}, [&](TableChange&) {
        if (m_log && !m_log->IsFresh(row)) {
            auto* record = Record(CGridChanges::CellChange{row, col, CCellSlot()});
            if (!record) return false;
            record->cell = std::move(m_rowData[row][col]);
        }
        m_rowData[row][col] = std::move(cell);  // the old cell goes here, unless the record took it
        if (CGridCellBase* made = m_rowData[row][col].get()) {
            made->SetCoords(row, col);
            NoteCoordCell(made->KeepsCoords());
        }
        return true;
    });
}

// ---- the order of the rows ----

void CGridTable::PermuteRows(int first, std::size_t count, const std::function<int(std::size_t)>& fromOf,
                             const std::function<void(std::size_t)>& onMoved) {
    std::size_t moved = 0;
    for (std::size_t start = 0; start < count; ++start) {
        if (m_placed[start]) continue;
        // The row at start waits aside while the cycle through it moves up.
        const int low = first;
        Row waiting = std::move(m_rowData[low + static_cast<int>(start)]);
        const std::uint32_t waitingHeight = m_rowHeights[low + static_cast<int>(start)];
        std::size_t k = start;
        for (auto source = static_cast<std::size_t>(fromOf(k) - low); source != start;
             source = static_cast<std::size_t>(fromOf(k) - low)) {
            // The rows lie all over memory after a sort; the next in the
            // cycle is asked for while this one moves.
            if (const int next = fromOf(source); next != low + static_cast<int>(start)) {
                Prefetch(&m_rowData[next]);
                Prefetch(&m_rowHeights[next]);
            }
            m_rowData[low + static_cast<int>(k)] = std::move(m_rowData[low + static_cast<int>(source)]);
            m_rowHeights[low + static_cast<int>(k)] = m_rowHeights[low + static_cast<int>(source)];
            m_placed[k] = true;
            if (onMoved) onMoved(++moved);
            k = source;
        }
        m_rowData[low + static_cast<int>(k)] = std::move(waiting);
        m_rowHeights[low + static_cast<int>(k)] = waitingHeight;
        m_placed[k] = true;
        if (onMoved) onMoved(++moved);
    }
}

bool CGridTable::Reorder(int first, const std::vector<int>& from) {
    const std::size_t count = from.size();
    return Change({GridChange::Order, first, -1, static_cast<int>(count)}, [&](TableChange&) {
        std::vector<int> back;
        try {
            m_placed.assign(count, false);
            if (m_log) {
                back.resize(count);
                for (std::size_t k = 0; k < count; ++k)
                    back[static_cast<std::size_t>(from[k] - first)] = first + static_cast<int>(k);
                if (!Record(CGridChanges::RowsReordered{first, std::move(back)})) return false;
            }
        } catch (const std::bad_alloc&) {
            if (m_log) RecordingFailed();
            return false;
        }
        PermuteRows(
            first, count, [&from](std::size_t k) { return from[k]; },
            [this](std::size_t moved) { ReportTakingBack(moved); });
        RenumberCells(first, 0);
        m_positions.HeightsChangedFrom(first);
        if (m_log && first + static_cast<int>(count) > m_log->m_freshFrom) m_log->m_freshFrom = INT_MAX;
        // A whole-table sort would otherwise keep its scratch for the table's life.
        if (count > CSortKeys::kKeptRun) std::vector<bool>().swap(m_placed);
        return true;
    });
}

void CGridTable::PutInOrder(int first, std::size_t count, const std::function<int(std::size_t)>& rowAt,
                            BigVector<Row>* gather, std::vector<std::uint32_t>* gatherHeights) {
    Change({GridChange::Order, first, -1, static_cast<int>(count)}, [&](TableChange&) {
        m_positions.HeightsChangedFrom(first);
        if (gather && gather->capacity() >= count) {
            constexpr std::size_t kAhead = 16;
            for (std::size_t k = 0; k < count; ++k) {
                if (k + kAhead < count) {
                    const auto ahead = static_cast<std::size_t>(rowAt(k + kAhead));
                    Prefetch(&m_rowData[ahead]);
                    Prefetch(&m_rowHeights[ahead]);
                }
                const auto from = static_cast<std::size_t>(rowAt(k));
                gather->push_back(std::move(m_rowData[from]));
                gatherHeights->push_back(m_rowHeights[from]);
            }
            std::move(gather->begin(), gather->end(), m_rowData.begin() + first);
            std::copy(gatherHeights->begin(), gatherHeights->end(), m_rowHeights.begin() + first);
        } else {
            m_placed.assign(count, false);
            PermuteRows(first, count, rowAt, {});
        }
        if (m_hasCoordCells)
            for (std::size_t k = 0; k < count; ++k) {
                const int row = first + static_cast<int>(k);
                for (int c = 0; c < m_cols; ++c)
                    if (CGridCellBase* cell = m_rowData[row][c].get()) cell->SetCoords(row, c);
            }
        if (count > CSortKeys::kKeptRun) std::vector<bool>().swap(m_placed);
        return true;
    });
}

// ---- the fixed rows and columns, and the whole ----

void CGridTable::SetFixed(int rows, int cols) {
    Change(
        {cols != m_fixedCols ? GridChange::Columns : GridChange::Rows},
        [&](TableChange&) {
            m_fixedRows = rows;
            m_fixedCols = cols;
            return true;
        },
        false);
}

void CGridTable::Clear() {
    Change(
        {GridChange::Columns},
        [&](TableChange&) {
            for (int r = 0; r < m_rows; ++r)
                for (int c = 0; c < m_cols; ++c) DestroyCell(r, c);
            // Their room goes too: a list read in their place may be small.
            decltype(m_rowData)().swap(m_rowData);
            decltype(m_rowHeights)().swap(m_rowHeights);
            m_colWidths.clear();
            m_positions.HeightsChangedFrom(0);
            m_totalHeight = 0;
            m_totalWidth = 0;
            m_rows = m_cols = m_fixedRows = m_fixedCols = 0;
            return true;
        },
        false);
}

}  // namespace tabulon
