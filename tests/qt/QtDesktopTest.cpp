// The desktop as the grid sees it under Qt.

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFontInfo>
#include <QScrollBar>
#include <QTest>

#include "qt/QtDesktop.h"
#include "qt/QtFont.h"

using namespace tabulon;
using namespace tabulon::qt;

TEST(QtDesktop, ScrollBarMetricsAreWhatABarTakesFromTheView) {
    // The grid works out its scroll bars from these; a pixel off and the
    // bars could come and go as the window is sized.
    CQtDesktop desktop;
    QAbstractScrollArea area;
    area.resize(300, 200);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    const QSize bare = area.viewport()->size();
    area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const QSize barred = area.viewport()->size();
    EXPECT_EQ(bare.width() - barred.width(),
              desktop.GetSystemMetric(SysMetric::VScrollWidth) + desktop.GetSystemMetric(SysMetric::BorderWidth));
    EXPECT_EQ(bare.height() - barred.height(),
              desktop.GetSystemMetric(SysMetric::HScrollHeight) + desktop.GetSystemMetric(SysMetric::BorderHeight));
    EXPECT_GT(desktop.GetSystemMetric(SysMetric::MenuCheckHeight), 6);
}

TEST(QtDesktop, TheMessageFontIsTheApplicationFontAndMeasuresAlike) {
    CQtDesktop desktop;
    const LogFont font = desktop.GetMessageFont();
    EXPECT_EQ(font.height, -QFontInfo(QApplication::font()).pixelSize());
    EXPECT_LT(font.height, 0);
    EXPECT_EQ(FontFromLogFont(font).family(), QApplication::font().family());
    // The screen context measures as a widget in that font does.
    auto screen = desktop.CreateScreenContext();
    ASSERT_NE(screen, nullptr);
    screen->SelectFont(font);
    const QFontMetrics metrics(FontFromLogFont(font));
    EXPECT_EQ(screen->GetTextExtent("Measured text").cx, metrics.horizontalAdvance(QStringLiteral("Measured text")));
    EXPECT_EQ(desktop.GetWheelScrollLines(), QApplication::wheelScrollLines());
}
