// What a grid widget shows, read back from its pixels.

#include <QImage>
#include <QPixmap>
#include <random>

#include "GridWidgetFixture.h"
#include "qt/QtDeviceContext.h"

using namespace tabulon;
using namespace tabulon::testing;

namespace {

constexpr Colour kLineColour = 0x000000FF;  // pure red, used by nothing else

struct QtGridRender : GridWidgetTest {
    void SetUp() override {
        GridWidgetTest::SetUp();
        grid->SetFocusCell(1, 1);
        grid->SetGridLineColour(kLineColour);
    }
    QImage Shot() {
        QApplication::processEvents();
        return Viewport()->grab().toImage();
    }
    static Colour At(const QImage& image, int x, int y) { return qt::ColourFromQColor(image.pixelColor(x, y)); }
    Colour Sys(SysColour which) const { return desktop.GetSysColour(which); }
    // Pixels of one colour inside an inclusive rectangle.
    static int Count(const QImage& image, Colour colour, const Rect& r) {
        int n = 0;
        for (int y = r.top; y <= r.bottom; ++y)
            for (int x = r.left; x <= r.right; ++x) n += At(image, x, y) == colour;
        return n;
    }
};

}  // namespace

TEST_F(QtGridRender, FixedCellsHaveRaisedEdgesAndTheFocusHeadingsASunkenOne) {
    ASSERT_NE(Sys(SysColour::Highlight3D), Sys(SysColour::ButtonFace));
    ASSERT_NE(Sys(SysColour::DarkShadow3D), Sys(SysColour::ButtonFace));
    const QImage image = Shot();
    const Rect plain = CellRect(3, 0);  // not in the focus row
    const int midY = (plain.top + plain.bottom) / 2;
    const int midX = (plain.left + plain.right) / 2;
    EXPECT_EQ(At(image, plain.left, midY), Sys(SysColour::Highlight3D));
    EXPECT_EQ(At(image, midX, plain.top), Sys(SysColour::Highlight3D));
    EXPECT_EQ(At(image, plain.right, midY), Sys(SysColour::DarkShadow3D));
    EXPECT_EQ(At(image, midX, plain.bottom), Sys(SysColour::DarkShadow3D));
    EXPECT_EQ(At(image, plain.left + 3, plain.top + 2), Sys(SysColour::ButtonFace));

    const Rect focusRow = CellRect(1, 0);  // the heading of the focus row
    const int y = (focusRow.top + focusRow.bottom) / 2;
    EXPECT_EQ(At(image, focusRow.left, y), Sys(SysColour::Shadow3D));
    EXPECT_EQ(At(image, focusRow.right, y), Sys(SysColour::Highlight3D));
}

TEST_F(QtGridRender, GridLinesFollowTheirMode) {
    const Rect cell = CellRect(2, 2);
    const int midX = (cell.left + cell.right) / 2;
    const int midY = (cell.top + cell.bottom) / 2;
    for (int mode : {GridLines::kNone, GridLines::kHorizontal, GridLines::kVertical, GridLines::kBoth}) {
        grid->SetGridLines(mode);
        const QImage image = Shot();
        const bool vertical = mode & GridLines::kVertical;
        const bool horizontal = mode & GridLines::kHorizontal;
        EXPECT_EQ(At(image, cell.right, midY) == kLineColour, vertical) << "mode " << mode;
        EXPECT_EQ(At(image, midX, cell.bottom) == kLineColour, horizontal) << "mode " << mode;
        // Never inside a cell, nor over the headings.
        EXPECT_NE(At(image, cell.right - 1, midY), kLineColour) << "mode " << mode;
        EXPECT_EQ(Count(image, kLineColour, CellRect(0, 2)), 0) << "mode " << mode;
    }
}

TEST_F(QtGridRender, ASortedHeadingShowsItsMarkPointingTheWayOfTheOrder) {
    const Colour mark = Sys(SysColour::Shadow3D);
    const auto markRows = [&](const QImage& image, int col) {
        // The rows of the heading holding mark pixels, with their counts.
        const Rect heading = CellRect(0, col);
        std::vector<int> rows;
        for (int y = heading.top + 1; y < heading.bottom; ++y) {
            const int n = Count(image, mark, {heading.left + heading.Width() / 2, y, heading.right - 1, y});
            if (n > 0) rows.push_back(n);
        }
        return rows;
    };
    EXPECT_TRUE(markRows(Shot(), 2).empty());
    grid->SortByColumn(2, true);
    QImage image = Shot();
    std::vector<int> rows = markRows(image, 2);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_LT(rows.front(), rows.back());  // apex up
    EXPECT_TRUE(markRows(image, 3).empty());
    grid->SortByColumn(2, false);
    rows = markRows(Shot(), 2);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_GT(rows.front(), rows.back());  // apex down
}

TEST_F(QtGridRender, SelectionCheckBoxesAndBothPaintingPathsLookAlike) {
    grid->SetCellType(2, 1, CGridCellCheckBox::Class());
    grid->SetCellType(3, 1, CGridCellCheckBox::Class());
    dynamic_cast<CGridCellCheckBox*>(grid->GetCell(2, 1))->SetCheck(true);
    dynamic_cast<CGridCellCheckBox*>(grid->GetCell(3, 1))->SetCheck(false);
    grid->SetSelectedRange(3, 3, 4, 3);
    const QImage buffered = Shot();
    const Rect selected = CellRect(4, 3);
    EXPECT_EQ(At(buffered, selected.left + 2, selected.top + 2), Sys(SysColour::Highlight));
    const Rect checked = CellRect(2, 1);
    const Rect unchecked = CellRect(3, 1);
    EXPECT_GT(Count(buffered, Sys(SysColour::WindowText), checked), 10);
    EXPECT_EQ(Count(buffered, Sys(SysColour::WindowText), unchecked), 0);
    EXPECT_GT(Count(buffered, Sys(SysColour::Window), unchecked), 50);

    grid->SetDoubleBuffering(false);
    const QImage direct = Shot();
    EXPECT_EQ(direct, buffered);
}

TEST_F(QtGridRender, ScreenshotOfATableWithHeadingsCheckBoxesAndASort) {
    Build(9, 5, QSize(520, 260));
    const char* names[][4] = {{"", "Artist", "Title", "Year"},          {"", "ABBA", "Waterloo", "1974"},
                              {"", "Beatles", "Help!", "1965"},         {"", "Caf\xC3\xA9 Tacvba", "Re", "1994"},
                              {"", "Doors", "L.A. Woman", "1971"},      {"", "Eagles", "Hotel California", "1976"},
                              {"", "Fleetwood Mac", "Rumours", "1977"}, {"", "Genesis", "Selling England", "1973"},
                              {"", "Heart", "Dreamboat Annie", "1975"}};
    grid->SetCellText(0, 0, "New items");
    grid->SetCellText(0, 4, "Kept");
    for (int r = 0; r < 9; ++r)
        for (int c = 1; c < 4; ++c) grid->SetCellText(r, c, names[r][c]);
    for (int r = 1; r < 9; ++r) {
        grid->SetCellType(r, 4, CGridCellCheckBox::Class());
        grid->SetCellText(r, 4, r % 3 == 0 ? "" : "X");
    }
    grid->SetColumnWidth(0, 90);
    grid->SetColumnWidth(1, 130);
    grid->SetColumnWidth(2, 140);
    grid->SetColumnWidth(3, 60);
    grid->SetColumnWidth(4, 50);
    grid->SortByColumn(2, true);
    grid->SetFocusCell(3, 2);
    grid->SetSelectedRange(3, 2, 3, 2);
    const QImage image = widget->grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(QStringLiteral("/tmp/tabulon_grid.png")));
    EXPECT_EQ(grid->GetCellText(1, 2), "Dreamboat Annie");

    // And with a cell open for editing.
    Press(Qt::Key_F2);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_TRUE(widget->grab().toImage().save(QStringLiteral("/tmp/tabulon_grid_edit.png")));
    Press(Qt::Key_Escape);
}

// A wide table fitted with a least width: texts that surely fit in it are
// not measured, and still every column comes out as measuring each text
// would make it, kerned and ligated pairs, blanks and wide texts included.
TEST_F(QtGridRender, AWideRowFittedWithALeastWidthIsAsWideAsMeasuringEveryText) {
    const std::vector<std::string> pieces = {"A", "V",  "T",   "o",  "W",        ".",    "f",
                                             "i", "l",  "ffi", "r",  "y",        " ",    "7",
                                             "1", "To", "AV",  "Wa", "\xC3\xA9", "\x97", "\xE6\x9D\xB1"};
    std::mt19937 random(5);
    constexpr int kColumns = 1500;
    Build(2, kColumns + 1);
    for (int c = 1; c <= kColumns; ++c) {
        std::string text;
        for (std::size_t n = random() % 19; n > 0; --n) text += pieces[random() % pieces.size()];
        grid->SetCellText(1, c, c % 7 ? text : pieces[random() % 6]);  // some recur
    }
    constexpr int kLeast = 90;
    grid->AutoSizeColumnRange(1, kColumns, 0, kLeast);
    qt::CQtMeasuringContext dc(desktop);
    for (int c = 1; c <= kColumns; ++c) {
        int exact = kLeast;
        for (int r = 0; r < 2; ++r) exact = std::max(exact, grid->GetCell(r, c)->GetCellExtent(&dc).cx);
        ASSERT_EQ(grid->GetColumnWidth(c), exact) << "[" << grid->GetCellText(1, c) << "]";
    }
}
