// The table at its limits: very wide lines and memory running out.

#include <gtest/gtest.h>

#include <new>

#include "AllocationProbe.h"
#include "FakeDesktop.h"
#include "FakeGridWindow.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

TEST(GridLimits, ColumnsAddedOneByOneCostLittleAndEmptyCellsStaySmall) {
    // One long line after many short ones: every row gets every column.
    constexpr int kRows = 300;
    constexpr int kColumns = 2000;
    CGridCtrl grid(kRows, 2, 1, 1);
    grid.SetCellText(5, 1, "short item");

    probe::StartCounting();
    for (int c = 0; c < kColumns; ++c) ASSERT_GE(grid.InsertColumn("", {}, -1), 0);
    const probe::AllocationCounts counts = probe::StopCounting();

    // Growing each row to its exact new size would reallocate every row for
    // every column, and making a cell for each place allocates as often:
    // over a million calls. A full row grows by half again instead.
    EXPECT_LT(counts.calls, std::size_t{kRows} * kColumns / 20) << counts.calls;
    // A whole cell for every empty place would take over 60 MB here.
    EXPECT_LT(counts.peakBytes, std::size_t{24} * kRows * kColumns) << counts.peakBytes;

    // The empty places read as fresh cells, and become real ones once needed.
    const int last = grid.GetColumnCount() - 1;
    EXPECT_EQ(grid.GetCellText(5, 1), "short item");
    EXPECT_EQ(grid.GetCellText(kRows - 1, last), "");
    EXPECT_EQ(grid.GetCellFormat(kRows - 1, last).ToBits(), 0u);
    EXPECT_EQ(grid.GetCellState(kRows - 1, last), CellStates());
    EXPECT_EQ(grid.GetCellState(7, 0), CellState::kFixed | CellState::kFixedCol);
    EXPECT_TRUE(grid.IsCellEditable(kRows - 1, last));
    ASSERT_TRUE(grid.SetCellText(kRows - 1, last, "far"));
    EXPECT_EQ(grid.GetCell(kRows - 1, last)->GetText(), "far");
    EXPECT_EQ(grid.GetCell(kRows - 1, last)->GetFormat().ToBits(), 0u);
    EXPECT_EQ(grid.GetCell(0, last)->GetState() & CellState::kFixedRow, CellState::kFixedRow);
}

TEST(GridLimits, OutOfMemoryReachesACallerThatAsksAndLeavesTheTableWhole) {
    fakes::FakeDesktop desktop;
    CGridCtrl grid(3, 3, 1, 1, &desktop);
    grid.SetOutOfMemoryThrows(true);
    for (std::size_t nth = 1; nth < 50; ++nth) {
        SCOPED_TRACE(nth);
        probe::FailAllocation(nth);
        bool thrown = false;
        try {
            grid.InsertColumn("heading", {}, -1);
            grid.InsertRow("", -1);
        } catch (const std::bad_alloc&) {
            thrown = true;
        }
        probe::StopFailing();
        EXPECT_EQ(thrown, probe::AllocationFailed());
        if (!thrown) break;
        // Whatever failed, every row has every column.
        for (int r = 0; r < grid.GetRowCount(); ++r)
            for (int c = 0; c < grid.GetColumnCount(); ++c) ASSERT_NE(grid.GetCell(r, c), nullptr);
    }
    EXPECT_EQ(desktop.outOfMemoryShown, 0);
}

// Memory that runs out near the end of a quiet bulk load: leaving the load
// asks for nothing more (the table of row positions is not grown while the
// rows are still there), and the caller can put the table back.
TEST(GridLimits, ABulkLoadThatRunsOutLetsGoWithoutAskingForMore) {
    constexpr int kRows = 5000;  // their row positions need more than the little left
    fakes::FakeDesktop desktop;
    fakes::FakeGridWindow window;
    window.hasDC = true;
    const auto load = [&](CGridCtrl& grid) {
        CQuietGrid quiet(grid);
        CStrictGrid strict(grid);
        for (int r = 0; r < kRows; ++r) grid.InsertRow("", -1);
    };
    std::size_t calls = 0;
    {
        CGridCtrl counted(1, 2, 1, 0, &desktop);
        probe::StartCounting();
        load(counted);
        calls = probe::StopCounting().calls;
    }
    CGridCtrl grid(1, 2, 1, 0, &desktop);
    grid.AttachWindow(&window);
    probe::RunOutAt(calls - 3);
    bool thrown = false;
    try {
        load(grid);
    } catch (const std::bad_alloc&) {
        thrown = true;
    }
    probe::StopFailing();
    EXPECT_TRUE(thrown);
    EXPECT_TRUE(grid.IsRedrawAllowed());
    EXPECT_TRUE(grid.SetRowCount(1));
    EXPECT_EQ(grid.GetRowCount(), 1);
    grid.AttachWindow(nullptr);
}

}  // namespace
