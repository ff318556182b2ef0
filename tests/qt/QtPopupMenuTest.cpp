// The right-button menu host: the menu it builds, and the id it answers
// when the user picks an item or closes the menu.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <functional>

#include "qt/QtPopupMenu.h"

using namespace tabulon;
using tabulon::qt::CQtPopupMenu;

namespace {

const std::vector<MenuItem> kItems = {
    {10, "Insert column", "Inserts a new column after selected column", false, false},
    MenuItem::Separator(),
    {11, "Delete column", "Delete selected column", true, false},
    {12, "Caf\xE9", "", false, true},
};

// Records the status tips that reach a widget.
struct TipWidget : QWidget {
    QStringList tips;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::StatusTip) tips << static_cast<QStatusTipEvent*>(e)->tip();
        return QWidget::event(e);
    }
};

// Acts on the menu once it is up. A menu still open a while later is closed,
// so that a fault fails the test instead of hanging it; the guard's timer
// ends with the test.
struct WhenShown {
    explicit WhenShown(std::function<void(QMenu&)> act) {
        QTimer::singleShot(0, [act] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) act(*menu);
        });
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        });
        guard.start(5000);
    }
    QTimer guard;
};

QAction* ActionWithId(QMenu& menu, int id) {
    for (QAction* a : menu.actions())
        if (!a->isSeparator() && a->data().toInt() == id) return a;
    return nullptr;
}

}  // namespace

TEST(QtPopupMenu, ItemsBecomeActionsWithPromptsGreyingAndSeparators) {
    QMenu menu;
    CQtPopupMenu::FillMenu(menu, kItems);
    const auto actions = menu.actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Insert column"));
    EXPECT_EQ(actions[0]->statusTip(), QStringLiteral("Inserts a new column after selected column"));
    EXPECT_TRUE(actions[0]->isEnabled());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_FALSE(actions[2]->isEnabled());
    EXPECT_EQ(actions[2]->data().toInt(), 11);
    EXPECT_EQ(actions[3]->text(), QString::fromUtf8("Caf\u00E9"));  // bytes shown as the cells show them
    EXPECT_TRUE(actions[3]->isChecked());
}

TEST(QtPopupMenu, AnswersTheChosenIdOrZeroWhenClosed) {
    TipWidget owner;
    CQtPopupMenu host(&owner);
    WhenShown chooseCafe([](QMenu& menu) {
        menu.setActiveAction(ActionWithId(menu, 12));
        QTest::keyClick(&menu, Qt::Key_Return);
    });
    EXPECT_EQ(host.ShowPopupMenu(kItems), 12);

    WhenShown closeOnInsert([](QMenu& menu) {
        menu.setActiveAction(ActionWithId(menu, 10));
        QTest::keyClick(&menu, Qt::Key_Escape);
    });
    EXPECT_EQ(host.ShowPopupMenu(kItems), 0);
    // The highlighted item's prompt went to the owner, and was cleared after.
    EXPECT_TRUE(owner.tips.contains(QStringLiteral("Inserts a new column after selected column")));
    ASSERT_FALSE(owner.tips.isEmpty());
    EXPECT_TRUE(owner.tips.last().isEmpty());
}

TEST(QtPopupMenu, AGreyedItemCannotBeChosen) {
    CQtPopupMenu host;
    WhenShown fireGreyed([](QMenu& menu) {
        QAction* greyed = ActionWithId(menu, 11);
        ASSERT_NE(greyed, nullptr);
        greyed->trigger();  // even when something fires it, it is not the answer
        QTest::keyClick(&menu, Qt::Key_Escape);
    });
    EXPECT_EQ(host.ShowPopupMenu(kItems), 0);
}
