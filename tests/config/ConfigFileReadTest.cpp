#include <climits>

#include "ConfigTestSupport.h"

namespace tabulon::testing {
namespace {

TEST_F(ConfigTest, NumbersAndFlagsFallBackToTheirDefaults) {
    struct Case {
        std::string value;
        int port, width, flag, addindex;
    };
    const Case cases[] = {
        {"0", 0, 500, 0, 0},
        {"-5", 21, 500, 0, 0},
        {"32767", 32767, 32767, 0, 3},
        {"abc", 21, 500, 0, 0},
        {"65535", 65535, 65535, 0, 0},
        {"65536", 21, 65536, 0, 0},
        {"32766", 32766, 32766, 0, 3},
        {"2121x", 2121, 2121, 0, 2},
        {" +80", 80, 80, 0, 0},
        {"10", 10, 10, 1, 1},
        {"4", 4, 4, 0, 4},
        {"9", 9, 9, 0, 0},
        {"99999999999", 21, INT_MAX, 0, 0},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.value);
        Session fresh;
        const std::string& v = t.value;
        ReadConfigFile(fresh.frame,
                       MakeFile("n.cfg", "port     = " + v + "\nwidth    = " + v + "\nviewout  = " + v +
                                             "\nusewidth = " + v + "\nftpupload= " + v + "\naddindex = " + v));
        const CListConfig& c = fresh.frame.Config();
        EXPECT_EQ(c.port, t.port);
        EXPECT_EQ(c.width, t.width);
        EXPECT_EQ(c.viewout, t.flag);
        EXPECT_EQ(c.usewidth, t.flag);
        EXPECT_EQ(c.ftpupload, t.flag);
        EXPECT_EQ(c.addindex, t.addindex);
    }
}

TEST_F(ConfigTest, PageStyleIsReadWithOrWithoutBlanksBeforeTheEqualsSign) {
    const std::pair<const char*, int> cases[] = {
        {"pagestyle = 1", 1}, {"pagestyle=1", 1},    {"pagestyle   =  1", 1}, {"pagestyle = 0", 0},
        {"pagestyle = 2", 0}, {"pagestyles = 1", 0}, {"Pagestyle = 1", 0},    {"[other]", 0},
    };
    for (const auto& [line, expected] : cases) {
        Session fresh;
        ReadConfigFile(fresh.frame, MakeFile("p.cfg", std::string("[other]\r\n") + line + "\r\n"));
        EXPECT_EQ(fresh.frame.Config().pagestyle, expected) << line;
    }
}

TEST_F(ConfigTest, KeysMatchExactlyAndValuesAreKeptAsTheyStand) {
    Read(
        "[colors]\r\n"
        "database = \r\n"            // bare key: too short to count
        "database= /wrong/one\r\n"   // a blank missing
        "Database = /wrong/two\r\n"  // capital letter
        "output   = list.htm  \r\n"  // trailing blanks belong to the name
        "headfile = first.htm\r\n"
        "headfile = second.htm\r\n"  // the later line wins
        "password = a=b ; c\n"
        "server   = host");  // last line without a line end
    CListConfig expected;
    expected.output = "list.htm  ";
    expected.headfile = "second.htm";
    expected.password = "a=b ; c";
    expected.server = "host";
    EXPECT_EQ(s.frame.Config(), expected);
}

TEST_F(ConfigTest, ColumnsLineNamesTheDatabaseColumns) {
    Read("columns  = Artist;;Year\r\n");
    EXPECT_EQ(s.ColumnNames(), (std::vector<std::string>{"Artist", "", "Year"}));
    for (int col = 1; col < s.grid.GetColumnCount(); ++col) {
        EXPECT_EQ(s.grid.GetCellFormat(0, col).ToBits(), 0x24u) << col;
    }
    EXPECT_EQ(s.grid.GetCellText(0, 0), "Database");

    Session bare;
    ReadConfigFile(bare.frame, MakeFile("bare.cfg", "columns  = \r\n"));
    EXPECT_EQ(bare.grid.GetColumnCount(), 1);
}

TEST_F(ConfigTest, LongCrLfLinesAreReadWhole) {
    std::vector<std::string> names;
    std::string line = "columns  = ";
    for (int i = 0; i < 150; ++i) {
        names.push_back("column name " + std::to_string(i));
        line += (i ? ";" : "") + names.back();
    }
    ASSERT_GT(line.size(), 1000u);
    const std::string server(5000, 's');
    Read(line + "\r\nserver   = " + server + "\r\n");
    EXPECT_EQ(s.ColumnNames(), names);
    EXPECT_EQ(s.frame.Config().server, server);
}

TEST_F(ConfigTest, GridLineSwitchesOnlyEverTurnOn) {
    ConfigGridLines lines = Read("h-lines  = 1\r\nh-lines  = 0\r\nv-lines  = 0\r\n");
    EXPECT_TRUE(lines.horizontal);
    EXPECT_FALSE(lines.vertical);
    lines = Read("[grid]\r\nv-lines  = 1\r\n");
    EXPECT_FALSE(lines.horizontal);
    EXPECT_TRUE(lines.vertical);
}

TEST_F(ConfigTest, MissingFileOrGridIsNoError) {
    for (const std::string& path : {PathOf("absent.cfg"), folder.string()}) {
        const ConfigGridLines lines = ReadConfigFile(s.frame, path);
        EXPECT_FALSE(lines.horizontal || lines.vertical);
    }
    EXPECT_EQ(s.frame.Config(), CListConfig{});
    EXPECT_FALSE(fs::exists(PathOf("absent.cfg")));

    s.frame.SetDatabaseGrid(nullptr);
    Read("columns  = a;b\r\ndatabase = d.db\r\n");
    EXPECT_EQ(s.frame.Config().database, "d.db");
    EXPECT_EQ(s.grid.GetColumnCount(), 1);
    EXPECT_TRUE(s.messages.shown.empty());
}

}  // namespace
}  // namespace tabulon::testing
