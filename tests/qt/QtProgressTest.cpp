// The progress window: nothing for quick work, a window once work runs past
// half a second, and Cancel reported back to the work.

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include "qt/QtProgress.h"

using tabulon::qt::CQtProgressHost;

namespace {

QProgressDialog* ShownProgressWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QProgressDialog*>(w); dialog && dialog->isVisible()) return dialog;
    return nullptr;
}

}  // namespace

TEST(QtProgress, AppearsOnlyForLongWorkAndReportsCancel) {
    CQtProgressHost host;
    {
        auto quick = host.BeginProgress("Loading", true);
        EXPECT_TRUE(quick->Step(1, 2));
        EXPECT_EQ(ShownProgressWindow(), nullptr);
    }
    auto slow = host.BeginProgress("Loading", true);
    slow->SetText("Loading items");
    QThread::msleep(600);
    EXPECT_TRUE(slow->Step(1, 4));
    QProgressDialog* window = ShownProgressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->labelText(), QStringLiteral("Loading items"));
    EXPECT_EQ(window->value(), 250);
    window->cancel();
    QThread::msleep(50);
    EXPECT_FALSE(slow->Step(2, 4));
    EXPECT_TRUE(slow->Cancelled());
    slow.reset();
    EXPECT_EQ(ShownProgressWindow(), nullptr);
}

TEST(QtProgress, WorkThatCannotStopIgnoresEscape) {
    CQtProgressHost host;
    auto work = host.BeginProgress("Saving", false);
    QThread::msleep(600);
    work->Step(0, 0);
    QProgressDialog* window = ShownProgressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->findChild<QPushButton*>(), nullptr);
    window->reject();
    QThread::msleep(50);
    EXPECT_TRUE(work->Step(1, 0));
    EXPECT_FALSE(work->Cancelled());
    EXPECT_TRUE(window->isVisible());
}
