#pragma once
// The configuration's column names are the headings of the 'Database' grid.
// Headings look the same in both panes and wherever a column is added: one
// line, centred upright, on a light grey ground.

#include "grid/GridCtrl.h"

namespace tabulon {

constexpr TextFormats kHeadingFormat = TextFormat::kVCenter | TextFormat::kSingleLine;
constexpr Colour kHeadingBackColour = 0xE6E6E6;

// Appends a column with an empty heading in that look; its index, or -1.
inline int AppendHeadingColumn(CGridCtrl& grid) {
    const int col = grid.InsertColumn("", {}, -1);
    if (col < 0) return -1;
    grid.SetCellFormat(0, col, kHeadingFormat);
    grid.SetCellBackColour(0, col, kHeadingBackColour);
    return col;
}

}  // namespace tabulon
