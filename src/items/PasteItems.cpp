#include "items/PasteItems.h"

#include <algorithm>

#include "grid/GridClipboard.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon {

namespace {

CGridCtrl* GridOf(IItemsFrame& frame, bool databasePane) {
    return databasePane ? frame.DatabasePane().GetGrid() : frame.NewItemsPane().GetGrid();
}

bool IsItemCell(const CGridCtrl& grid, CellId cell) {
    return grid.IsValidCell(cell.row, cell.col) && cell.row >= grid.GetFixedRowCount();
}

// One more data column at the right end, as the panes' commands add one.
bool AppendPaneColumn(IItemsFrame& frame, bool databasePane, CGridCtrl& grid) {
    if (pane::InsertNewDataColumn(grid, -1) < 0) return false;
    if (databasePane) {
        // The configuration keeps the column names.
        frame.MarkConfigurationModified();
    } else {
        frame.NewItemsPane().NumberColumnHeadings();
    }
    return true;
}

bool AppendPaneItem(IItemsFrame& frame, bool databasePane, CGridCtrl& grid) {
    const int row = grid.InsertRow("", -1);
    if (row < 0) return false;
    if (databasePane)
        pane::SetNumberCell(grid, row);
    else
        frame.NewItemsPane().MakeCheckCell(row);
    return true;
}

}  // namespace

bool CopyFocusCell(IItemsFrame& frame, bool databasePane, std::string& text) {
    const CGridCtrl* grid = GridOf(frame, databasePane);
    if (!grid) return false;
    const CellId focus = grid->GetFocusCell();
    if (!grid->IsValidCell(focus.row, focus.col)) return false;
    text = CopiedCellText(*grid, focus.row, focus.col);
    return true;
}

bool CopyFocusItem(IItemsFrame& frame, bool databasePane, std::string& text) {
    const CGridCtrl* grid = GridOf(frame, databasePane);
    if (!grid) return false;
    const CellId focus = grid->GetFocusCell();
    if (!IsItemCell(*grid, focus)) return false;
    // Column 0 is the check box or the number: no field of the item.
    text = CopiedRowText(*grid, focus.row, 1);
    return true;
}

bool CutFocusCell(IItemsFrame& frame, bool databasePane, std::string& text) {
    if (!CopyFocusCell(frame, databasePane, text)) return false;
    CGridCtrl& grid = *GridOf(frame, databasePane);
    const CellId focus = grid.GetFocusCell();
    if (focus.col < 1 || !IsItemCell(grid, focus) || !grid.IsCellEditable(focus.row, focus.col)) return true;
    if (grid.GetCellText(focus.row, focus.col).empty()) return true;
    grid.SetCellText(focus.row, focus.col, "");
    if (databasePane) frame.DatabasePane().SetDatabaseModified(true);
    grid.RedrawCell(focus.row, focus.col);
    return true;
}

int PasteIntoPane(IItemsFrame& frame, bool databasePane, std::string_view text) {
    CGridCtrl* grid = GridOf(frame, databasePane);
    if (!grid) return 0;
    const PastedRows rows = SplitPastedText(text);
    if (rows.empty()) return 0;
    // From the focus cell, past column 0 (the check box or the number); the
    // first item's first field where no item cell has the focus.
    CellId at = grid->GetFocusCell();
    if (!IsItemCell(*grid, at)) at = CellId(grid->GetFixedRowCount(), 1);
    at.col = std::max(at.col, 1);
    // Every text is looked at before any goes in: a refused paste changes nothing.
    std::size_t widest = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        widest = std::max(widest, rows[r].size());
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            if (!frame.MayTypeIntoCell(*grid, at.row + static_cast<int>(r), at.col + static_cast<int>(c), rows[r][c],
                                       false))
                return 0;
    }
    CQuietGrid quiet(*grid);
    const int lastCol = at.col + static_cast<int>(widest) - 1;
    while (grid->GetColumnCount() <= lastCol)
        if (!AppendPaneColumn(frame, databasePane, *grid)) return 0;
    const int lastRow = at.row + static_cast<int>(rows.size()) - 1;
    const bool adding = grid->GetRowCount() <= lastRow;
    while (grid->GetRowCount() <= lastRow)
        if (!AppendPaneItem(frame, databasePane, *grid)) return 0;
    int written = 0;
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const int row = at.row + static_cast<int>(r);
            const int col = at.col + static_cast<int>(c);
            if (grid->GetCellText(row, col) == rows[r][c]) continue;
            grid->SetCellText(row, col, rows[r][c]);
            ++written;
        }
    if (databasePane && (written > 0 || adding)) frame.DatabasePane().SetDatabaseModified(true);
    grid->SetFocusCell(at);
    grid->EnsureVisible(at.row, at.col);
    return written;
}

}  // namespace tabulon
