// What a cell draws: colours, 3-D edges, the sort mark and the check box.

#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "RecordingDeviceContext.h"
#include "grid/GridCtrl.h"
#include "grid/SchemeColour.h"

using namespace tabulon;
using fakes::RecordingDeviceContext;

namespace {

struct DrawFixture : ::testing::Test {
    fakes::FakeDesktop desktop;
    std::unique_ptr<CGridCtrl> grid;
    RecordingDeviceContext dc;
    void SetUp() override {
        grid = std::make_unique<CGridCtrl>(4, 3, 1, 1, &desktop);
        grid->SetCellText(0, 1, "Artist");
        grid->SetCellText(2, 2, "Abba");
    }
    Colour Sys(SysColour c) const { return desktop.GetSysColour(c); }
    bool Draw(int row, int col, Rect rect, bool erase = false) {
        return grid->GetCell(row, col)->Draw(&dc, row, col, rect, erase);
    }
};

}  // namespace

TEST_F(DrawFixture, ExplicitWhitePaintsWhiteAndTheDefaultMarkerUsesTheDefaultCell) {
    ASSERT_NE(Sys(SysColour::Window), 0x00FFFFFFu);
    ASSERT_TRUE(Draw(2, 2, {10, 20, 59, 39}));
    auto fills = dc.Of("fill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].colour, 0x00FFFFFFu);
    EXPECT_EQ(fills[0].rect, (Rect{10, 20, 60, 40}));  // the last pixel included

    dc.calls.clear();
    grid->SetCellBackColour(2, 2, kDefaultColour);
    ASSERT_TRUE(Draw(2, 2, {10, 20, 59, 39}));
    EXPECT_TRUE(dc.Of("fill").empty());  // the background was painted with the window
    ASSERT_TRUE(Draw(2, 2, {10, 20, 59, 39}, true));
    ASSERT_EQ(dc.Of("fill").size(), 1u);
    EXPECT_EQ(dc.Of("fill")[0].colour, Sys(SysColour::Window));

    auto texts = dc.Of("text");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back().text, "Abba");
    EXPECT_EQ(texts.back().colour, Sys(SysColour::WindowText));
    EXPECT_EQ(texts.back().format, 0x8824u);  // kNoPrefix (0x800) among them
    const int margin = static_cast<int>(grid->GetCell(2, 2)->GetMargin());
    EXPECT_EQ(texts.back().rect, (Rect{10 + margin, 20, 59 - margin, 39}));
    EXPECT_EQ(dc.saves, dc.restores);
}

TEST_F(DrawFixture, SelectedAndFocusedCellsUseTheHighlight) {
    grid->SetCellState(2, 2, CellState::kSelected);
    ASSERT_TRUE(Draw(2, 2, {0, 0, 49, 19}));
    ASSERT_EQ(dc.Of("fill").size(), 1u);
    EXPECT_EQ(dc.Of("fill")[0].colour, Sys(SysColour::Highlight));
    EXPECT_EQ(dc.Of("text")[0].colour, Sys(SysColour::HighlightText));

    dc.calls.clear();
    grid->SetCellState(2, 2, {});
    grid->SetFocusCell(2, 2);
    ASSERT_TRUE(Draw(2, 2, {0, 0, 49, 19}));
    auto frames = dc.Of("frame");
    ASSERT_EQ(frames.size(), 1u);  // the focus frame, in the text colour
    EXPECT_EQ(frames[0].colour, Sys(SysColour::WindowText));
    EXPECT_EQ(frames[0].rect, (Rect{0, 0, 49, 19}));
    grid->SetFrameFocusCell(false);
    dc.calls.clear();
    Draw(2, 2, {0, 0, 49, 19});
    EXPECT_TRUE(dc.Of("frame").empty());
}

TEST_F(DrawFixture, FixedCellsGetARaisedEdgeOrASunkenOneForTheFocusHeading) {
    ASSERT_TRUE(Draw(0, 2, {100, 0, 149, 19}));
    auto lines = dc.Of("line");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].colour, Sys(SysColour::Highlight3D));  // top
    EXPECT_EQ(lines[0].from, (Point{100, 0}));
    EXPECT_EQ(lines[0].to, (Point{149, 0}));
    EXPECT_EQ(lines[1].colour, Sys(SysColour::Highlight3D));   // left
    EXPECT_EQ(lines[2].colour, Sys(SysColour::DarkShadow3D));  // right
    EXPECT_EQ(lines[2].from, (Point{149, 0}));
    EXPECT_EQ(lines[3].colour, Sys(SysColour::DarkShadow3D));  // bottom
    EXPECT_EQ(lines[3].to, (Point{149, 19}));
    EXPECT_EQ(dc.Of("text")[0].colour, Sys(SysColour::WindowText));

    dc.calls.clear();
    grid->SetFocusCell(2, 2);
    ASSERT_TRUE(Draw(0, 2, {100, 0, 149, 19}));
    EXPECT_TRUE(dc.Of("line").empty());
    ASSERT_EQ(dc.Of("edge").size(), 1u);
    EXPECT_EQ(dc.Of("edge")[0].edge, EdgeStyle::SunkenInner);
    EXPECT_EQ(dc.Of("edge")[0].rect, (Rect{100, 0, 150, 20}));

    dc.calls.clear();
    grid->SetGridLines(GridLines::kNone);
    ASSERT_TRUE(Draw(0, 1, {50, 0, 99, 19}));
    EXPECT_TRUE(dc.Of("line").empty());
    EXPECT_TRUE(dc.Of("edge").empty());
}

TEST_F(DrawFixture, SortMarkPointsUpOrDownAndIsLeftOutWhenTooNarrow) {
    grid->SortByColumn(1, true);
    ASSERT_TRUE(Draw(0, 1, {0, 0, 99, 19}));
    auto marks = dc.Of("polygon");
    ASSERT_EQ(marks.size(), 2u);
    const int s = dc.charHeight - 4;  // height of "M" less 4
    EXPECT_EQ(marks[0].colour, Sys(SysColour::Highlight3D));
    EXPECT_EQ(marks[1].colour, Sys(SysColour::Shadow3D));
    // Inside the raised edge (one pixel) and the margin.
    const int margin = static_cast<int>(grid->GetCell(0, 1)->GetMargin());
    const int right = 98 - margin;
    const int bottom = 18;
    const int x = right - s, y = bottom - s - 2;
    EXPECT_EQ(marks[1].points, (std::vector<Point>{{x, y + s}, {x + s, y + s}, {x + s / 2, y}}));
    EXPECT_EQ(marks[0].points[0], (Point{x + 1, y + 1 + s}));
    // The text keeps clear of the mark.
    EXPECT_EQ(dc.Of("text")[0].rect.right, right - s);

    dc.calls.clear();
    grid->SortByColumn(1, false);
    ASSERT_TRUE(Draw(0, 1, {0, 0, 99, 19}));
    marks = dc.Of("polygon");
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[1].points, (std::vector<Point>{{x, y}, {x + s, y}, {x + s / 2, y + s}}));

    dc.calls.clear();
    // Narrow enough that left + s is not below right + 2 x margin.
    const int narrowRight = s - 2 * margin + 2 * margin + 1;
    ASSERT_TRUE(Draw(0, 1, {0, 0, narrowRight, 19}));
    EXPECT_TRUE(dc.Of("polygon").empty());
    EXPECT_EQ(dc.Of("text").size(), 1u);

    dc.calls.clear();
    ASSERT_TRUE(Draw(0, 2, {0, 0, 99, 19}));  // not the sort column
    EXPECT_TRUE(dc.Of("polygon").empty());
}

TEST_F(DrawFixture, CheckBoxDrawsOnlyTheCentredBox) {
    ASSERT_TRUE(grid->SetCellType(2, 0, CGridCellCheckBox::Class()));
    grid->SetCellText(2, 0, "X");
    ASSERT_TRUE(Draw(2, 0, {0, 40, 59, 79}));
    auto boxes = dc.Of("checkbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].checked);
    const int margin = static_cast<int>(grid->GetCell(2, 0)->GetMargin());
    const int h = desktop.GetSystemMetric(SysMetric::MenuCheckHeight) + 2;
    const int top = 40 + (39 - h) / 2;
    EXPECT_EQ(boxes[0].rect, (Rect{margin, top, 59 - margin, top + h}));
    EXPECT_TRUE(dc.Of("text").empty());
    EXPECT_TRUE(dc.Of("fill").empty());
    EXPECT_TRUE(dc.Of("frame").empty());

    dc.calls.clear();
    grid->SetCellText(2, 0, "");
    grid->SetCellState(2, 0, grid->GetCellState(2, 0) | CellState::kSelected);
    ASSERT_TRUE(Draw(2, 0, {0, 40, 59, 49}));  // lower than the box: not centred
    ASSERT_EQ(dc.Of("frame").size(), 1u);
    EXPECT_EQ(dc.Of("frame")[0].colour, Sys(SysColour::WindowText));  // black on a light scheme
    EXPECT_FALSE(dc.Of("checkbox")[0].checked);
    EXPECT_EQ(dc.Of("checkbox")[0].rect.top, 40);
    EXPECT_FALSE(Draw(2, 0, {10, 10, 10, 30}));  // empty rectangle
}

TEST_F(DrawFixture, NothingIsDrawnWithoutGridContextOrArea) {
    CGridCell orphan;
    EXPECT_FALSE(orphan.Draw(&dc, 0, 0, {0, 0, 10, 10}, true));
    EXPECT_FALSE(Draw(2, 2, {5, 5, 5, 20}));
    EXPECT_FALSE(grid->GetCell(2, 2)->Draw(nullptr, 2, 2, {0, 0, 10, 10}, true));
    EXPECT_TRUE(dc.calls.empty());
}

TEST_F(DrawFixture, ExtentsAddMarginsWrapAndTurnWithTheFont) {
    CGridCellBase* cell = grid->GetCell(2, 2);
    const int m = static_cast<int>(cell->GetMargin());
    dc.overhang = 1;
    EXPECT_EQ(cell->GetTextExtent("abc", &dc), (Size{3 * 7 + 1 + 4 * m, 14 + 2 * m}));
    cell->SetFormat(TextFormat::kWordBreak);
    EXPECT_EQ(cell->GetTextExtent("ab\nabcd", &dc), (Size{4 * 7 + 1 + 4 * m, 2 * 14 + 2 * m}));
    EXPECT_EQ(cell->GetCellExtent(&dc), (Size{4 * 7 + 1 + 4 * m, 14 + 2 * m}));  // "Abba"

    LogFont upright = *cell->GetFont();
    upright.escapement = 900;
    cell->SetFont(&upright);
    cell->SetFormat(TextFormats::FromBits(0x24));
    EXPECT_EQ(cell->GetTextExtent("abc", &dc), (Size{14 + 2 * m, 3 * 7 + 1 + 4 * m + 4 * m}));

    // No context and no window: the default cell's size.
    const CGridDefaultCell* def = grid->GetDefaultCell(false, false);
    EXPECT_EQ(cell->GetTextExtent("anything"), (Size{def->GetWidth(), def->GetHeight()}));
}

TEST_F(DrawFixture, TheProgramsLightColoursStayReadableOnADarkSchemeAndUnchangedOnALightOne) {
    struct Scheme {
        const char* name;
        Colour window, text, face;
    };
    const Scheme schemes[] = {{"light", MakeColour(255, 255, 255), MakeColour(0, 0, 0), MakeColour(240, 240, 240)},
                              {"dark", MakeColour(45, 45, 45), MakeColour(238, 238, 236), MakeColour(53, 53, 53)}};
    // The item white, the headings' and numbers' grey, the flash of an empty
    // checked item and the corner's blue under its own white text.
    struct Cell {
        Colour back;
        Colour text;
    };
    const Cell cells[] = {{MakeColour(255, 255, 255), kDefaultColour},
                          {MakeColour(230, 230, 230), kDefaultColour},
                          {0xE1FFFF, kDefaultColour},
                          {0x905500, 0xFFFFFF}};
    for (const Scheme& scheme : schemes) {
        desktop.colours = {{SysColour::Window, scheme.window},
                           {SysColour::WindowText, scheme.text},
                           {SysColour::ButtonFace, scheme.face}};
        grid->OnSysColourChange();
        for (const Cell& cell : cells) {
            SCOPED_TRACE(std::string(scheme.name) + " scheme, background " + std::to_string(cell.back));
            grid->SetCellBackColour(2, 2, cell.back);
            grid->SetCellTextColour(2, 2, cell.text);
            dc.calls.clear();
            ASSERT_TRUE(Draw(2, 2, {0, 0, 49, 19}));
            ASSERT_EQ(dc.Of("fill").size(), 1u);
            const Colour painted = dc.Of("fill")[0].colour;
            const Colour text = dc.Of("text").at(0).colour;
            EXPECT_GE(ContrastRatio(painted, text), kReadableContrast);
            if (scheme.window == MakeColour(255, 255, 255)) {
                EXPECT_EQ(painted, cell.back);
            }
        }
    }
    // White items take the dark scheme's own window colour.
    grid->SetCellBackColour(2, 2, MakeColour(255, 255, 255));
    grid->SetCellTextColour(2, 2, kDefaultColour);
    dc.calls.clear();
    Draw(2, 2, {0, 0, 49, 19});
    EXPECT_EQ(dc.Of("fill").at(0).colour, MakeColour(45, 45, 45));
}
