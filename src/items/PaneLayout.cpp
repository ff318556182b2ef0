#include "items/PaneLayout.h"

#include "base/TextCompare.h"

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
    grid.SetColumnWidth(0, kNumberColumnWidth);
    grid.SetCellBackColour(0, 0, kCornerBackColour);
    grid.SetCellTextColour(0, 0, kCornerTextColour);
    // The check boxes take the place of a selection.
    grid.ResetSelection();
    grid.EnableSelection(false);
    grid.ResetSelection();
}

void FitColumns(CGridCtrl& grid) {
    grid.AutoSizeColumns();
    grid.SetColumnWidth(0, kNumberColumnWidth);
    for (int c = 1; c < grid.GetColumnCount(); ++c)
        if (grid.GetColumnWidth(c) < kMinDataColumnWidth) grid.SetColumnWidth(c, kMinDataColumnWidth);
    grid.Refresh();
}

int AppendDataColumn(CGridCtrl& grid) {
    const int col = grid.InsertColumn("", 0, -1);
    if (col < 0) return -1;
    grid.SetCellFormat(0, col, kHeadingFormat);
    grid.SetCellBackColour(0, col, kHeadingBackColour);
    return col;
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    return TrimRight(text);
}

namespace {

// Whether two rows agree in columns 1 .. col - 1, trailing white space aside.
bool SameLeadingColumns(const CGridCtrl& grid, int a, int b, int col, bool ignoreCase) {
    for (int c = 1; c < col; ++c) {
        const std::string_view x = TrimRight(grid.GetCellText(a, c));
        const std::string_view y = TrimRight(grid.GetCellText(b, c));
        if ((ignoreCase ? CompareNoCase(x, y) : CompareWithCase(x, y)) != 0) return false;
    }
    return true;
}

}  // namespace

void SortByAllColumns(CGridCtrl& grid, bool ignoreCase) {
    grid.SortByColumn(1, true);
    const int rows = grid.GetRowCount();
    for (int col = 2; col < grid.GetColumnCount(); ++col) {
        int first = 1;
        while (first < rows) {
            int last = first;
            while (last + 1 < rows && SameLeadingColumns(grid, last, last + 1, col, ignoreCase)) ++last;
            if (last > first) grid.SortRowRange(col, true, first, last);
            first = last + 1;
        }
    }
}

void SetItemCell(CGridCtrl& grid, int row, int col, const std::string& text) {
    GridItem item;
    item.row = row;
    item.col = col;
    item.mask = GridItemMask::kText | GridItemMask::kFormat;
    item.text = text;
    item.format = kItemFormat;
    grid.SetGridItem(item);
}

}  // namespace tabulon::pane
