#pragma once
// The right-button menus of the two panes and their column and item
// commands, and the column move of a Ctrl-drag.

#include <vector>

#include "grid/GridCtrl.h"
#include "items/ItemsFrame.h"
#include "platform/Dialog.h"
#include "platform/PopupMenu.h"

namespace tabulon {

// The commands of the panes' right-button menus, with the design's ids.
enum class MenuCommand : int {
    kInsertColumn = 32778,
    kRenameColumn = 32772,
    kDeleteColumn = 32775,
    kNewItemsDeleteAllColumns = 32813,
    kNewItemsFillColumn = 32812,
    kAddItem = 32780,
    kDeleteItems = 32779,
    kDeleteAllItems = 32785,
    kSelectAllItems = 32782,
    kUnselectAllItems = 32783,
    kDatabaseDeleteAllColumns = 32814,
    kDatabaseFillColumn = 32815,
    kDeleteItem = 32786,
    // What a double click on a column's divider does, for the keyboard.
    kFitColumnWidth = 32834,
};

// The menus for a right click on (row, col) of grid, (-1, -1) for no cell,
// greyed for that cell and the grid's present row and column counts.
std::vector<MenuItem> BuildNewItemsMenu(const CGridCtrl& grid, int row, int col);
std::vector<MenuItem> BuildDatabaseMenu(const CGridCtrl& grid, int row, int col);

// The name of the step command of items makes: its text without the dots.
std::string_view StepName(const std::vector<MenuItem>& items, MenuCommand command);

// Show the pane's menu and carry out the command chosen; they return when it
// is done or the menu was closed. The 'Database' grid is refreshed after each
// command; the 'New items' grid is left for the caller to redraw.
void ShowNewItemsMenu(IItemsFrame& frame, IPopupMenuHost& menus, IDialogHost& dialogs, int row, int col);
void ShowDatabaseMenu(IItemsFrame& frame, IPopupMenuHost& menus, IDialogHost& dialogs, int row, int col);

// A right-button release over (row, col) of a pane's grid. 'Database' needs
// an open configuration; without one the user is told so and nothing opens.
void OnGridContextMenu(IItemsFrame& frame, IPopupMenuHost& menus, IDialogHost& dialogs, bool databasePane, int row,
                       int col);

// A Ctrl-drag of heading from dropped on column to (-1: past the last column).
void MoveColumnInPane(IItemsFrame& frame, bool databasePane, int from, int to);

}  // namespace tabulon
