// Where cells lie for a scroll position, what a paint draws, the scroll bars
// and scrolling.

#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "FakeGridWindow.h"
#include "RecordingDeviceContext.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

// A grid of one heading row and one number column; every column 50 wide and
// every row 20 high, in a 400 x 300 window.
struct LayoutFixture : ::testing::Test {
    fakes::FakeDesktop desktop;
    fakes::FakeGridWindow window;
    std::unique_ptr<CGridCtrl> grid;

    void Make(int rows, int cols) {
        grid = std::make_unique<CGridCtrl>(rows, cols, 1, 1, &desktop);
        for (int c = 0; c < cols; ++c) grid->SetColumnWidth(c, 50);
        for (int r = 0; r < rows; ++r) grid->SetRowHeight(r, 20);
        grid->AttachWindow(&window);
        grid->ResetScrollBars();
    }
    void ScrollTo(int v, int h = 0) {
        window.pos[ScrollBar::Vertical] = v;
        window.pos[ScrollBar::Horizontal] = h;
        grid->ResetScrollBars();  // forgets the cached top-left cell
    }
    fakes::RecordingDeviceContext Paint(Rect clip = {0, 0, 400, 300}) {
        fakes::RecordingDeviceContext dc;
        grid->OnPaint(dc, clip);
        return dc;
    }
};

}  // namespace

TEST_F(LayoutFixture, TopLeftVisibleRangeAndCellRectsFollowTheScrollPosition) {
    Make(100, 10);
    EXPECT_EQ(grid->GetTopLeftNonFixedCell(), CellId(1, 1));
    CellRange visible = grid->GetVisibleNonFixedCellRange();
    // 280 pixels below the heading hold 14 rows; 350 beside the number column 7 columns.
    EXPECT_EQ(visible, CellRange(1, 1, 14, 7));

    ScrollTo(45, 60);
    EXPECT_EQ(grid->GetTopLeftNonFixedCell(), CellId(3, 2));  // 45 lies in the third row, 60 in the second column
    Rect rect;
    ASSERT_TRUE(grid->GetCellRect(3, 2, rect));
    EXPECT_EQ(rect, (Rect{50, 20, 99, 39}));
    EXPECT_FALSE(grid->GetCellRect(2, 2, rect));  // scrolled off above
    ASSERT_TRUE(grid->GetCellRect(0, 2, rect));   // its heading stays in the fixed row
    EXPECT_EQ(rect.top, 0);
    ASSERT_TRUE(grid->GetCellRect(5, 0, rect));
    EXPECT_EQ(rect, (Rect{0, 60, 49, 79}));
}

TEST_F(LayoutFixture, ARowHeightChangedAfterScrollingMovesTheRowsBelowIt) {
    Make(1000, 3);
    ScrollTo(20 * 500);
    EXPECT_EQ(grid->GetTopLeftNonFixedCell().row, 501);
    grid->SetRowHeight(10, 220);  // ten rows taller, far above the view
    grid->ResetScrollBars();
    EXPECT_EQ(grid->GetTopLeftNonFixedCell().row, 491);
    grid->InsertRow("tall", 5);
    grid->SetRowHeight(5, 420);  // twenty rows' worth more above
    grid->ResetScrollBars();
    EXPECT_EQ(grid->GetTopLeftNonFixedCell().row, 471);
    grid->DeleteRow(5);
    grid->DeleteRow(10);
    grid->ResetScrollBars();
    EXPECT_EQ(grid->GetTopLeftNonFixedCell().row, 501);
}

TEST_F(LayoutFixture, CellFromPointWithAndWithoutFixedCells) {
    Make(100, 10);
    EXPECT_EQ(grid->GetCellFromPt({10, 10}), CellId(0, 0));
    EXPECT_EQ(grid->GetCellFromPt({75, 45}), CellId(2, 1));
    EXPECT_EQ(grid->GetCellFromPt({10, 45}, false), CellId(2, -1));
    EXPECT_EQ(grid->GetCellFromPt({75, 10}, false), CellId(-1, 1));
    EXPECT_EQ(grid->GetCellFromPt({-1, 45}), CellId(2, -1));
    Make(3, 3);
    EXPECT_EQ(grid->GetCellFromPt({160, 70}), CellId(-1, -1));  // past the last column and row
}

TEST_F(LayoutFixture, ScrollBarsAppearOnlyForWhatDoesNotFit) {
    Make(5, 4);  // 200 x 100 fits
    EXPECT_FALSE(window.shown[ScrollBar::Horizontal]);
    EXPECT_FALSE(window.shown[ScrollBar::Vertical]);
    EXPECT_EQ(window.range[ScrollBar::Horizontal], std::make_pair(0, 0));

    grid->InsertColumn("wide");
    grid->SetColumnWidth(4, 300);
    grid->ResetScrollBars();
    EXPECT_TRUE(window.shown[ScrollBar::Horizontal]);
    EXPECT_EQ(window.range[ScrollBar::Horizontal].first, 3 * 50 + 300 - 1);
    EXPECT_EQ(window.range[ScrollBar::Horizontal].second, 400 - 50);

    window.clientSize = {50, 300};  // no wider than the number column
    grid->ResetScrollBars();
    EXPECT_FALSE(window.shown[ScrollBar::Horizontal]);
    EXPECT_FALSE(window.shown[ScrollBar::Vertical]);
}

TEST_F(LayoutFixture, PaintDrawsOnlyTheVisibleCellsOfAHugeTable) {
    Make(200000, 5);
    ScrollTo(20 * 150000);
    const auto dc = Paint();
    const auto texts = dc.Of("text");
    // Heading row, number column and 14 x 4 visible cells at most, all of them
    // from the rows at the scroll position.
    EXPECT_LE(texts.size(), 15u * 5u);
    grid->SetCellText(150001, 2, "here");
    const auto again = Paint().Of("text");
    bool found = false;
    for (const auto& t : again) found = found || t.text == "here";
    EXPECT_TRUE(found);
}

TEST_F(LayoutFixture, GridLinesFollowTheMode) {
    Make(3, 3);  // two item rows and two item columns, all visible
    const auto lines = [&](int mode) {
        grid->SetGridLines(mode);
        int vertical = 0, horizontal = 0;
        for (const auto& l : Paint().Of("line")) {
            if (l.colour != grid->GetGridLineColour()) continue;  // the headings' own edges
            if (l.from.x == l.to.x) ++vertical;
            if (l.from.y == l.to.y) ++horizontal;
        }
        return std::make_pair(vertical, horizontal);
    };
    EXPECT_EQ(lines(GridLines::kNone), std::make_pair(0, 0));
    EXPECT_EQ(lines(GridLines::kHorizontal), std::make_pair(0, 2));
    EXPECT_EQ(lines(GridLines::kVertical), std::make_pair(2, 0));
    EXPECT_EQ(lines(GridLines::kBoth), std::make_pair(2, 2));
    // The vertical line lies on the last pixel of each column, below the headings.
    grid->SetGridLines(GridLines::kVertical);
    grid->SetGridLineColour(0x010203);
    fakes::DrawCall first;
    for (const auto& l : Paint().Of("line"))
        if (l.colour == 0x010203u) {
            first = l;
            break;
        }
    EXPECT_EQ(first.from, (Point{99, 20}));
    EXPECT_EQ(first.to, (Point{99, 59}));
}

TEST_F(LayoutFixture, BackgroundRegionsTakeTheirOwnColours) {
    Make(3, 3);
    grid->SetGridBkColour(0x123456);
    const auto fills = Paint().Of("fill");
    ASSERT_GE(fills.size(), 6u);
    EXPECT_EQ(fills[0].rect, (Rect{0, 0, 50, 20}));  // the corner
    EXPECT_EQ(fills[0].colour, grid->GetDefaultCell(true, true)->GetBackColour());
    EXPECT_EQ(fills[3].rect, (Rect{50, 20, 150, 60}));  // the item cells
    EXPECT_EQ(fills[3].colour, grid->GetDefaultCell(false, false)->GetBackColour());
    EXPECT_EQ(fills[4].rect, (Rect{150, 0, 400, 300}));  // right of the last column
    EXPECT_EQ(fills[4].colour, 0x123456u);
    EXPECT_EQ(fills[5].rect, (Rect{0, 60, 150, 300}));  // below the last row
}

TEST_F(LayoutFixture, LineAndPageStepsRepaintOnlyTheMovingBand) {
    Make(100, 20);
    grid->OnVScroll(ScrollCode::LineDown);
    EXPECT_EQ(window.pos[ScrollBar::Vertical], 20);
    ASSERT_EQ(window.invalidated.size(), 1u);
    EXPECT_EQ(window.invalidated[0], (Rect{0, 20, 400, 300}));
    grid->OnVScroll(ScrollCode::PageDown);
    EXPECT_EQ(window.pos[ScrollBar::Vertical], 20 + 280);
    grid->OnVScroll(ScrollCode::PageUp);
    grid->OnVScroll(ScrollCode::LineUp);
    grid->OnVScroll(ScrollCode::LineUp);  // already at the top: nothing moves
    EXPECT_EQ(window.pos[ScrollBar::Vertical], 0);
    EXPECT_EQ(window.invalidated.size(), 4u);
    EXPECT_EQ(window.invalidateAllCount, 0);

    grid->SetColumnWidth(1, 0);  // hidden columns are stepped over
    grid->ResetScrollBars();
    grid->OnHScroll(ScrollCode::LineDown);
    EXPECT_EQ(window.pos[ScrollBar::Horizontal], 50);
    EXPECT_EQ(window.invalidated.back(), (Rect{50, 0, 400, 300}));
    grid->OnVScroll(ScrollCode::Bottom);
    EXPECT_EQ(window.invalidateAllCount, 1);
    // The bottom is the top of the first row from which the last shows
    // whole (the view starts at the top of its first row): one more page
    // of rows than fit exactly.
    const auto [maximum, page] = window.range[ScrollBar::Vertical];
    const int bottom = (99 * 20 - page + 19) / 20 * 20;
    EXPECT_EQ(window.pos[ScrollBar::Vertical], bottom);
    EXPECT_EQ(maximum, bottom + page - 1);
    Rect last;
    ASSERT_TRUE(grid->GetCellRect(99, 3, last));
    EXPECT_LT(last.bottom, 20 + page);
}

TEST_F(LayoutFixture, AutoSizeKeepsHiddenColumnsAndExpandLastColumnFillsOnlySlack) {
    Make(3, 4);
    grid->SetCellText(1, 2, "a rather long text");
    grid->SetColumnWidth(3, 0);
    grid->AutoSizeColumns();
    EXPECT_EQ(grid->GetColumnWidth(3), 0);
    EXPECT_GT(grid->GetColumnWidth(2), 7 * 18);

    grid->SetColumnWidth(3, 50);
    const int before = grid->GetColumnWidth(3);
    grid->ExpandLastColumn();
    EXPECT_EQ(grid->GetTotalWidth(), 400);
    EXPECT_GT(grid->GetColumnWidth(3), before);

    grid->SetColumnWidth(3, 500);
    grid->ExpandLastColumn();
    EXPECT_EQ(grid->GetColumnWidth(3), 500);
}
