// New, Open and Edit configuration, Make list, Import database, the grid
// lines and the toolbar's routing, as the state table has them.

#include <filesystem>

#include "AppTestSupport.h"
#include "app/BatchMakeList.h"
#include "app/CommandTable.h"
#include "config/ConfigDialog.h"

namespace tabulon::testing {
namespace {

using fakes::Press;

TEST_F(AppTest, OpenConfigurationAsksBothPromptsThenTheFile) {
    WriteConfiguration("x;1\r\n", "");
    MakeFile("other.cfg", "[files]\r\ndatabase = items.db\r\n\r\n[grid]\r\nv-lines  = 1\r\n[other]\r\ncolumns  = A;B");
    ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));
    MarkBoth();
    messages.Answer(MbResult::No);
    messages.Answer(MbResult::No);
    picker.Answer(PathOf("other.cfg"));

    frame.OnCommand(CommandId::kOpenConfiguration);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kConfigPrompt, kDatabasePrompt}));
    ASSERT_EQ(picker.calls.size(), 1u);
    const FilePickerOptions& o = picker.calls[0].options;
    EXPECT_FALSE(picker.calls[0].save);
    EXPECT_EQ(o.defaultExtension, "cfg");
    EXPECT_EQ(o.initialName, "config.cfg");
    EXPECT_EQ(o.filter, "Configuration files (*.cfg)|*.cfg|All Files (*.*)|*.*||");
    EXPECT_TRUE(o.mustExist);
    EXPECT_TRUE(o.hideReadOnly);

    // The old items and names are gone, the new ones loaded, unchanged.
    EXPECT_EQ(Title(), "Tabulon - " + PathOf("other.cfg"));
    EXPECT_EQ(Corner(), "Database");
    ASSERT_EQ(Db().GetColumnCount(), 3);
    EXPECT_EQ(Db().GetCellText(0, 1), "A");
    ASSERT_EQ(Db().GetRowCount(), 2);
    EXPECT_EQ(Db().GetCellText(1, 1), "x");
    EXPECT_EQ(frame.Config().port, 21);
    // h-lines is missing from the file: vertical lines only, in both grids
    // and in the menu marks.
    EXPECT_FALSE(window.horizontalChecked);
    EXPECT_TRUE(window.verticalChecked);
    EXPECT_EQ(Db().GetGridLines(), 2);
    EXPECT_EQ(newItems.GetGrid()->GetGridLines(), 2);
}

TEST_F(AppTest, OpenConfigurationCancelledKeepsWhatThePromptSaved) {
    OpenConfiguration();
    MarkBoth();
    picker.Cancel();
    frame.OnOpenConfiguration();  // both prompts answer Yes
    EXPECT_EQ(Texts(), (std::vector<std::string>{kConfigPrompt, kDatabasePrompt}));
    EXPECT_EQ(Title(), OpenTitle());
    EXPECT_EQ(Corner(), "Database");
    EXPECT_EQ(Contents(PathOf("items.db")), "edited;1\r\nb;2\r\n");
    EXPECT_EQ(Db().GetRowCount(), 3);
    EXPECT_EQ(Db().GetCellText(1, 1), "edited");
}

TEST_F(AppTest, OpenConfigurationStoppedByAPromptShowsNoPicker) {
    OpenConfiguration();
    database.SetDatabaseModified(true);
    messages.Answer(MbResult::Cancel);
    frame.OnOpenConfiguration();
    EXPECT_TRUE(picker.calls.empty());
    EXPECT_EQ(Corner(), "Database*");
}

TEST_F(AppTest, UnreadableConfigurationChangesNothing) {
    OpenConfiguration();
    fs::create_directories(PathOf("folder.cfg"));
    EXPECT_FALSE(frame.OpenConfiguration(PathOf("folder.cfg")));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Exclamation);
    EXPECT_EQ(Title(), OpenTitle());
    EXPECT_EQ(Db().GetRowCount(), 3);
    EXPECT_EQ(frame.Config().cfgfile, PathOf("list.cfg"));
}

TEST_F(AppTest, AFileThatIsNoConfigurationIsNamedAndChangesNothing) {
    OpenConfiguration();
    MakeFile("garbage.cfg", std::string("\x7F"
                                        "ELF\x02\x01\x01\0\0\0 random bytes;\r\n\xFF\xFE of no key at all\n",
                                        40));
    EXPECT_FALSE(frame.OpenConfiguration(PathOf("garbage.cfg")));
    ASSERT_EQ(Texts(), std::vector<std::string>{"The file\n" + PathOf("garbage.cfg") +
                                                "\nis not a Tabulon configuration: it has none of its sections or "
                                                "keys.\n\nNothing was opened."});
    EXPECT_EQ(messages.shown[0].caption, "Configuration");
    EXPECT_EQ(Title(), OpenTitle());
    EXPECT_EQ(Db().GetRowCount(), 3);
    EXPECT_EQ(frame.Config().cfgfile, PathOf("list.cfg"));

    // A file with no lines at all is a new configuration's file: it opens.
    MakeFile("empty.cfg", "");
    messages.Answer(MbResult::No);  // no database: do not browse
    EXPECT_TRUE(frame.OpenConfiguration(PathOf("empty.cfg")));
    EXPECT_EQ(Title(), "Tabulon - " + PathOf("empty.cfg"));
}

TEST_F(AppTest, AConfigurationWhoseDatabaseIsItselfNeitherOpensNorIsWritten) {
    OpenConfiguration();
    const std::string self = MakeFile("self.cfg", "[files]\r\ndatabase = self.cfg\r\noutput   = page.htm\r\n");
    const std::string refusal = "The database file\n" + self + "\nis the configuration file\n" + self +
                                "\n\nEach file of a configuration must be a file of its own: saving one would "
                                "overwrite the other.";
    EXPECT_FALSE(frame.OpenConfiguration(self));
    EXPECT_EQ(Texts(), std::vector<std::string>{refusal + "\n\nNothing was opened."});
    EXPECT_EQ(Title(), OpenTitle());  // the open one stays
    EXPECT_EQ(RunBatchMakeList(frame, self), BatchStatus::kFailed);
    EXPECT_FALSE(fs::exists(PathOf("page.htm")));

    // Picked when the database is missing, it is refused and asked again.
    OpenConfiguration();
    fs::remove(PathOf("items.db"));
    messages.shown.clear();
    messages.Answer(MbResult::Yes);
    picker.Answer(PathOf("list.cfg"));
    messages.Answer(MbResult::Ok);
    messages.Answer(MbResult::No);
    frame.OpenConfiguration(PathOf("list.cfg"));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[1].text.rfind("The database file\n" + PathOf("list.cfg") + "\nis the configuration", 0),
              0u);
    EXPECT_EQ(frame.Config().database, "items.db");

    // Named so in the dialog afterwards, the save writes nothing.
    const std::string cfgBefore = Contents(PathOf("list.cfg"));
    frame.Config().database = "list.cfg";
    database.SetDatabaseModified(true);
    messages.shown.clear();
    frame.OnCommand(CommandId::kSaveDatabase);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("The database file\n" + PathOf("list.cfg"), 0), 0u)
        << messages.shown[0].text;
    EXPECT_EQ(Contents(PathOf("list.cfg")), cfgBefore);
    EXPECT_EQ(Corner(), "Database*");
}

TEST_F(AppTest, MissingDatabaseAtOpenAsksToBrowse) {
    WriteConfiguration();
    fs::remove(PathOf("items.db"));
    messages.Answer(MbResult::No);
    ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));
    EXPECT_EQ(Texts(),
              std::vector<std::string>{"File database not found.\n" + PathOf("items.db") + "\n\nBrowse for database?"});
    EXPECT_EQ(Title(), OpenTitle());
    EXPECT_EQ(Db().GetRowCount(), 1);

    // Yes, then a cancelled picker: no configuration is open.
    messages.Answer(MbResult::Yes);
    picker.Cancel();
    frame.OpenConfiguration(PathOf("list.cfg"));
    EXPECT_EQ(Title(), "Tabulon");
}

TEST_F(AppTest, NewConfigurationCancelledLeavesNoneOpenAndAnEmptyDatabase) {
    OpenConfiguration();
    frame.OnNewConfiguration();  // the scripted dialog cancels
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "Configuration");
    EXPECT_EQ(Title(), "Tabulon");
    EXPECT_EQ(Corner(), "Database");
    EXPECT_EQ(Db().GetRowCount(), 1);
    EXPECT_EQ(Db().GetColumnCount(), 1);
    EXPECT_EQ(frame.Config(), CListConfig{});
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AppTest, NewConfigurationSavedOpensItAndLoadsTheDatabase) {
    MakeFile("items.db", "p;q;r\r\n");
    picker.Answer(PathOf("items.db"));
    picker.Answer(PathOf("new.cfg"));  // not there yet: made by the dialog
    dialogs.scripts.push_back(
        {Press(ConfigDlgId::kBrowseDatabase), Press(ConfigDlgId::kBrowseCfgFile), Press(DialogId::kOk)});
    frame.OnNewConfiguration();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Title(), "Tabulon - " + PathOf("new.cfg"));
    EXPECT_TRUE(Contents(PathOf("new.cfg")).starts_with("[files]\r\ndatabase = " + PathOf("items.db") + "\r\n"));
    ASSERT_EQ(Db().GetRowCount(), 2);
    EXPECT_EQ(Db().GetColumnCount(), 4);
    EXPECT_EQ(Db().GetCellText(1, 3), "r");
    EXPECT_EQ(Corner(), "Database");
}

TEST_F(AppTest, EditConfigurationNeedsAnOpenOneAndNeverReloads) {
    frame.OnEditConfiguration();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "No configuration opened!\n\nCreate a new or open a saved\nconfiguration before trying to edit.");
    EXPECT_EQ(messages.shown[0].caption, "Edit");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Information);
    EXPECT_TRUE(dialogs.shown.empty());

    OpenConfiguration();
    messages.shown.clear();
    MakeFile("second.db", "z\r\n");
    picker.Answer(PathOf("second.db"));
    dialogs.scripts.push_back({Press(ConfigDlgId::kBrowseDatabase), Press(DialogId::kOk)});
    frame.OnEditConfiguration();
    EXPECT_EQ(frame.Config().database, PathOf("second.db"));
    EXPECT_EQ(Db().GetCellText(1, 1), "a");  // the old items stay
    // A later Save database writes them into the newly named file.
    Db().SetCellText(1, 1, "kept");
    frame.OnSaveDatabase();
    EXPECT_EQ(Contents(PathOf("second.db")), "kept;1\r\nb;2\r\n");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AppTest, MakeListChecksThenAsksThenWritesThePage) {
    frame.OnMakeList();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "No configuration opened!\n\nCreate a new or open a saved configuration first.");
    EXPECT_EQ(messages.shown[0].caption, "Configuration");

    OpenConfiguration();
    MarkBoth();
    messages.shown.clear();
    frame.Config().headcol = "ABC";
    frame.OnMakeList();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid head color"});  // and no save prompt
    EXPECT_FALSE(fs::exists(PathOf("page.htm")));

    frame.Config().headcol = "AAAAAA";
    frame.Config().viewout = 1;
    messages.shown.clear();
    messages.Answer(MbResult::No);
    messages.Answer(MbResult::Cancel);
    frame.OnMakeList();
    EXPECT_EQ(Texts(), (std::vector<std::string>{kConfigPrompt, kDatabasePrompt}));
    EXPECT_FALSE(fs::exists(PathOf("page.htm")));

    messages.shown.clear();
    messages.Answer(MbResult::No);
    messages.Answer(MbResult::No);
    frame.OnCommand(CommandId::kToolMakeList);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(Contents(PathOf("page.htm")).find("edited"), std::string::npos);
    ASSERT_EQ(publisher.calls.size(), 1u);
    EXPECT_EQ(publisher.calls[0].kind, fakes::PublishCall::Open);
    EXPECT_EQ(publisher.calls[0].file, PathOf("page.htm"));
}

TEST_F(AppTest, ImportNeedsNoConfigurationAndChangesNoMark) {
    MakeFile("other.db", "u;v\r\n");
    picker.Answer(PathOf("other.db"));
    frame.OnImportDatabase();
    EXPECT_EQ(newItems.GetGrid()->GetRowCount(), 2);
    EXPECT_EQ(newItems.GetGrid()->GetCellText(1, 2), "v");
    EXPECT_EQ(Title(), "Tabulon");
    EXPECT_EQ(Corner(), "Database");
}

TEST_F(AppTest, GridLinesToggleBothGridsAndMarkOnlyAnOpenConfiguration) {
    frame.OnCommand(CommandId::kGridLinesHorizontal);
    EXPECT_FALSE(window.horizontalChecked);
    EXPECT_EQ(Db().GetGridLines(), 2);
    EXPECT_EQ(newItems.GetGrid()->GetGridLines(), 2);
    EXPECT_EQ(Title(), "Tabulon");
    frame.OnCommand(CommandId::kGridLinesVertical);
    EXPECT_EQ(Db().GetGridLines(), 0);
    EXPECT_FALSE(window.verticalChecked);

    OpenConfiguration();  // its file turns both on again
    EXPECT_EQ(Db().GetGridLines(), 3);
    frame.OnCommand(CommandId::kGridLinesVertical);
    EXPECT_EQ(Title(), OpenTitle() + "*");
    EXPECT_EQ(newItems.GetGrid()->GetGridLines(), 1);
    frame.OnCommand(CommandId::kGridLinesVertical);
    EXPECT_EQ(Title(), OpenTitle() + "*");  // the mark never doubles
    EXPECT_EQ(newItems.GetGrid()->GetGridLines(), 3);
}

TEST_F(AppTest, EveryToolbarButtonDoesWhatItsMenuTwinDoes) {
    ASSERT_EQ(Toolbar().size(), 15u);
    int buttons = 0;
    for (const ToolbarSlot& slot : Toolbar()) {
        if (slot.id == CommandId{}) continue;
        ++buttons;
        EXPECT_EQ(MenuCommandOf(slot.id), slot.command);
        bool inMenu = false;
        for (const MenuEntry& e : MainMenu())
            inMenu = inMenu || (e.kind == MenuEntryKind::Item && e.id == slot.command);
        EXPECT_TRUE(inMenu) << static_cast<int>(slot.id);
    }
    EXPECT_EQ(buttons, 11);
    EXPECT_EQ(PromptOf(CommandId::kToolSaveDatabase), PromptOf(CommandId::kSaveDatabase));
    EXPECT_EQ(PromptOf(CommandId::kToolNewConfiguration), "");
    EXPECT_EQ(PromptOf(CommandId::kToolMoveItems), "Move selected \"New items\" to \"Database\"");

    // Save database from the toolbar, with no configuration open: there is
    // no file to look for, so none is said to be missing.
    frame.OnCommand(CommandId::kToolSaveDatabase);
    EXPECT_EQ(Texts(), std::vector<std::string>{"No configuration opened!\n\nCreate a new or open a saved "
                                                "configuration first."});
    EXPECT_TRUE(frame.OnCommand(CommandId::kAboutPrompt));
    EXPECT_FALSE(frame.OnCommand(static_cast<CommandId>(12345)));
}

}  // namespace
}  // namespace tabulon::testing
