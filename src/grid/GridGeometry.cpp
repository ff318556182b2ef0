#include "grid/GridGeometry.h"

namespace tabulon {

long long CRowPositions::Top(int row, const Heights& heights) {
    const int rows = static_cast<int>(heights.size());
    if (m_valid > rows) m_valid = rows;
    if (m_tops.size() != heights.size() + 1) {
        m_tops.resize(heights.size() + 1);
        m_tops[0] = 0;
    }
    for (int r = m_valid; r < row; ++r) m_tops[r + 1] = m_tops[r] + heights[r];
    m_valid = std::max(m_valid, row);
    return m_tops[row];
}

int CRowPositions::RowAt(long long offset, int first, const Heights& heights) {
    const int rows = static_cast<int>(heights.size());
    if (first >= rows - 1) return std::max(first, 0) < rows ? first : std::max(rows - 1, 0);
    const long long target = Top(first, heights) + offset;
    Top(rows, heights);
    // tops[r + 1] is the bottom of row r.
    const auto it = std::upper_bound(m_tops.begin() + first + 1, m_tops.begin() + rows, target);
    return static_cast<int>(it - m_tops.begin()) - 1;
}

long long CRowPositions::LastPageOffset(int first, long long page, const Heights& heights) {
    const int rows = static_cast<int>(heights.size());
    const long long top = Top(first, heights);
    const long long end = Top(rows, heights);
    const auto it = std::lower_bound(m_tops.begin() + first, m_tops.begin() + rows - 1, end - page);
    return *it - top;
}

}  // namespace tabulon
