#include <functional>

#include "ConfigTestSupport.h"

namespace tabulon::testing {
namespace {

TEST_F(ConfigTest, ResetGivesANewConfigurationAndKeepsTheGridLines) {
    CListConfig& c = s.frame.Config();
    c.cfgfile = "/somewhere/x.cfg";
    c.port = 2121;
    c.addindex = 0;
    s.window.title = "Tabulon - /somewhere/x.cfg*";
    s.window.horizontalChecked = false;
    s.grid.SetCellText(0, 0, "Database*");

    ResetConfig(s.frame);
    EXPECT_EQ(c, CListConfig{});
    EXPECT_EQ(s.window.title, "Tabulon");
    EXPECT_EQ(s.grid.GetCellText(0, 0), "Database");
    EXPECT_FALSE(s.window.horizontalChecked);

    s.frame.SetDatabaseGrid(nullptr);
    c.database = "again";
    ResetConfig(s.frame);
    EXPECT_EQ(c.database, "");
}

TEST_F(ConfigTest, ValidateReportsTheFirstFailureInOrder) {
    CListConfig& c = s.frame.Config();
    // Relative names live beside the .cfg file, not in the working folder.
    c.cfgfile = MakeFile("list.cfg", "");
    struct Step {
        std::function<void()> change;
        std::string text;
        const char* caption;
    };
    // A missing file is named on the line after the message.
    const Step steps[] = {
        {[] {}, "File database not found", "Database"},
        {[&] { c.database = "items.db"; }, "File database not found\n" + PathOf("items.db"), "Database"},
        {[&] {
             MakeFile("items.db", "");
             c.output = "a.htm";
         },
         "No outputfile specified", "Output"},
        {[&] { c.output = "ab.htm"; }, "Headfile not found", "Headfile"},
        {[&] { c.headfile = PathOf("head.htm"); }, "Headfile not found\n" + PathOf("head.htm"), "Headfile"},
        {[&] { c.headfile = MakeFile("head.htm", ""); }, "Endfile not found", "Endfile"},
        {[&] {
             MakeFile("end.htm", "");
             c.endfile = "end.htm";
         },
         "Invalid head color", "Head color"},
        {[&] {
             c.headcol = "FF8000";
             c.indexcol = "FF80001";
         },
         "Invalid index color", "Index color"},
        {[&] { c.indexcol = "ZZZZZZ"; }, "Invalid first row color", "First row color"},
        {[&] {
             c.firstcol = "ffffff";
             c.secondcol = "12345";
         },
         "Invalid second row color", "Second row color"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.text);
        step.change();
        s.messages.shown.clear();
        EXPECT_FALSE(ValidateConfig(s.frame));
        ASSERT_EQ(s.messages.shown.size(), 1u);
        EXPECT_EQ(s.messages.shown[0].text, step.text);
        EXPECT_EQ(s.messages.shown[0].caption, step.caption);
        EXPECT_EQ(s.messages.shown[0].icon, MbIcon::Information);
        EXPECT_EQ(s.messages.shown[0].buttons, MbButtons::Ok);
    }
    c.secondcol = "123456";
    s.messages.shown.clear();
    EXPECT_TRUE(ValidateConfig(s.frame));
    EXPECT_TRUE(s.messages.shown.empty());
    EXPECT_EQ(c.database, "items.db");  // stored as typed, not resolved
    EXPECT_EQ(c.endfile, "end.htm");
}

TEST_F(ConfigTest, OneFileInTwoRolesIsRefusedNamingBoth) {
    CListConfig& c = s.frame.Config();
    c.cfgfile = MakeFile("list.cfg", "");
    c.headcol = c.indexcol = c.firstcol = c.secondcol = "123456";
    MakeFile("items.db", "");
    MakeFile("head.htm", "");
    MakeFile("end.htm", "");
    fs::create_directory(PathOf("sub"));
    fs::create_symlink(PathOf("head.htm"), PathOf("link.htm"));
    fs::create_hard_link(PathOf("end.htm"), PathOf("second.htm"));
    struct Case {
        std::string database, output, head, end;
        std::string first, second;  // the roles named, in order
        const char* caption;
    };
    const std::string overwrite = "Make list would overwrite it with the page.";
    const std::string ownFile =
        "Each file of a configuration must be a file of its own: saving one would "
        "overwrite the other.";
    const Case cases[] = {
        {"items.db", "sub/../items.db", "head.htm", "end.htm", "output", "database", "Output"},
        {"items.db", "link.htm", "head.htm", "end.htm", "output", "head", "Output"},
        {"items.db", "second.htm", "head.htm", "end.htm", "output", "end", "Output"},
        {"items.db", PathOf("list.cfg"), "head.htm", "end.htm", "output", "configuration", "Output"},
        {"list.cfg", "page.htm", "head.htm", "end.htm", "database", "configuration", "Configuration"},
        {"items.db", "page.htm", "items.db", "end.htm", "database", "head", "Configuration"},
        {"items.db", "page.htm", "items.db.bak", "end.htm", "database backup", "head", "Configuration"},
    };
    MakeFile("items.db.bak", "");
    for (const Case& t : cases) {
        SCOPED_TRACE(t.first + " and " + t.second);
        c.database = t.database;
        c.output = t.output;
        c.headfile = t.head;
        c.endfile = t.end;
        s.messages.shown.clear();
        EXPECT_FALSE(ValidateConfig(s.frame));
        ASSERT_EQ(s.messages.shown.size(), 1u);
        const std::string& text = s.messages.shown[0].text;
        EXPECT_EQ(text.rfind("The " + t.first + " file\n", 0), 0u) << text;
        EXPECT_NE(text.find("\nis the " + t.second + " file\n"), std::string::npos) << text;
        EXPECT_NE(text.find(t.first == "output" ? overwrite : ownFile), std::string::npos) << text;
        EXPECT_EQ(s.messages.shown[0].caption, t.caption);
    }
    // The head and end may be one file: both are only read.
    c.database = "items.db";
    c.output = "sub/page.htm";  // not there yet: a file of its own
    c.headfile = c.endfile = "head.htm";
    EXPECT_TRUE(ValidateConfig(s.frame));
}

TEST_F(ConfigTest, AFileThatIsThereButNoFileIsCalledWhatItIs) {
    CListConfig& c = s.frame.Config();
    c.cfgfile = MakeFile("list.cfg", "");
    c.database = "folder.db";
    fs::create_directory(PathOf("folder.db"));
    EXPECT_FALSE(ValidateConfig(s.frame));
    c.database = MakeFile("items.db", "");
    c.output = "page.htm";
    c.headfile = "/dev/null";
    EXPECT_FALSE(ValidateConfig(s.frame));
    ASSERT_EQ(s.messages.shown.size(), 2u);
    EXPECT_EQ(s.messages.shown[0].text, "The database file\n" + PathOf("folder.db") + "\nis a folder.");
    EXPECT_EQ(s.messages.shown[1].text, "The head file\n/dev/null\nis not a regular file.");
    EXPECT_EQ(s.messages.shown[1].caption, "Headfile");
}

TEST_F(ConfigTest, RelativePathsAreTakenFromTheConfigurationsFolder) {
    CListConfig c;
    EXPECT_EQ(ResolveConfigPath(c, "items.db"), "items.db");  // no .cfg yet
    c.cfgfile = "/data/lists/music.cfg";
    EXPECT_EQ(ResolveConfigPath(c, "sub/items.db"), "/data/lists/sub/items.db");
    EXPECT_EQ(ResolveConfigPath(c, "/abs/head.htm"), "/abs/head.htm");
    EXPECT_EQ(ResolveConfigPath(c, ""), "");
    c.cfgfile = "music.cfg";
    EXPECT_EQ(ResolveConfigPath(c, "items.db"), "items.db");
}

TEST_F(ConfigTest, ColourTextIsSixUpperCaseHexDigits) {
    EXPECT_EQ(ColorToText(255, 128, 0), "FF8000");
    EXPECT_EQ(ColorToText(0, 0, 0), "000000");
    EXPECT_EQ(ColorToText(0x0A, 0xB1, 0x5C), "0AB15C");
    // Only the low byte of a component counts.
    EXPECT_EQ(ColorToText(0x1FF, 0x100, 0xFFFFFFFF), "FF00FF");
}

}  // namespace
}  // namespace tabulon::testing
