// The link label on the offscreen platform: its look, its fit to the text
// and its click through a recording shell.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontMetrics>
#include <QTest>
#include <QWidget>

#include "RecordingShell.h"
#include "ScriptedMessageBox.h"
#include "qt/QtLinkLabel.h"

namespace tabulon {
namespace {

using fakes::RecordingShell;

class LinkLabel : public ::testing::Test {
protected:
    qt::CQtLinkLabel* MakeLabel(const QString& text, Qt::Alignment alignment) {
        auto* label = new qt::CQtLinkLabel(shell, messages, &parent);
        label->setText(text);
        label->setAlignment(alignment);
        label->setGeometry(10, 20, 300, 40);
        return label;
    }

    QWidget parent;
    RecordingShell shell;
    fakes::ScriptedMessageBox messages;
};

TEST_F(LinkLabel, LooksLikeALinkWithItsTargetInTheTooltip) {
    qt::CQtLinkLabel* label = MakeLabel("https://www.korvanex.com", Qt::AlignLeft);
    label->Attach();
    EXPECT_EQ(label->Link().Target(), "https://www.korvanex.com");
    EXPECT_TRUE(label->font().underline());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 238));
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(label->toolTip(), "https://www.korvanex.com");
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(label);  // as a screen reader meets it
    EXPECT_EQ(std::pair(link->role(), link->text(QAccessible::Name)), std::pair(QAccessible::Link, label->text()));

    // An empty text shows the target; a new target fits and tips anew.
    qt::CQtLinkLabel* empty = MakeLabel("", Qt::AlignLeft);
    empty->Link().SetTarget("https://example.org/");
    empty->Attach();
    EXPECT_EQ(empty->text(), "https://example.org/");
    empty->Link().SetTarget("https://example.org/other");
    EXPECT_EQ(empty->toolTip(), "https://example.org/other");
}

TEST_F(LinkLabel, FitsToItsTextKeepingItsEdgeOrCentre) {
    const struct {
        Qt::Alignment alignment;
        int keptX;  // left edge, centre or right edge of 10..310
        int keptY;  // top edge or centre of 20..60
    } cases[] = {{Qt::AlignLeft, 10, 20}, {Qt::AlignHCenter | Qt::AlignVCenter, 160, 40}, {Qt::AlignRight, 310, 20}};
    for (const auto& c : cases) {
        qt::CQtLinkLabel* label = MakeLabel("abc", c.alignment);
        label->Attach();
        const QFontMetrics metrics(label->font());
        const QRect r = label->geometry();
        EXPECT_EQ(r.width(), metrics.horizontalAdvance("abc"));
        EXPECT_EQ(r.height(), metrics.height());
        const int x = c.keptX == 10 ? r.left() : c.keptX == 310 ? r.left() + r.width() : r.left() + r.width() / 2;
        const int y = c.keptY == 20 ? r.top() : r.top() + r.height() / 2;
        EXPECT_NEAR(x, c.keptX, 1) << c.keptX;
        EXPECT_NEAR(y, c.keptY, 1) << c.keptY;
    }
}

TEST_F(LinkLabel, AClickOpensTheTargetAndAFailureSaysWhy) {
    qt::CQtLinkLabel* label = MakeLabel("https://www.korvanex.com", Qt::AlignLeft);
    label->Attach();
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"https://www.korvanex.com 5"}));
    EXPECT_TRUE(messages.shown.empty());

    shell.result = OpenResult::kNoAssociation;
    QTest::mouseClick(label, Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Exclamation);
}

}  // namespace
}  // namespace tabulon
