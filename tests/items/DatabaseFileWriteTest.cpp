#include <sys/stat.h>

#include "DatabaseFileTestSupport.h"

namespace tabulon::testing {
namespace {

TEST_F(DatabaseFileTest, WriteStoresCellsAsTheyStandAndReadsBackTrimmed) {
    SetDatabase({"Artist", "Title"}, {{" a", "b c "}, {"", ""}, {"x", ""}});
    Db().SetCellText(0, 0, "Database*");
    MakeFile("items.db", "old\r\nlines\r\n");
    EXPECT_TRUE(WriteDatabaseFile(frame));
    EXPECT_EQ(Contents(PathOf("items.db")), " a;b c \r\n;\r\nx;\r\n");
    EXPECT_EQ(Db().GetCellText(0, 0), "Database*");

    database.ClearDatabase();  // loaded again into an empty 'Database'
    CGridCtrl& copy = Db();
    EXPECT_TRUE(LoadDatabaseFile(frame));
    EXPECT_EQ(Items(copy), (Rows{{"a", "b c"}, {"", ""}, {"x", ""}}));

    // One data column: an empty item is an empty line. No items: an empty file.
    database.ClearDatabase();
    CGridCtrl& single = Db();
    single.InsertColumn("Only", {}, -1);
    single.InsertRow("");
    EXPECT_TRUE(WriteDatabaseFile(frame));
    EXPECT_EQ(Contents(PathOf("items.db")), "\r\n");
    single.DeleteNonFixedRows();
    EXPECT_TRUE(WriteDatabaseFile(frame));
    EXPECT_EQ(Contents(PathOf("items.db")), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DatabaseFileTest, WriteRefusesTextTheFilesCannotHold) {
    SetDatabase({"Title", ""}, {{"a", "b"}, {"c", "d"}});
    MakeFile("items.db", "keep\r\n");
    const std::string tail = ", which the database file cannot store.\n\nNothing was saved.";
    struct Case {
        int row, col;
        std::string text, message;
    };
    const Case cases[] = {
        {2, 1, "c;d", "Item 2, column \"Title\" holds a \";\"" + tail},
        {1, 2, "two\nlines", "Item 1, column 2 holds a line end" + tail},
        {2, 2, "lf\n", "Item 2, column 2 holds a line end" + tail},
        {0, 1, "A;B",
         "The name of column 1, \"A;B\", holds a \";\", which the configuration "
         "file cannot store.\n\nNothing was saved."},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.text);
        const std::string before(Db().GetCellText(t.row, t.col));
        Db().SetCellText(t.row, t.col, t.text);
        messages.shown.clear();
        EXPECT_FALSE(WriteDatabaseFile(frame));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, t.message);
        EXPECT_EQ(messages.shown[0].caption, "Database");
        EXPECT_EQ(messages.shown[0].icon, MbIcon::Exclamation);
        EXPECT_EQ(Contents(PathOf("items.db")), "keep\r\n");
        EXPECT_EQ(Db().GetCellText(t.row, t.col), t.text);
        Db().SetCellText(t.row, t.col, before);
    }
}

TEST_F(DatabaseFileTest, FailedWriteIsShownAndLeavesTheFileAlone) {
    SetDatabase({"A"}, {{"x"}});
    fs::create_directories(PathOf("folder.db/inside"));
    for (const std::string& name : {PathOf("no-such-folder/items.db"), PathOf("folder.db"), std::string()}) {
        SCOPED_TRACE(name);
        frame.Config().database = name;
        messages.shown.clear();
        EXPECT_FALSE(WriteDatabaseFile(frame));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(name), std::string::npos);
        EXPECT_EQ(messages.shown[0].icon, MbIcon::Exclamation);
    }
    EXPECT_TRUE(fs::is_directory(PathOf("folder.db/inside")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(DatabaseFileTest, BackupIsAByteCopyAsPrivateAsTheDatabase) {
    const std::string bytes[] = {"x;y",
                                 std::string(300, 'l') + "\n\n  pad \t\r\nlast\n" + std::string("\xFF\0;", 3) + "\r"};
    for (const std::string& content : bytes) {
        MakeFile("items.db", content);
        MakeFile("items.db.bak", "an older backup\r\n");
        fs::permissions(PathOf("items.db"), fs::perms::owner_read | fs::perms::owner_write);
        fs::permissions(PathOf("items.db.bak"), fs::perms(0644));
        EXPECT_TRUE(BackupDatabaseFile(frame));
        EXPECT_EQ(Contents(PathOf("items.db.bak")), content);
        EXPECT_EQ(fs::status(PathOf("items.db.bak")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DatabaseFileTest, FailedBackupIsShown) {
    EXPECT_FALSE(BackupDatabaseFile(frame));  // no database file
    EXPECT_FALSE(fs::exists(PathOf("items.db.bak")));
    MakeFile("items.db", "x;y\r\n");
    fs::create_directories(PathOf("items.db.bak/inside"));
    EXPECT_FALSE(BackupDatabaseFile(frame));
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const auto& shown : messages.shown) {
        EXPECT_NE(shown.text.find(PathOf("items.db.bak")), std::string::npos);
        EXPECT_EQ(shown.icon, MbIcon::Exclamation);
    }
}

TEST_F(DatabaseFileTest, ImportAppendsCheckedItemsToNewItemsOnly) {
    CGridCtrl& items = *newItems.GetGrid();
    newItems.AddItemFromText("old", ";", 1);
    const std::string longLine(300, 'z');
    picker.Answer(MakeFile("other.txt", "a;b\r\n\r\n c \n" + longLine));
    ImportDatabaseFile(frame);

    ASSERT_EQ(picker.calls.size(), 1u);
    EXPECT_TRUE(picker.calls[0].options.mustExist && picker.calls[0].options.hideReadOnly);
    EXPECT_EQ(picker.calls[0].options.filter,
              "Database files (*.db)|*.db|Text files (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_EQ(Items(items, 0), (Rows{{"X", "old", ""}, {"X", "a", "b"}, {"X", "c", ""}, {"X", longLine, ""}}));
    EXPECT_EQ(Row0(items), (std::vector<std::string>{"Col 1", "Col 2"}));
    EXPECT_EQ(Db().GetRowCount(), 1);
    EXPECT_EQ(frame.Config().database, "items.db");
    EXPECT_EQ(window.title, OpenTitle());

    // Cancelling, or a file that cannot be read, adds nothing.
    fs::create_directory(PathOf("folder.db"));
    picker.Answer(PathOf("folder.db"));
    ImportDatabaseFile(frame);  // and then the picker cancels
    ImportDatabaseFile(frame);
    EXPECT_EQ(items.GetRowCount(), 5);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(PathOf("folder.db")), std::string::npos);
}

}  // namespace
}  // namespace tabulon::testing
