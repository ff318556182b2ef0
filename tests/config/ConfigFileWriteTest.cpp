#include <sys/resource.h>

#include <csignal>
#include <functional>

#include "ConfigTestSupport.h"

namespace tabulon::testing {
namespace {

void Fill(CListConfig& c) {
    c = {"items.db",
         std::string(300, 'e'),
         "/abs/head.htm",
         "list.htm ",
         "",
         "",
         "FF8000",
         "00FF00",
         "0000ff",
         1,
         1,
         "index.htm",
         "me",
         "se cret= ",
         32766,
         "ftp.example.org",
         4,
         1,
         1,
         "sftp",
         "my certs.pem",
         1,
         1,
         "",
         "",
         0};
}

void ExpectShown(const fakes::ShownMessage& m, const std::string& text) {
    EXPECT_NE(m.text.find(text), std::string::npos) << m.text;
    EXPECT_EQ(m.caption, "Configuration");
    EXPECT_EQ(m.icon, MbIcon::Exclamation);
    EXPECT_EQ(m.buttons, MbButtons::Ok);
}

TEST_F(ConfigTest, WritesEveryKeyWithCrLfForTheOwnerOnly) {
    CListConfig& c = s.frame.Config();
    c.cfgfile = MakeFile("my.cfg", "");
    fs::permissions(c.cfgfile, fs::perms(0644));
    c.database = "items.db";
    c.headcol = "FF8000";
    c.password = "pw";
    c.port = 2121;
    c.usewidth = 1;
    c.width = 640;
    s.window.verticalChecked = false;
    s.AddColumns({"Artist", "", "Year"});
    s.window.title = "Tabulon - " + c.cfgfile + "*";

    ASSERT_TRUE(WriteConfigFile(s.frame, true));
    EXPECT_EQ(Contents(c.cfgfile),
              "[files]\r\ndatabase = items.db\r\noutput   = \r\nheadfile = \r\nendfile  = \r\n"
              "\r\n[colors]\r\nheadcol  = FF8000\r\nindexcol = \r\nfirstcol = \r\nsecondcol= \r\n"
              "\r\n[ftp]\r\nserver   = \r\nloginname= \r\npassword = pw\r\nfilename = \r\n"
              "port     = 2121\r\n"
              "\r\n[grid]\r\nh-lines  = 1\r\nv-lines  = 0\r\n"
              "\r\n[other]\r\nviewout  = 0\r\naddindex = 3\r\nftpupload= 0\r\nusewidth = 1\r\n"
              "width    = 640\r\ncolumns  = Artist;;Year");
    EXPECT_EQ(fs::status(c.cfgfile).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(s.window.title, "Tabulon - " + c.cfgfile);
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(ConfigTest, WhatIsWrittenReadsBackTheSame) {
    CListConfig& c = s.frame.Config();
    Fill(c);
    c.cfgfile = MakeFile("round.cfg", "old");
    s.window.horizontalChecked = false;
    s.AddColumns({"Artist", "", "Title ", "Year"});
    ASSERT_TRUE(WriteConfigFile(s.frame, true));

    Session back;
    back.frame.Config().cfgfile = c.cfgfile;
    const ConfigGridLines lines = ReadConfigFile(back.frame, c.cfgfile);
    EXPECT_EQ(back.frame.Config(), c);
    EXPECT_FALSE(lines.horizontal);
    EXPECT_TRUE(lines.vertical);
    EXPECT_EQ(back.ColumnNames(), s.ColumnNames());

    // Every port the dialog accepts comes back as it was, 0 (the FTP port) too.
    for (const int port : {0, 32767, 65535}) {
        c.port = port;
        ASSERT_TRUE(WriteConfigFile(s.frame, true));
        Session again;
        ReadConfigFile(again.frame, c.cfgfile);
        EXPECT_EQ(again.frame.Config().port, port);
    }

    // The save of the prompt leaves the width out; it reads back as the default.
    ASSERT_TRUE(WriteConfigFile(s.frame, false));
    const std::string text = Contents(c.cfgfile);
    EXPECT_EQ(text.find("width"), std::string::npos);
    EXPECT_TRUE(text.ends_with("ftpupload= 1\r\notherletters = 1\r\npagestyle = 1\r\ncolumns  = Artist;;Title ;Year"))
        << text;
    Session noWidth;
    ReadConfigFile(noWidth.frame, c.cfgfile);
    EXPECT_EQ(noWidth.frame.Config().usewidth, 0);
    EXPECT_EQ(noWidth.frame.Config().width, 500);
}

TEST_F(ConfigTest, SavingToAMissingFileIsRefused) {
    s.frame.Config().cfgfile = PathOf("never-chosen.cfg");
    s.window.title = "Tabulon - x.cfg*";
    EXPECT_FALSE(WriteConfigFile(s.frame, true));
    s.frame.Config().cfgfile = "";
    EXPECT_FALSE(WriteConfigFile(s.frame, false));
    ASSERT_EQ(s.messages.shown.size(), 2u);
    EXPECT_EQ(s.messages.shown[0].text, "File configuration not found!\n" + PathOf("never-chosen.cfg") +
                                            "\n\nSpecify a valid file in configuration");
    EXPECT_EQ(s.messages.shown[1].text, "File configuration not found!\n\nSpecify a valid file in configuration");
    for (const auto& m : s.messages.shown) ExpectShown(m, "");
    EXPECT_EQ(s.window.title, "Tabulon - x.cfg*");
    EXPECT_FALSE(fs::exists(PathOf("never-chosen.cfg")));
}

TEST_F(ConfigTest, WhatWouldReadBackDifferentlyIsRefusedNamingTheField) {
    struct Case {
        std::function<void(CListConfig&)> change;
        std::string column;  // a column name, when not empty
        std::string named;
    };
    const Case cases[] = {
        {[](CListConfig& c) { c.server = "host\ndatabase = /etc/passwd"; }, "", "\"server\""},
        {[](CListConfig& c) { c.output = "list.htm\r"; }, "", "\"output\""},
        {[](CListConfig& c) { c.password = "a\rb"; }, "", "\"password\""},
        {[](CListConfig& c) { c.port = 65536; }, "", "\"port\", 65536,"},
        {[](CListConfig& c) { c.port = -1; }, "", "\"port\", -1,"},
        {[](CListConfig& c) { c.width = 0; }, "", "\"width\", 0,"},
        {[](CListConfig& c) { c.addindex = 7; }, "", "\"addindex\""},
        {[](CListConfig& c) { c.viewout = 2; }, "", "\"viewout\""},
        {[](CListConfig&) {}, "Artist;Title", "column 2, \"Artist;Title\""},
        {[](CListConfig&) {}, "Year\r", "column 2, \"Year\r\""},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.named);
        Session fresh;
        CListConfig& c = fresh.frame.Config();
        Fill(c);
        c.cfgfile = MakeFile("refused.cfg", "old contents");
        fresh.AddColumns({"Name", t.column.empty() ? "Size" : t.column});
        t.change(c);
        fresh.window.title = "Tabulon - " + c.cfgfile + "*";
        EXPECT_FALSE(WriteConfigFile(fresh.frame, true));
        ASSERT_EQ(fresh.messages.shown.size(), 1u);
        ExpectShown(fresh.messages.shown[0], t.named);
        EXPECT_NE(fresh.messages.shown[0].text.find("Nothing was saved."), std::string::npos);
        EXPECT_EQ(Contents(c.cfgfile), "old contents");
        EXPECT_EQ(fresh.window.title, "Tabulon - " + c.cfgfile + "*");
    }
}

// Caps the size of the files this process writes; unlike permissions, this
// binds root too. SIGXFSZ is ignored so that the write fails instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    bool active = false;

private:
    void (*m_handler)(int);
    rlimit m_old{};
};

TEST_F(ConfigTest, FailedSaveKeepsTheOldFileAndTheUnsavedMark) {
    CListConfig& c = s.frame.Config();
    Fill(c);
    c.cfgfile = MakeFile("kept.cfg", "old contents");
    const std::string title = "Tabulon - " + c.cfgfile + "*";
    s.window.title = title;
    bool written = true;
    {
        FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active);
        written = WriteConfigFile(s.frame, true);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(Contents(c.cfgfile), "old contents");
    EXPECT_EQ(s.window.title, title);
    ASSERT_EQ(s.messages.shown.size(), 1u);
    ExpectShown(s.messages.shown[0], c.cfgfile);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace tabulon::testing
