// Finding text in a pane: what a cell matches (as shown, with and without
// case, whole or in part), the order of the search from a cell in both
// directions and round the ends, one column or all, and the count.

#include <gtest/gtest.h>

#include <functional>

#include "tools/CellSearch.h"

namespace tabulon::testing {
namespace {

TEST(CellSearch, MatchesTheTextAsShownWithOrWithoutCase) {
    const struct {
        const char* cell;
        const char* query;
        bool matchCase;
        bool whole;
        bool matches;
    } cases[] = {
        {"The Beatles", "beat", false, false, true},
        {"The Beatles", "beat", true, false, false},
        {"The Beatles", "the beatles", false, true, true},
        {"The Beatles", "beatles", false, true, false},
        {"ÉTÉ ÅÄÖ ŠŒŽŸ", "été åäö šœžÿ", false, true, true},  // UTF-8 letters fold
        {"ÉTÉ", "été", true, false, false},
        {"\xC9t\xE9", "été", false, true, true},  // Windows-1252, matched as shown
        {"a×b", "A÷B", false, false, false},      // × and ÷ are not letters
        {"anything", "", false, false, false},    // an empty query finds nothing
    };
    for (const auto& c : cases) {
        const CCellSearch search({c.query, c.matchCase, c.whole, -1});
        EXPECT_EQ(search.Matches(c.cell), c.matches) << c.cell << " / " << c.query;
    }
}

class CellSearchGrid : public ::testing::Test {
protected:
    // Two data columns, and a match at (1,1), (2,2) and (3,1).
    void SetUp() override { Fill(grid); }
    static void Fill(CGridCtrl& table) {
        table.SetColumnCount(3);
        table.SetRowCount(4);
        const char* texts[3][2] = {{"x", "-"}, {"-", "X"}, {"x", "-"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c) table.SetCellText(r + 1, c + 1, texts[r][c]);
    }
    CGridCtrl grid{1, 1, 1, 1};
};

TEST_F(CellSearchGrid, GoesRowByRowFromTheFocusCellAndRoundTheEnds) {
    const CCellSearch search({"x", false, false, -1});
    const struct {
        CellId from;
        bool backwards;
        CellId found;
        bool wrapped;
    } cases[] = {
        {CellId(-1, -1), false, CellId(1, 1), false},  // no focus cell: from the first
        {CellId(-1, -1), true, CellId(3, 1), false},   // or the last
        {CellId(1, 1), false, CellId(2, 2), false},   {CellId(2, 2), false, CellId(3, 1), false},
        {CellId(3, 1), false, CellId(1, 1), true},    {CellId(1, 1), true, CellId(3, 1), true},
        {CellId(2, 0), false, CellId(2, 2), false},  // from the number column
        {CellId(3, 2), true, CellId(3, 1), false},
    };
    for (const auto& c : cases) {
        const auto found = search.Next(grid, c.from, c.backwards);
        ASSERT_TRUE(found) << c.from.row << "," << c.from.col;
        EXPECT_EQ(found->cell, c.found) << c.from.row << "," << c.from.col << (c.backwards ? " back" : "");
        EXPECT_EQ(found->wrapped, c.wrapped) << c.from.row << "," << c.from.col;
    }
    // The only match is found again from itself, round the end.
    const CCellSearch column({"X", true, false, 2});
    EXPECT_EQ(column.Next(grid, CellId(2, 2), false)->cell, CellId(2, 2));
    EXPECT_TRUE(column.Next(grid, CellId(2, 2), false)->wrapped);
    EXPECT_FALSE(CCellSearch({"y", false, false, -1}).Next(grid, CellId(1, 1), false));
}

TEST_F(CellSearchGrid, CountsTheMatchesAndTheRankOfOne) {
    const CCellSearch all({"x", false, false, -1});
    EXPECT_EQ(all.CountMatches(grid, CellId(2, 2)).total, 3u);
    EXPECT_EQ(all.CountMatches(grid, CellId(2, 2)).rank, 2u);
    EXPECT_EQ(all.CountMatches(grid, CellId(2, 1)).rank, 0u);
    EXPECT_EQ(CCellSearch({"x", false, false, 1}).CountMatches(grid, CellId(3, 1)).total, 2u);
    // Column 0 holds the items' numbers, fixed or not: they are not searched.
    CGridCtrl numbered{3, 2, 1, 0};
    for (int r = 1; r < 3; ++r) numbered.SetCellText(r, 0, std::to_string(r));
    numbered.SetCellText(2, 1, "12");
    EXPECT_EQ(CCellSearch({"1", false, false, -1}).Next(numbered, CellId(-1, -1), false)->cell, CellId(2, 1));
    EXPECT_EQ(CCellSearch({"2", false, false, -1}).CountMatches(numbered, CellId(-1, -1)).total, 1u);
    CGridCtrl empty{1, 1, 1, 1};
    EXPECT_EQ(all.CountMatches(empty, CellId(-1, -1)).total, 0u);
    EXPECT_FALSE(all.Next(empty, CellId(-1, -1), false));
}

TEST(CellSearch, AnEmptyPaneIsFoundNothingInWithOrWithoutACopy) {
    // 'New items' at start has no cells at all; after Delete all items a
    // pane keeps its headings, or its number column alone.
    const struct {
        const char* pane;
        int rows, cols, fixedRows, fixedCols;
    } panes[] = {{"no cells", 0, 0, 0, 0}, {"headings only", 1, 3, 1, 1}, {"numbers only", 3, 1, 1, 1}};
    for (const auto& p : panes) {
        CGridCtrl grid{p.rows, p.cols, p.fixedRows, p.fixedCols};
        CSearchTexts copy;
        while (!copy.CopySome(grid, 100)) {
        }
        for (const int column : {-1, 1})
            for (const CSearchTexts* texts :
                 {static_cast<const CSearchTexts*>(nullptr), static_cast<const CSearchTexts*>(&copy)}) {
                const CCellSearch search({"a", false, false, column});
                EXPECT_EQ(search.CountMatches(grid, CellId(-1, -1), texts).total, 0u) << p.pane;
                EXPECT_FALSE(search.Next(grid, CellId(-1, -1), false, texts)) << p.pane;
                EXPECT_FALSE(search.Next(grid, CellId(0, 0), true, texts)) << p.pane;
            }
    }
}

TEST_F(CellSearchGrid, ACopyOfTheTextsFindsWhatTheCellsHoldAndIsDroppedWhenTheyChange) {
    const struct {
        const char* change;
        std::function<void(CGridCtrl&)> make;
    } changes[] = {
        {"a text", [](CGridCtrl& g) { g.SetCellText(2, 1, "-XÉ"); }},
        {"a sort", [](CGridCtrl& g) { g.SortByColumn(2, false); }},
        {"a row inserted", [](CGridCtrl& g) { g.InsertRow("", 1); }},
        {"a row deleted", [](CGridCtrl& g) { g.DeleteRow(1); }},
        {"a column deleted", [](CGridCtrl& g) { g.DeleteColumn(1); }},
        {"the fixed columns", [](CGridCtrl& g) { g.SetFixedColumnCount(2); }},
    };
    // "-x" and "x-" run from one text on into the next, where no cell holds
    // them; "xé" is looked for as "x", then compared.
    const CCellSearch searches[] = {CCellSearch({"x", false, false, -1}),  CCellSearch({"X", true, false, -1}),
                                    CCellSearch({"-x", false, false, -1}), CCellSearch({"x-", false, false, -1}),
                                    CCellSearch({"x", false, true, -1}),   CCellSearch({"x", false, false, 2})};
    const auto sameAsTheCells = [&](const CGridCtrl& g, const CSearchTexts& copy, const char* change) {
        ASSERT_TRUE(copy.IsCurrentFor(g)) << change;
        for (const CCellSearch& search : searches)
            for (int r = -1; r < g.GetRowCount(); ++r)
                for (int c = 0; c < g.GetColumnCount(); ++c)
                    for (const bool back : {false, true}) {
                        const auto walked = search.Next(g, CellId(r, c), back);
                        const auto read = search.Next(g, CellId(r, c), back, &copy);
                        ASSERT_EQ(walked.has_value(), read.has_value()) << change << " " << search.Query().text;
                        EXPECT_EQ(walked.value_or(CCellSearch::Found{}).cell, read.value_or(CCellSearch::Found{}).cell)
                            << change << " " << search.Query().text << " from " << r << "," << c;
                        EXPECT_EQ(search.CountMatches(g, CellId(r, c)).rank,
                                  search.CountMatches(g, CellId(r, c), &copy).rank);
                    }
    };
    for (const auto& change : changes) {
        CGridCtrl g{1, 1, 1, 1};
        Fill(g);
        CSearchTexts copy;
        while (!copy.CopySome(g, 1)) {  // a row at a time
        }
        sameAsTheCells(g, copy, "before");
        change.make(g);
        EXPECT_FALSE(copy.IsCurrentFor(g)) << change.change;
        while (!copy.CopySome(g, 1)) {
        }
        sameAsTheCells(g, copy, change.change);
    }
    // Backwards the copy is read a block at a time from the end: the only
    // match lies many blocks before the search begins.
    CGridCtrl tall{40001, 2, 1, 1};
    for (int r = 1; r <= 40000; ++r) tall.SetCellText(r, 1, r == 2 ? "x" : "ab");
    CSearchTexts copy;
    while (!copy.CopySome(tall, 10000)) {
    }
    EXPECT_EQ(searches[0].Next(tall, CellId(40000, 1), true, &copy)->cell, CellId(2, 1));
}

}  // namespace
}  // namespace tabulon::testing
