// Sorting whole rows: the order, ties, and what moves with a row.

#include <gtest/gtest.h>

#include <pthread.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "TextNames.h"
#include "base/TextCompare.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

// "o7": the mark of the row that began as item 7.
std::string Origin(std::size_t item) { return fakes::Numbered("o", static_cast<long long>(item)); }

// Heading row, then one item per key; column 2 records where each row began.
void FillKeys(CGridCtrl& grid, const std::vector<std::string>& keys) {
    grid.SetColumnCount(3);
    grid.SetRowCount(1);
    grid.SetFixedRowCount(1);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int row = grid.InsertRow("");
        grid.SetCellText(row, 1, keys[i]);
        grid.SetCellText(row, 2, Origin(i + 1));
    }
}

std::vector<std::string> Column(const CGridCtrl& grid, int col) {
    std::vector<std::string> out;
    for (int r = grid.GetFixedRowCount(); r < grid.GetRowCount(); ++r) out.emplace_back(grid.GetCellText(r, col));
    return out;
}

// The plain two-way recursive form of the same quicksort, on a vector.
void ReferenceSort(std::vector<std::pair<std::string, int>>& v, bool asc, int low, int high) {
    const std::string pivot = v[(low + high) / 2].first;
    int i = low, j = high;
    while (i <= j) {
        if (asc) {
            while (i < high && CompareNoCase(v[i].first, pivot) < 0) ++i;
            while (j > low && CompareNoCase(v[j].first, pivot) > 0) --j;
        } else {
            while (i < high && CompareNoCase(v[i].first, pivot) > 0) ++i;
            while (j > low && CompareNoCase(v[j].first, pivot) < 0) --j;
        }
        if (i <= j) {
            if (CompareWithCase(v[i].first, v[j].first) != 0) std::swap(v[i], v[j]);
            ++i;
            --j;
        }
    }
    if (low < j) ReferenceSort(v, asc, low, j);
    if (i < high) ReferenceSort(v, asc, i, high);
}

}  // namespace

TEST(GridSort, TiesEndInTheOrderWorkedOutByHand) {
    // Worked through on paper: the first pass swaps rows 1/5 and 2/3, the
    // right part then swaps 4/5; "a" and "A" tie and keep the order they
    // reached, so the result is not the input order of the ties.
    CGridCtrl grid;
    FillKeys(grid, {"b", "A", "a", "B", "a"});
    grid.SortByColumn(1, true);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"a", "a", "A", "b", "B"}));
    EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"o5", "o3", "o2", "o1", "o4"}));
    EXPECT_EQ(grid.GetSortColumn(), 1);
    EXPECT_TRUE(grid.GetSortAscending());
}

TEST(GridSort, MatchesTheRecursiveFormOnRandomInputWithManyTies) {
    std::mt19937 random(7);
    const std::vector<std::string> words = {"abba", "Abba", "ABBA", "beatles", "Beatles", "cream", "", " ", "ab", "zz",
                                            "\xC3\xA9t\xC3\xA9", "Z",
                                            // Ties decided within and just past the keys' sixteen bytes.
                                            std::string("ab\0", 3), std::string("AB\0\0", 4), "Sixteen letters!",
                                            "sixteen LETTERS!", "Sixteen letters!!", "sixteen letters!!"};
    for (int round = 0; round < 40; ++round) {
        // The last rounds are long enough for the rows to be gathered.
        const int n = 1 + static_cast<int>(random() % (round < 38 ? 300 : 6000));
        std::vector<std::string> keys;
        for (int k = 0; k < n; ++k) keys.push_back(words[random() % words.size()]);
        const bool asc = round % 2 == 0;
        CGridCtrl grid;
        FillKeys(grid, keys);
        grid.SortByColumn(1, asc);

        std::vector<std::pair<std::string, int>> ref;
        for (int k = 0; k < n; ++k) ref.emplace_back(keys[k], k + 1);
        if (n > 1) ReferenceSort(ref, asc, 0, n - 1);
        for (int k = 0; k < n; ++k) {
            ASSERT_EQ(grid.GetCellText(k + 1, 1), ref[k].first) << "round " << round << " row " << k;
            ASSERT_EQ(grid.GetCellText(k + 1, 2), Origin(ref[k].second));
        }
        for (int k = 1; k < n; ++k) {
            const int order = CompareNoCase(grid.GetCellText(k, 1), grid.GetCellText(k + 1, 1));
            ASSERT_TRUE(asc ? order <= 0 : order >= 0);
        }
    }
}

TEST(GridSort, RowsMoveWholeWithStateHeightAndCheckBoxes) {
    // A long run's rows are gathered in their new order; a short run's move
    // along the order's cycles.
    for (const int more : {0, 5000}) {
        std::vector<std::string> keys = {"c", "a", "b"};
        for (int k = 0; k < more; ++k) keys.push_back(fakes::Numbered("d", more - k));
        CGridCtrl grid;
        FillKeys(grid, keys);
        grid.SetCellType(1, 0, CGridCellCheckBox::Class());
        grid.SetCellText(1, 0, "X");  // checks the box of the "c" row
        grid.SetRowHeight(1, 33);
        grid.SetCellBackColour(1, 2, 0x0000FF);
        grid.SortByColumn(1, true);
        EXPECT_EQ(grid.GetCellText(3, 1), "c");
        EXPECT_EQ(grid.GetCellText(3, 0), "X");
        EXPECT_EQ(grid.GetRowHeight(3), 33);
        EXPECT_EQ(grid.GetCell(3, 2)->GetBackColour(), 0x0000FFu);
        EXPECT_EQ(grid.GetCellText(1, 0), "");
        if (more > 0) {
            EXPECT_EQ(grid.GetCellText(4, 2), Origin(static_cast<std::size_t>(more) + 3));
        }
    }
}

TEST(GridSort, EqualTextsSwapNothingAndBadRangesAreRefused) {
    CGridCtrl grid;
    FillKeys(grid, std::vector<std::string>(50, "same"));
    grid.SortByColumn(1, false);
    for (int r = 1; r <= 50; ++r) EXPECT_EQ(grid.GetCellText(r, 2), Origin(r));

    EXPECT_FALSE(grid.SortRowRange(3, true, 1));
    EXPECT_FALSE(grid.SortRowRange(1, true, 5, 5));
    EXPECT_FALSE(grid.SortRowRange(1, true, 10, 4));
    EXPECT_TRUE(grid.SortRowRange(1, true, 1));
}

namespace {

std::string KeyText(int value) {
    char key[16];
    std::snprintf(key, sizeof key, "%08d", value);
    return key;
}

// Keys that make the middle row the largest of its range at every step, so
// each pass splits off a single row: the worst case of a middle pivot.
std::vector<std::string> MiddlePivotKiller(int n) {
    std::vector<int> slot(n);
    for (int k = 0; k < n; ++k) slot[k] = k;  // which original row is at each place
    std::vector<int> value(n, 0);
    for (int high = n - 1; high >= 1; --high) {
        value[slot[high / 2]] = high;
        std::swap(slot[high / 2], slot[high]);
    }
    value[slot[0]] = 0;
    std::vector<std::string> keys;
    for (int k = 0; k < n; ++k) keys.push_back(KeyText(value[k]));
    return keys;
}

void* SortKillerOnSmallStack(void* result) {
    CGridCtrl grid;
    FillKeys(grid, MiddlePivotKiller(8000));
    grid.SortByColumn(1, true);
    bool sorted = true;
    for (int r = 1; r <= 8000; ++r) sorted = sorted && grid.GetCellText(r, 1) == KeyText(r - 1);
    *static_cast<bool*>(result) = sorted;
    return nullptr;
}

}  // namespace

TEST(GridSort, WorstCaseInputStaysWithinASmallStack) {
    // Recursing into both parts would nest 8000 deep here, far more than half
    // a megabyte of stack holds.
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 512 * 1024);
    bool sorted = false;
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, SortKillerOnSmallStack, &sorted), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_TRUE(sorted);
}

TEST(GridSort, SortedReversedAndEqualInputs) {
    const int n = 5000;
    for (int kind = 0; kind < 3; ++kind) {
        std::vector<std::string> keys;
        for (int k = 0; k < n; ++k) keys.push_back(KeyText(kind == 0 ? k : kind == 1 ? n - k : 1));
        CGridCtrl grid;
        FillKeys(grid, keys);
        grid.SortByColumn(1, true);
        for (int r = 2; r <= n; ++r) ASSERT_LE(CompareNoCase(grid.GetCellText(r - 1, 1), grid.GetCellText(r, 1)), 0);
    }
}

TEST(GridSort, HeadingClickTurnsTheOrderOver) {
    CGridCtrl grid;
    FillKeys(grid, {"b", "a", "c"});
    grid.OnHeaderClickSort(1);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"a", "b", "c"}));
    grid.OnHeaderClickSort(1);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_FALSE(grid.GetSortAscending());
    grid.OnHeaderClickSort(2);  // another column starts ascending
    EXPECT_TRUE(grid.GetSortAscending());
}
