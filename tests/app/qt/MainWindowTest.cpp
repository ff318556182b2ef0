// The main window on the offscreen platform: what a user sees at start, the
// menu with its prompts, the grid-line items, the close request, message
// boxes and dialogs answering keys, and one session from opening a
// configuration to finding an edited cell in the saved file.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <functional>
#include <memory>
#include <new>

#include "../../qt/ReaderName.h"
#include "FakeFolderNamespace.h"
#include "FakeFtpSession.h"
#include "IdleHosts.h"
#include "ScratchFolder.h"
#include "app/CommandTable.h"
#include "config/ConfigDialog.h"
#include "qt/QtAboutBox.h"
#include "qt/QtDialogHost.h"
#include "qt/QtFilePicker.h"
#include "qt/QtFindBar.h"
#include "qt/QtGridWidget.h"
#include "qt/QtLinkLabel.h"
#include "qt/QtMainWindow.h"
#include "qt/QtMessageBox.h"
#include "qt/QtTreeControl.h"

namespace tabulon::testing {
namespace {

using qt::CQtMainWindow;

// Runs then once the next modal window is up (a message box or a dialog).
void WhenModalShows(std::function<void(QWidget*)> then) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, then] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            then(modal);
        }
    });
    timer->start();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<CQtMainWindow>(qt::QtWindowHosts{.shell = shell, .ftp = ftp, .folders = folders});
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QApplication::processEvents();
    }
    void TearDown() override {
        window.reset();
        QApplication::processEvents();
    }
    CGridCtrl& Db() { return *window->DatabasePane().GetGrid(); }
    CGridCtrl& New() { return *window->NewItemsPane().GetGrid(); }
    QMenu* MenuNamed(const QString& name) const {
        for (QAction* a : window->menuBar()->actions())
            if (a->text().remove('&') == name) return a->menu();  // titles carry their mnemonic mark
        return nullptr;
    }
    std::string WriteConfiguration() {
        scratch.MakeFile("items.db", "apple;red\r\nplum;blue\r\n");
        scratch.MakeFile("head.htm", "<html>\r\n");
        scratch.MakeFile("end.htm", "</html>\r\n");
        return scratch.MakeFile("list.cfg",
                                "[files]\r\ndatabase = items.db\r\noutput   = page.htm\r\nheadfile = head.htm\r\n"
                                "endfile  = end.htm\r\n[grid]\r\nh-lines  = 1\r\nv-lines  = 1\r\n"
                                "[other]\r\ncolumns  = Fruit;Colour");
    }

    fakes::NoShell shell;
    fakes::FakeFtpSession ftp;
    fakes::FakeFolderNamespace folders;
    std::unique_ptr<CQtMainWindow> window;
    fakes::ScratchFolder scratch{"tabulon-qtapp"};
};

TEST_F(MainWindowTest, StartsWithTheTitleAndBothPanesThatFollowTheWindow) {
    EXPECT_EQ(window->windowTitle(), "Tabulon");
    EXPECT_EQ(window->GetTitle(), "Tabulon");
    auto* top = window->NewItemsWidget();
    auto* bottom = window->DatabaseWidget();
    ASSERT_TRUE(top && bottom);
    EXPECT_TRUE(top->isVisible());
    EXPECT_TRUE(bottom->isVisible());
    EXPECT_LT(top->mapTo(window.get(), QPoint()).y(), bottom->mapTo(window.get(), QPoint()).y());
    EXPECT_EQ(window->Splitter()->sizes().front(), 300);
    EXPECT_EQ(New().GetCellText(0, 0), "New items");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database");
    EXPECT_EQ(New().GetGridLines(), 3);
    EXPECT_EQ(Db().GetGridLines(), 3);

    const int bottomHeight = bottom->height();
    window->resize(window->width() + 100, window->height() + 120);
    QApplication::processEvents();
    EXPECT_EQ(top->height(), 300);
    EXPECT_EQ(bottom->height(), bottomHeight + 120);
    EXPECT_EQ(top->width(), bottom->width());
    EXPECT_EQ(top->width(), window->Splitter()->width());
}

TEST_F(MainWindowTest, MenuItemsAndPromptsAreThoseOfTheCommandTable) {
    QStringList menus;
    for (QAction* a : window->menuBar()->actions()) menus << a->text().remove('&');
    EXPECT_EQ(menus, (QStringList{"File", "Edit", "Tools", "Help"}));

    QStringList file;
    for (QAction* a : MenuNamed("File")->actions()) file << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(file, (QStringList{"New configuration..", "Edit configuration..", "Open configuration..", "-",
                                 "Save database", "Save configuration", "-", "Import database..", "Import CSV..",
                                 "Export CSV..", "-", "Grid lines", "-", "Exit"}));
    QMenu* gridLines = MenuNamed("File")->actions().at(11)->menu();
    ASSERT_TRUE(gridLines);
    ASSERT_EQ(gridLines->actions().size(), 2);
    EXPECT_EQ(gridLines->actions()[0]->text(), "Horizantal");
    EXPECT_EQ(gridLines->actions()[1]->text(), "Vertical");
    for (QAction* a : gridLines->actions()) EXPECT_TRUE(a->isCheckable() && a->isChecked());

    for (const MenuEntry& e : MainMenu()) {
        if (e.kind != MenuEntryKind::Item) continue;
        QAction* a = window->Action(e.id);
        ASSERT_TRUE(a) << static_cast<int>(e.id);
        EXPECT_EQ(a->statusTip().toStdString(), e.prompt);
        // Nothing done yet: nothing to undo or redo.
        EXPECT_EQ(a->isEnabled(), e.id != CommandId::kUndo && e.id != CommandId::kRedo);
    }
    EXPECT_EQ(window->Action(CommandId::kAddDirectory)->statusTip(), "Add a directory  to 'New items'");

    // The prompt stands in the status bar while the item is highlighted.
    EXPECT_EQ(window->MessagePane()->text(), "Ready");
    // As a highlighted item of an open menu tells it: through the menu bar.
    window->Action(CommandId::kMakeList)->showStatusText(window->menuBar());
    EXPECT_EQ(window->MessagePane()->text(), "Make html list from 'Database'");
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(window.get(), &leave);
    EXPECT_EQ(window->MessagePane()->text(), "Ready");
    // And with the menu really open and the pointer on an item.
    QMenu* tools = MenuNamed("Tools");
    tools->popup(window->mapToGlobal(QPoint(40, 40)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tools));
    QAction* replace = window->Action(CommandId::kReplace);
    QTest::mouseMove(tools, tools->actionGeometry(replace).center());
    QApplication::processEvents();
    EXPECT_EQ(window->MessagePane()->text(), "Open replace window");
    tools->hide();
    QApplication::processEvents();
    for (const char* name : {"CAP", "NUM", "SCRL"}) EXPECT_TRUE(window->findChild<QLabel*>(name)) << name;

    // The toolbar: 15 slots, each button with a picture of its own and a tip.
    const QList<QAction*> buttons = window->ToolBar()->actions();
    ASSERT_EQ(buttons.size(), 15);
    for (int i = 0; i < 15; ++i) {
        const ToolbarSlot& slot = Toolbar()[static_cast<std::size_t>(i)];
        EXPECT_EQ(buttons[i]->isSeparator(), slot.id == CommandId{}) << i;
        if (slot.id == CommandId{}) continue;
        EXPECT_FALSE(buttons[i]->icon().isNull()) << i;
        EXPECT_FALSE(buttons[i]->toolTip().isEmpty()) << i;
        EXPECT_EQ(buttons[i]->statusTip().toStdString(), slot.prompt);
    }
}

TEST_F(MainWindowTest, GridLineItemsToggleBothGrids) {
    window->Action(CommandId::kGridLinesHorizontal)->trigger();
    EXPECT_FALSE(window->Action(CommandId::kGridLinesHorizontal)->isChecked());
    EXPECT_EQ(New().GetGridLines(), 2);
    EXPECT_EQ(Db().GetGridLines(), 2);
    window->Action(CommandId::kGridLinesVertical)->trigger();
    EXPECT_EQ(New().GetGridLines(), 0);
    EXPECT_EQ(Db().GetGridLines(), 0);
    EXPECT_EQ(window->windowTitle(), "Tabulon");  // no configuration: no mark
    window->Action(CommandId::kGridLinesHorizontal)->trigger();
    EXPECT_EQ(Db().GetGridLines(), 1);
    EXPECT_TRUE(window->Action(CommandId::kGridLinesHorizontal)->isChecked());
}

TEST_F(MainWindowTest, MessageBoxesAnswerReturnWithTheFirstButtonAndEscapeWithTheWayOut) {
    qt::CQtMessageBox boxes(window.get());
    struct Case {
        MbButtons buttons;
        Qt::Key key;
        MbResult expected;
    };
    const Case cases[] = {{MbButtons::YesNoCancel, Qt::Key_Return, MbResult::Yes},
                          {MbButtons::YesNoCancel, Qt::Key_Escape, MbResult::Cancel},
                          {MbButtons::YesNo, Qt::Key_Escape, MbResult::No},
                          {MbButtons::Ok, Qt::Key_Return, MbResult::Ok}};
    for (const Case& c : cases) {
        QString caption;
        WhenModalShows([&](QWidget* modal) {
            caption = modal->windowTitle();
            QTest::keyClick(modal, c.key);
        });
        EXPECT_EQ(boxes.Show("Database not saved!\n\nSave database?", "Database", MbIcon::Question, c.buttons),
                  c.expected);
        EXPECT_EQ(caption, "Database");
    }
}

TEST_F(MainWindowTest, CloseRequestWithUnsavedItemsCanBeCancelled) {
    window->DatabasePane().SetDatabaseModified(true);
    WhenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    // No: the window closes without saving.
    WhenModalShows([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_TRUE(box);
        box->button(QMessageBox::No)->click();
    });
    window->Action(CommandId::kExit)->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, AboutNamesTheProgramAndTheMakersAddress) {
    QString title, name, link, target;
    WhenModalShows([&](QWidget* modal) {
        auto* box = dynamic_cast<qt::CQtAboutBox*>(modal);
        ASSERT_TRUE(box);
        title = box->windowTitle();
        for (QLabel* label : box->findChildren<QLabel*>())
            if (label->text() == "Tabulon") name = label->text();
        link = box->WebLink()->text();
        target = QString::fromStdString(box->WebLink()->Link().Target());
        QTest::keyClick(modal, Qt::Key_Return);
    });
    window->Action(CommandId::kAbout)->trigger();
    EXPECT_EQ(title, "About Tabulon");
    EXPECT_EQ(name, "Tabulon");
    EXPECT_EQ(link, "https://www.korvanex.com");
    EXPECT_EQ(target, "https://www.korvanex.com");
}

TEST_F(MainWindowTest, AddDirectoryFromTheEditMenuAddsTheFoldersOfTheChosenFolder) {
    const std::string root = scratch.folder.string();
    std::filesystem::create_directories(scratch.folder / "Music/Abba - Gold");
    using fakes::FakeFolderNamespace;
    folders.top = {FakeFolderNamespace::Folder("Home", root, true, FolderIcon::Home)};
    folders.children[root] = {FakeFolderNamespace::Folder("Music", root + "/Music", true)};
    folders.children[root + "/Music"] = {FakeFolderNamespace::Folder("Abba - Gold", root + "/Music/Abba - Gold")};
    QString first;
    WhenModalShows([&](QWidget* modal) {
        auto* tree = modal->findChild<qt::CQtTreeControl*>();
        ASSERT_TRUE(tree && tree->topLevelItemCount() == 1);
        first = tree->currentItem() ? tree->currentItem()->text(0) : QString();
        QTreeWidgetItem* music = tree->topLevelItem(0)->child(0);
        ASSERT_TRUE(music);
        tree->expandItem(music);
        EXPECT_EQ(music->childCount(), 1);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(music).center());
        QTest::keyClick(modal, Qt::Key_Return);  // Add, with the defaults: the sub-folders
    });
    window->Action(CommandId::kAddDirectory)->trigger();
    EXPECT_EQ(first, "Home");
    ASSERT_EQ(New().GetRowCount(), 2);
    EXPECT_EQ(New().GetCellText(1, 1), "Abba");
    EXPECT_EQ(New().GetCellText(1, 2), "Gold");
}

TEST_F(MainWindowTest, ToolWindowsOpenOnceFromTheToolsMenuAndFollowTheDatabaseColumns) {
    const auto windowsTitled = [](const QString& caption) {
        QList<QWidget*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == caption) found << w;
        return found;
    };
    window->Action(CommandId::kFindDuplicate)->trigger();
    window->Action(CommandId::kReplace)->trigger();
    window->Action(CommandId::kFindDuplicate)->trigger();  // only brings it to the front
    QApplication::processEvents();
    ASSERT_EQ(windowsTitled("Find dublicate").size(), 1);
    ASSERT_EQ(windowsTitled("Replace").size(), 1);
    auto* columns = windowsTitled("Find dublicate").front()->findChild<QListWidget*>();
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->count(), 0);
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    QStringList entries;
    for (int i = 0; i < columns->count(); ++i) entries << columns->item(i)->text();
    EXPECT_EQ(entries, (QStringList{"All", "1", "2"}));
}

TEST_F(MainWindowTest, TheProgramsKeysWorkFromAToolWindowAndTheKeyboardComesBackAfterAMessage) {
    window->Action(CommandId::kReplace)->trigger();
    QApplication::processEvents();
    QWidget* replace = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == "Replace") replace = w;
    ASSERT_TRUE(replace);
    replace->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(replace));
    QWidget* field = replace->focusWidget();
    ASSERT_TRUE(field);
    // No configuration yet: Ctrl+S says so, and the keyboard is back in the
    // tool window after the message.
    WhenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), field);
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(window->MessagePane()->text().toStdString(), "Database saved to " + scratch.PathOf("items.db"));
}

TEST_F(MainWindowTest, ToolWindowsLeaveTheFindBarInViewGiveItCtrlFAndCloseWithEscape) {
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    qt::CQtFindBar& bar = *window->FindBar();
    for (const auto& [command, caption] :
         {std::pair{CommandId::kReplace, "Replace"}, std::pair{CommandId::kFindDuplicate, "Find dublicate"}}) {
        SCOPED_TRACE(caption);
        window->Action(command)->trigger();
        QApplication::processEvents();
        QWidget* tool = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == caption) tool = w;
        ASSERT_TRUE(tool);
        tool->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(tool));
        ASSERT_TRUE(tool->focusWidget());
        QTest::keyClick(tool->focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QApplication::processEvents();
        ASSERT_TRUE(bar.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), bar.Field());
        EXPECT_GE(tool->frameGeometry().top(), bar.mapToGlobal(QPoint(0, bar.height())).y());

        // A count shown or not, the bar's close button stays where it is.
        QWidget* close = bar.widgetForAction(bar.actions().back());
        ASSERT_TRUE(close);
        const int closeX = close->x();
        bar.Field()->setText("p");
        QTest::qWait(400);
        EXPECT_FALSE(bar.Result()->text().isEmpty());
        EXPECT_EQ(close->x(), closeX);
        bar.Close();

        tool->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(tool));
        QTest::keyClick(tool->focusWidget(), Qt::Key_Escape);
        QApplication::processEvents();
        EXPECT_FALSE(tool->isVisible());
    }
}

TEST_F(MainWindowTest, TheFindBarsControlsAreNamedForAScreenReader) {
    qt::CQtFindBar& bar = *window->FindBar();
    bar.Open(false);
    bar.Field()->setText("x");  // the clear button shows
    QStringList names;
    for (QWidget* w : bar.findChildren<QWidget*>())
        if (w->isVisible() && (qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w) || w == bar.Result()))
            names << ReaderName(w);
    names.sort();
    EXPECT_EQ(names,
              (QStringList{"Clear the search text", "Close", "Column", "Match case", "Matches", "Whole cell", "in"}));
}

TEST_F(MainWindowTest, FilesDroppedFromAFileManagerAreImportedOrOpenedWhereTheyFall) {
    const std::string cfg = WriteConfiguration();
    const std::string more = scratch.MakeFile("more.db", "fig;green\r\n");
    const auto drop = [&](const std::string& path, QWidget* on) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        const QPointF at = on->mapTo(window.get(), on->rect().center());
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        QTest::qWait(50);
    };
    drop(more, window->NewItemsWidget());
    ASSERT_EQ(New().GetRowCount(), 2);
    EXPECT_EQ(New().GetCellText(1, 1), "fig");
    drop(cfg, window->DatabaseWidget());
    EXPECT_EQ(window->windowTitle().toStdString(), "Tabulon - " + cfg);
    EXPECT_EQ(Db().GetCellText(2, 1), "plum");
}

// Records what the dialog logic is told.
struct RecordingEvents : IDialogEvents {
    void OnInitDialog(IDialogWindow&) override {}
    void OnCommand(IDialogWindow& dialog, ControlId id) override {
        commands.push_back(id);
        dialog.EndDialog(id);
    }
    std::vector<ControlId> commands;
};

TEST_F(MainWindowTest, DialogHostScalesUnitsAndRoutesReturnAndEscape) {
    qt::CQtDialogHost host(window.get());
    CMainFrame& frame = window->Frame();
    CConfigDlg logic(frame);
    const DialogTemplate t = CConfigDlg::Template();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        RecordingEvents events;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<qt::CQtDialog*>(modal);
            ASSERT_TRUE(dialog);
            const qt::DialogBaseUnits base = dialog->BaseUnits();
            EXPECT_GE(base.x, qt::BaseUnitsOf(dialog->font()).x);
            EXPECT_GT(base.x, 3);
            EXPECT_GT(base.y, 8);
            EXPECT_EQ(dialog->size(), qt::PixelsFromUnits(Rect{0, 0, 364, 220}, base).size());
            QWidget* database = dialog->Control(ConfigDlgId::kDatabase);
            ASSERT_TRUE(database);
            EXPECT_EQ(database->geometry(), qt::PixelsFromUnits(Rect{12, 25, 142, 37}, base));
            EXPECT_FALSE(dialog->Control(ConfigDlgId::kHelp)->isEnabled());
            // Every text fits its place, even in a font wider than the old one.
            for (QLabel* label : dialog->findChildren<QLabel*>())
                EXPECT_LE(label->sizeHint().width(), label->width() + 2) << label->text().toStdString();
            EXPECT_EQ(dialog->windowTitle(), "Configuration");
            QTest::keyClick(dialog->Control(ConfigDlgId::kServer), key);
        });
        const ControlId result = host.RunModal(t, events);
        const ControlId expected = key == Qt::Key_Return ? DialogId::kOk : DialogId::kCancel;
        EXPECT_EQ(events.commands, std::vector<ControlId>{expected});
        EXPECT_EQ(result, expected);
    }
    (void)logic;
}

TEST_F(MainWindowTest, DialogTextsKeepTheirBytesUntilEdited) {
    qt::CQtDialogHost host(window.get());
    struct Logic : IDialogEvents {
        void OnInitDialog(IDialogWindow& d) override { d.SetControlText(ConfigDlgId::kServer, "caf\xE9"); }
        void OnCommand(IDialogWindow& d, ControlId id) override {
            read = d.GetControlText(ConfigDlgId::kServer);
            d.EndDialog(id);
        }
        std::string read;
    } logic;
    WhenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    host.RunModal(CConfigDlg::Template(), logic);
    EXPECT_EQ(logic.read, "caf\xE9");  // Windows-1252 stays Windows-1252
}

TEST_F(MainWindowTest, FilterTextsBecomeQtNameFilters) {
    EXPECT_EQ(qt::NameFiltersFromFilter(
                  "HTML document (*.htm, *.html)|*.htm; *.html|Text files (*.txt)|*.txt|All Files (*.*)|*.*||"),
              (QStringList{"HTML document (*.htm *.html)", "Text files (*.txt)", "All Files (*)"}));
}

TEST_F(MainWindowTest, OpeningTheMenuCommitsAnEditInProgress) {
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    QApplication::processEvents();
    Rect rect;
    ASSERT_TRUE(Db().GetCellRect(1, 1, rect));
    QWidget* viewport = window->DatabaseWidget()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    QApplication::processEvents();
    for (char ch : std::string("pear")) {
        QTest::keyClick(QApplication::focusWidget(), ch);
        QApplication::processEvents();
    }
    ASSERT_TRUE(Db().IsEditing());
    emit MenuNamed("File")->aboutToShow();
    EXPECT_FALSE(Db().IsEditing());
    EXPECT_EQ(Db().GetCellText(1, 1), "pear");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database*");
}

TEST_F(MainWindowTest, AUserOpensAConfigurationEditsACellAndSavesTheDatabase) {
    const std::string cfg = WriteConfiguration();
    ASSERT_TRUE(window->Frame().OpenConfiguration(cfg));
    QApplication::processEvents();
    EXPECT_EQ(window->windowTitle().toStdString(), "Tabulon - " + cfg);
    ASSERT_EQ(Db().GetRowCount(), 3);
    EXPECT_EQ(Db().GetCellText(0, 1), "Fruit");

    Rect rect;
    ASSERT_TRUE(Db().GetCellRect(2, 2, rect));
    QWidget* viewport = window->DatabaseWidget()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    QApplication::processEvents();
    for (char ch : std::string("violet")) {
        QTest::keyClick(QApplication::focusWidget(), ch);
        QApplication::processEvents();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Db().GetCellText(0, 0), "Database*");

    window->Action(CommandId::kToolSaveDatabase)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(fakes::ScratchFolder::Contents(scratch.PathOf("items.db")), "apple;red\r\nplum;violet\r\n");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database");
    EXPECT_EQ(window->windowTitle().toStdString(), "Tabulon - " + cfg);
}

TEST_F(MainWindowTest, CtrlZUndoesAnEditAfterItEndsAndCtrlYRedoesItAsTheEditMenuSays) {
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    QApplication::processEvents();
    const auto press = [](auto key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QApplication::processEvents();
    };
    const auto type = [&](const std::string& text) {
        Rect rect;
        ASSERT_TRUE(Db().GetCellRect(2, 2, rect));
        QTest::mouseClick(window->DatabaseWidget()->viewport(), Qt::LeftButton, {},
                          QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
        QApplication::processEvents();
        for (char ch : text) press(ch);
    };
    type("vi");
    press(Qt::Key_Return);
    EXPECT_EQ(Db().GetCellText(2, 2), "vi");

    const auto itemsSay = [&] {
        emit MenuNamed("Edit")->aboutToShow();
        return QStringList{window->Action(CommandId::kUndo)->text().section('\t', 0, 0),
                           window->Action(CommandId::kUndo)->isEnabled() ? "on" : "off",
                           window->Action(CommandId::kRedo)->text().section('\t', 0, 0),
                           window->Action(CommandId::kRedo)->isEnabled() ? "on" : "off"};
    };
    EXPECT_EQ(itemsSay(), (QStringList{"Undo Edit cell", "on", "Redo", "off"}));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Db().GetCellText(2, 2), "blue");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database");
    EXPECT_EQ(itemsSay(), (QStringList{"Undo", "off", "Redo Edit cell", "on"}));
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Db().GetCellText(2, 2), "vi");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database*");

    type("x");
    press(Qt::Key_Z, Qt::ControlModifier);  // while a cell is edited the key is the edit box's
    EXPECT_TRUE(Db().IsEditing());
    EXPECT_EQ(Db().GetCellText(2, 2), "vi");
}

TEST_F(MainWindowTest, CtrlFFindsACellAndEscapeLeavesItReadyForTyping) {
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    window->DatabaseWidget()->setFocus();
    QApplication::processEvents();
    const auto press = [](auto key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QApplication::processEvents();
    };
    press(Qt::Key_F, Qt::ControlModifier);
    qt::CQtFindBar& bar = *window->FindBar();
    ASSERT_TRUE(bar.isVisible());
    ASSERT_EQ(QApplication::focusWidget(), bar.Field());
    QTest::keyClicks(bar.Field(), "BLU");
    press(Qt::Key_Return);
    EXPECT_EQ(Db().GetFocusCell(), CellId(2, 2));
    QTest::qWait(100);
    EXPECT_EQ(bar.Result()->text(), "1 of 1");
    press(Qt::Key_Return);  // the only match again, round the end
    EXPECT_EQ(window->MessagePane()->text(), "Search wrapped");
    bar.Field()->setText("app");
    press(Qt::Key_F3);  // what the bar holds now, not the last search
    EXPECT_EQ(Db().GetFocusCell(), CellId(1, 1));
    press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Db().GetFocusCell(), CellId(1, 1));

    press(Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), window->DatabaseWidget());
    press('x');
    press(Qt::Key_Return);
    EXPECT_EQ(Db().GetCellText(1, 1), "x");
}

TEST_F(MainWindowTest, MemoryRunningOutWhereNoCommandCatchesItIsToldAndTheWindowGoesOn) {
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    Db().SetCellText(1, 1, "half done");  // what the handler had changed
    QString told;
    WhenModalShows([&](QWidget* modal) {
        told = qobject_cast<QMessageBox*>(modal)->text();
        QTest::keyClick(modal, Qt::Key_Return);
    });
    QTimer::singleShot(0, window.get(), [] { throw std::bad_alloc(); });
    QTest::qWait(200);
    EXPECT_TRUE(told.startsWith("Not enough memory to finish the command")) << told.toStdString();
    EXPECT_EQ(Db().GetCellText(1, 1), "apple");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, TheFindBarsColumnChoiceFollowsTheColumnsAndKeepsItsColumn) {
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    window->Frame().SetActivePane(true);
    window->ShowFindBar(true);
    QComboBox& choice = *window->FindBar()->ColumnChoice();
    choice.setCurrentIndex(2);  // Colour
    Db().RunGesture(kMoveColumnGesture, [&] { window->Frame().MoveColumnInActivePane(2, 0); });
    QStringList items;
    for (int i = 0; i < choice.count(); ++i) items << choice.itemText(i);
    EXPECT_EQ(items, (QStringList{"All", "Colour", "Fruit"}));
    EXPECT_EQ(choice.currentText(), "Colour");
}

TEST_F(MainWindowTest, F6GivesAPaneWithoutAFocusCellOneSoTheKeysWorkAtOnce) {
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    window->NewItemsPane().AddItemFromText("pear;green", ";", New().GetRowCount());
    window->DatabaseWidget()->setFocus();
    QApplication::processEvents();
    const auto press = [](auto key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QApplication::processEvents();
    };
    press(Qt::Key_F6);  // into 'New items', which had no focus cell
    EXPECT_EQ(QApplication::focusWidget(), window->NewItemsWidget());
    EXPECT_EQ(New().GetFocusCell(), CellId(1, 1));
    press(Qt::Key_Space);
    EXPECT_EQ(window->NewItemsPane().CountCheckedItems(), 1);
    press(Qt::Key_F6, Qt::ShiftModifier);  // 'Database': its first item cell
    EXPECT_EQ(Db().GetFocusCell(), CellId(1, 1));
    press(Qt::Key_Down);
    press(Qt::Key_F6);
    Db().SetFocusCell(-1, -1);  // as a sort leaves it
    press(Qt::Key_F6);          // back where it was last
    EXPECT_EQ(Db().GetFocusCell(), CellId(2, 1));
}

TEST_F(MainWindowTest, ARightClickOnTheDatabaseOffersInsertColumnFromARealMenu) {
    const std::string cfg = WriteConfiguration();
    ASSERT_TRUE(window->Frame().OpenConfiguration(cfg));
    QApplication::processEvents();
    ASSERT_EQ(Db().GetColumnCount(), 3);
    Rect rect;
    ASSERT_TRUE(Db().GetCellRect(1, 1, rect));
    QWidget* viewport = window->DatabaseWidget()->viewport();
    const QPoint at((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);

    QStringList offered;
    bool chosen = false;
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, &offered, &chosen] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        timer->stop();
        timer->deleteLater();
        for (QAction* action : menu->actions()) {
            offered << (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (action->text() == "&Insert column" && action->isEnabled()) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                chosen = true;
                break;
            }
        }
    });
    timer->start();
    QTest::mousePress(viewport, Qt::RightButton, {}, at);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
    QApplication::processEvents();

    EXPECT_TRUE(chosen);
    EXPECT_EQ(offered.value(0), "&Insert column");  // its letter marked for the keyboard
    EXPECT_EQ(Db().GetColumnCount(), 4);
    EXPECT_EQ(Db().GetColumnWidth(2), 90);  // the new column comes after the clicked one
    EXPECT_EQ(window->windowTitle().toStdString(), "Tabulon - " + cfg + "*");
}

TEST_F(MainWindowTest, AToolbarCommandTakesTheTextOfAnEditStillOpen) {
    const std::string cfg = WriteConfiguration();
    ASSERT_TRUE(window->Frame().OpenConfiguration(cfg));
    QApplication::processEvents();
    Rect rect;
    ASSERT_TRUE(Db().GetCellRect(1, 2, rect));
    QWidget* viewport = window->DatabaseWidget()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    QApplication::processEvents();
    for (char ch : std::string("green")) {
        QTest::keyClick(QApplication::focusWidget(), ch);
        QApplication::processEvents();
    }
    ASSERT_TRUE(Db().IsEditing());  // no Return: the box is still open
    window->Action(CommandId::kToolSaveDatabase)->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(Db().IsEditing());
    EXPECT_EQ(fakes::ScratchFolder::Contents(scratch.PathOf("items.db")), "apple;green\r\nplum;blue\r\n");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database");
}

// Under a real X server (xvfb-run) with TABULON_SCREENSHOTS set to a
// folder: pictures of the main window, a message box and the dialog.
TEST_F(MainWindowTest, Screenshots) {
    const QString folder = qEnvironmentVariable("TABULON_SCREENSHOTS");
    if (folder.isEmpty()) GTEST_SKIP() << "TABULON_SCREENSHOTS names no folder";
    ASSERT_TRUE(window->Frame().OpenConfiguration(WriteConfiguration()));
    window->resize(820, 640);
    QTest::qWait(300);
    EXPECT_TRUE(window->grab().save(folder + "/main-window.png"));
    WhenModalShows([&](QWidget* modal) {
        QTest::qWait(200);
        EXPECT_TRUE(modal->grab().save(folder + "/message-box.png"));
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    window->Frame().Messages().Show("Configuration not saved!\n\nSave configuration?", "Configuration",
                                    MbIcon::Question, MbButtons::YesNoCancel);
    WhenModalShows([&](QWidget* modal) {
        QTest::qWait(200);
        EXPECT_TRUE(modal->grab().save(folder + "/config-dialog.png"));
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    window->Action(CommandId::kEditConfiguration)->trigger();
}

}  // namespace
}  // namespace tabulon::testing
