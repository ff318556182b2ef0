// Make list from a configuration file with the upload on, against a real FTP
// server on 127.0.0.1: the session that batch mode runs (messages to
// standard error, nobody to answer, no viewer) and the window's publisher.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FtpTestServer.h"
#include "IdleHosts.h"
#include "RecordingProgress.h"
#include "ScratchFolder.h"
#include "ScriptedMessageBox.h"
#include "app/BatchMakeList.h"
#include "app/Session.h"
#include "batch/BatchHost.h"
#include "output/PagePublisher.h"
#include "posix/CurlFtpSession.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using fakes::ScratchFolder;

struct RecordingShell : IShell {
    bool RunAssociatedCommand(const std::string&, const std::string&, int) override { return false; }
    int OpenTarget(const std::string& target, int) override {
        opened.push_back(target);
        return OpenResult::kStarted;
    }
    std::vector<std::string> opened;
};

// The objects a Make list session is built from, around one message box.
struct Session {
    Session(IMessageBox& boxes, IProgressHost& progress, PublishMode mode)
        : publisher(ftp, shell, boxes, progress, mode),
          session(fakes::HostsFor(window, boxes, picker, idle.dialogs, idle.menus, publisher, idle)),
          frame(session.Frame()) {}
    batch::CBatchWindow window;
    batch::CCancellingPicker picker;
    fakes::IdleHosts idle;
    posix::CCurlFtpSession ftp;
    RecordingShell shell;
    CPagePublisher publisher;
    CSession session;
    CMainFrame& frame;
};

class FtpPublish : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root);
        ASSERT_NE(server.Port(), 0) << "the test FTP server did not start";
        std::string items;
        for (int i = 0; i < 50000; ++i)
            items += "Artist " + std::to_string(i) + ";Title of item " + std::to_string(i * 7) + ";1999\r\n";
        scratch.MakeFile("database.db", items);
        scratch.MakeFile("head.htm", "<HTML><BODY>\r\n");
        scratch.MakeFile("end.htm", "</BODY></HTML>\r\n");
    }
    std::string Config(const std::string& user, int port, int viewout = 0) {
        return scratch.MakeFile("list.cfg",
                                "[files]\r\ndatabase = database.db\r\noutput   = list.htm\r\nheadfile = head.htm\r\n"
                                "endfile  = end.htm\r\n[colors]\r\nheadcol  = 2F4F6F\r\nindexcol = C8D8E8\r\n"
                                "firstcol = FFFFFF\r\nsecondcol= EEF3F8\r\n[ftp]\r\nserver   = 127.0.0.1\r\n"
                                "loginname= " +
                                    user + "\r\npassword = " + password +
                                    "\r\nfilename = list.htm\r\n"
                                    "port     = " +
                                    std::to_string(port) + "\r\n[other]\r\nviewout  = " + std::to_string(viewout) +
                                    "\r\naddindex = 3\r\nftpupload= 1\r\n"
                                    "columns  = Artist;Title;Year\r\n");
    }
    // Batch mode as the program runs it: its exit status and standard error.
    std::pair<int, std::string> Batch(const std::string& cfg) {
        std::FILE* err = std::tmpfile();
        batch::CStderrMessageBox messages(err);
        CSilentProgressHost progress;
        Session session(messages, progress, PublishMode::Batch);
        int status = RunBatchMakeList(session.frame, cfg);
        if (status == BatchStatus::kPageWritten && session.publisher.UploadFailed()) status = BatchStatus::kFailed;
        EXPECT_TRUE(session.shell.opened.empty());
        std::rewind(err);
        std::string text;
        for (int c; (c = std::fgetc(err)) != EOF;) text += static_cast<char>(c);
        std::fclose(err);
        return {status, text};
    }

    const std::string password = "secret";
    ScratchFolder scratch{"ftp-publish"};
    fs::path root = scratch.folder / "site";
    fakes::FtpTestServer server{(fs::create_directories(root), root.string())};
};

TEST_F(FtpPublish, BatchModeExitsZeroOnlyWhenThePageArrived) {
    const struct {
        const char* user;
        bool listening;
        int status;
        const char* error;  // the start of standard error; "" for none
    } cases[] = {
        {"user", true, 0, ""},
        {"norename", true, 0, ""},  // straight to its name
        {"user", false, 1, "Ftp connection error: "},
        {"reader", true, 1, "Ftp upload: The list could not be uploaded:\n  550 "},
    };
    for (const auto& c : cases) {
        fs::remove(root / "list.htm");
        const auto [status, error] = Batch(Config(c.user, c.listening ? server.Port() : fakes::UnusedPort()));
        EXPECT_EQ(status, c.status) << c.user << " " << error;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.user << " " << error;
        if (!*c.error) {
            EXPECT_TRUE(error.empty()) << error;
        }
        EXPECT_EQ(error.find(password), std::string::npos) << error;
        EXPECT_EQ(fs::exists(root / "list.htm"), c.status == 0) << c.user;
        if (c.status == 0) {
            const std::string page = ScratchFolder::Contents(scratch.PathOf("list.htm"));
            EXPECT_GT(page.size(), 3000000u);
            EXPECT_TRUE(ScratchFolder::Contents((root / "list.htm").string()) == page) << c.user;
        }
        EXPECT_FALSE(fs::exists(root / "list.htm.tabulon-part")) << c.user;
    }
}

// The program itself, as a user runs it from a shell or a timer.
TEST_F(FtpPublish, TheProgramExitsZeroOnlyWhenThePageArrived) {
    for (const auto& [user, status] : {std::pair{"user", 0}, std::pair{"reader", 1}}) {
        fs::remove(root / "list.htm");
        const std::string command = std::string("'") + TABULON_BINARY + "' --make-list '" +
                                    Config(user, server.Port()) + "' 2>'" + scratch.PathOf("err.txt") + "'";
        const int raw = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << user;
        EXPECT_EQ(WEXITSTATUS(raw), status) << user;
        EXPECT_EQ(fs::exists(root / "list.htm"), status == 0) << user;
        const std::string error = ScratchFolder::Contents(scratch.PathOf("err.txt"));
        EXPECT_EQ(error.empty(), status == 0) << user << " " << error;
        EXPECT_EQ(error.find(password), std::string::npos) << error;
    }
}

TEST_F(FtpPublish, AServersReplyReachesTheTerminalWithoutItsControlsOrThePassword) {
    fakes::SilentAfterLoginServer hostile("530 No entry for secret\x1b]2;owned\x07\x1b[2J\r\n");
    const auto [status, error] = Batch(Config("user", hostile.Port()));
    EXPECT_EQ(status, 1);
    EXPECT_NE(error.find("530 No entry for ****?]2;owned??[2J"), std::string::npos) << error;
    EXPECT_EQ(error.find_first_of("\x1b\x07"), std::string::npos);
}

TEST_F(FtpPublish, AWrongPasswordIsShownOnceAndThePageStillOpens) {
    fakes::ScriptedMessageBox messages;
    fakes::RecordingProgressHost progress;
    Session session(messages, progress, PublishMode::Window);
    const std::string cfg = Config("user", server.Port(), 1);
    scratch.MakeFile("list.cfg", ScratchFolder::Contents(cfg).replace(
                                     ScratchFolder::Contents(cfg).find("password = secret"), 17, "password = wrong"));
    EXPECT_EQ(RunBatchMakeList(session.frame, cfg), BatchStatus::kPageWritten);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Ftp connection error");
    EXPECT_EQ(messages.shown[0].text.rfind("530 ", 0), 0u) << messages.shown[0].text;
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Stop);
    EXPECT_EQ(session.shell.opened, (std::vector<std::string>{scratch.PathOf("list.htm")}));
    EXPECT_EQ(session.publisher.LastUpload(), UploadOutcome::NotConnected);
}

}  // namespace
}  // namespace tabulon
