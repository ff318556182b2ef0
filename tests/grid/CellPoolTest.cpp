// The cell pool hands freed cells out again, by size, before it takes another
// block, and finds cells by their handles. The pool is off under the address
// sanitizer, so most of these run in the optimised build.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
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
int g_blocksDiscarded = 0;
void CountedDiscard(void* from, std::size_t bytes) noexcept {
    ++g_blocksDiscarded;
    std::memset(from, 0xEE, bytes);  // as good as gone: whatever was there is
}
struct Counting {
    Counting() { cellpool::SetBlockSource(&CountedBlock, &CountedDiscard); }
    ~Counting() { cellpool::SetBlockSource(nullptr); }
};
void Fill(CGridCtrl& grid, int rows) {
    for (int r = 0; r < rows; ++r) {
        const int row = grid.InsertRow("");
        for (int c = 1; c < grid.GetColumnCount(); ++c) grid.SetCellText(row, c, "text " + std::to_string(r));
    }
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
    const Counting counting;
    // 80,000 cells and their row tables fill several blocks: without reuse
    // the second fill would take as many again.
    CGridCtrl grid(1, 4, 1, 0);
    Fill(grid, 20000);
    grid.DeleteNonFixedRows();
    const int taken = g_blocksTaken;
    Fill(grid, 20000);
    EXPECT_EQ(g_blocksTaken, taken);
}

// A list replaced by a small one gives the memory of the blocks it emptied
// back; they are used again, before any new block, and hold their cells.
TEST(CellPool, EmptiedBlocksGiveTheirMemoryBackAndServeAgain) {
    if (!cellpool::IsPooled()) GTEST_SKIP() << "every cell is its own allocation in this build";
    const Counting counting;
    cellpool::GiveBackEmptyBlocks();
    auto grid = std::make_unique<CGridCtrl>(1, 4, 1, 0);
    Fill(*grid, 60000);
    EXPECT_EQ(cellpool::GiveBackEmptyBlocks(), 0u) << "nothing was emptied";
    grid.reset();
    g_blocksDiscarded = 0;
    const std::size_t given = cellpool::GiveBackEmptyBlocks();
    EXPECT_GT(given, 3u);
    EXPECT_EQ(g_blocksDiscarded, static_cast<int>(given));
    const int taken = g_blocksTaken;
    CGridCtrl again(1, 4, 1, 0);
    Fill(again, 60000);
    EXPECT_EQ(g_blocksTaken, taken);
    for (const int row : {1, 30000, 60000}) EXPECT_EQ(again.GetCellText(row, 3), "text " + std::to_string(row - 1));
}
