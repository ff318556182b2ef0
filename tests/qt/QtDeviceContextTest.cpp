// The QPainter device context, checked pixel by pixel in an image.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <memory>

#include "FakeDesktop.h"
#include "qt/QtDeviceContext.h"

using namespace tabulon;
using namespace tabulon::qt;

namespace {

constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kRed = 0x000000FF;
constexpr Colour kBlack = 0x00000000;

struct QtCanvas : ::testing::Test {
    fakes::FakeDesktop desktop;
    QImage image{120, 60, QImage::Format_ARGB32_Premultiplied};
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<CQtDeviceContext> dc;

    void SetUp() override {
        image.fill(Qt::white);
        painter = std::make_unique<QPainter>(&image);
        dc = std::make_unique<CQtDeviceContext>(*painter, desktop);
    }
    // Ends the painting so the image can be read.
    void Done() {
        dc.reset();
        painter.reset();
    }
    Colour At(int x, int y) const { return ColourFromQColor(image.pixelColor(x, y)); }
    Colour Sys(SysColour which) const { return desktop.GetSysColour(which); }
    // The leftmost and rightmost columns holding anything but white, or -1.
    std::pair<int, int> InkColumns() const {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (At(x, y) != kWhite) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }
    int CountOf(Colour colour, QRect area) const {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += At(x, y) == colour;
        return n;
    }
};

}  // namespace

TEST_F(QtCanvas, FillsAndFramesLeaveOutTheRightAndBottomEdge) {
    dc->FillRect({2, 3, 7, 9}, kRed);
    dc->FrameRect({20, 10, 30, 18}, kBlack);
    dc->FillRect({50, 5, 50, 20}, kRed);  // empty: nothing
    Done();
    EXPECT_EQ(At(2, 3), kRed);
    EXPECT_EQ(At(6, 8), kRed);
    EXPECT_EQ(At(7, 8), kWhite);
    EXPECT_EQ(At(6, 9), kWhite);
    EXPECT_EQ(At(1, 3), kWhite);
    EXPECT_EQ(At(2, 2), kWhite);
    EXPECT_EQ(CountOf(kRed, image.rect()), 5 * 6);

    EXPECT_EQ(At(20, 10), kBlack);
    EXPECT_EQ(At(29, 17), kBlack);
    EXPECT_EQ(At(29, 10), kBlack);
    EXPECT_EQ(At(20, 17), kBlack);
    EXPECT_EQ(At(30, 17), kWhite);
    EXPECT_EQ(At(29, 18), kWhite);
    EXPECT_EQ(At(25, 14), kWhite);  // inside: not filled
    EXPECT_EQ(CountOf(kBlack, image.rect()), 2 * 10 + 2 * 6);
}

TEST_F(QtCanvas, LinesIncludeBothEnds) {
    dc->DrawLine({2, 5}, {10, 5}, kRed);
    dc->DrawLine({40, 30}, {40, 20}, kRed);  // drawn upwards
    dc->DrawLine({60, 10}, {70, 20}, kBlack);
    Done();
    EXPECT_EQ(At(2, 5), kRed);
    EXPECT_EQ(At(10, 5), kRed);
    EXPECT_EQ(At(1, 5), kWhite);
    EXPECT_EQ(At(11, 5), kWhite);
    EXPECT_EQ(At(2, 4), kWhite);
    EXPECT_EQ(At(2, 6), kWhite);
    EXPECT_EQ(At(40, 20), kRed);
    EXPECT_EQ(At(40, 30), kRed);
    EXPECT_EQ(At(40, 31), kWhite);
    EXPECT_EQ(At(40, 19), kWhite);
    EXPECT_EQ(CountOf(kRed, image.rect()), 9 + 11);
    EXPECT_EQ(At(60, 10), kBlack);
    EXPECT_EQ(At(65, 15), kBlack);
    EXPECT_EQ(At(70, 20), kBlack);
    EXPECT_EQ(At(71, 21), kWhite);
}

TEST_F(QtCanvas, EdgesAreLightAtTheTopLeftAndDarkAtTheBottomRight) {
    dc->DrawEdge({10, 10, 30, 26}, EdgeStyle::Raised);
    dc->DrawEdge({50, 10, 70, 26}, EdgeStyle::SunkenInner);
    Done();
    // Raised: two rings, the inner one with the bright light.
    EXPECT_EQ(At(15, 10), Sys(SysColour::ButtonFace));
    EXPECT_EQ(At(15, 11), Sys(SysColour::Highlight3D));
    EXPECT_EQ(At(11, 15), Sys(SysColour::Highlight3D));
    EXPECT_EQ(At(15, 25), Sys(SysColour::DarkShadow3D));
    EXPECT_EQ(At(29, 15), Sys(SysColour::DarkShadow3D));
    EXPECT_EQ(At(15, 24), Sys(SysColour::Shadow3D));
    EXPECT_EQ(At(28, 15), Sys(SysColour::Shadow3D));
    EXPECT_EQ(At(29, 10), Sys(SysColour::DarkShadow3D));  // the corner is the dark side's
    EXPECT_EQ(At(30, 15), kWhite);
    EXPECT_EQ(At(15, 26), kWhite);
    EXPECT_EQ(At(20, 18), kWhite);  // nothing inside
    // Sunken: one ring, dark at the top left.
    EXPECT_EQ(At(55, 10), Sys(SysColour::Shadow3D));
    EXPECT_EQ(At(50, 15), Sys(SysColour::Shadow3D));
    EXPECT_EQ(At(55, 25), Sys(SysColour::Highlight3D));
    EXPECT_EQ(At(69, 15), Sys(SysColour::Highlight3D));
    EXPECT_EQ(At(55, 11), kWhite);
}

TEST_F(QtCanvas, CheckBoxIsASquareBoxWithAMarkOnlyWhenChecked) {
    dc->DrawCheckBox({0, 0, 40, 15}, false);
    dc->DrawCheckBox({60, 0, 100, 15}, true);
    Done();
    // A 15-pixel square in the middle of the 40-pixel rectangle.
    const int left = (40 - 15) / 2;
    EXPECT_EQ(At(left, 0), Sys(SysColour::Shadow3D));
    EXPECT_EQ(At(left + 1, 1), Sys(SysColour::DarkShadow3D));
    EXPECT_EQ(At(left + 14, 14), Sys(SysColour::Highlight3D));
    EXPECT_EQ(At(left - 1, 7), kWhite);
    EXPECT_EQ(At(left + 15, 7), kWhite);
    const QRect inside(left + 2, 2, 11, 11);
    EXPECT_EQ(CountOf(Sys(SysColour::Window), inside), 11 * 11);
    EXPECT_EQ(CountOf(Sys(SysColour::WindowText), inside), 0);
    const QRect checkedInside(60 + left + 2, 2, 11, 11);
    EXPECT_GE(CountOf(Sys(SysColour::WindowText), checkedInside), 15);
    EXPECT_EQ(CountOf(Sys(SysColour::WindowText), QRect(60, 0, left, 15)), 0);
}

TEST_F(QtCanvas, TextIsAlignedInsideItsRectangleInTheTextColour) {
    dc->SetTextColour(kRed);
    Rect right{0, 0, 120, 20};
    dc->DrawText("ab", right, TextFormat::kRight | TextFormat::kSingleLine | TextFormat::kVCenter);
    Done();
    const auto [first, last] = InkColumns();
    ASSERT_GE(first, 0);
    EXPECT_GT(first, 90);
    EXPECT_LT(last, 120);
    // The red of the text (antialiasing leaves some pixels only reddish).
    EXPECT_GT(CountOf(kRed, image.rect()), 0);
}

TEST_F(QtCanvas, LeftCentredAndClippedText) {
    Rect left{0, 0, 120, 20};
    dc->DrawText("ab", left, TextFormat::kSingleLine);
    Done();
    auto [first, last] = InkColumns();
    EXPECT_LT(first, 3);
    EXPECT_LT(last, 30);

    SetUp();
    Rect centre{0, 0, 120, 20};
    dc->DrawText("ab", centre, TextFormat::kCenter | TextFormat::kSingleLine);
    Done();
    std::tie(first, last) = InkColumns();
    EXPECT_NEAR((first + last) / 2.0, 60, 4);

    // A text far wider than its rectangle stays inside it, with or without
    // the ellipsis.
    SetUp();
    Rect narrow{10, 0, 40, 20};
    dc->DrawText(std::string(40, 'W'), narrow, TextFormat::kSingleLine);
    Rect elided{50, 0, 90, 20};
    dc->DrawText(std::string(40, 'W'), elided, TextFormat::kSingleLine | TextFormat::kEndEllipsis);
    Done();
    std::tie(first, last) = InkColumns();
    EXPECT_GE(first, 10);
    EXPECT_LT(last, 90);
}

TEST_F(QtCanvas, MeasuringWidensAndDeepensTheRectangle) {
    const Size one = dc->GetTextExtent("abc");
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(one.cy, 0);
    EXPECT_EQ(dc->GetTextExtent("").cx, 0);
    EXPECT_GT(dc->GetTextExtent("abcabc").cx, one.cx);

    Rect single{5, 5, 6, 6};
    const int height = dc->DrawText("abc", single, TextFormat::kSingleLine | TextFormat::kCalcRect);
    EXPECT_EQ(single.left, 5);
    EXPECT_EQ(single.Width(), one.cx);
    EXPECT_EQ(single.Height(), height);
    EXPECT_EQ(height, one.cy);

    const Size word = dc->GetTextExtent("word");
    Rect wrapped{0, 0, word.cx + 2, 0};
    const int wrappedHeight = dc->DrawText("word word word", wrapped, TextFormat::kWordBreak | TextFormat::kCalcRect);
    EXPECT_GE(wrappedHeight, 3 * one.cy - 2);
    EXPECT_EQ(wrapped.Height(), wrappedHeight);
    EXPECT_LE(wrapped.Width(), word.cx + 2);
    Done();
    EXPECT_EQ(InkColumns().first, -1);  // measuring draws nothing
}

TEST_F(QtCanvas, FontsFollowTheLogicalFontAndTheSavedState) {
    LogFont small;
    small.height = -10;
    LogFont large = small;
    large.height = -24;
    dc->SelectFont(small);
    const Size smallSize = dc->GetTextExtent("Mm");
    dc->SaveState();
    dc->SelectFont(large);
    dc->SetTextColour(kRed);
    const Size largeSize = dc->GetTextExtent("Mm");
    EXPECT_GT(largeSize.cx, smallSize.cx);
    EXPECT_GT(largeSize.cy, smallSize.cy);
    EXPECT_GE(largeSize.cy, 24);
    dc->RestoreState();
    EXPECT_EQ(dc->GetTextExtent("Mm"), smallSize);
    EXPECT_EQ(dc->GetTextColour(), kBlack);
    dc->RestoreState();  // one too many: nothing happens
    EXPECT_EQ(dc->GetTextExtent("Mm"), smallSize);

    LogFont bold = large;
    bold.weight = 700;
    LogFont italic = large;
    italic.italic = true;
    italic.underline = true;
    dc->SelectFont(bold);
    EXPECT_TRUE(dc->GetFont().bold());
    EXPECT_EQ(dc->GetFont().pixelSize(), 24);
    dc->SelectFont(italic);
    EXPECT_TRUE(dc->GetFont().italic());
    EXPECT_TRUE(dc->GetFont().underline());
    EXPECT_FALSE(dc->GetFont().bold());
}

TEST_F(QtCanvas, TextInEitherEncodingMeasuresAsItsCharacters) {
    // e-acute in Windows-1252 and in UTF-8 is one character either way.
    EXPECT_EQ(dc->GetTextExtent("Caf\xE9"), dc->GetTextExtent("Caf\xC3\xA9"));
    EXPECT_LT(dc->GetTextExtent("Caf\xC3\xA9").cx, dc->GetTextExtent("Caf\xC3\xC3\xA9").cx);
}

TEST(QtMeasuringContext, MeasuresWithoutAWindow) {
    fakes::FakeDesktop desktop;
    CQtMeasuringContext dc(desktop);
    LogFont font;
    font.height = -16;
    dc.SelectFont(font);
    const Size size = dc.GetTextExtent(" XXXXXXXXXXXX ");
    EXPECT_GT(size.cx, 12 * 5);
    EXPECT_GE(size.cy, 16);
    Rect rect{0, 0, 10, 10};
    dc.DrawText("drawn nowhere", rect, TextFormat::kSingleLine);  // must not crash
}
