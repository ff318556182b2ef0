#include "items/ColumnCommands.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "items/ColumnDialogs.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"
#include "items/UndoStack.h"

namespace tabulon {

namespace {

// Where the right click landed; the greying depends on it.
enum class Clicked {
    Corner,      // (0, 0)
    Heading,     // (0, col >= 1)
    NumberCell,  // column 0 of an item: the check box or the row number
    ItemCell,    // a data cell of an item
    Nothing      // no cell under the pointer
};

Clicked Classify(const CGridCtrl& grid, int row, int col) {
    if (!grid.IsValidCell(row, col)) return Clicked::Nothing;
    if (row == 0) return col == 0 ? Clicked::Corner : Clicked::Heading;
    return col == 0 ? Clicked::NumberCell : Clicked::ItemCell;
}

// The host's menus number their items: a command's number is its id.
MenuItem Command(MenuCommand id, std::string text, std::string prompt) {
    return {static_cast<int>(id), std::move(text), std::move(prompt)};
}

void Grey(std::vector<MenuItem>& items, MenuCommand id) {
    for (MenuItem& item : items)
        if (item.id == static_cast<int>(id)) item.grayed = true;
}

// The command chosen, when it is one of items and not greyed.
std::optional<MenuCommand> Chosen(const std::vector<MenuItem>& items, int id) {
    for (const MenuItem& item : items)
        if (item.id == id && !item.IsSeparator() && !item.grayed) return static_cast<MenuCommand>(id);
    return std::nullopt;
}

bool Confirm(IItemsFrame& frame, const std::string& text, const std::string& caption) {
    return frame.Messages().Show(text, caption, MbIcon::Question, MbButtons::YesNo) == MbResult::Yes;
}

// A new data column goes right after the clicked one; with no cell clicked
// it goes to the end.
int InsertPosition(const CGridCtrl& grid, int col) {
    if (col < 0 || col + 1 > grid.GetColumnCount()) return -1;
    return col + 1;
}

void DeleteAllDataColumns(CGridCtrl& grid) {
    grid.DeleteNonFixedRows();
    // From the last, so that no column is moved along before it goes.
    for (int col = grid.GetColumnCount() - 1; col >= 1; --col) grid.DeleteColumn(col);
}

// Deletes data column col; items never outlive the last data column.
void DeleteDataColumn(CGridCtrl& grid, int col) {
    if (col < 1 || !grid.DeleteColumn(col)) return;
    if (grid.GetColumnCount() == 1) grid.DeleteNonFixedRows();
}

// True when the user filled; the heading is never written.
bool FillColumn(CGridCtrl& grid, IMessageBox& messages, IDialogHost& dialogs, int col) {
    if (col < 1 || col >= grid.GetColumnCount()) return false;
    CFillColumnDlg dialog(messages);
    if (dialog.DoModal(dialogs) != DialogId::kOk) return false;
    const std::string& text = dialog.GetFillText();
    for (int r = grid.GetFixedRowCount(); r < grid.GetRowCount(); ++r) grid.SetCellText(r, col, text);
    return true;
}

// As a double click on the column's divider fits it.
void FitColumnWidth(CGridCtrl& grid, int col) {
    if (col < 1 || col >= grid.GetColumnCount()) return;
    grid.AutoSizeColumn(col);
    grid.ResetScrollBars();
    grid.Refresh();
}

CGridCellCheckBox* CheckBoxOf(const CGridCtrl& grid, int row) {
    return dynamic_cast<CGridCellCheckBox*>(grid.GetCell(row, 0));
}

void RunNewItemsCommand(IItemsFrame& frame, IDialogHost& dialogs, CTabulonWnd1& wnd, MenuCommand command, int row,
                        int col) {
    CGridCtrl& grid = *wnd.GetGrid();
    switch (command) {
    case MenuCommand::kInsertColumn:
        pane::InsertNewDataColumn(grid, InsertPosition(grid, col));
        wnd.NumberColumnHeadings();
        break;
    case MenuCommand::kDeleteColumn:
        if (Confirm(frame, "Delete column " + std::string(grid.GetCellText(row, col)) + "?", "Delete column"))
            DeleteDataColumn(grid, col);
        wnd.NumberColumnHeadings();
        break;
    case MenuCommand::kNewItemsDeleteAllColumns:
        if (!Confirm(frame, "Delete all columns?", "Delete all")) break;
        DeleteAllDataColumns(grid);
        break;
    case MenuCommand::kNewItemsFillColumn: FillColumn(grid, frame.Messages(), dialogs, col); break;
    case MenuCommand::kAddItem: {
        if (grid.GetColumnCount() < 2) {
            if (pane::InsertNewDataColumn(grid, -1) < 0) break;
            wnd.NumberColumnHeadings();
        }
        const int added = grid.InsertRow("", -1);
        if (added >= 0) wnd.MakeCheckCell(added);
        break;
    }
    case MenuCommand::kDeleteItems: {
        if (!Confirm(frame, "Delete selected item(s)?", "")) break;
        // All checked rows go in one pass: row by row would cost the whole
        // table for each of them.
        std::vector<char> checked(static_cast<std::size_t>(grid.GetRowCount()), 0);
        for (int r = grid.GetFixedRowCount(); r < grid.GetRowCount(); ++r)
            if (const CGridCellCheckBox* box = CheckBoxOf(grid, r); box && box->GetCheck())
                checked[static_cast<std::size_t>(r)] = 1;
        grid.DeleteRows(checked);
        break;
    }
    case MenuCommand::kDeleteAllItems:
        if (Confirm(frame, "Delete all items?", "")) grid.DeleteNonFixedRows();
        break;
    case MenuCommand::kFitColumnWidth: FitColumnWidth(grid, col); break;
    case MenuCommand::kSelectAllItems: wnd.CheckAllItems(true); break;
    case MenuCommand::kUnselectAllItems: wnd.CheckAllItems(false); break;
    default: break;
    }
}

void RunDatabaseCommand(IItemsFrame& frame, IDialogHost& dialogs, CTabulonWnd2& wnd, MenuCommand command, int row,
                        int col) {
    CGridCtrl& grid = *wnd.GetGrid();
    switch (command) {
    case MenuCommand::kInsertColumn:
        if (pane::InsertNewDataColumn(grid, InsertPosition(grid, col)) < 0) break;
        frame.MarkConfigurationModified();
        break;
    case MenuCommand::kRenameColumn: {
        // Column 0 heading is the corner with the Database mark: never a name.
        if (col < 1 || col >= grid.GetColumnCount()) break;
        CRenameColumnDlg dialog(frame.Messages(), std::string(grid.GetCellText(0, col)));
        if (dialog.DoModal(dialogs) != DialogId::kOk) break;
        grid.SetCellText(0, col, dialog.GetName());
        frame.MarkConfigurationModified();
        // Renamed to the name it had, it is still a change to the user.
        wnd.SetDatabaseModified(true);
        break;
    }
    case MenuCommand::kDeleteColumn:
        if (col < 1 || col >= grid.GetColumnCount()) break;
        if (!Confirm(frame, "Delete column " + std::string(grid.GetCellText(row, col)) + "?", "Delete column")) break;
        DeleteDataColumn(grid, col);
        frame.MarkConfigurationModified();
        break;
    case MenuCommand::kDatabaseDeleteAllColumns:
        if (!Confirm(frame, "Delete all columns?", "Delete all")) break;
        DeleteAllDataColumns(grid);
        // The configuration keeps the column names, and they are gone now.
        frame.MarkConfigurationModified();
        break;
    case MenuCommand::kDatabaseFillColumn:
        // Filled with what it held, it is still a change to the user.
        if (FillColumn(grid, frame.Messages(), dialogs, col)) wnd.SetDatabaseModified(true);
        break;
    case MenuCommand::kFitColumnWidth: FitColumnWidth(grid, col); break;
    case MenuCommand::kDeleteItem:
        if (row < grid.GetFixedRowCount() || row >= grid.GetRowCount()) break;
        if (!Confirm(frame, "Delete selected item?", "Delete item(s)")) break;
        grid.DeleteRow(row);
        wnd.NumberItemRows(row, grid.GetRowCount());
        break;
    case MenuCommand::kDeleteAllItems:
        if (!Confirm(frame, "Delete all items?", "Delete all")) break;
        grid.DeleteNonFixedRows();
        frame.MarkConfigurationModified();
        break;
    default: break;
    }
}

}  // namespace

std::vector<MenuItem> BuildNewItemsMenu(const CGridCtrl& grid, int row, int col) {
    using enum MenuCommand;
    std::vector<MenuItem> items = {
        Command(kInsertColumn, "Insert column", "Inserts a new column after selected column"),
        Command(kDeleteColumn, "Delete column", "Delete selected column"),
        Command(kNewItemsDeleteAllColumns, "Delete all columns", "Delete all columns"),
        Command(kNewItemsFillColumn, "Fill column with..", "Fill selected column with a string"),
        Command(kFitColumnWidth, "Fit column width", "Make the column as wide as its texts"),
        MenuItem::Separator(),
        Command(kAddItem, "Add item", "Add a new item"),
        Command(kDeleteItems, "Delete item(s)", "Delete selected item(s)"),
        Command(kDeleteAllItems, "Delete all items", "Delete all items"),
        MenuItem::Separator(),
        Command(kSelectAllItems, "Select all items", "Select all items"),
        Command(kUnselectAllItems, "Unselect all items", "Unselect all items"),
    };
    const bool noItems = grid.GetRowCount() < 2;
    const bool noDataColumn = grid.GetColumnCount() < 2;
    auto greyItemCommands = [&] {
        for (MenuCommand id : {kSelectAllItems, kUnselectAllItems, kDeleteItems, kDeleteAllItems}) Grey(items, id);
    };
    switch (Classify(grid, row, col)) {
    case Clicked::Corner:
    case Clicked::Nothing:
        Grey(items, kDeleteColumn);
        Grey(items, kNewItemsFillColumn);
        if (noDataColumn) Grey(items, kNewItemsDeleteAllColumns);
        if (noItems) greyItemCommands();
        break;
    case Clicked::Heading:
        if (noItems) {
            greyItemCommands();
            Grey(items, kNewItemsFillColumn);
        }
        break;
    case Clicked::NumberCell:
        Grey(items, kDeleteColumn);
        Grey(items, kNewItemsFillColumn);
        break;
    case Clicked::ItemCell: break;
    }
    if (!grid.IsValidCell(row, col) || col < 1) Grey(items, kFitColumnWidth);
    GiveMnemonics(items);
    return items;
}

std::vector<MenuItem> BuildDatabaseMenu(const CGridCtrl& grid, int row, int col) {
    using enum MenuCommand;
    std::vector<MenuItem> items = {
        Command(kInsertColumn, "Insert column", "Inserts a new column after selected column"),
        Command(kRenameColumn, "Rename column", "Rename selected column"),
        Command(kDeleteColumn, "Delete column", "Delete selected column"),
        Command(kDatabaseDeleteAllColumns, "Delete all columns", "Delete all columns"),
        Command(kDatabaseFillColumn, "Fill column with..", "Fill selected column with a string"),
        Command(kFitColumnWidth, "Fit column width", "Make the column as wide as its texts"),
        MenuItem::Separator(),
        Command(kDeleteItem, "Delete item", "Delete selected item"),
        Command(kDeleteAllItems, "Delete all items", "Delete all items"),
    };
    const bool noItems = grid.GetRowCount() < 2;
    const bool noDataColumn = grid.GetColumnCount() < 2;
    switch (Classify(grid, row, col)) {
    case Clicked::Corner:
    case Clicked::Nothing:
        for (MenuCommand id : {kRenameColumn, kDeleteColumn, kDatabaseFillColumn, kDeleteItem}) Grey(items, id);
        if (noItems) Grey(items, kDeleteAllItems);
        if (noDataColumn) Grey(items, kDatabaseDeleteAllColumns);
        break;
    case Clicked::Heading:
        Grey(items, kDeleteItem);
        if (noItems) {
            Grey(items, kDeleteAllItems);
            Grey(items, kDatabaseFillColumn);
        }
        break;
    case Clicked::NumberCell:
        for (MenuCommand id : {kRenameColumn, kDeleteColumn, kDatabaseFillColumn}) Grey(items, id);
        break;
    case Clicked::ItemCell: break;
    }
    if (!grid.IsValidCell(row, col) || col < 1) Grey(items, kFitColumnWidth);
    GiveMnemonics(items);
    return items;
}

std::string_view StepName(const std::vector<MenuItem>& items, MenuCommand command) {
    std::string_view name;
    for (const MenuItem& item : items)
        if (item.id == static_cast<int>(command)) name = item.text;
    while (!name.empty() && name.back() == '.') name.remove_suffix(1);
    return name;
}

void ShowNewItemsMenu(IItemsFrame& frame, IPopupMenuHost& menus, IDialogHost& dialogs, int row, int col) {
    CTabulonWnd1& wnd = frame.NewItemsPane();
    if (!wnd.GetGrid()) return;
    // Built afresh each time: the greying follows the counts of this moment.
    const std::vector<MenuItem> items = BuildNewItemsMenu(*wnd.GetGrid(), row, col);
    if (const std::optional<MenuCommand> command = Chosen(items, menus.ShowPopupMenu(items)))
        frame.RunCommand(StepName(items, *command),
                         [&] { RunNewItemsCommand(frame, dialogs, wnd, *command, row, col); });
}

void ShowDatabaseMenu(IItemsFrame& frame, IPopupMenuHost& menus, IDialogHost& dialogs, int row, int col) {
    CTabulonWnd2& wnd = frame.DatabasePane();
    if (!wnd.GetGrid()) return;
    const std::vector<MenuItem> items = BuildDatabaseMenu(*wnd.GetGrid(), row, col);
    const std::optional<MenuCommand> command = Chosen(items, menus.ShowPopupMenu(items));
    if (!command) return;
    frame.RunCommand(StepName(items, *command), [&] { RunDatabaseCommand(frame, dialogs, wnd, *command, row, col); });
    wnd.GetGrid()->Refresh();
}

void OnGridContextMenu(IItemsFrame& frame, IPopupMenuHost& menus, IDialogHost& dialogs, bool databasePane, int row,
                       int col) {
    if (!databasePane) {
        ShowNewItemsMenu(frame, menus, dialogs, row, col);
        if (CGridCtrl* grid = frame.NewItemsPane().GetGrid()) grid->Refresh();
        return;
    }
    if (!frame.IsConfigurationOpen()) {
        frame.Messages().Show(
            "No configuration opened!\n\nCreate a new or open a saved configuration\nbefore edit in 'Database'.",
            "Configuration", MbIcon::Information, MbButtons::Ok);
        return;
    }
    ShowDatabaseMenu(frame, menus, dialogs, row, col);
}

void MoveColumnInPane(IItemsFrame& frame, bool databasePane, int from, int to) {
    if (databasePane)
        frame.DatabasePane().MoveColumn(from, to);
    else
        frame.NewItemsPane().MoveColumn(from, to);
}

}  // namespace tabulon
