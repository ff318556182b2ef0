// The selected-cell set, the focus cell and their notifications.

#include <gtest/gtest.h>

#include <vector>

#include "FakeGridWindow.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

struct RecordingOwner : IGridOwner {
    void OnGridNotify(CGridCtrl&, GridNotify code, CellId cell) override { calls.push_back({code, cell}); }
    std::vector<std::pair<GridNotify, CellId>> calls;
};

CGridCtrl* MakeGrid() {
    auto* grid = new CGridCtrl(6, 4, 1, 1);  // heading row and column, 5 x 3 data cells
    return grid;
}

}  // namespace

TEST(GridSelection, RangeSelectsDataCellsAndTheSetTracksThem) {
    std::unique_ptr<CGridCtrl> grid(MakeGrid());
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(6, 4, -1, -1));
    grid->SetSelectedRange(0, 0, 2, 2);  // the fixed part is moved out
    EXPECT_EQ(grid->GetSelectedCount(), 4u);
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(1, 1, 2, 2));
    EXPECT_FALSE(grid->IsCellSelected(0, 1));
    EXPECT_TRUE(grid->IsCellSelected(2, 2));

    grid->SetSelectedRange(3, 3, 4, 3);  // a new range replaces the old one
    EXPECT_FALSE(grid->IsCellSelected(1, 1));
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(3, 3, 4, 3));

    grid->SetSelectedRange(3, 3, 3, 3, false, false);  // unselect one cell
    EXPECT_EQ(grid->GetSelectedCount(), 1u);

    grid->SelectAllCells();
    EXPECT_EQ(grid->GetSelectedCount(), 15u);
    grid->ResetSelection();
    EXPECT_EQ(grid->GetSelectedCount(), 0u);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_FALSE(grid->GetCellState(r, c) & CellState::kSelected);
}

TEST(GridSelection, PreviousSelectionComesBackWhenARangeExtends) {
    std::unique_ptr<CGridCtrl> grid(MakeGrid());
    grid->SetSelectedRange(1, 1, 1, 1);
    grid->StorePreviousSelection();
    grid->SetSelectedRange(3, 2, 4, 2);
    EXPECT_TRUE(grid->IsCellSelected(1, 1));
    EXPECT_EQ(grid->GetSelectedCount(), 3u);
    grid->SetListMode(true);
    grid->SetSingleRowSelection(true);
    grid->SetSelectedRange(5, 1, 5, 3);  // single-row list mode drops the old one
    EXPECT_FALSE(grid->IsCellSelected(1, 1));
    EXPECT_EQ(grid->GetSelectedCount(), 3u);
}

TEST(GridSelection, RowsColumnsAndCellsFromTheAnchor) {
    std::unique_ptr<CGridCtrl> grid(MakeGrid());
    grid->SetSelectionAnchor(CellId(2, 1));
    grid->SelectRows(CellId(4, 3));
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(2, 1, 4, 3));
    grid->SelectColumns(CellId(5, 3));
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(1, 1, 5, 3));
    grid->SetSingleColumnSelection(true);
    grid->SelectColumns(CellId(5, 3));
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(1, 3, 5, 3));
    grid->SelectCells(CellId(3, 2));
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(2, 1, 3, 2));
    grid->SetListMode(true);
    grid->SetSingleRowSelection(true);
    grid->SelectRows(CellId(4, 2));
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(4, 1, 4, 3));
    grid->SelectRows(CellId(0, 2));  // a heading row selects nothing new
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(4, 1, 4, 3));
}

TEST(GridSelection, DisabledSelectionSelectsNothing) {
    std::unique_ptr<CGridCtrl> grid(MakeGrid());
    grid->SetSelectedRange(1, 1, 2, 2);
    grid->EnableSelection(false);
    EXPECT_EQ(grid->GetSelectedCount(), 0u);
    grid->SetSelectedRange(1, 1, 5, 3);
    grid->SelectAllCells();
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_FALSE(grid->IsCellSelected(r, c));
    // Even a state set by hand does not count as selected.
    grid->SetCellState(2, 2, CellState::kSelected);
    EXPECT_FALSE(grid->IsCellSelected(2, 2));
}

TEST(GridSelection, RowsFarApartNeverShareAnEntry) {
    CGridCtrl grid(70000, 2, 1, 1);
    grid.SetCellState(3, 1, CellState::kSelected);
    grid.SetCellState(3 + 65536, 1, CellState::kSelected);
    EXPECT_EQ(grid.GetSelectedCount(), 2u);
    EXPECT_EQ(grid.GetSelectedCellRange(), CellRange(3, 1, 3 + 65536, 1));
    grid.ResetSelection();
    EXPECT_FALSE(grid.GetCellState(3, 1) & CellState::kSelected);
    EXPECT_FALSE(grid.GetCellState(3 + 65536, 1) & CellState::kSelected);
}

TEST(GridSelection, DestroyedCellsLeaveTheSet) {
    std::unique_ptr<CGridCtrl> grid(MakeGrid());
    grid->SetCellState(3, 2, CellState::kSelected);
    EXPECT_EQ(grid->GetSelectedCount(), 1u);
    grid->SetRowCount(3);
    EXPECT_EQ(grid->GetSelectedCount(), 0u);
    EXPECT_EQ(grid->GetSelectedCellRange(), CellRange(3, 4, -1, -1));
}

TEST(GridSelection, FocusMovesOutOfTheFixedAreaAndTellsTheOwner) {
    std::unique_ptr<CGridCtrl> grid(MakeGrid());
    RecordingOwner owner;
    grid->SetOwner(&owner);
    EXPECT_EQ(grid->SetFocusCell(0, 0), CellId(-1, -1));
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 1));
    EXPECT_TRUE(grid->GetCellState(1, 1) & CellState::kFocused);
    ASSERT_EQ(owner.calls.size(), 1u);
    EXPECT_EQ(owner.calls[0], std::make_pair(GridNotify::kFocusArriving, CellId(1, 1)));

    owner.calls.clear();
    EXPECT_EQ(grid->SetFocusCell(3, 2), CellId(1, 1));
    EXPECT_FALSE(grid->GetCellState(1, 1) & CellState::kFocused);
    ASSERT_EQ(owner.calls.size(), 2u);
    EXPECT_EQ(owner.calls[0], std::make_pair(GridNotify::kFocusLeaving, CellId(1, 1)));
    EXPECT_EQ(owner.calls[1], std::make_pair(GridNotify::kFocusArriving, CellId(3, 2)));

    owner.calls.clear();
    grid->SetFocusCell(3, 2);  // already there: nothing happens
    EXPECT_TRUE(owner.calls.empty());
    grid->SetFocusCell(-1, -1);
    EXPECT_EQ(owner.calls.size(), 1u);
    EXPECT_EQ(grid->GetFocusCell(), CellId(-1, -1));
}

TEST(GridSelection, FocusChangesRedrawTheCellsAndTheirHeadingsInAWindow) {
    std::unique_ptr<CGridCtrl> grid(MakeGrid());
    fakes::FakeGridWindow window;
    window.clientSize = {2000, 2000};
    grid->AttachWindow(&window);
    grid->SetFocusCell(2, 2);
    // The cell and, with focus tracking, the heading of its row and column.
    EXPECT_EQ(window.invalidated.size(), 3u);
    window.invalidated.clear();
    grid->SetTrackFocusCell(false);
    grid->SetFocusCell(3, 3);
    EXPECT_EQ(window.invalidated.size(), 2u);  // old and new cell only

    // Without a window nothing is asked of one.
    CGridCtrl bare(3, 3, 1, 1);
    bare.SetFocusCell(1, 1);
    bare.Refresh();
    EXPECT_EQ(bare.GetFocusCell(), CellId(1, 1));
}
