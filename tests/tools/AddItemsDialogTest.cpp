// The 'Add items' dialog and its command: defaults, the enabling rule, the
// unit buttons, and from the folder picked in the tree to rows in 'New items'.

#include <gtest/gtest.h>

#include <algorithm>

#include "FakeFolderNamespace.h"
#include "FakeTreeControl.h"
#include "RecordingProgress.h"
#include "ToolsTestSupport.h"
#include "tools/AddDirectoryCommand.h"
#include "tools/AddItemsDialog.h"

namespace tabulon::testing {
namespace {

namespace Id = AddItemsDlgId;
using fakes::ExpandItem;
using fakes::FakeFolderNamespace;
using fakes::Press;
using fakes::SelectItem;
using fakes::Tick;
using fakes::TypeText;

// A click on a radio button sets it and clears the others of its group.
fakes::DialogStep ClickRadio(ControlId id) {
    return [id](fakes::ScriptedDialog& d, IDialogEvents& e) {
        for (const auto& group : {std::vector<ControlId>{Id::kFileMb, Id::kFileKb, Id::kFileB},
                                  std::vector<ControlId>{Id::kDirMb, Id::kDirKb, Id::kDirB}})
            if (std::find(group.begin(), group.end(), id) != group.end())
                for (ControlId radio : group) d.SetCheck(radio, radio == id);
        e.OnCommand(d, id);
    };
}

struct AddDirectory : NewItemsFixture, IAddItemsFrame {
    fakes::ScriptedTreeDialogHost dialogs;
    FakeFolderNamespace folders;
    fakes::RecordingProgressHost progress;
    CAddItemsDlg dialog;
    std::string lastDirectory;

    IDialogHost& DialogHost() override { return dialogs; }
    IFolderNamespace& FolderNamespace() override { return folders; }
    IProgressHost& Progress() override { return progress; }
    IMessageBox& Messages() override { return messages; }
    CTabulonWnd1& NewItemsPane() override { return newItems; }

    void SetUp() override {
        NewItemsFixture::SetUp();
        MakeFolder("Music/Rock");
        MakeFile("Music/Artist - Song.mp3", 2500);
        MakeFolder("Films");
        const std::string root = scratch.folder.string();
        folders.top = {FakeFolderNamespace::Folder("Home", root, true, FolderIcon::Home),
                       FakeFolderNamespace::Folder("Network", "", false)};
        folders.children[root] = {FakeFolderNamespace::Folder("Music", root + "/Music", true),
                                  FakeFolderNamespace::Folder("Films", root + "/Films")};
        folders.children[root + "/Music"] = {FakeFolderNamespace::Folder("Rock", root + "/Music/Rock")};
    }
    void Run(std::vector<fakes::DialogStep> script) {
        dialogs.scripts.push_back(std::move(script));
        OnAddDirectory(*this, dialog, lastDirectory);
    }
};

TEST_F(AddDirectory, OpensOnHomeWithTheDefaultsAndTheirEnabling) {
    Run({});
    EXPECT_EQ(dialogs.lastTopLevel[Id::kFolderTree], (Strings{"Home", "Network"}));
    EXPECT_EQ(dialog.m_strPath, scratch.folder.string());
    EXPECT_FALSE(dialogs.lastChecks[Id::kFiles]);
    EXPECT_TRUE(dialogs.lastChecks[Id::kDirectories]);
    EXPECT_TRUE(dialogs.lastChecks[Id::kFileB]);
    EXPECT_FALSE(dialogs.lastChecks[Id::kFileMb]);
    EXPECT_TRUE(dialogs.lastChecks[Id::kDirB]);
    EXPECT_EQ(dialogs.lastTexts[Id::kFileUnit], "b");
    EXPECT_EQ(dialogs.lastTexts[Id::kDirUnit], "b");
    for (ControlId id : {Id::kFileSize, Id::kExtension, Id::kFileMb, Id::kFileAddUnit, Id::kFileUnit, Id::kDirMb,
                         Id::kDirKb, Id::kDirB, Id::kDirAddUnit, Id::kDirUnit})
        EXPECT_FALSE(dialogs.lastEnabled[id]) << static_cast<int>(id);
    EXPECT_TRUE(dialogs.lastEnabled[Id::kDirSize]);
    // Cancelled: nothing added, the last folder untouched.
    EXPECT_EQ(grid->GetRowCount(), 1);
    EXPECT_EQ(lastDirectory, "");
}

TEST_F(AddDirectory, DisablingNeverUnchecksAndUnitButtonsWriteTheUnitText) {
    Run({Tick(Id::kFiles, true), Tick(Id::kFileSize, true), Tick(Id::kFileAddUnit, true), ClickRadio(Id::kFileKb),
         Tick(Id::kFiles, false)});
    EXPECT_EQ(dialog.m_bFiles, 0);
    EXPECT_EQ(dialog.m_bFileSize, 1);
    EXPECT_EQ(dialog.m_bFileAddUnit, 1);
    EXPECT_EQ(dialog.m_strFileUnit, "kb");
    EXPECT_TRUE(dialogs.lastChecks[Id::kFileSize]);
    EXPECT_FALSE(dialogs.lastEnabled[Id::kFileSize]);
    EXPECT_FALSE(dialogs.lastEnabled[Id::kFileUnit]);

    // The options live on: the next showing starts from them; a typed unit
    // text survives a selection in the tree.
    Run({Tick(Id::kFiles, true), ClickRadio(Id::kFileMb), TypeText(Id::kFileUnit, "MB"),
         SelectItem(Id::kFolderTree, {"Home", "Films"})});
    EXPECT_TRUE(dialogs.lastEnabled[Id::kFileUnit]);
    EXPECT_TRUE(dialogs.lastChecks[Id::kFileMb]);
    EXPECT_FALSE(dialogs.lastChecks[Id::kFileKb]);
    EXPECT_EQ(dialogs.lastTexts[Id::kFileUnit], "MB");
    EXPECT_EQ(dialog.m_nFileUnit, 0);
}

TEST_F(AddDirectory, AddScansTheSelectedFolder) {
    Run({ExpandItem(Id::kFolderTree, {"Home", "Music"}), SelectItem(Id::kFolderTree, {"Home", "Music"}),
         Tick(Id::kFiles, true), Tick(Id::kFileSize, true), ClickRadio(Id::kFileKb), Tick(Id::kFileAddUnit, true),
         Press(DialogId::kOk)});
    EXPECT_EQ(lastDirectory, scratch.folder.string() + "/Music/");
    EXPECT_EQ(Rows(), (Strings{"Artist|Song|2 kb", "Rock||"}));
}

TEST_F(AddDirectory, AVirtualSelectionScansTheFolderSelectedBefore) {
    Run({SelectItem(Id::kFolderTree, {"Home", "Films"}), SelectItem(Id::kFolderTree, {"Network"}),
         Press(DialogId::kOk)});
    EXPECT_EQ(lastDirectory, scratch.folder.string() + "/Films/");
    EXPECT_EQ(grid->GetRowCount(), 1);  // Films holds no folder

    // With no real folder at all, Add does nothing.
    folders.top = {FakeFolderNamespace::Folder("Network", "", false)};
    dialog.m_strPath.clear();
    Run({Press(DialogId::kOk)});
    EXPECT_EQ(lastDirectory, "");
}

TEST_F(AddDirectory, AUnitTextTheFileCannotStoreIsRefusedAndTheScanTellsWhatItMet) {
    // "k;b" would end up in every name: refused, the dialog stays open.
    MakeFile("Music/Zed - <img src=x onerror=alert(1)>.mp3", 5);
    MakeFile("Music/A;B - C.mp3", 5);
    Run({SelectItem(Id::kFolderTree, {"Home", "Music"}), Tick(Id::kFiles, true), Tick(Id::kFileSize, true),
         ClickRadio(Id::kFileKb), Tick(Id::kFileAddUnit, true), TypeText(Id::kFileUnit, "k;b"), Press(DialogId::kOk),
         TypeText(Id::kFileUnit, "kb"), Press(DialogId::kOk)});
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text,
              "The unit text \"k;b\" holds a \";\", which the database file cannot store."
              "\n\nType another unit.");
    // One message after the scan: the name read as markup, the name made
    // storable, each counted with the first shown; sizes below 0.1 read "<0.1".
    EXPECT_EQ(Rows(),
              (Strings{"A,B|C|<0.1 kb", "Artist|Song|2 kb", "Rock||", "Zed|<img src=x onerror=alert(1)>|<0.1 kb"}));
    EXPECT_EQ(messages.shown[1].caption, "Add items");
    EXPECT_EQ(messages.shown[1].text,
              "1 added name holds \"<\" or \">\", which the page will read as markup, not as text. Edit such names "
              "in 'New items' before you move them. The first:\nZed - <img src=x onerror=alert(1)>\n\n"
              "1 name held \";\" or a line break, which the database file cannot store: \";\" became \",\" and a "
              "line break a blank. The first now reads:\nA,B - C");
}

}  // namespace
}  // namespace tabulon::testing

namespace tabulon::testing {
namespace {

TEST_F(AddDirectory, TagFieldsFollowTheirTagsBoxAndAnUnknownFieldIsRefused) {
    Run({Tick(Id::kFiles, true)});
    EXPECT_EQ(dialogs.lastTexts[Id::kFileTagFields], "artist;title;album;year");
    EXPECT_EQ(dialogs.lastTexts[Id::kDirTagFields], "artist;album;year;genre");
    EXPECT_TRUE(dialogs.lastEnabled[Id::kFileTags]);
    EXPECT_FALSE(dialogs.lastEnabled[Id::kFileTagFields]);

    Run({Tick(Id::kFileTags, true), TypeText(Id::kFileTagFields, "artist;lyrics"), Press(DialogId::kOk),
         TypeText(Id::kFileTagFields, "title;length"), Press(DialogId::kOk)});
    EXPECT_TRUE(dialogs.lastEnabled[Id::kFileTagFields]);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("The tag field \"lyrics\" is not known.", 0), 0u);
    EXPECT_EQ(dialog.m_bFileTags, 1);
    EXPECT_EQ(dialog.m_strFileTagFields, "title;length");
    // Without a reader of tags (this namespace has none), names as before.
    EXPECT_EQ(Rows(), (Strings{"Films", "Music"}));
}

}  // namespace
}  // namespace tabulon::testing
