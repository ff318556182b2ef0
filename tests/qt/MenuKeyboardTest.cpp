// The main window from the keyboard and its menu with pictures, on the
// offscreen platform: Alt and a letter open a menu, a letter runs an item,
// the shortcuts and F6 work, the pictures are drawn, the lock indicators
// show only what the desktop tells.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "FakeFtpSession.h"
#include "IdleHosts.h"
#include "ScratchFolder.h"
#include "app/CommandTable.h"
#include "grid/GridCtrl.h"
#include "qt/QtGridWidget.h"
#include "qt/QtLockKeys.h"
#include "qt/QtMainWindow.h"
#include "qt/QtMainWindowIcons.h"
#include "qt/QtPictures.h"

namespace tabulon::testing {
namespace {

using qt::CQtMainWindow;

class MenuKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<CQtMainWindow>(qt::QtWindowHosts{.shell = shell, .ftp = ftp, .folders = folders});
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // A message box would wait for a person: note it and close it.
        connect = QObject::connect(&watchdog, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                unexpected << modal->windowTitle();
                modal->close();
            }
        });
        watchdog.start(50);
    }
    void TearDown() override {
        watchdog.stop();
        QObject::disconnect(connect);
        EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(", ").toStdString();
        window.reset();
        QApplication::processEvents();
    }
    CGridCtrl& Db() { return *window->DatabasePane().GetGrid(); }
    QMenu* FileMenu() const { return window->menuBar()->actions().at(0)->menu(); }
    // A configuration whose database holds two items, open in the window.
    void OpenConfiguration() {
        scratch.MakeFile("items.db", "apple;red\r\nplum;blue\r\n");
        scratch.MakeFile("head.htm", "");
        scratch.MakeFile("end.htm", "");
        const std::string cfg =
            scratch.MakeFile("list.cfg",
                             "[files]\r\ndatabase = items.db\r\noutput   = page.htm\r\nheadfile = head.htm\r\n"
                             "endfile  = end.htm\r\n[other]\r\ncolumns  = Fruit;Colour");
        ASSERT_TRUE(window->Frame().OpenConfiguration(cfg));
        QApplication::processEvents();
    }
    // Types text into cell (1, 2) of 'Database', leaving the edit open.
    void TypeIntoDatabase(const std::string& text) {
        Rect rect;
        ASSERT_TRUE(Db().GetCellRect(1, 2, rect));
        QTest::mouseClick(window->DatabaseWidget()->viewport(), Qt::LeftButton, {},
                          QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
        for (char ch : text) QTest::keyClick(QApplication::focusWidget(), ch);
        QApplication::processEvents();
        ASSERT_TRUE(Db().IsEditing());
    }
    std::string SavedDatabase() const { return fakes::ScratchFolder::Contents(scratch.PathOf("items.db")); }

    fakes::NoShell shell;
    fakes::FakeFtpSession ftp;
    fakes::NoFolders folders;
    std::unique_ptr<CQtMainWindow> window;
    fakes::ScratchFolder scratch{"tabulon-menukeys"};
    QTimer watchdog;
    QMetaObject::Connection connect;
    QStringList unexpected;
};

TEST_F(MenuKeyboardTest, AltFOpensTheFileMenuAndItsLetterSavesTheDatabase) {
    OpenConfiguration();
    TypeIntoDatabase("green");
    QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
    QMenu* file = FileMenu();
    ASSERT_TRUE(QTest::qWaitFor([&] { return file->isVisible(); }));
    EXPECT_FALSE(Db().IsEditing());  // opening the menu committed the edit

    QTest::keyClick(file, Qt::Key_S);
    QApplication::processEvents();
    EXPECT_FALSE(file->isVisible());
    EXPECT_EQ(SavedDatabase(), "apple;green\r\nplum;blue\r\n");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database");
}

TEST_F(MenuKeyboardTest, CtrlSSavesAnEditInProgressAndF6MovesBetweenThePanes) {
    OpenConfiguration();
    TypeIntoDatabase("black");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(SavedDatabase(), "apple;black\r\nplum;blue\r\n");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database");

    const auto focusIn = [](QWidget* pane) {
        for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (w == pane) return true;
        return false;
    };
    ASSERT_TRUE(focusIn(window->DatabaseWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_TRUE(focusIn(window->NewItemsWidget()));
    EXPECT_FALSE(window->Frame().IsDatabasePaneActive());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(focusIn(window->DatabaseWidget()));
    EXPECT_TRUE(window->Frame().IsDatabasePaneActive());
}

TEST_F(MenuKeyboardTest, ExitIsDrawnWithItsPictureAndImportWithoutOne) {
    QMenu* file = FileMenu();
    file->popup(window->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    const QImage shown = file->grab().toImage();
    const QImage exitPicture = qt::PictureImage(PictureOf(CommandId::kExit), 1).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(exitPicture.size(), QSize(16, 15));

    // The picture stands 2 pixels in and centred in the item's height.
    const auto pictureColumn = [&](CommandId command) {
        const QRect item = file->actionGeometry(window->Action(command));
        const int f = std::max(0, (item.height() - 19) / 2);
        return shown.copy(item.left() + 2, item.top() + f + 2, 16, 15).convertToFormat(QImage::Format_ARGB32);
    };
    const QImage exitColumn = pictureColumn(CommandId::kExit);
    int opaque = 0;
    int same = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(exitPicture.pixel(x, y)) == 255) {
                ++opaque;
                same += exitColumn.pixel(x, y) == exitPicture.pixel(x, y);
            }
    EXPECT_GT(opaque, 60);
    EXPECT_EQ(same, opaque);

    const QImage importColumn = pictureColumn(CommandId::kImportDatabase);
    const QRgb background = importColumn.pixel(0, 0);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(importColumn.pixel(x, y), background) << x << "," << y;
    file->hide();
}

TEST_F(MenuKeyboardTest, EveryItemHasALetterOfItsOwnAndTheCommandsTheirPictures) {
    std::vector<const CIconMenu*> popups;
    for (int i = 0; i < window->IconMenu().GetMenuItemCount(); ++i) popups.push_back(window->IconMenu().GetSubMenu(i));
    int items = 0;
    for (std::size_t p = 0; p < popups.size(); ++p) {
        const CIconMenu& popup = *popups[p];
        for (int i = 0; i < popup.GetMenuItemCount(); ++i) {
            const CIconMenu::Item& item = *popup.GetItem(i);
            if (item.flags & MenuFlag::kSeparator) continue;
            if (item.popup) popups.push_back(item.popup);
            const std::string& text = item.data->text;
            const auto mark = text.find('&');
            ASSERT_NE(mark, std::string::npos) << text;
            const std::uint32_t answer = CIconMenu::FindMnemonic(static_cast<unsigned char>(text[mark + 1]),
                                                                 MenuFlag::kPopup, popup.GetHandle());
            EXPECT_EQ(answer, MenuChar::Answer(MenuChar::kExecute, i)) << text;
            ++items;
        }
    }
    EXPECT_EQ(items, 27);  // 26 commands and the grid-line popup

    for (const MenuPicture& picture : MenuPictures())
        EXPECT_GE(window->IconMenu().FindItemData(static_cast<int>(picture.command))->pictureIndex, 0)
            << static_cast<int>(picture.command);
    for (CommandId none : {CommandId::kImportDatabase, CommandId::kGridLinesHorizontal, CommandId::kGridLinesVertical})
        EXPECT_EQ(window->IconMenu().FindItemData(static_cast<int>(none))->pictureIndex, -1) << static_cast<int>(none);
    EXPECT_EQ(window->IconMenu().FindItemData(static_cast<int>(CommandId::kSaveConfiguration))->text,
              "Save &configuration\tCtrl+Shift+S");
    EXPECT_EQ(window->Action(CommandId::kSaveConfiguration)->text(), "Save configuration");
}

TEST_F(MenuKeyboardTest, ToolbarButtonsShowTheMenuPictureOneRowDownAtEveryScale) {
    for (int scale : {1, 2}) {
        const QImage button = qt::CommandIcon(CommandId::kSaveDatabase)
                                  .pixmap(QSize(qt::kToolbarPictureSize, qt::kToolbarPictureSize), scale)
                                  .toImage()
                                  .convertToFormat(QImage::Format_ARGB32);
        const QImage picture =
            qt::PictureImage(PictureOf(CommandId::kSaveDatabase), scale).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(button.size(), QSize(17, 17) * scale);
        ASSERT_EQ(picture.size(), QSize(16, 15) * scale);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qAlpha(picture.pixel(x, y)) == 255) {
                    ASSERT_EQ(button.pixel(x, y + scale), picture.pixel(x, y)) << scale << ": " << x << "," << y;
                }
    }
}

class ScriptedLockKeys : public qt::CQtLockKeys {
public:
    using CQtLockKeys::SetState;
};

TEST_F(MenuKeyboardTest, LockIndicatorsShowWhatTheDesktopTellsAndNothingElse) {
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        QLabel* label = window->findChild<QLabel*>(name);
        ASSERT_TRUE(label) << name;
        EXPECT_FALSE(label->isVisible()) << name;  // offscreen, no lock is known
    }
    QLabel caps("CAP"), num("NUM"), scroll("SCRL");
    ScriptedLockKeys keys;
    qt::ShowLockKeys(&caps, &num, &scroll, keys);
    keys.SetState({true, false, std::nullopt});
    EXPECT_TRUE(!caps.isHidden() && caps.isEnabled());
    EXPECT_TRUE(!num.isHidden() && !num.isEnabled());
    EXPECT_TRUE(scroll.isHidden());
    keys.SetState({false, true, std::nullopt});
    EXPECT_FALSE(caps.isEnabled());
    EXPECT_TRUE(num.isEnabled());
}

}  // namespace
}  // namespace tabulon::testing
