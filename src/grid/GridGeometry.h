#pragma once
// Bookkeeping the grid keeps beside its table: where each row starts, what
// it last told its window of the scroll bars, and the gesture under way in
// its heading row.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/DrawingTypes.h"
#include "platform/GridWindow.h"

namespace tabulon {

// The gesture under way in the heading row; each keeps its one-letter name.
namespace HeadingGesture {
enum Value : char {
    kIdle = 'a',
    kOverColumnDivider = 'w',      // ready to size the column
    kOverRowDivider = 'n',         // ready to size the row
    kReadyToMoveColumn = 'r',      // Ctrl held over a heading
    kMovingColumnToDivider = 'h',  // Ctrl-dragging a heading over a column divider
};
}  // namespace HeadingGesture

// Where each row starts: the top of row r is the sum of the heights of the
// rows above it. Summed when asked and kept until a height above changes,
// so that a million rows cost one pass, not one per question.
class CRowPositions {
public:
    using Heights = std::vector<std::uint32_t>;

    // The top of row (0 to the row count) for these heights.
    long long Top(int row, const Heights& heights);
    // The first row from first on whose bottom lies beyond offset (measured
    // from the top of row first), but at most the last row.
    int RowAt(long long offset, int first, const Heights& heights);
    // How far below the top of row first lies the first row from which the
    // rest of the rows fit in page, but at most the last row.
    long long LastPageOffset(int first, long long page, const Heights& heights);
    // A height of row or of one below it changed.
    void HeightsChangedFrom(int row) {
        if (row < m_valid) m_valid = std::max(row, 0);
    }
    // Room for the tops of rows rows, taken while rows are made: what asks
    // for a top later then never needs memory, not even when memory ran out.
    void Reserve(std::size_t rows) {
        if (m_tops.capacity() < rows + 1) m_tops.reserve(rows + 1);
    }

private:
    std::vector<long long> m_tops;  // m_tops[r]: the heights of the rows above r
    int m_valid = 0;                // tops known up to this row
};

// What the grid last told its window of each scroll bar.
class CScrollBarState {
public:
    bool IsShown(ScrollBar bar) const { return m_shown[Index(bar)]; }
    int Max(ScrollBar bar) const { return m_max[Index(bar)]; }
    int Page(ScrollBar bar) const { return m_page[Index(bar)]; }
    void Set(ScrollBar bar, bool shown, int max, int page) {
        m_shown[Index(bar)] = shown;
        m_max[Index(bar)] = max;
        m_page[Index(bar)] = page;
    }
    void Hide(ScrollBar bar) { m_shown[Index(bar)] = false; }

private:
    static int Index(ScrollBar bar) { return bar == ScrollBar::Vertical ? 1 : 0; }
    bool m_shown[2] = {false, false};
    int m_max[2] = {0, 0};
    int m_page[2] = {0, 0};
};

// The heading gesture and, while Ctrl-dragging, the column it moves.
class CHeadingGestureState {
public:
    HeadingGesture::Value State() const { return m_state; }
    void Set(HeadingGesture::Value state) { m_state = state; }
    // A press with Ctrl on a heading picks its column to move.
    void PickColumn(int col) {
        m_state = HeadingGesture::kReadyToMoveColumn;
        m_column = col;
    }
    // Any other press picks none.
    void ForgetColumn() { m_column = -1; }
    int MovedColumn() const { return m_column; }
    bool IsMovingColumn() const {
        return m_state == HeadingGesture::kReadyToMoveColumn || m_state == HeadingGesture::kMovingColumnToDivider;
    }

private:
    HeadingGesture::Value m_state = HeadingGesture::kIdle;
    int m_column = -1;
};

}  // namespace tabulon
