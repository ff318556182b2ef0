#pragma once
// "Move items": copies the checked 'New items' into 'Database'.

#include "items/ItemsFrame.h"

namespace tabulon {

// Appends a copy of every checked 'New items' row to 'Database', column j
// into column j, widening 'Database' when it has fewer columns; then marks
// it "Database*", sorts it by all columns and renumbers it. 'New items' is
// left as it was, check marks included. Needs an open configuration and no
// checked item with an empty first cell; either failure is shown and
// nothing changes.
void MoveItems(IItemsFrame& frame);

}  // namespace tabulon
