// Recording the grid's changes and taking them back: the entries of a change
// log, how each mutation records itself, and how each entry is undone while
// the undoing records the way back.

#include "grid/GridChanges.h"

#include <algorithm>
#include <new>

#include "grid/GridCtrl.h"

namespace tabulon {

namespace {

std::size_t CellBytes(const CCellSlot& slot) {
    const CGridCellBase* cell = slot.get();
    return sizeof(CCellSlot) + (cell ? sizeof(CGridCell) + CCellText::BlockBytesFor(cell->GetText().size()) : 0);
}

}  // namespace

CRowSet::CRowSet(std::vector<int> rows)
    : m_first(rows.empty() ? 0 : rows.front()), m_count(static_cast<int>(rows.size())) {
    if (!rows.empty() && rows.back() - rows.front() + 1 != m_count) m_list = std::move(rows);
}

int CRowSet::CountBelow(int row) const {
    if (m_list.empty()) return std::clamp(row - m_first, 0, m_count);
    return static_cast<int>(std::lower_bound(m_list.begin(), m_list.end(), row) - m_list.begin());
}

bool CRowSet::Contains(int row) const {
    const int below = CountBelow(row);
    return below < m_count && (*this)[static_cast<std::size_t>(below)] == row;
}

bool CRowSet::Extend(int first, int count) {
    if (!m_list.empty() || first != m_first + m_count) return false;
    m_count += count;
    return true;
}

void CRowSet::DropFrom(int row) {
    m_count = CountBelow(row);
    if (!m_list.empty()) m_list.resize(static_cast<std::size_t>(m_count));
}

std::size_t CGridChanges::Bytes() const {
    std::size_t bytes = m_entries.capacity() * sizeof(Entry);
    for (const Entry& entry : m_entries) {
        if (const auto* text = Get<TextChange>(entry)) {
            bytes += text->text.capacity();
        } else if (const auto* cell = Get<CellChange>(entry)) {
            bytes += CellBytes(cell->cell);
        } else if (const auto* added = Get<RowsAdded>(entry)) {
            bytes += added->rows.Bytes();
        } else if (const auto* removed = Get<RowsRemoved>(entry)) {
            bytes += removed->rows.Bytes() + removed->cells.capacity() * sizeof(GridRow) +
                     removed->heights.capacity() * sizeof(std::uint32_t);
            for (const GridRow& row : removed->cells)
                for (const CCellSlot& slot : row) bytes += CellBytes(slot);
        } else if (const auto* column = Get<ColumnRemoved>(entry)) {
            for (const CCellSlot& slot : column->cells) bytes += CellBytes(slot);
        } else if (const auto* order = Get<RowsReordered>(entry)) {
            bytes += order->from.capacity() * sizeof(int);
        }
    }
    return bytes;
}

std::uint64_t CGridChanges::Units(const Entry& entry) {
    if (const auto* added = Get<RowsAdded>(entry)) return static_cast<std::uint64_t>(added->rows.Size());
    if (const auto* removed = Get<RowsRemoved>(entry)) return static_cast<std::uint64_t>(removed->rows.Size());
    if (const auto* column = Get<ColumnRemoved>(entry)) return column->cells.size();
    if (const auto* order = Get<RowsReordered>(entry)) return order->from.size();
    return 1;
}

bool CGridChanges::ReordersOnly() const {
    return std::all_of(m_entries.begin(), m_entries.end(),
                       [](const Entry& entry) { return Get<RowsReordered>(entry) != nullptr; });
}

std::uint64_t CGridChanges::Units() const {
    std::uint64_t units = 0;
    for (const Entry& entry : m_entries) units += Units(entry);
    return units;
}

std::optional<CellId> CGridChanges::PlaceOf(const Entry& entry, const CellRange* cells) {
    // A set of rows: its first row, or its first row inside cells.
    const auto firstRow = [cells](const CRowSet& rows) -> std::optional<CellId> {
        if (rows.Empty()) return std::nullopt;
        if (!cells) return CellId(rows.Front(), -1);
        const int below = rows.CountBelow(cells->minRow);
        if (below == rows.Size()) return std::nullopt;
        const int row = rows[static_cast<std::size_t>(below)];
        if (row > cells->maxRow) return std::nullopt;
        return CellId(row, cells->minCol);
    };
    const auto cell = [cells](int row, int col) -> std::optional<CellId> {
        if (cells && !cells->Contains(row, col)) return std::nullopt;
        return CellId(row, col);
    };
    const auto column = [cells](int col) -> std::optional<CellId> {
        if (!cells) return CellId(-1, col);
        if (col < cells->minCol || col > cells->maxCol) return std::nullopt;
        return CellId(cells->minRow, col);
    };
    if (const auto* text = Get<TextChange>(entry)) return cell(text->row, text->col);
    if (const auto* check = Get<CheckChange>(entry)) return cell(check->row, check->col);
    if (const auto* changed = Get<CellChange>(entry)) return cell(changed->row, changed->col);
    if (const auto* added = Get<RowsAdded>(entry)) return firstRow(added->rows);
    if (const auto* removed = Get<RowsRemoved>(entry)) return firstRow(removed->rows);
    if (const auto* added = Get<ColumnAdded>(entry)) return column(added->col);
    if (const auto* gone = Get<ColumnRemoved>(entry)) return column(gone->col);
    if (const auto* order = Get<RowsReordered>(entry))
        return firstRow(CRowSet(order->first, static_cast<int>(order->from.size())));
    return std::nullopt;
}

std::optional<CellId> CGridChanges::FirstOf(const CellRange* cells) const {
    if (cells && !cells->IsValid()) return std::nullopt;
    std::optional<CellId> first;
    for (const Entry& entry : m_entries) {
        const std::optional<CellId> place = PlaceOf(entry, cells);
        if (place && (!first || std::pair(place->row, place->col) < std::pair(first->row, first->col))) first = place;
    }
    return first;
}

std::optional<CellId> CGridChanges::FirstPlace() const { return FirstOf(nullptr); }

std::optional<CellId> CGridChanges::FirstPlaceIn(const CellRange& cells) const { return FirstOf(&cells); }

// ---- recording ----

void CGridCtrl::RecordingFailed() {
    m_log->m_failed = true;
    // Whoever closes the step says so, once it has taken the step back.
    if (!m_takingBack && m_outOfMemoryThrows) throw std::bad_alloc();
}

bool CGridCtrl::NoteTextChange(int row, int col, const CGridCellBase& cell) {
    if (!m_log) return true;
    if (m_log->m_failed) return false;
    if (m_log->IsFresh(row)) return true;
    try {
        return Record(CGridChanges::TextChange{row, col, std::string(cell.GetText())}) != nullptr;
    } catch (const std::bad_alloc&) {  // copying the text
        RecordingFailed();
        return false;
    }
}

bool CGridCtrl::NoteCheckChange(int row, int col, bool checked) {
    if (!m_log) return true;
    if (m_log->m_failed) return false;
    if (m_log->IsFresh(row)) return true;
    return Record(CGridChanges::CheckChange{row, col, checked}) != nullptr;
}

bool CGridCtrl::NoteRowsAdded(int first, int count) {
    if (!m_log || count <= 0) return MayChange();
    if (m_log->m_failed) return false;
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

void CGridCtrl::PermuteRows(int first, std::size_t count, const std::function<int(std::size_t)>& fromOf,
                            const std::function<void(std::size_t)>& onMoved) {
    std::size_t moved = 0;
    for (std::size_t start = 0; start < count; ++start) {
        if (m_sortPlaced[start]) continue;
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
                __builtin_prefetch(&m_rowData[next]);
                __builtin_prefetch(&m_rowHeights[next]);
            }
            m_rowData[low + static_cast<int>(k)] = std::move(m_rowData[low + static_cast<int>(source)]);
            m_rowHeights[low + static_cast<int>(k)] = m_rowHeights[low + static_cast<int>(source)];
            m_sortPlaced[k] = true;
            if (onMoved) onMoved(++moved);
            k = source;
        }
        m_rowData[low + static_cast<int>(k)] = std::move(waiting);
        m_rowHeights[low + static_cast<int>(k)] = waitingHeight;
        m_sortPlaced[k] = true;
        if (onMoved) onMoved(++moved);
    }
}

bool CGridCtrl::ReorderRows(int first, const std::vector<int>& from) {
    ++m_textsVersion;
    if (!MayChange()) return false;
    NotifyTableChanged();
    const std::size_t count = from.size();
    std::vector<int> back;
    try {
        m_sortPlaced.assign(count, false);
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
    RowHeightsChangedFrom(first);
    if (m_log && first + static_cast<int>(count) > m_log->m_freshFrom) m_log->m_freshFrom = INT_MAX;
    return true;
}

// ---- taking back ----

void CGridCtrl::TakeBackEntry(CGridChanges::Entry& entry) {
    ++m_textsVersion;
    using C = CGridChanges;
    if (auto* text = C::Get<C::TextChange>(entry)) {
        SetCellText(text->row, text->col, text->text);
    } else if (auto* check = C::Get<C::CheckChange>(entry)) {
        if (auto* box = dynamic_cast<CGridCellCheckBox*>(GetCell(check->row, check->col)))
            box->SetCheck(check->checked);
    } else if (auto* cell = C::Get<C::CellChange>(entry)) {
        if (!IsValidCell(cell->row, cell->col)) return;
        C::CellChange* redo = Record(C::CellChange{cell->row, cell->col, CCellSlot()});
        if (m_log && !redo) return;
        CCellSlot& slot = m_rowData[cell->row][cell->col];
        if (redo) redo->cell = std::move(slot);
        slot = std::move(cell->cell);
        if (CGridCellBase* back = slot.get()) back->SetCoords(cell->row, cell->col);
        NotifyCellChanged(cell->row, cell->col);
    } else if (auto* added = C::Get<C::RowsAdded>(entry)) {
        RemoveRowsAt(std::move(added->rows));
        m_fixedRows = std::min(m_fixedRows, added->fixedRows);
    } else if (auto* removed = C::Get<C::RowsRemoved>(entry)) {
        PutRowsBack(removed->rows, removed->cells, removed->heights, removed->offset, removed->fixedRows);
    } else if (auto* column = C::Get<C::ColumnAdded>(entry)) {
        if (column->col < m_cols && RemoveColumnAt(column->col)) m_fixedCols = column->fixedCols;
    } else if (auto* gone = C::Get<C::ColumnRemoved>(entry)) {
        PutColumnBack(gone->col, gone->width, gone->cells, gone->fixedCols);
    } else if (auto* order = C::Get<C::RowsReordered>(entry)) {
        ReorderRows(order->first, order->from);
    }
}

void CGridCtrl::ReportTakingBack(std::uint64_t withinEntry) {
    if (m_takingBack) ReportProgress(kRestoringPhase, m_takenBack + withinEntry, m_toTakeBack);
}

void CGridCtrl::TakeBack(CGridChanges& changes, CGridChanges& redo, std::uint64_t doneBefore, std::uint64_t total) {
    TakeBackInto(changes, &redo, doneBefore, total);
}

void CGridCtrl::TakeBack(CGridChanges& changes) { TakeBackInto(changes, nullptr, 0, 0); }

void CGridCtrl::TakeBackInto(CGridChanges& changes, CGridChanges* redo, std::uint64_t doneBefore, std::uint64_t total) {
    EndEditingBeforeLayoutChange();
    ResetSelection();
    CGridChanges* const outer = m_log;
    m_log = redo;
    m_takingBack = true;
    m_takenBack = doneBefore;
    m_toTakeBack = total;
    for (auto entry = changes.m_entries.rbegin(); entry != changes.m_entries.rend() && !(redo && redo->m_failed);
         ++entry) {
        ReportTakingBack(0);
        TakeBackEntry(*entry);
        m_takenBack += CGridChanges::Units(*entry);
    }
    m_log = outer;
    m_takingBack = false;
    changes = CGridChanges();
    if (m_sortPlaced.size() > CSortKeys::kKeptRun) std::vector<bool>().swap(m_sortPlaced);
    SetSortColumn(-1);
    ClearCachedTopLeft();
    ResetScrollBars();
    Refresh();
}

}  // namespace tabulon
