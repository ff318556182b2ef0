// The 'Add items' dialog on the offscreen platform: its tree, radio groups
// and buttons as real widgets, and a folder picked and added into a real
// 'New items' grid.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "FakeFolderNamespace.h"
#include "HeadlessSession.h"
#include "ScratchFolder.h"
#include "qt/QtDialogHost.h"
#include "qt/QtTreeControl.h"
#include "tools/AddDirectoryCommand.h"
#include "tools/AddItemsDialog.h"

namespace tabulon::testing {
namespace {

namespace Id = AddItemsDlgId;
using fakes::FakeFolderNamespace;

// Runs then once the next modal dialog is up.
void WhenDialogShows(std::function<void(qt::CQtDialog*)> then) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, then] {
        if (auto* dialog = qobject_cast<qt::CQtDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            then(dialog);
        }
    });
    timer->start();
}

QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text) return parent->child(i);
    return nullptr;
}

// A click where a user aims: on a box's mark, in a button's middle.
void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    const bool box = qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, box ? QPoint(6, widget->height() / 2) : widget->rect().center());
}

struct AddItemsDialogQt : ::testing::Test, fakes::HeadlessSession, IAddItemsFrame {
    fakes::ScratchFolder scratch{"tabulon-qt-add"};
    CTabulonWnd1& newItems = session.NewItemsPane();
    qt::CQtDialogHost host;
    FakeFolderNamespace folders;
    CSilentProgressHost progress;
    CAddItemsDlg dialog;
    std::string lastDirectory;

    IDialogHost& DialogHost() override { return host; }
    IFolderNamespace& FolderNamespace() override { return folders; }
    IProgressHost& Progress() override { return progress; }
    IMessageBox& Messages() override { return messages; }
    CTabulonWnd1& NewItemsPane() override { return newItems; }

    void SetUp() override {
        const std::string root = scratch.folder.string();
        std::filesystem::create_directories(scratch.folder / "Music/Rock");
        scratch.MakeFile("Music/Artist - Song.mp3", std::string(1500, 'x'));
        scratch.MakeFile("Music/Band - Tune.ogg", std::string(20, 'x'));
        folders.top = {FakeFolderNamespace::Folder("Home", root, true, FolderIcon::Home),
                       FakeFolderNamespace::Folder("File System", "/", false, FolderIcon::Drive)};
        folders.children[root] = {FakeFolderNamespace::Folder("Music", root + "/Music", true)};
        folders.children[root + "/Music"] = {FakeFolderNamespace::Folder("Rock", root + "/Music/Rock")};
    }
};

TEST_F(AddItemsDialogQt, ExpandAFolderPickFilesAndAdd) {
    QString state;
    WhenDialogShows([&](qt::CQtDialog* shown) {
        auto* tree = shown->findChild<qt::CQtTreeControl*>();
        ASSERT_NE(tree, nullptr);
        ASSERT_EQ(tree->topLevelItemCount(), 2);
        QTreeWidgetItem* home = tree->topLevelItem(0);
        EXPECT_EQ(tree->currentItem(), home);
        EXPECT_TRUE(home->isExpanded());
        EXPECT_FALSE(home->icon(0).isNull());
        QTreeWidgetItem* music = ChildNamed(home, "Music");
        ASSERT_NE(music, nullptr);
        EXPECT_EQ(music->childCount(), 0);  // filled when first opened
        tree->expandItem(music);
        ASSERT_NE(ChildNamed(music, "Rock"), nullptr);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(music).center());
        EXPECT_EQ(tree->currentItem(), music);

        // Files and their size in kb: the other group's "b" stays set.
        EXPECT_FALSE(shown->Control(Id::kFileSize)->isEnabled());
        Click(shown->Control(Id::kFiles));
        EXPECT_TRUE(shown->Control(Id::kFileSize)->isEnabled());
        EXPECT_FALSE(shown->Control(Id::kFileKb)->isEnabled());
        Click(shown->Control(Id::kFileSize));
        Click(shown->Control(Id::kFileKb));
        Click(shown->Control(Id::kFileAddUnit));
        for (ControlId id : {Id::kFileMb, Id::kFileKb, Id::kFileB, Id::kDirB}) state += shown->GetCheck(id) ? "1" : "0";
        state += QString::fromStdString(shown->GetControlText(Id::kFileUnit));
        Click(shown->Control(DialogId::kOk));
    });
    OnAddDirectory(*this, dialog, lastDirectory);
    EXPECT_EQ(state, QStringLiteral("0101kb"));
    EXPECT_EQ(lastDirectory, scratch.folder.string() + "/Music/");
    CGridCtrl& grid = *newItems.GetGrid();
    ASSERT_EQ(grid.GetRowCount(), 4);
    const std::vector<std::string> expected[] = {
        {"Artist", "Song", "1 kb"}, {"Band", "Tune", "<0.1 kb"}, {"Rock", "", ""}};
    for (int r = 1; r < 4; ++r)
        for (int c = 1; c < 4; ++c) EXPECT_EQ(grid.GetCellText(r, c), expected[r - 1][c - 1]) << r << "," << c;
}

TEST_F(AddItemsDialogQt, EscapeAddsNothing) {
    WhenDialogShows([](qt::CQtDialog* shown) { QTest::keyClick(shown, Qt::Key_Escape); });
    OnAddDirectory(*this, dialog, lastDirectory);
    EXPECT_EQ(newItems.GetGrid()->GetRowCount(), 1);
    EXPECT_EQ(lastDirectory, "");
}

}  // namespace
}  // namespace tabulon::testing
