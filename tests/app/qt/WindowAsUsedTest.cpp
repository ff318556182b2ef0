// The main window as a new user meets it, on the offscreen platform: what
// the 'Database' grid repaints after a command, where the keys put the focus
// and how much of the focus cell they show, and an edit that changes nothing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

#include "FakeFolderNamespace.h"
#include "FakeFtpSession.h"
#include "IdleHosts.h"
#include "ScratchFolder.h"
#include "ScriptedPopupMenu.h"
#include "app/CommandTable.h"
#include "items/ColumnCommands.h"
#include "qt/QtGridWidget.h"
#include "qt/QtMainWindow.h"
#include "qt/QtMessageBox.h"

namespace tabulon::testing {
namespace {

// Where the widget it watches was painted since it was last cleared.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

class WindowAsUsed : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<qt::CQtMainWindow>(qt::QtWindowHosts{.shell = shell, .ftp = ftp, .folders = folders});
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        window.reset();
        QApplication::processEvents();
    }
    CGridCtrl& Db() { return *window->DatabasePane().GetGrid(); }
    QWidget* DbView() { return window->DatabaseWidget()->viewport(); }
    void Open(const std::string& items) {
        scratch.MakeFile("items.db", items);
        scratch.MakeFile("head.htm", "<html>\r\n");
        scratch.MakeFile("end.htm", "</html>\r\n");
        const std::string cfg = scratch.MakeFile(
            "list.cfg",
            "[files]\r\ndatabase = items.db\r\noutput   = page.htm\r\nheadfile = head.htm\r\nendfile  = end.htm\r\n"
            "[colors]\r\nheadcol  = AAAAAA\r\nindexcol = BBBBBB\r\nfirstcol = CCCCCC\r\nsecondcol= DDDDDD\r\n"
            "[grid]\r\nh-lines  = 1\r\nv-lines  = 1\r\n[other]\r\ncolumns  = Fruit;Colour");
        ASSERT_TRUE(window->Frame().OpenConfiguration(cfg));
        QApplication::processEvents();
    }
    void ClickCell(int row, int col) {
        Rect rect;
        ASSERT_TRUE(Db().GetCellRect(row, col, rect));
        QTest::mouseClick(DbView(), Qt::LeftButton, {},
                          QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
        QApplication::processEvents();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QApplication::processEvents();
    }

    qt::CQtMessageBox shellMessages;
    fakes::NoShell shell;
    fakes::FakeFtpSession ftp;
    fakes::FakeFolderNamespace folders;
    std::unique_ptr<qt::CQtMainWindow> window;
    fakes::ScratchFolder scratch{"tabulon-window-as-used"};
};

TEST_F(WindowAsUsed, MakeListRepaintsTheRowsItSorted) {
    Open("plum;blue\r\napple;red\r\nfig;green\r\n");
    PaintRecorder recorder(DbView());
    window->Action(CommandId::kMakeList)->trigger();
    QApplication::processEvents();
    ASSERT_EQ(Db().GetCellText(1, 1), "apple");
    Rect first;
    ASSERT_TRUE(Db().GetCellRect(1, 1, first));
    EXPECT_TRUE(recorder.painted.contains(QPoint(first.left + 2, first.top + 2)));
    // And the status bar says where the page went.
    EXPECT_TRUE(window->MessagePane()->text().contains(QString::fromStdString(scratch.PathOf("page.htm"))))
        << window->MessagePane()->text().toStdString();
}

TEST_F(WindowAsUsed, GridsFillTheirPanesAndABoxWithoutCaptionShowsNoName) {
    for (qt::CQtGridWidget* grid : {window->NewItemsWidget(), window->DatabaseWidget()}) {
        EXPECT_EQ(grid->frameWidth(), 0);
        EXPECT_EQ(grid->viewport()->geometry(), grid->rect());
    }
    QString title = "none shown";
    QTimer::singleShot(0, [&title] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            title = box->windowTitle();
            box->close();
        }
    });
    shellMessages.Show("Delete all items?", "", MbIcon::Question, MbButtons::YesNo);
    EXPECT_FALSE(title.isEmpty());  // an empty one shows the program's name
    EXPECT_TRUE(title.trimmed().isEmpty()) << title.toStdString();
}

TEST_F(WindowAsUsed, HomeAndEndKeysShowTheWholeFocusCellOutsideTheNumberColumn) {
    std::string items;
    for (int i = 0; i < 300; ++i) items += "item " + std::to_string(i) + ";colour\r\n";
    Open(items);
    ClickCell(2, 2);
    const auto expectWholeCell = [&](CellId expected) {
        const CellId focus = Db().GetFocusCell();
        EXPECT_EQ(focus, expected);
        Rect rect;
        ASSERT_TRUE(Db().GetCellRect(focus.row, focus.col, rect));
        EXPECT_LT(rect.bottom, DbView()->height()) << focus.row;
        EXPECT_LT(rect.right, DbView()->width());
    };
    Key(Qt::Key_End, Qt::ControlModifier);
    expectWholeCell(CellId(300, 2));
    Key(Qt::Key_Home);
    expectWholeCell(CellId(300, 1));  // not the read-only numbers
    Key(Qt::Key_Home, Qt::ControlModifier);
    expectWholeCell(CellId(1, 1));
    // Typing now edits the item, as Home promised.
    Key(Qt::Key_X);
    Key(Qt::Key_Return);
    EXPECT_EQ(Db().GetCellText(1, 1), "x");
}

TEST_F(WindowAsUsed, AnInsertedColumnIsFilledInTheSameUprightPlaceAsTheOthers) {
    Open("apple;red\r\n");
    fakes::ScriptedPopupMenu menus;
    menus.choose = static_cast<int>(MenuCommand::kInsertColumn);
    OnGridContextMenu(window->Frame(), menus, window->DialogHost(), true, 0, 1);
    ASSERT_EQ(Db().GetColumnCount(), 4);
    EXPECT_EQ(Db().GetCellFormat(1, 2), Db().GetCellFormat(1, 1));
    EXPECT_EQ(Db().GetCellFormat(1, 3), Db().GetCellFormat(1, 1));
}

TEST_F(WindowAsUsed, F2ThenEscapeOnAVeryLongCellChangesAndMarksNothing) {
    const std::string longText(100000, 'w');
    Open("apple;" + longText + "\r\n");
    for (int col : {1, 2}) {
        ClickCell(1, col);
        Key(Qt::Key_F2);
        ASSERT_TRUE(Db().IsEditing());
        Key(Qt::Key_Escape);
        EXPECT_FALSE(Db().IsEditing());
        EXPECT_EQ(Db().GetCellText(1, 2), longText);
        EXPECT_EQ(Db().GetCellText(0, 0), "Database") << col;
    }
}

}  // namespace
}  // namespace tabulon::testing
