#include "items/PaneLayout.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/TextCompare.h"
#include "base/TextTrim.h"
#include "config/ConfigTitle.h"

namespace tabulon::pane {

void SetUpPaneGrid(CGridCtrl& grid, const std::string& title) {
    grid.SetEditable(true);
    grid.EnableDragAndDrop(false);
    grid.SetTrackFocusCell(false);
    grid.SetFixedRowSelection(false);  // a heading click sorts, it does not select
    grid.SetRowCount(1);
    grid.SetColumnCount(1);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(0);
    grid.SetCellText(0, 0, title);
    grid.SetColumnWidth(0, NumberColumnWidth(grid));
    grid.SetCellBackColour(0, 0, kCornerBackColour);
    grid.SetCellTextColour(0, 0, kCornerTextColour);
    // The check boxes take the place of a selection.
    grid.ResetSelection();
    grid.EnableSelection(false);
    grid.ResetSelection();
}

int NumberColumnWidth(CGridCtrl& grid) {
    std::unique_ptr<IDeviceContext> dc = grid.GetDesktop().CreateScreenContext();
    CGridCellBase* corner = grid.GetCell(0, 0);
    if (!dc || !corner) return kNumberColumnWidth;
    // Measured with the mark, whichever of the two titles the corner holds.
    const int needed =
        corner->GetTextExtent(kModifiedDatabaseCorner, dc.get()).cx + 2 * static_cast<int>(corner->GetMargin()) + 2;
    return std::max(kNumberColumnWidth, needed);
}

void FitColumns(CGridCtrl& grid) {
    // The scroll bars are set and the grid redrawn once, for all the widths.
    CQuietGrid quiet(grid);
    // Every column as AutoSizeColumns fits it, but column 0, whose width
    // is set right after: its texts need not be measured.
    grid.AutoSizeColumnRange(1, grid.GetColumnCount() - 1, 0, kMinDataColumnWidth);
    grid.SetColumnWidth(0, NumberColumnWidth(grid));
    for (int c = 1; c < grid.GetColumnCount(); ++c)
        if (grid.GetColumnWidth(c) < kMinDataColumnWidth) grid.SetColumnWidth(c, kMinDataColumnWidth);
}

int AppendDataColumn(CGridCtrl& grid) { return AppendHeadingColumn(grid); }

void SetNumberCell(CGridCtrl& grid, int row) {
    grid.SetCellText(row, 0, std::to_string(row));
    grid.SetCellFormat(row, 0, kNumberFormat);
    grid.SetCellState(row, 0, grid.GetCellState(row, 0) | CellState::kReadOnly);
    grid.SetCellBackColour(row, 0, kHeadingBackColour);
}

int InsertNewDataColumn(CGridCtrl& grid, int col) {
    // Its items look like those of every other column: text put in later
    // stands in the same upright place.
    const int inserted = grid.InsertColumn("", kItemFormat, col);
    if (inserted < 0) return -1;
    grid.SetCellFormat(0, inserted, kHeadingFormat);
    grid.SetCellBackColour(0, inserted, kHeadingBackColour);
    grid.SetColumnWidth(inserted, kMinDataColumnWidth);
    return inserted;
}

bool MoveDataColumn(CGridCtrl& grid, int from, int to, bool keepHeading) {
    const int columns = grid.GetColumnCount();
    if (from < 1 || from >= columns || to < -1 || to >= columns || from == to) return false;
    // A copy goes in right after the drop column, then the original goes.
    const std::string heading = keepHeading ? std::string(grid.GetCellText(0, from)) : std::string();
    const int at = grid.InsertColumn(heading, kHeadingFormat, to < 0 ? -1 : to + 1);
    if (at < 0) return false;
    grid.SetCellBackColour(0, at, kHeadingBackColour);
    // Whether or not there are items, the original has moved one to the right
    // when the copy went in before it; deleting at its old index would take
    // the wrong column.
    if (at <= from) ++from;
    for (int r = grid.GetFixedRowCount(); r < grid.GetRowCount(); ++r) {
        grid.SetCellText(r, at, grid.GetCellText(r, from));
    }
    grid.DeleteColumn(from);
    return true;
}

void SortByAllColumns(CGridCtrl& grid, bool ignoreCase) {
    grid.SortByColumn(1, true);
    const int rows = grid.GetRowCount();
    // startsRun[r]: item row r differs from the row above it in one of the
    // columns sorted so far. Sorting inside a run never moves these borders,
    // since every row of a run agrees in those columns, so each column adds
    // its own borders once instead of comparing all earlier columns again.
    std::vector<char> startsRun(static_cast<std::size_t>(std::max(rows, 1)), 0);
    const auto columns = static_cast<std::uint64_t>(grid.GetColumnCount());
    for (int col = 2; col < grid.GetColumnCount(); ++col) {
        const int previous = col - 1;
        grid.ReportProgress(kSortingPhase, static_cast<std::uint64_t>(col - 1) * static_cast<std::uint64_t>(rows),
                            columns * static_cast<std::uint64_t>(rows));
        // Each text is read once even where neighbours are compared in a row;
        // in an order of its own, each text's key is made once.
        const CSortOrder* order = ignoreCase ? grid.GetSortOrder() : nullptr;
        std::string aboveKey;
        std::string hereKey;
        std::string_view above;
        int aboveRow = -1;
        // A row is read only where it shares a run with the row above or
        // below it; after the first columns most runs are single rows, which
        // are not asked for either.
        auto isRead = [&](int r) { return r < rows && (!startsRun[r] || (r + 1 < rows && !startsRun[r + 1])); };
        for (int r = 2; r < rows; ++r) {
            for (int stage = 0; stage < 3; ++stage)
                if (const int ahead = r + CGridCtrl::kRowsAhead[stage]; isRead(ahead))
                    grid.PrefetchRow(ahead, stage, previous, previous);
            if (startsRun[r]) continue;
            if (order) {
                // The sort of the previous column compared these two already;
                // only texts that end in blanks, which the runs pass over,
                // need their keys again.
                const int tied = grid.KeyTiedWithAbove(r, previous);
                if (tied == 1) continue;
                if (tied == 0) {
                    const std::string_view a = grid.GetCellText(r - 1, previous);
                    const std::string_view b = grid.GetCellText(r, previous);
                    if (TrimRight(a).size() == a.size() && TrimRight(b).size() == b.size()) {
                        startsRun[r] = 1;
                        continue;
                    }
                }
            }
            if (aboveRow != r - 1) {
                above = TrimRight(grid.GetCellText(r - 1, previous));
                if (order) {
                    aboveKey.clear();
                    order->AppendKey(above, aboveKey);
                }
            }
            const std::string_view here = TrimRight(grid.GetCellText(r, previous));
            if (order) {
                hereKey.clear();
                order->AppendKey(here, hereKey);
                if (hereKey != aboveKey) startsRun[r] = 1;
                std::swap(aboveKey, hereKey);
            } else if ((ignoreCase ? CompareNoCase(above, here) : CompareWithCase(above, here)) != 0) {
                startsRun[r] = 1;
            }
            above = here;
            aboveRow = r;
        }
        // The rows of runs of two or more have their keys made at once; they
        // go with this column, whatever ends its sorts.
        struct DropKeysAfter {
            CGridCtrl& grid;
            ~DropKeysAfter() { grid.DropPreparedSortKeys(); }
        } dropKeys{grid};
        if (order) grid.PrepareSortKeys(col, isRead);
        int first = 1;
        while (first < rows) {
            int last = first;
            while (last + 1 < rows && !startsRun[last + 1]) ++last;
            if (last > first) grid.SortRowRange(col, true, first, last);
            first = last + 1;
            grid.ReportProgress(kSortingPhase,
                                static_cast<std::uint64_t>(col - 1) * static_cast<std::uint64_t>(rows) +
                                    static_cast<std::uint64_t>(first),
                                columns * static_cast<std::uint64_t>(rows));
        }
    }
}

void SetItemCell(CGridCtrl& grid, int row, int col, std::string_view text) {
    // One item for every call: reading a list sets millions of cells, and
    // its text keeps its room from one to the next instead of a new string
    // each time. Grids live on one thread, so each thread has its own.
    thread_local GridItem item;
    item.row = row;
    item.col = col;
    item.mask = GridItemMask::kText | GridItemMask::kFormat;
    item.text.assign(text);
    item.format = kItemFormat;
    grid.SetGridItem(item);
}

}  // namespace tabulon::pane
