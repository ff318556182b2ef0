#include "items/MoveItems.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "grid/GridWork.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon {

void MoveItems(IItemsFrame& frame) {
    CTabulonWnd1& newItemsPane = frame.NewItemsPane();
    CTabulonWnd2& databasePane = frame.DatabasePane();
    if (!newItemsPane.GetGrid() || !databasePane.GetGrid()) return;
    const CGridCtrl& source = *newItemsPane.GetGrid();
    CGridCtrl& database = *databasePane.GetGrid();

    const int sourceRows = source.GetRowCount();
    const int sourceColumns = source.GetColumnCount();
    const int databaseRows = database.GetRowCount();
    if (sourceRows < 2) return;
    if (!frame.IsConfigurationOpen()) {
        frame.Messages().Show(
            "No configuration opened!\n\nCreate a new or open a saved configuration\n"
            "before moving items to 'Database'.",
            "Configuration", MbIcon::Information, MbButtons::Ok);
        return;
    }
    if (newItemsPane.FindEmptyCheckedItem()) return;
    CGridWork work(&frame, "Moving items", {&database, newItemsPane.GetGrid()});

    // One repaint and one scroll-bar update at the end, not one per row.
    const bool drawing = database.IsRedrawAllowed();
    database.SetRedraw(false);
    const int databaseColumns = database.GetColumnCount();
    const bool wasModified = databasePane.IsDatabaseModified();
    int added = 0;
    try {
        // All the checked items go in, or, when memory runs out, none does.
        CStrictGrid strict(database);
        while (database.GetColumnCount() < sourceColumns) pane::InsertNewDataColumn(database, -1);
        const int columns = std::min(sourceColumns, database.GetColumnCount());

        const int checked = newItemsPane.CountCheckedItems();
        while (added < checked && database.InsertRow("", -1) >= 0) ++added;

        int target = databaseRows;
        for (int i = 1; i < sourceRows && target < databaseRows + added; ++i) {
            database.ReportProgress("Copying items", static_cast<std::uint64_t>(i),
                                    static_cast<std::uint64_t>(sourceRows));
            const auto* box = dynamic_cast<const CGridCellCheckBox*>(source.GetCell(i, 0));
            if (!box || !box->GetCheck()) continue;
            pane::SetNumberCell(database, target);
            for (int j = 1; j < columns; ++j) database.SetCellText(target, j, source.GetCellText(i, j));
            ++target;
        }
    } catch (const std::bad_alloc&) {
        database.SetRowCount(databaseRows);
        database.SetColumnCount(databaseColumns);
        databasePane.SetDatabaseModified(wasModified);  // nothing moved, nothing to save
        if (drawing) database.SetRedraw(true, true);
        frame.Messages().Show("Not enough memory to move the checked items into 'Database'.\n\nNothing was moved.",
                              "Move items", MbIcon::Exclamation, MbButtons::Ok);
        return;
    }

    // With no item checked nothing moved, and still the Database is changed
    // to the user.
    databasePane.SetDatabaseModified(true);
    try {
        CStrictGrid strict(database);
        databasePane.SortByAllColumns();
    } catch (const std::bad_alloc&) {
        // The items are in, only not in order: the user can sort again later.
        frame.Messages().Show("Not enough memory to sort 'Database'.\n\nThe items were moved but are not sorted.",
                              "Move items", MbIcon::Exclamation, MbButtons::Ok);
    }
    try {
        databasePane.NumberItemRows(1, databaseRows + added);
        if (drawing) database.SetRedraw(true, true);
        databasePane.FitDatabaseColumns();
    } catch (const std::bad_alloc&) {
        // The items are in; numbers and widths follow at the next change.
        if (drawing) database.AllowRedrawLater();
    }
}

}  // namespace tabulon
