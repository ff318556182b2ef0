// Recording the grid's changes and taking them back: the entries of a change
// log, how each mutation records itself, and how each entry is undone while
// the undoing records the way back.

#include "grid/GridChanges.h"

#include <algorithm>
#include <new>

#include "grid/GridCell.h"
#include "grid/GridTable.h"
#include "grid/SortKeys.h"

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

// ---- taking back ----

void CGridTable::ReportTakingBack(std::uint64_t withinEntry) {
    if (m_takingBack) m_host.TakingBack(m_takenBack + withinEntry, m_toTakeBack);
}

void CGridTable::TakeBackEntry(CGridChanges::Entry& entry) {
    using C = CGridChanges;
    if (auto* text = C::Get<C::TextChange>(entry)) {
        if (IsValid(text->row, text->col) && m_host.MadeCell(text->row, text->col))
            SetText(text->row, text->col, text->text);
    } else if (auto* check = C::Get<C::CheckChange>(entry)) {
        if (auto* box = dynamic_cast<CGridCellCheckBox*>(
                IsValid(check->row, check->col) ? m_host.MadeCell(check->row, check->col) : nullptr))
            box->SetCheck(check->checked);
    } else if (auto* cell = C::Get<C::CellChange>(entry)) {
        if (IsValid(cell->row, cell->col)) ReplaceCell(cell->row, cell->col, std::move(cell->cell));
    } else if (auto* added = C::Get<C::RowsAdded>(entry)) {
        if (RemoveRows(std::move(added->rows))) m_fixedRows = std::min(m_fixedRows, added->fixedRows);
    } else if (auto* removed = C::Get<C::RowsRemoved>(entry)) {
        PutRowsBack(removed->rows, removed->cells, removed->heights, removed->offset, removed->fixedRows);
    } else if (auto* column = C::Get<C::ColumnAdded>(entry)) {
        if (column->col < m_cols && RemoveColumn(column->col)) m_fixedCols = column->fixedCols;
    } else if (auto* gone = C::Get<C::ColumnRemoved>(entry)) {
        PutColumnBack(gone->col, gone->width, gone->cells, gone->fixedCols);
    } else if (auto* order = C::Get<C::RowsReordered>(entry)) {
        Reorder(order->first, order->from);
    }
}

void CGridTable::TakeBack(CGridChanges& changes, CGridChanges* redo, std::uint64_t doneBefore, std::uint64_t total) {
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
    if (m_placed.size() > CSortKeys::kKeptRun) std::vector<bool>().swap(m_placed);
}

}  // namespace tabulon
