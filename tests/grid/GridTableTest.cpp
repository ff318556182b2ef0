// Rows, columns, counts, sizes and the fixed area of the item table.

#include <gtest/gtest.h>

#include <new>

#include "FakeDesktop.h"
#include "FakeGridWindow.h"
#include "TextNames.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

// A 'Database'-shaped grid: heading row, column 0 fixed, n items of c columns.
void Fill(CGridCtrl& grid, int items, int dataCols) {
    grid.SetColumnCount(dataCols + 1);
    grid.SetRowCount(1);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int r = 0; r < items; ++r) {
        int row = grid.InsertRow("");
        for (int c = 1; c <= dataCols; ++c) grid.SetCellText(row, c, fakes::CellName(r, c));
    }
}

}  // namespace

TEST(GridTable, InsertColumnCreatesHeadingRowAndAppendsAtColumnCount) {
    CGridCtrl grid;
    EXPECT_EQ(grid.InsertColumn("Artist", TextFormats::FromBits(0x24)), 0);
    EXPECT_EQ(grid.GetRowCount(), 1);
    EXPECT_EQ(grid.GetCellText(0, 0), "Artist");
    EXPECT_EQ(grid.GetCellFormat(0, 0).ToBits(), 0x24u);

    EXPECT_EQ(grid.InsertColumn("Title", {}, grid.GetColumnCount()), 1);
    EXPECT_EQ(grid.InsertColumn("First", {}, 0), 0);
    EXPECT_EQ(grid.GetCellText(0, 0), "First");
    EXPECT_EQ(grid.GetCellText(0, 1), "Artist");
    EXPECT_EQ(grid.GetCellText(0, 2), "Title");
    EXPECT_EQ(grid.InsertColumn("Past", {}, grid.GetColumnCount() + 1), -1);
    EXPECT_EQ(grid.GetColumnCount(), 3);
}

TEST(GridTable, InsertRowAppendsOnlyWithMinusOne) {
    CGridCtrl grid;
    grid.SetColumnCount(2);
    grid.SetRowCount(1);
    grid.SetFixedRowCount(1);
    EXPECT_EQ(grid.InsertRow("a", grid.GetRowCount()), -1);
    EXPECT_EQ(grid.InsertRow("a", -1), 1);
    EXPECT_EQ(grid.InsertRow("b", -1), 2);
    EXPECT_EQ(grid.InsertRow("between", 2), 2);
    EXPECT_EQ(grid.GetCellText(1, 0), "a");
    EXPECT_EQ(grid.GetCellText(2, 0), "between");
    EXPECT_EQ(grid.GetCellText(3, 0), "b");
}

TEST(GridTable, InsertInsideFixedAreaIsRefusedAndChangesNothing) {
    CGridCtrl grid;
    Fill(grid, 2, 2);
    grid.SetModified(false);
    EXPECT_EQ(grid.InsertRow("x", 0), -1);
    EXPECT_EQ(grid.InsertColumn("x", {}, 0), -1);
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_FALSE(grid.IsModified());
}

TEST(GridTable, InsertRowWithoutColumnsMakesOne) {
    CGridCtrl grid;
    EXPECT_EQ(grid.InsertRow("only"), 0);
    EXPECT_EQ(grid.GetColumnCount(), 1);
    EXPECT_EQ(grid.GetCellText(0, 0), "only");
}

TEST(GridTable, DefaultCellsMeasureTheMessageFontOrFallBack) {
    fakes::FakeDesktop desktop;  // each character 7 wide, 14 high
    CGridCtrl measured(0, 0, 0, 0, &desktop);
    const CGridDefaultCell* cell = measured.GetDefaultCell(false, false);
    EXPECT_EQ(cell->GetMargin(), 7u);     // one blank
    EXPECT_EQ(cell->GetWidth(), 14 * 7);  // " XXXXXXXXXXXX "
    EXPECT_EQ(cell->GetHeight(), 14 * 3 / 2);
    EXPECT_EQ(*cell->GetFont(), desktop.messageFont);

    fakes::FakeDesktop noScreen;
    noScreen.hasScreen = false;
    CGridCtrl unmeasured(0, 0, 0, 0, &noScreen);
    cell = unmeasured.GetDefaultCell(true, true);
    EXPECT_EQ(cell->GetMargin(), 3u);
    EXPECT_EQ(cell->GetWidth(), 40);
    EXPECT_EQ(cell->GetHeight(), 16);
    EXPECT_EQ(cell->GetFormat().ToBits(), 0x8824u);
}

TEST(GridTable, NewRowAndColumnSizesComeFromDefaultsOrTheHeading) {
    fakes::FakeDesktop desktop;
    fakes::FakeGridWindow window;
    window.hasDC = true;  // text measured at 7 x 14 per character
    CGridCtrl grid(0, 0, 0, 0, &desktop);
    grid.SetColumnCount(2);
    EXPECT_EQ(grid.GetColumnWidth(1), grid.GetDefaultCell(false, true)->GetWidth());
    grid.SetRowCount(1);
    EXPECT_EQ(grid.GetRowHeight(0), grid.GetDefaultCell(false, false)->GetHeight());
    grid.SetFixedRowCount(1);
    grid.AttachWindow(&window);

    const int empty = grid.InsertRow("");
    EXPECT_EQ(grid.GetRowHeight(empty), grid.GetDefaultCell(true, false)->GetHeight());
    const int named = grid.InsertRow("Heading");
    const int margin = static_cast<int>(grid.GetDefaultCell(false, false)->GetMargin());
    EXPECT_EQ(grid.GetRowHeight(named), 14 + 2 * margin);

    const int col = grid.InsertColumn("Year", {});
    EXPECT_EQ(grid.GetColumnWidth(col), 4 * 7 + 4 * margin);
    const int blank = grid.InsertColumn("", {});
    EXPECT_EQ(grid.GetColumnWidth(blank), 4 * margin);

    long long total = 0;
    for (int r = 0; r < grid.GetRowCount(); ++r) total += grid.GetRowHeight(r);
    EXPECT_EQ(grid.GetTotalHeight(), total);
    EXPECT_EQ(grid.GetFixedRowHeight(), grid.GetRowHeight(0));
    EXPECT_FALSE(grid.SetRowHeight(0, -1));
    EXPECT_FALSE(grid.SetColumnWidth(grid.GetColumnCount(), 5));
    EXPECT_EQ(grid.GetRowHeight(grid.GetRowCount()), -1);
}

TEST(GridTable, RowCountZeroEmptiesTableAndFixedRows) {
    CGridCtrl grid;
    Fill(grid, 3, 2);
    EXPECT_TRUE(grid.SetRowCount(0));
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetFixedRowCount(), 0);
    EXPECT_EQ(grid.GetTotalHeight(), 0);
    EXPECT_EQ(grid.GetColumnCount(), 3);
}

TEST(GridTable, FixedCountsKeepStateBitsAndColoursInStep) {
    CGridCtrl grid(4, 3, 0, 0);
    grid.SetCellBackColour(1, 2, 0x123456);
    grid.SetFixedRowCount(2);
    grid.SetFixedColumnCount(1);
    EXPECT_EQ(grid.GetCellState(1, 2).ToBits() & 0x70u, 0x30u);
    EXPECT_EQ(grid.GetCellState(1, 0).ToBits() & 0x70u, 0x70u);
    EXPECT_EQ(grid.GetCellState(3, 0).ToBits() & 0x70u, 0x50u);
    EXPECT_EQ(grid.GetCell(1, 2)->GetBackColour(), kDefaultColour);

    grid.SetCellBackColour(1, 2, 0x123456);
    grid.SetFixedRowCount(1);
    // Row 1 is ordinary again: out of the fixed columns it loses both bits and
    // its colours; in the fixed column it stays fixed as part of column 0.
    EXPECT_EQ(grid.GetCellState(1, 2).ToBits() & 0x70u, 0u);
    EXPECT_EQ(grid.GetCell(1, 2)->GetBackColour(), kDefaultColour);
    EXPECT_EQ(grid.GetCell(1, 2)->GetTextColour(), kDefaultColour);
    EXPECT_EQ(grid.GetCellState(1, 0).ToBits() & 0x70u, 0x50u);
    EXPECT_EQ(grid.GetCellState(0, 0).ToBits() & 0x70u, 0x70u);

    // Cells made later get the bits of where they are created.
    const int col = grid.InsertColumn("new", {});
    EXPECT_EQ(grid.GetCellState(0, col).ToBits() & 0x70u, 0x30u);
    EXPECT_EQ(grid.GetCellState(2, col).ToBits() & 0x70u, 0u);

    // Growing the fixed count past the table grows the table.
    EXPECT_TRUE(grid.SetFixedRowCount(6));
    EXPECT_EQ(grid.GetRowCount(), 6);
}

TEST(GridTable, DeletionsAdjustCountsAndFocus) {
    CGridCtrl grid;
    Fill(grid, 4, 3);
    EXPECT_FALSE(grid.DeleteRow(grid.GetRowCount()));
    EXPECT_FALSE(grid.DeleteColumn(-1));

    grid.SetFocusCell(2, 2);
    EXPECT_TRUE(grid.DeleteRow(2));
    EXPECT_EQ(grid.GetFocusCell(), CellId(-1, -1));
    // Every deletion starts by resetting the selection, which takes the focus
    // cell with it, so a deletion elsewhere clears it too.
    grid.SetFocusCell(3, 2);
    EXPECT_TRUE(grid.DeleteRow(1));
    EXPECT_EQ(grid.GetFocusCell(), CellId(-1, -1));
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(grid.GetCellText(1, 1), "r2c1");

    EXPECT_TRUE(grid.DeleteColumn(0));
    EXPECT_EQ(grid.GetFixedColumnCount(), 0);
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetCellText(1, 0), "r2c1");

    long long width = 0;
    for (int c = 0; c < grid.GetColumnCount(); ++c) width += grid.GetColumnWidth(c);
    EXPECT_EQ(grid.GetTotalWidth(), width);
}

TEST(GridTable, DeleteNonFixedRowsKeepsHeadingAndColumns) {
    CGridCtrl grid;
    Fill(grid, 0, 2);
    grid.SetCellText(0, 1, "Name");
    grid.SetColumnWidth(1, 77);
    EXPECT_TRUE(grid.DeleteNonFixedRows());
    EXPECT_EQ(grid.GetRowCount(), 1);

    Fill(grid, 5, 2);
    EXPECT_TRUE(grid.DeleteNonFixedRows());
    EXPECT_EQ(grid.GetRowCount(), 1);
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetColumnWidth(1), 77);

    EXPECT_TRUE(grid.DeleteAllCells());
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetColumnCount(), 0);
    EXPECT_EQ(grid.GetFixedRowCount(), 0);
    EXPECT_EQ(grid.GetTotalWidth(), 0);
}

TEST(GridTable, ModifiedMarkFollowsCellsHeadingsAndSortColumn) {
    CGridCtrl grid;
    Fill(grid, 3, 2);
    grid.SetModified(false);
    EXPECT_FALSE(grid.IsModified());

    grid.SetCellText(2, 1, "changed");
    EXPECT_TRUE(grid.IsModified());
    EXPECT_TRUE(grid.GetCellState(2, 1) & CellState::kModified);

    grid.SetModified(false, 2, 1);  // that cell only
    EXPECT_FALSE(grid.GetCellState(2, 1) & CellState::kModified);
    EXPECT_TRUE(grid.IsModified());

    grid.SetCellText(1, 2, "x");
    grid.SetModified(false);  // clearing the grid mark clears every cell's mark
    EXPECT_FALSE(grid.GetCellState(1, 2) & CellState::kModified);

    grid.SetCellText(0, 1, "Heading");  // row 0: grid mark without a cell mark
    EXPECT_TRUE(grid.IsModified());
    EXPECT_FALSE(grid.GetCellState(0, 1) & CellState::kModified);

    grid.SortByColumn(2, true);
    EXPECT_EQ(grid.GetSortColumn(), 2);
    grid.SetCellText(1, 1, "other column");
    EXPECT_EQ(grid.GetSortColumn(), 2);
    grid.SetCellText(1, 2, "sorted column");
    EXPECT_EQ(grid.GetSortColumn(), -1);
}

TEST(GridTable, GridItemMarksThenAppliesMaskedFields) {
    CGridCtrl grid;
    Fill(grid, 1, 1);
    grid.SetModified(false);
    GridItem item;
    item.row = 1;
    item.col = 1;
    item.mask = GridItemMask::kText | GridItemMask::kData | GridItemMask::kBackColour | GridItemMask::kMargin |
                GridItemMask::kState;
    item.text = "new";
    item.data = 42;
    item.backColour = 0x00AABBCC;
    item.margin = 9;
    item.state = CellState::kReadOnly;
    item.textColour = 0x111111;  // not in the mask
    EXPECT_TRUE(grid.SetGridItem(item));
    const CGridCellBase* cell = grid.GetCell(1, 1);
    EXPECT_EQ(cell->GetText(), "new");
    EXPECT_EQ(cell->GetData(), 42u);
    EXPECT_EQ(cell->GetBackColour(), 0x00AABBCCu);
    EXPECT_EQ(cell->GetMargin(), 9u);
    EXPECT_EQ(cell->GetTextColour(), kDefaultColour);
    // The state in the item replaces the modified bit the call set first.
    EXPECT_EQ(cell->GetState(), CellState::kReadOnly);
    EXPECT_TRUE(grid.IsModified());
    EXPECT_FALSE(grid.IsCellEditable(1, 1));
    item.row = 5;
    EXPECT_FALSE(grid.SetGridItem(item));
}

namespace {

// A cell class whose construction runs out of memory after a set number.
int g_cellsLeft = 0;
const CellClass& ScarceCellClass() {
    static const CellClass c{"ScarceCell", &CGridCell::Class(), []() -> std::unique_ptr<CGridCellBase> {
                                 if (g_cellsLeft-- <= 0) throw std::bad_alloc();
                                 return std::make_unique<CGridCell>();
                             }};
    return c;
}

}  // namespace

TEST(GridTable, OutOfMemoryStopsCleanlyAndSaysSo) {
    fakes::FakeDesktop desktop;
    CGridCtrl grid(0, 0, 0, 0, &desktop);
    ASSERT_TRUE(grid.SetDefaultCellType(ScarceCellClass()));
    g_cellsLeft = 7;
    grid.SetColumnCount(3);  // no rows yet: no cells needed
    grid.SetRowCount(5);     // two whole rows fit, the third does not
    EXPECT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(desktop.outOfMemoryShown, 1);

    g_cellsLeft = 1;
    EXPECT_EQ(grid.InsertColumn("x", {}), -1);  // needs two cells
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.InsertRow("x"), -1);
    EXPECT_EQ(grid.GetRowCount(), 2);
    g_cellsLeft = 0;
    EXPECT_FALSE(grid.SetColumnCount(4));
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(desktop.outOfMemoryShown, 4);
    for (int r = 0; r < grid.GetRowCount(); ++r)
        for (int c = 0; c < grid.GetColumnCount(); ++c) EXPECT_NE(grid.GetCell(r, c), nullptr);
}

TEST(GridTable, DeleteRowsTakesEveryMarkedRowInOnePass) {
    CGridCtrl grid(7, 2, 1, 1);
    for (int r = 1; r < 7; ++r) grid.SetCellText(r, 1, "row" + std::to_string(r));
    ASSERT_TRUE(grid.SetCellType(5, 0, CGridCellCheckBox::Class()));
    grid.SetRowHeight(2, 30);
    const long long height = grid.GetTotalHeight();
    grid.SetFocusCell(5, 1);
    std::vector<char> remove(7, 0);
    remove[2] = remove[3] = remove[6] = 1;
    ASSERT_TRUE(grid.DeleteRows(remove));
    ASSERT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(grid.GetCellText(1, 1), "row1");
    EXPECT_EQ(grid.GetCellText(2, 1), "row4");
    EXPECT_EQ(grid.GetCellText(3, 1), "row5");
    EXPECT_FALSE(grid.GetFocusCell().IsValid());  // as after DeleteRow, the selection and focus go
    EXPECT_EQ(grid.GetTotalHeight(), height - 30 - 2 * grid.GetRowHeight(1));
    // The moved check box reports its new row.
    struct Owner : IGridOwner {
        CellId last;
        void OnGridNotify(CGridCtrl&, GridNotify, CellId cell) override { last = cell; }
    } owner;
    grid.SetOwner(&owner);
    auto* box = dynamic_cast<CGridCellCheckBox*>(grid.GetCell(3, 0));
    ASSERT_NE(box, nullptr);
    box->SetCheck(true);
    EXPECT_EQ(owner.last, CellId(3, 0));
    EXPECT_FALSE(grid.DeleteRows(std::vector<char>(4, 0)));  // nothing marked
}
