// Sorting whole rows by the text of a column; the keys and their order are
// SortKeys.cpp.

#include <algorithm>
#include <new>

#include "grid/GridCtrl.h"
#include "grid/MemoryHint.h"

namespace tabulon {

namespace {
// Sorting fewer rows than this takes no time worth telling of.
constexpr std::uint64_t kLongRun = 65536;
constexpr std::size_t kPreparedKeys = 131072;
}  // namespace

void CGridCtrl::SetSortColumn(int col) {
    if (m_sortColumn >= 0) RedrawCell(0, m_sortColumn);
    m_sortColumn = col;
    if (col >= 0) RedrawCell(0, col);
}

void CGridCtrl::SortByColumn(int col, bool ascending) {
    SetSortColumn(col);
    m_sortAscending = ascending;
    m_keyTiesColumn = -1;
    ResetSelection();
    SetFocusCell(-1, -1);
    SortRowRange(col, ascending, m_table.FixedRows(), -1);
}

void CGridCtrl::OnHeaderClickSort(int col) {
    const bool ascending = col == m_sortColumn ? !m_sortAscending : true;
    SortByColumn(col, ascending);
    Refresh();
}

bool CGridCtrl::SortRowRange(int col, bool ascending, int low, int high) {
    EndEditingBeforeLayoutChange();
    if (col < 0 || col >= m_table.Cols()) return false;
    if (high == -1) high = m_table.Rows() - 1;
    if (low < 0 || high >= m_table.Rows() || low >= high) return false;
    // Everything the sort needs is taken before a row moves: when memory
    // runs out the rows stay as they were.
    BigVector<int> order;
    BigVector<Row> gathered;
    std::vector<std::uint32_t> gatheredHeights;
    try {
        SortKeysOf(col, ascending, low, high);
        if (m_sortKeys.Keyed()) NoteKeyTies(col, low);
        if (!m_table.Log() && m_sortKeys.Size() > CSortKeys::kKeptRun) {
            // A long run without a record: its order is copied out of its
            // keys, which then go, and its rows are gathered in that order
            // and put back. Reading the order front to back, the rows it
            // names asked for ahead, waits for memory far less than following
            // its cycles all over memory, and the keys' room is free first.
            order.resize(m_sortKeys.Size());
            bool inPlace = true;  // an order that moves nothing gathers nothing
            for (std::size_t k = 0; k < order.size(); ++k) {
                order[k] = m_sortKeys.RowAt(k);
                inPlace = inPlace && order[k] == low + static_cast<int>(k);
            }
            m_sortKeys.ReleaseIfLarge();
            if (inPlace) return true;
            gathered.reserve(order.size());
            gatheredHeights.reserve(order.size());
        }
    } catch (const std::bad_alloc&) {
        m_sortKeys = CSortKeys();  // gives its memory back
        m_keyTiesColumn = -1;
        OnOutOfMemory();
        return false;
    }
    if (m_table.Log()) return PutRowsInKeyOrder(low);
    if (order.empty()) {
        bool moved = false;
        for (std::size_t k = 0; k < m_sortKeys.Size() && !moved; ++k)
            moved = m_sortKeys.RowAt(k) != low + static_cast<int>(k);
        if (moved)
            m_table.PutInOrder(
                low, m_sortKeys.Size(), [this](std::size_t k) { return m_sortKeys.RowAt(k); }, nullptr, nullptr);
    } else {
        m_table.PutInOrder(
            low, order.size(), [&order](std::size_t k) { return order[k]; }, &gathered, &gatheredHeights);
    }
    m_sortKeys.ReleaseIfLarge();
    return true;
}

void CGridCtrl::SortKeysOf(int col, bool ascending, int low, int high) {
    // Only a long run tells of its progress: the many short runs of a sort
    // by all columns are told of by their caller.
    const std::uint64_t runLength = static_cast<std::uint64_t>(high - low) + 1;
    const bool tell = runLength >= kLongRun;
    m_sortKeys.Clear(runLength);
    const CSortOrder* order = GetSortOrder();
    for (int r = low; r <= high; ++r) {
        // The rows ahead are asked for early (grid/MemoryHint.h).
        if (r + 16 <= high) Prefetch(m_table.RowAt(r + 16).data());
        if (r + 8 <= high) Prefetch(m_table.Slot(r + 8, col).get());
        if (order) {
            if (col != m_preparedColumn || !m_sortKeys.AddPrepared(m_preparedKeys, m_preparedAt, r, *order))
                m_sortKeys.AddKeyed(GetCellText(r, col), r, *order);
        } else
            m_sortKeys.Add(GetCellText(r, col), r);
        if (tell) ReportProgress(kSortingPhase, static_cast<std::uint64_t>(r - low), 3 * runLength);
    }
    if (tell) {
        m_sortKeys.Sort(ascending, [&](unsigned thousandths) {
            ReportProgress(kSortingPhase, runLength + runLength * thousandths / 1000, 3 * runLength);
        });
    } else {
        m_sortKeys.Sort(ascending);
    }
}

void CGridCtrl::PrepareSortKeys(int col, const std::function<bool(int)>& needed) {
    DropPreparedSortKeys();
    const CSortOrder* order = GetSortOrder();
    if (!order || col < 0 || col >= m_table.Cols()) return;
    const int rows = m_table.Rows();
    std::size_t count = 0;
    for (int r = m_table.FixedRows(); r < rows; ++r) count += needed(r) ? 1 : 0;
    // Below this many, keys made at once save no more than the making of
    // them at once costs (a table of the texts, a second thread).
    if (count < kPreparedKeys) return;
    try {
        m_preparedKeys.Clear(count);
        for (int r = m_table.FixedRows(); r < rows; ++r) {
            if (r + 16 < rows) Prefetch(m_table.RowAt(r + 16).data());
            if (r + 8 < rows) Prefetch(m_table.Slot(r + 8, col).get());
            if (needed(r)) m_preparedKeys.AddKeyed(GetCellText(r, col), r, *order);
        }
        m_preparedKeys.MakeKeysNow();
        m_preparedColumn = col;
    } catch (const std::bad_alloc&) {
        DropPreparedSortKeys();  // each run makes its own keys
    }
}

void CGridCtrl::DropPreparedSortKeys() {
    m_preparedKeys = CSortKeys();
    m_preparedColumn = -1;
    m_preparedAt = 0;
}

void CGridCtrl::NoteKeyTies(int col, int low) {
    const auto rows = static_cast<std::size_t>(m_table.Rows());
    if (col != m_keyTiesColumn || m_keyTies.size() != rows) {
        m_keyTies.assign(rows, -1);
        m_keyTiesColumn = col;
    }
    const auto first = static_cast<std::size_t>(low);
    m_keyTies[first] = -1;  // the row above the run was not compared
    for (std::size_t k = 1; k < m_sortKeys.Size(); ++k) m_keyTies[first + k] = m_sortKeys.SameKeyAsPrevious(k) ? 1 : 0;
}

int CGridCtrl::KeyTiedWithAbove(int row, int col) const {
    if (col != m_keyTiesColumn || row < 0 || static_cast<std::size_t>(row) >= m_keyTies.size()) return -1;
    return m_keyTies[static_cast<std::size_t>(row)];
}

bool CGridCtrl::PutRowsInKeyOrder(int low) {
    // The order is kept in the record, so that it can be taken back.
    std::vector<int> from;
    try {
        from.resize(m_sortKeys.Size());
    } catch (const std::bad_alloc&) {
        m_sortKeys.ReleaseIfLarge();
        m_keyTiesColumn = -1;  // the rows stay where they were
        m_table.RecordingRanOut();
        return false;
    }
    bool moved = false;
    for (std::size_t k = 0; k < from.size(); ++k) {
        from[k] = m_sortKeys.RowAt(k);
        moved = moved || from[k] != low + static_cast<int>(k);
    }
    m_sortKeys.ReleaseIfLarge();
    return !moved ? m_table.MayChange() : m_table.Reorder(low, from);
}

}  // namespace tabulon
