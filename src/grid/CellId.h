#pragma once

#include <cstdint>

#include "base/Flags.h"

namespace tabulon {

// A (row, column) pair; (-1, -1) names no cell.
struct CellId {
    std::int32_t row = -1;
    std::int32_t col = -1;
    CellId() = default;
    CellId(std::int32_t r, std::int32_t c) : row(r), col(c) {}
    bool IsValid() const { return row >= 0 && col >= 0; }
    friend bool operator==(const CellId&, const CellId&) = default;
};

// Two corners, both inclusive.
struct CellRange {
    std::int32_t minRow = -1;
    std::int32_t minCol = -1;
    std::int32_t maxRow = -1;
    std::int32_t maxCol = -1;
    CellRange() = default;
    CellRange(std::int32_t r1, std::int32_t c1, std::int32_t r2, std::int32_t c2)
        : minRow(r1), minCol(c1), maxRow(r2), maxCol(c2) {}
    bool IsValid() const {
        return minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && minRow <= maxRow && minCol <= maxCol;
    }
    bool Contains(std::int32_t r, std::int32_t c) const {
        return IsValid() && r >= minRow && r <= maxRow && c >= minCol && c <= maxCol;
    }
    friend bool operator==(const CellRange&, const CellRange&) = default;
};

// Cell state bits, combined in a CellStates.
enum class CellState : unsigned {
    kFocused = 0x01,
    kSelected = 0x02,
    kDropHighlighted = 0x04,
    kReadOnly = 0x08,
    kFixed = 0x10,
    kFixedRow = 0x20,
    kFixedCol = 0x40,
    kModified = 0x80,
};
template <>
inline constexpr bool kIsFlagEnum<CellState> = true;
using CellStates = Flags<CellState>;

}  // namespace tabulon
