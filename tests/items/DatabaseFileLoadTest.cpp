#include "DatabaseFileTestSupport.h"

namespace tabulon::testing {
namespace {

// The question names the file it did not find.
std::string Browse(const std::string& path) { return "File database not found.\n" + path + "\n\nBrowse for database?"; }

TEST_F(DatabaseFileTest, LoadTrimsSkipsEmptyLinesAndKeepsLongLinesWhole) {
    const std::string longLine(300, 'x');
    MakeFile("items.db", "a;b\r\n\r\n c\n \t\r\n a ; b ;\n" + longLine + "\n\xE9t\xE9;\x01");
    EXPECT_TRUE(LoadDatabaseFile(frame));
    EXPECT_EQ(Items(Db()),
              (Rows{{"a", "b", ""}, {"c", "", ""}, {"a", "b", ""}, {longLine, "", ""}, {"\xE9t\xE9", "\x01", ""}}));
    for (int r = 1; r < Db().GetRowCount(); ++r) {
        EXPECT_EQ(Db().GetCellText(r, 0), std::to_string(r));
        EXPECT_TRUE(Db().GetCellState(r, 0) & CellState::kReadOnly) << r;
        EXPECT_EQ(Db().GetCellFormat(r, 0).ToBits(), 0x25u) << r;
        EXPECT_EQ(Db().GetCellFormat(r, 1).ToBits(), 0x8824u) << r;
    }
    EXPECT_EQ(Row0(Db()), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(Db().GetCellFormat(0, 3).ToBits(), 0x24u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DatabaseFileTest, LoadAppendsAfterTheRowsHeldAndLeavesTheCornerMark) {
    SetDatabase({"Artist", "Title"}, {{"old", "row"}});
    Db().SetCellText(0, 0, "Database*");
    MakeFile("items.db", "p;q;r;s\nshort\n");
    EXPECT_TRUE(LoadDatabaseFile(frame));
    EXPECT_EQ(Row0(Db()), (std::vector<std::string>{"Artist", "Title", "", ""}));
    EXPECT_EQ(Items(Db(), 0),
              (Rows{{"1", "old", "row", "", ""}, {"2", "p", "q", "r", "s"}, {"3", "short", "", "", ""}}));
    EXPECT_EQ(Db().GetCellText(0, 0), "Database*");
}

TEST_F(DatabaseFileTest, UnreadableDatabaseIsShownNotLoadedAsEmpty) {
    fs::create_directory(PathOf("items.db"));
    EXPECT_FALSE(LoadDatabaseFile(frame));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(PathOf("items.db")), std::string::npos);
    EXPECT_EQ(messages.shown[0].caption, "Database");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Exclamation);
    EXPECT_TRUE(picker.calls.empty());
    EXPECT_EQ(window.title, OpenTitle());
}

TEST_F(DatabaseFileTest, MissingDatabaseAsksToBrowse) {
    messages.Answer(MbResult::No);
    EXPECT_TRUE(LoadDatabaseFile(frame));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, Browse(PathOf("items.db")));
    EXPECT_EQ(messages.shown[0].buttons, MbButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Question);
    EXPECT_TRUE(picker.calls.empty());
    EXPECT_EQ(frame.Config().database, "items.db");
    EXPECT_EQ(window.title, OpenTitle());

    // Yes, then a name still to be made: it is created, loaded and kept.
    picker.Answer(PathOf("new.db"));
    EXPECT_TRUE(LoadDatabaseFile(frame));
    ASSERT_EQ(picker.calls.size(), 1u);
    const FilePickerOptions& o = picker.calls[0].options;
    EXPECT_EQ(o.defaultExtension + "|" + o.initialName + "|" + o.filter,
              "db|database.db|Database files (*.db)|*.db|Text files (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_FALSE(o.mustExist || o.hideReadOnly || picker.calls[0].save);
    EXPECT_TRUE(FileExists(PathOf("new.db")));
    EXPECT_EQ(frame.Config().database, PathOf("new.db"));
    EXPECT_EQ(window.title, OpenTitle() + "*");

    // An existing file that was picked is loaded untouched.
    frame.Config().database = "gone.db";
    MakeFile("there.db", "p;q\n");
    picker.Answer(PathOf("there.db"));
    EXPECT_TRUE(LoadDatabaseFile(frame));
    EXPECT_EQ(Items(Db()), (Rows{{"p", "q"}}));
    EXPECT_EQ(Contents(PathOf("there.db")), "p;q\n");
}

TEST_F(DatabaseFileTest, CancelledBrowseClosesTheConfiguration) {
    for (bool havePicker : {true, false}) {
        SCOPED_TRACE(havePicker);
        window.title = OpenTitle();
        frame.Config().database = "items.db";
        Db().SetCellText(0, 0, "Database*");
        // A host with no picker to show gives one that cancels, as the
        // scripted picker does once its script is used up.
        if (!havePicker) picker.script.clear();
        EXPECT_FALSE(LoadDatabaseFile(frame));  // the picker's script is empty: Cancel
        EXPECT_EQ(window.title, "Tabulon");
        EXPECT_EQ(frame.Config(), CListConfig{});
        EXPECT_EQ(Db().GetCellText(0, 0), "Database");
    }
}

TEST_F(DatabaseFileTest, PickedNameThatCannotBeCreatedIsShownAndAskedAgain) {
    const std::string unreachable = PathOf("no-such-folder/x.db");
    picker.Answer(unreachable);
    messages.Answer(MbResult::Yes);
    messages.Answer(MbResult::Ok);
    messages.Answer(MbResult::No);
    EXPECT_TRUE(LoadDatabaseFile(frame));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_NE(messages.shown[1].text.find(unreachable), std::string::npos);
    EXPECT_EQ(messages.shown[1].icon, MbIcon::Exclamation);
    EXPECT_EQ(messages.shown[2].text, Browse(PathOf("items.db")));
    EXPECT_EQ(frame.Config().database, "items.db");
    EXPECT_EQ(window.title, OpenTitle());
}

TEST_F(DatabaseFileTest, AddDatabaseLineNeverOverwritesAnItem) {
    SetDatabase({"A"}, {{"first"}, {"second"}});
    AddDatabaseLine(Db(), "between", 2);
    AddDatabaseLine(Db(), "last", 99);
    EXPECT_EQ(Items(Db()), (Rows{{"first"}, {"between"}, {"second"}, {"last"}}));
    EXPECT_EQ(Db().GetCellText(2, 0), "2");
    EXPECT_EQ(Db().GetCellText(4, 0), "4");
}

}  // namespace
}  // namespace tabulon::testing
