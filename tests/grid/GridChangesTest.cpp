// Taking work back: whatever mix of changes a grid went through while a log
// was set, taking the log back gives the table it had before, and taking
// back what that recorded gives the table it had after, again and again.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "AllocationProbe.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

// Everything a save or the window shows of the table.
std::vector<std::string> Picture(const CGridCtrl& grid) {
    // Built by appending: g++ 12 at -O3 misreads chains of + as overlapping copies.
    std::string shape = std::to_string(grid.GetRowCount());
    shape += 'x';
    shape += std::to_string(grid.GetColumnCount());
    shape += " fixed ";
    shape += std::to_string(grid.GetFixedRowCount());
    shape += ',';
    shape += std::to_string(grid.GetFixedColumnCount());
    std::vector<std::string> out{shape};
    for (int r = 0; r < grid.GetRowCount(); ++r) {
        std::string row = std::to_string(grid.GetRowHeight(r));
        for (int c = 0; c < grid.GetColumnCount(); ++c) {
            row += '|';
            row += grid.GetCellText(r, c);
            if (dynamic_cast<const CGridCellCheckBox*>(grid.GetCell(r, c))) row += "[box]";
        }
        out.push_back(row);
    }
    for (int c = 0; c < grid.GetColumnCount(); ++c) out.push_back(std::to_string(grid.GetColumnWidth(c)));
    return out;
}

// One random change of the kinds the commands make.
void RandomChange(CGridCtrl& grid, std::mt19937& random) {
    auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    const int rows = grid.GetRowCount();
    const int cols = grid.GetColumnCount();
    const int row = rows > 1 ? pick(1, rows - 1) : -1;
    const int col = cols > 1 ? pick(1, cols - 1) : -1;
    switch (pick(0, 11)) {
    case 0:
    case 1:
        if (row > 0) grid.SetCellText(row, col, std::to_string(pick(0, 99)));
        break;
    case 2: {
        const int at = grid.InsertRow("", pick(0, 1) && row > 0 ? row : -1);
        grid.SetCellText(at, 1, std::to_string(100 + pick(0, 9)));
        break;
    }
    case 3: grid.DeleteRow(row); break;
    case 4: {
        std::vector<char> remove(static_cast<std::size_t>(rows));
        for (int r = 1; r < rows; ++r) remove[static_cast<std::size_t>(r)] = pick(0, 3) == 0;
        grid.DeleteRows(remove);
        break;
    }
    case 5: grid.InsertColumn(std::to_string(200 + pick(0, 9)), kDefaultColumnFormat, col > 0 ? col : -1); break;
    case 6:
        if (cols > 2) grid.DeleteColumn(col);
        break;
    case 7: grid.SetRowCount(std::max(1, rows + pick(-2, 3))); break;
    case 8: grid.SetColumnCount(std::max(2, cols + pick(-1, 2))); break;
    case 9: grid.SortByColumn(col > 0 ? col : 1, pick(0, 1) == 1); break;
    case 10:
        if (row > 0) grid.SetCellType(row, 0, CGridCellCheckBox::Class());
        break;
    case 11:
        if (auto* box = row > 0 ? dynamic_cast<CGridCellCheckBox*>(grid.GetCell(row, 0)) : nullptr) box->SetCheck();
        if (pick(0, 4) == 0) grid.DeleteNonFixedRows();
        break;
    }
}

}  // namespace

TEST(GridChanges, TakingBackAnyMixOfChangesGivesTheTableBeforeAndRedoingGivesItAfter) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        CGridCtrl grid(1, 3, 1, 1);
        for (int r = 0; r < 6; ++r) {
            const int at = grid.InsertRow("");
            for (int c = 1; c < 3; ++c) grid.SetCellText(at, c, std::to_string((r * 7 + c) % 5));
            if (r % 2) grid.SetCellType(at, 0, CGridCellCheckBox::Class());
        }
        const std::vector<std::string> before = Picture(grid);
        CGridChanges log;
        grid.SetChangeLog(&log);
        const int changes = 1 + round % 12;
        for (int k = 0; k < changes; ++k) RandomChange(grid, random);
        grid.SetChangeLog(nullptr);
        const std::vector<std::string> after = Picture(grid);

        CGridChanges redo, undo;
        grid.TakeBack(log, redo);
        ASSERT_EQ(Picture(grid), before) << "round " << round;
        EXPECT_TRUE(log.Empty());
        grid.TakeBack(redo, undo);
        ASSERT_EQ(Picture(grid), after) << "round " << round;
        CGridChanges again;
        grid.TakeBack(undo, again);
        ASSERT_EQ(Picture(grid), before) << "round " << round;
    }
}

TEST(GridChanges, DeletedRowsAreMovedIntoTheLogAndNewRowsAreNotFollowedCellByCell) {
    CGridCtrl grid(1, 3, 1, 1);
    for (int r = 0; r < 1000; ++r) grid.SetCellText(grid.InsertRow(""), 1, std::string(40, 'a' + r % 26));
    const CGridCellBase* firstItem = grid.GetCell(1, 1);
    CGridChanges log;
    grid.SetChangeLog(&log);
    grid.DeleteNonFixedRows();
    grid.SetChangeLog(nullptr);
    EXPECT_GE(log.Bytes(), 1000 * 40u);  // the log holds the items now
    CGridChanges redo;
    grid.TakeBack(log, redo);
    EXPECT_EQ(grid.GetCell(1, 1), firstItem);  // the very cell, not a copy

    CGridChanges added;
    grid.SetChangeLog(&added);
    grid.SetRowCount(grid.GetRowCount() + 1000);
    for (int r = 1001; r < grid.GetRowCount(); ++r) grid.SetCellText(r, 1, std::string(40, 'x'));
    grid.SetChangeLog(nullptr);
    EXPECT_LT(added.Bytes(), 1000 * 40u);  // the rows' places, not their texts
}

TEST(GridChanges, AChangeThatCannotBeRecordedIsNotMadeNorIsAnyAfterIt) {
    CGridCtrl grid(1, 3, 1, 1);
    const std::string kept(100, 'k');  // beyond the short-string buffer: copying it allocates
    grid.SetCellText(grid.InsertRow(""), 1, kept);
    CGridChanges log;
    grid.SetChangeLog(&log);
    EXPECT_TRUE(grid.SetCellText(1, 1, kept));  // the same text changes nothing and takes no record
    EXPECT_TRUE(log.Empty());
    probe::FailAllocation(1);
    EXPECT_FALSE(grid.SetCellText(1, 1, "new"));
    probe::StopFailing();
    EXPECT_TRUE(log.Failed());
    EXPECT_EQ(grid.GetCellText(1, 1), kept);
    EXPECT_EQ(grid.InsertRow(""), -1);
    EXPECT_FALSE(grid.DeleteRow(1));
    EXPECT_EQ(grid.GetRowCount(), 2);
    grid.SetChangeLog(nullptr);
}
