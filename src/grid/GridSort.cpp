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
}  // namespace

void CGridCtrl::SetSortColumn(int col) {
    if (m_sortColumn >= 0) RedrawCell(0, m_sortColumn);
    m_sortColumn = col;
    if (col >= 0) RedrawCell(0, col);
}

void CGridCtrl::SortByColumn(int col, bool ascending) {
    SetSortColumn(col);
    m_sortAscending = ascending;
    ResetSelection();
    SetFocusCell(-1, -1);
    SortRowRange(col, ascending, m_fixedRows, -1);
}

void CGridCtrl::OnHeaderClickSort(int col) {
    const bool ascending = col == m_sortColumn ? !m_sortAscending : true;
    SortByColumn(col, ascending);
    Refresh();
}

bool CGridCtrl::SortRowRange(int col, bool ascending, int low, int high) {
    ++m_textsVersion;
    EndEditingBeforeLayoutChange();
    if (col < 0 || col >= m_cols) return false;
    if (high == -1) high = m_rows - 1;
    if (low < 0 || high >= m_rows || low >= high) return false;
    NotifyTableChanged();

    // Only a long run tells of its progress: the many short runs of a sort
    // by all columns are told of by their caller. Everything the sort needs
    // is taken before a row moves: when memory runs out the rows stay as
    // they were.
    const std::uint64_t runLength = static_cast<std::uint64_t>(high - low) + 1;
    const bool tell = runLength >= kLongRun;
    // A long run's order, copied out of its keys, which then go; its rows are
    // gathered in that order and put back. Reading the order front to back,
    // the rows it names asked for ahead, waits for memory far less than
    // following its cycles all over memory, and the keys' room is free first.
    std::vector<int> order;
    std::vector<Row> gathered;
    std::vector<std::uint32_t> gatheredHeights;
    try {
        m_sortKeys.Clear(runLength);
        for (int r = low; r <= high; ++r) {
            // The rows ahead are asked for early (grid/MemoryHint.h).
            if (r + 16 <= high) Prefetch(m_rowData[r + 16].data());
            if (r + 8 <= high) Prefetch(m_rowData[r + 8][col].get());
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
        if (!m_log && runLength > CSortKeys::kKeptRun) {
            order.resize(m_sortKeys.Size());
            bool inPlace = true;  // an order that moves nothing gathers nothing
            for (std::size_t k = 0; k < order.size(); ++k) {
                order[k] = m_sortKeys.RowAt(k);
                inPlace = inPlace && order[k] == low + static_cast<int>(k);
            }
            m_sortKeys.ReleaseIfLarge();
            if (!inPlace) {
                gathered.reserve(order.size());
                gatheredHeights.reserve(order.size());
            }
        } else {
            m_sortPlaced.assign(m_sortKeys.Size(), false);
        }
    } catch (const std::bad_alloc&) {
        m_sortKeys = CSortKeys();  // gives its memory back
        std::vector<bool>().swap(m_sortPlaced);
        OnOutOfMemory();
        return false;
    }

    if (m_log) {
        // The order is kept, so that it can be taken back.
        std::vector<int> from;
        bool moved = false;
        try {
            from.resize(m_sortKeys.Size());
        } catch (const std::bad_alloc&) {
            RecordingFailed();
        }
        for (std::size_t k = 0; k < from.size(); ++k) {
            from[k] = m_sortKeys.RowAt(k);
            moved = moved || from[k] != low + static_cast<int>(k);
        }
        m_sortKeys.ReleaseIfLarge();
        if (!moved) return !m_log->m_failed;
        if (!ReorderRows(low, from)) return false;
        if (m_window && m_allowDraw) m_window->InvalidateAll();
        return true;
    }

    // The rows move once, into the order found; the cells stay where they are.
    RowHeightsChangedFrom(low);
    const std::size_t count = order.empty() ? m_sortKeys.Size() : order.size();
    const auto fromOf = [&](std::size_t k) { return order.empty() ? m_sortKeys.RowAt(k) : order[k]; };
    if (order.empty()) {
        PermuteRows(low, count, fromOf, {});
    } else if (gathered.capacity() > 0) {
        constexpr std::size_t kAhead = 16;
        for (std::size_t k = 0; k < count; ++k) {
            if (k + kAhead < count) {
                const auto ahead = static_cast<std::size_t>(order[k + kAhead]);
                Prefetch(&m_rowData[ahead]);
                Prefetch(&m_rowHeights[ahead]);
            }
            const auto from = static_cast<std::size_t>(order[k]);
            gathered.push_back(std::move(m_rowData[from]));
            gatheredHeights.push_back(m_rowHeights[from]);
        }
        std::move(gathered.begin(), gathered.end(), m_rowData.begin() + low);
        std::copy(gatheredHeights.begin(), gatheredHeights.end(), m_rowHeights.begin() + low);
    }
    bool moved = false;
    for (std::size_t k = 0; k < count; ++k) {
        const int row = low + static_cast<int>(k);
        if (fromOf(k) == row) continue;
        moved = true;
        if (!m_hasCoordCells) break;
        for (int c = 0; c < m_cols; ++c)
            if (CGridCellBase* cell = m_rowData[row][c].get()) cell->SetCoords(row, c);
    }
    // Whoever sorts, the rows on screen show their new order.
    if (moved && m_window && m_allowDraw) m_window->InvalidateAll();
    // A whole-table sort would otherwise keep its scratch for the grid's life.
    if (count > CSortKeys::kKeptRun) std::vector<bool>().swap(m_sortPlaced);
    m_sortKeys.ReleaseIfLarge();
    return true;
}

}  // namespace tabulon
