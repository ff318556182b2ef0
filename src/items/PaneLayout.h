#pragma once
// What both panes share: colours, formats and widths of their tables.

#include <string>
#include <string_view>

#include "grid/GridCtrl.h"

namespace tabulon::pane {

constexpr Colour kCornerBackColour = 0x905500;
constexpr Colour kCornerTextColour = 0xFFFFFF;
constexpr Colour kHeadingBackColour = 0xE6E6E6;
constexpr unsigned kHeadingFormat = 0x24;
constexpr unsigned kItemFormat = 0x8824;
constexpr unsigned kNumberFormat = 0x25;
constexpr int kNumberColumnWidth = 60;
constexpr int kMinDataColumnWidth = 90;

// Sets up a freshly made pane grid: one heading row, the corner title.
void SetUpPaneGrid(CGridCtrl& grid, const std::string& title);
// Fits every column to its texts, then column 0 to 60 and data columns to at least 90.
void FitColumns(CGridCtrl& grid);
// Appends a data column with an empty name in the heading look; its index, or -1.
int AppendDataColumn(CGridCtrl& grid);
// Sorts the item rows by column 1, then each run of rows that agree in the
// earlier columns by the next column.
void SortByAllColumns(CGridCtrl& grid, bool ignoreCase);
// Sets cell (row, col) to text in the item format through SetGridItem.
void SetItemCell(CGridCtrl& grid, int row, int col, const std::string& text);
// Blank, tab, CR, LF, vertical tab and form feed.
bool IsWhiteSpace(char c);
std::string_view Trim(std::string_view text);
std::string_view TrimRight(std::string_view text);

}  // namespace tabulon::pane
