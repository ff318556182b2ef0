#include "items/MoveItems.h"

#include <algorithm>
#include <cstdint>

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
        frame.Messages().Show("No configuration opened!\n\nCreate a new or open a saved configuration\n"
                              "before moving items to 'Database'.",
                              "Configuration", MbIcon::Information, MbButtons::Ok);
        return;
    }
    if (newItemsPane.FindEmptyCheckedItem()) return;
    CGridWork work(&frame, "Moving items", {&database, newItemsPane.GetGrid()});

    // One repaint and one scroll-bar update at the end, not one per row.
    const bool drawing = database.IsRedrawAllowed();
    database.SetRedraw(false);
    while (database.GetColumnCount() < sourceColumns)
        if (pane::InsertNewDataColumn(database, -1) < 0) break;  // out of memory, already shown
    const int columns = std::min(sourceColumns, database.GetColumnCount());

    const int checked = newItemsPane.CountCheckedItems();
    int added = 0;
    while (added < checked && database.InsertRow("", -1) >= 0) ++added;

    int target = databaseRows;
    for (int i = 1; i < sourceRows && target < databaseRows + added; ++i) {
        database.ReportProgress("Copying items", static_cast<std::uint64_t>(i), static_cast<std::uint64_t>(sourceRows));
        const auto* box = dynamic_cast<const CGridCellCheckBox*>(source.GetCell(i, 0));
        if (!box || !box->GetCheck()) continue;
        pane::SetNumberCell(database, target);
        for (int j = 1; j < columns; ++j) database.SetCellText(target, j, source.GetCellText(i, j));
        ++target;
    }

    databasePane.SetDatabaseModified(true);
    databasePane.SortByAllColumns();
    databasePane.NumberItemRows(1, databaseRows + added);
    if (drawing) database.SetRedraw(true, true);
    databasePane.FitDatabaseColumns();
}

}  // namespace tabulon
