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
#include "RealServers.h"
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

    // The program on cfg, its HOME (~/.ssh) the scratch folder, the signals at their defaults.
    pid_t Start(const std::string& cfg) {
        const pid_t pid = fork();
        if (pid != 0) return pid;
        setenv("HOME", scratch.folder.c_str(), 1);
        for (const int ending : {SIGTERM, SIGINT, SIGHUP}) ::signal(ending, SIG_DFL);
        execl(TABULON_BINARY, TABULON_BINARY, "--make-list", cfg.c_str(), nullptr);
        _exit(127);
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

TEST_F(FtpPublish, APartLeftByAnEarlierRunIsRemovedFirstAndSaidSo) {
    const std::string said = "Removed list.htm.tabulon-part from 127.0.0.1, left there by an earlier upload";
    scratch.MakeFile("site/list.htm.tabulon-part", "half a page of an earlier run");
    const auto [status, error] = Batch(Config("user", server.Port()));
    EXPECT_EQ(error.rfind("Ftp upload: " + said, 0), 0u) << error;
    scratch.MakeFile("site/list.htm.tabulon-part", "and one more");
    fakes::ScriptedMessageBox messages;
    CSilentProgressHost progress;
    Session window(messages, progress, PublishMode::Window);
    EXPECT_EQ(RunBatchMakeList(window.frame, Config("user", server.Port())), BatchStatus::kPageWritten);
    EXPECT_EQ(window.publisher.UploadNote().rfind(said, 0), 0u) << window.publisher.UploadNote();
    EXPECT_TRUE(messages.shown.empty());
}

// sshd on 127.0.0.1, its host key known; a page of 23 MB for it (sftp.cfg) and for FTP (ftp.cfg).
class SftpPublish : public FtpPublish {
protected:
    void SetUp() override {
        FtpPublish::SetUp();
        fakes::RealServer::Sshd(sshd, scratch);
        if (!sshd.Missing().empty()) GTEST_SKIP() << sshd.Missing();
        scratch.MakeFile(".ssh/known_hosts", "[127.0.0.1]:" + std::to_string(sshd.Port()) + " " +
                                                 ScratchFolder::Contents(scratch.PathOf("host_ed25519.pub")));
        std::string items;
        for (int i = 0; i < 30000; ++i) items += "Artist " + std::to_string(i) + ";" + std::string(700, 't') + ";1\r\n";
        scratch.MakeFile("database.db", items);
        scratch.MakeFile("ftp.cfg", ScratchFolder::Contents(Config("user", server.Port())));
        std::string cfg = ScratchFolder::Contents(Config("", sshd.Port()));
        cfg.replace(cfg.find("password = secret"), 17, "password = ");
        cfg.replace(cfg.find("filename = list.htm"), 19, "filename = " + (root / "list.htm").string());
        scratch.MakeFile("sftp.cfg", cfg.replace(cfg.find("[other]"), 0, "protocol = sftp\r\n"));
    }
    fs::path part = root / "list.htm.tabulon-part";
    fakes::RealServer sshd;
};

TEST_F(SftpPublish, ASignalMidUploadRemovesThePartAndEndsTheProgramAsTheSignalWould) {
    // Frozen: the server stops answering as the signal comes, and the part cannot go.
    const std::tuple<int, const char*, bool> cases[] = {{SIGTERM, "sftp.cfg", false},
                                                        {SIGINT, "sftp.cfg", false},
                                                        {SIGHUP, "sftp.cfg", false},
                                                        {SIGINT, "ftp.cfg", false},
                                                        {SIGTERM, "ftp.cfg", true}};
    for (const auto& [signal, cfg, frozen] : cases) {
        const pid_t program = Start(scratch.PathOf(cfg));
        std::uintmax_t sent = 0;
        for (int wait = 0; wait < 60000 && (!fs::exists(part) || (sent = fs::file_size(part)) == 0); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (frozen) kill(server.Pid(), SIGSTOP);
        kill(program, signal);
        const auto killed = std::chrono::steady_clock::now();
        int status = 0;
        ASSERT_EQ(waitpid(program, &status, 0), program);
        EXPECT_LT(std::chrono::steady_clock::now() - killed, std::chrono::seconds(10)) << cfg << signal;
        if (frozen) kill(server.Pid(), SIGCONT);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << cfg << signal << " " << status;
        EXPECT_TRUE(sent > 0 && sent < fs::file_size(scratch.PathOf("list.htm"))) << "mid-upload: " << sent;
        EXPECT_EQ(fs::exists(part), frozen) << cfg << signal;
    }
}

}  // namespace
}  // namespace tabulon
