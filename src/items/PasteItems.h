#pragma once
// Copy, cut and paste in a pane: the focus cell's text, a whole item, and
// rows of tab-separated texts as spreadsheets and other grid programs copy
// them.

#include <string>
#include <string_view>

#include "items/ItemsFrame.h"

namespace tabulon {

// What Copy takes from the pane's focus cell: its text as shown (UTF-8);
// none (false) without a focus cell.
bool CopyFocusCell(IItemsFrame& frame, bool databasePane, std::string& text);
// The focus cell's whole item, its data cells separated by tabs.
bool CopyFocusItem(IItemsFrame& frame, bool databasePane, std::string& text);
// Copy, and the cell is emptied where it can be typed into (not a number or
// a check box).
bool CutFocusCell(IItemsFrame& frame, bool databasePane, std::string& text);

// Pastes text into the pane: one line replaces the focus cell's text; rows
// of tab-separated texts fill the cells from the focus cell (the first item
// cell where there is none) to the right and down, adding items at the end
// and columns at the right as needed. A text that an item's field cannot
// hold is refused as a typed one is (IGridFrame::MayTypeIntoCell), and then
// nothing is pasted. The number of cells written.
int PasteIntoPane(IItemsFrame& frame, bool databasePane, std::string_view text);

}  // namespace tabulon
