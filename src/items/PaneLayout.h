#pragma once
// What both panes share: colours, formats and widths of their tables.

#include <string>
#include <string_view>

#include "config/ColumnHeadings.h"
#include "grid/GridCtrl.h"

namespace tabulon::pane {

constexpr Colour kCornerBackColour = 0x905500;
constexpr Colour kCornerTextColour = 0xFFFFFF;
// Headings take the look of the configuration's column names (kHeadingFormat,
// kHeadingBackColour); items are cut short with an ellipsis, numbers centred.
constexpr TextFormats kItemFormat =
    TextFormat::kVCenter | TextFormat::kSingleLine | TextFormat::kNoPrefix | TextFormat::kEndEllipsis;
constexpr TextFormats kNumberFormat = TextFormat::kCenter | TextFormat::kVCenter | TextFormat::kSingleLine;
constexpr int kNumberColumnWidth = 60;
// Column 0 is 60 pixels wide, or as wide as the corner's title with its
// unsaved mark ("Database*") needs in the screen's font, if that is more:
// a cut title would hide the mark.
int NumberColumnWidth(CGridCtrl& grid);
constexpr int kMinDataColumnWidth = 90;

// Sets up a freshly made pane grid: one heading row, the corner title.
void SetUpPaneGrid(CGridCtrl& grid, const std::string& title);
// Fits every column to its texts, then column 0 to 60 and data columns to at least 90.
void FitColumns(CGridCtrl& grid);
// Appends a data column with an empty name in the heading look; its index, or -1.
int AppendDataColumn(CGridCtrl& grid);
// Column 0 of a 'Database' item: its number, centred, read-only, grey.
void SetNumberCell(CGridCtrl& grid, int row);
// A data column as the commands make it, at index col (-1: at the end): item
// cells in the item format, the heading look, 90 pixels wide. Its index, or -1.
int InsertNewDataColumn(CGridCtrl& grid, int col);
// Moves data column from to just after column to (-1: to the end), carrying
// the item texts and, when keepHeading, the heading; the moved column's cells
// take the heading format. False when the indexes name no such move.
bool MoveDataColumn(CGridCtrl& grid, int from, int to, bool keepHeading);
// Sorts the item rows by column 1, then each run of rows that agree in the
// earlier columns by the next column.
void SortByAllColumns(CGridCtrl& grid, bool ignoreCase);
// Sets cell (row, col) to text in the item format through SetGridItem.
void SetItemCell(CGridCtrl& grid, int row, int col, std::string_view text);

}  // namespace tabulon::pane
