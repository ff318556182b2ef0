// The cell pool hands freed cells out again, by size, before it takes another
// block, and finds cells by their handles. The pool is off under the address
// sanitizer, so most of these run in the optimised build.

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <vector>

#include "grid/CellPool.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

int g_blocksTaken = 0;
void* CountedBlock(std::size_t bytes) {
    ++g_blocksTaken;
    return ::operator new (bytes, std::align_val_t{cellpool::kBlockBytes});
}

}  // namespace

TEST(CellPool, FreedBlocksComeBackBySizeAndUseEachOnce) {
    if (!cellpool::IsPooled()) GTEST_SKIP() << "every cell is its own allocation in this build";
    std::vector<void*> first;
    for (int i = 0; i < 1000; ++i) first.push_back(cellpool::Allocate(40, cellpool::Use::Texts));
    for (void* block : first) cellpool::Free(block, 40, cellpool::Use::Texts);
    void* other = cellpool::Allocate(96, cellpool::Use::Texts);
    EXPECT_EQ(std::count(first.begin(), first.end(), other), 0) << "a freed block came back in another size";
    void* table = cellpool::Allocate(40, cellpool::Use::Tables);
    EXPECT_EQ(std::count(first.begin(), first.end(), table), 0) << "a text's room came back for another use";
    std::vector<void*> second;
    for (int i = 0; i < 1000; ++i) second.push_back(cellpool::Allocate(40, cellpool::Use::Texts));
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    EXPECT_EQ(second, first);
    EXPECT_EQ(std::adjacent_find(second.begin(), second.end()), second.end());
    for (void* block : second) cellpool::Free(block, 40, cellpool::Use::Texts);
    cellpool::Free(other, 96, cellpool::Use::Texts);
    cellpool::Free(table, 40, cellpool::Use::Tables);
}

// A row names its cells by handles: each leads back to its cell, over
// several blocks and after cells were freed and their room taken again.
TEST(CellPool, EveryCellIsFoundAgainByItsHandle) {
    std::vector<void*> cells;
    const auto allocateAndCheck = [&](std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) cells.push_back(cellpool::AllocateCell(24));
        std::vector<cellpool::CellHandle> handles;
        for (void* cell : cells) {
            handles.push_back(cellpool::HandleOf(cell));
            ASSERT_NE(handles.back(), 0u);
            ASSERT_EQ(cellpool::CellAt(handles.back()), cell);
        }
        std::sort(handles.begin(), handles.end());
        EXPECT_EQ(std::adjacent_find(handles.begin(), handles.end()), handles.end());
    };
    allocateAndCheck(200000);  // more than two blocks of 2 MB
    std::vector<void*> kept;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i % 2 == 0)
            cellpool::FreeCell(cells[i], 24);
        else
            kept.push_back(cells[i]);
    }
    cells.swap(kept);
    allocateAndCheck(150000);
    for (void* cell : cells) cellpool::FreeCell(cell, 24);
}

TEST(CellPool, AGridRefilledAfterItsRowsWentTakesNoNewBlock) {
    if (!cellpool::IsPooled()) GTEST_SKIP() << "every cell is its own allocation in this build";
    struct Counting {
        Counting() { cellpool::SetBlockSource(&CountedBlock); }
        ~Counting() { cellpool::SetBlockSource(nullptr); }
    } counting;
    // 80,000 cells and their row tables fill several blocks: without reuse
    // the second fill would take as many again.
    const auto fill = [](CGridCtrl& grid) {
        for (int r = 0; r < 20000; ++r) {
            const int row = grid.InsertRow("");
            for (int c = 1; c < grid.GetColumnCount(); ++c) grid.SetCellText(row, c, "text");
        }
    };
    CGridCtrl grid(1, 4, 1, 0);
    fill(grid);
    grid.DeleteNonFixedRows();
    const int taken = g_blocksTaken;
    fill(grid);
    EXPECT_EQ(g_blocksTaken, taken);
}
