// The tabulon program in batch mode, run as a user would from a shell.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

struct BatchMode : ::testing::Test {
    tabulon::fakes::ScratchFolder scratch{"tabulon-batch"};
    const fs::path& dir = scratch.folder;
    std::string program = TABULON_BINARY;

    // Runs the program with args (shell words), in folder when one is given,
    // after a command that sets its environment when one is given.
    ProgramRun Tabulon(const std::string& args, const fs::path& folder = {}, const std::string& env = "") {
        const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
        std::string command = folder.empty() ? "" : "cd '" + folder.string() + "' && ";
        command += env;
        command += "'" + program + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int raw = std::system(command.c_str());
        ProgramRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadAll(out);
        run.err = ReadAll(err);
        fs::remove(out);
        fs::remove(err);
        return run;
    }

    // A configuration with every file beside it, named relatively.
    void WriteList(const std::string& database, const std::string& extra = "") {
        WriteAll(dir / "items.db", database);
        WriteAll(dir / "head.htm", "<html><body>\n");  // no CR: copied as it is
        WriteAll(dir / "end.htm", "</body></html>");
        WriteAll(dir / "list.cfg",
                 "[files]\r\ndatabase = items.db\r\noutput   = page.htm\r\nheadfile = head.htm\r\n"
                 "endfile  = end.htm\r\n\r\n[colors]\r\nheadcol  = AAAAAA\r\nindexcol = BBBBBB\r\n"
                 "firstcol = 111111\r\nsecondcol= 222222\r\n\r\n[other]\r\naddindex = 3\r\n" +
                     extra + "columns  = Name;Size");
    }

    // Batch mode on the configuration WriteList made.
    ProgramRun MakeList(const std::string& more = "") {
        return Tabulon("--make-list '" + (dir / "list.cfg").string() + "'" + more);
    }
    // Replaces the first `from` in that configuration by `to`.
    void EditConfig(const std::string& from, const std::string& to) {
        std::string cfg = ReadAll(dir / "list.cfg");
        cfg.replace(cfg.find(from), from.size(), to);
        WriteAll(dir / "list.cfg", cfg);
    }
    // The page is uploaded, to a port where no server listens.
    void UploadToNowhere() {
        EditConfig("[other]\r\n",
                   "[ftp]\r\nserver   = 127.0.0.1\r\nloginname= me\r\nfilename = list.htm\r\n"
                   "port     = 1\r\n[other]\r\nftpupload= 1\r\n");
    }

    // The program is a copy with copies of its parts, laid out as installed;
    // the folder of the parts.
    fs::path CopyWithParts() {
        const fs::path bin = dir / "bin", parts = bin / TABULON_MODULE_DIR;
        fs::create_directories(parts);
        program = (bin / "tabulon").string();
        fs::copy_file(TABULON_BINARY, program);
        for (const char* part : {"window.so", "upload.so"})
            fs::copy_file(fs::path(TABULON_BINARY).parent_path() / TABULON_MODULE_DIR / part, parts / part);
        return fs::canonical(parts);
    }
    // Replaces a part, as a package upgrade does, by one of another build:
    // the same as `from` but for its identity.
    static void FromAnotherBuild(const fs::path& part, const fs::path& from = {}) {
        std::string bytes = ReadAll(from.empty() ? part : from);
        const std::size_t at = bytes.find(std::string("\x08\0\0\0\x10\0\0\0\x01\0\0\0Tabulon\0", 20));
        ASSERT_NE(at, std::string::npos) << part << " carries no identity";
        bytes[at + 20] ^= 0x5a;
        WriteAll(part.string() + ".new", bytes);
        fs::rename(part.string() + ".new", part);
    }
};

const char* const kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ";

const char* const kCommentLines =
    "<!-- Created with Tabulon by Korvanex -->\r\n"
    "<!--        https://www.korvanex.com/         -->\r\n\r\n";

}  // namespace

TEST_F(BatchMode, WritesThePageWorkedOutByHandAndSavesNothingElse) {
    const std::string database = "apple;1\r\nAvocado;2\r\nbanana;3\r\n7up;4\r\n";
    WriteList(database);
    const std::string cfgBefore = ReadAll(dir / "list.cfg");
    const auto cfgTime = fs::last_write_time(dir / "list.cfg");

    const ProgramRun run = MakeList();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const std::string expected = std::string(kCommentLines) + "<html><body>\n" +
                                 "<TABLE>\r\n"
                                 "<TR BGCOLOR=AAAAAA>\r\n<TD ID=x>Name</TD>\r\n<TD ID=x>Size</TD>\r\n</TR>\r\n\r\n"
                                 "<TR bgcolor=BBBBBB><TD ID=y colspan=2>0-9<A NAME=0-9></A></TD></TR>\r\n"
                                 "<TR bgcolor=111111><TD>\r\n7up</TD><TD>\r\n4</TD></TR>\r\n\r\n"
                                 "<TR bgcolor=BBBBBB><TD ID=y colspan=2>A<A NAME=A></A></TD></TR>\r\n"
                                 "<TR bgcolor=111111><TD>\r\napple</TD><TD>\r\n1</TD></TR>\r\n\r\n"
                                 "<TR bgcolor=222222><TD>\r\nAvocado</TD><TD>\r\n2</TD></TR>\r\n\r\n"
                                 "<TR bgcolor=BBBBBB><TD ID=y colspan=2>B<A NAME=B></A></TD></TR>\r\n"
                                 "<TR bgcolor=111111><TD>\r\nbanana</TD><TD>\r\n3</TD></TR>\r\n\r\n"
                                 "</TABLE>\r\n"
                                 "</body></html>";
    EXPECT_EQ(ReadAll(dir / "page.htm"), expected);
    // The sort stays in memory: the database and the configuration are untouched.
    EXPECT_EQ(ReadAll(dir / "items.db"), database);
    EXPECT_EQ(ReadAll(dir / "list.cfg"), cfgBefore);
    EXPECT_EQ(fs::last_write_time(dir / "list.cfg"), cfgTime);
    EXPECT_FALSE(fs::exists(dir / "items.db.bak"));
}

TEST_F(BatchMode, WorksFromAnotherFolderWithARelativeConfigurationPath) {
    WriteList("pear;9\r\n");
    const fs::path elsewhere = dir / "elsewhere";
    fs::create_directories(elsewhere);
    const ProgramRun run = Tabulon("--make-list=../list.cfg", elsewhere);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadAll(dir / "page.htm").find("<TD>\r\npear</TD>"), std::string::npos);
    EXPECT_FALSE(fs::exists(elsewhere / "page.htm"));
}

TEST_F(BatchMode, AFailedCheckExitsWithOneAndSaysWhy) {
    WriteList("a;1\r\n");
    EditConfig("headcol  = AAAAAA", "headcol  = AAAA");
    const ProgramRun run = MakeList();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Head color: Invalid head color\n");
    EXPECT_FALSE(fs::exists(dir / "page.htm"));
}

TEST_F(BatchMode, ItemsLeftOutOfThePageAreToldInOneMessageAndThePageStillCounts) {
    WriteList("Abba;1\r\n(The) Band;2\r\n;3\r\n");
    const ProgramRun run = MakeList();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "Make list: 2 of the 3 items were left out of the page: an item is listed only when its first column "
              "begins with a digit (0-9) or a letter from A to Z.\n  Left out: item 1 (its first column is empty), "
              "\"(The) Band\".\n");
    EXPECT_NE(ReadAll(dir / "page.htm").find("Abba"), std::string::npos);
}

TEST_F(BatchMode, AMissingOrUnreadableFileExitsWithOneAndAsksNothing) {
    WriteList("a;1\r\n");
    fs::remove(dir / "items.db");
    fs::create_directories(dir / "items.db");  // a folder where the database should be
    ProgramRun run = MakeList(" </dev/null");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Database: The database file " + (dir / "items.db").string() + " is a folder.\n");

    run = Tabulon("--make-list '" + (dir / "missing.cfg").string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Configuration: "), std::string::npos);
}

TEST_F(BatchMode, AnOutputThatCannotBeWrittenExitsWithOne) {
    WriteList("a;1\r\n");
    EditConfig("page.htm", "no/such/folder/page.htm");
    const ProgramRun run = MakeList();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Make list: "), std::string::npos) << run.err;
    // The reason starts a line of its own: it never runs into the name.
    EXPECT_NE(run.err.find("page.htm\n  Reason: "), std::string::npos) << run.err;
}

TEST_F(BatchMode, AnUploadThatCannotBeDoneIsReportedAfterThePageIsWritten) {
    WriteList("a;1\r\n", "ftpupload= 1\r\nviewout  = 1\r\n");
    const ProgramRun run = MakeList();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Ftp upload: "), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(dir / "page.htm"));
}

TEST_F(BatchMode, CommandLineMistakesExitWithTwoNameThemselvesAndPointToHelp) {
    const char* const mistakes[][2] = {
        {"--frobnicate", "unrecognized option '--frobnicate'"},
        {"a.cfg -x", "unrecognized option '-x'"},
        {"--make-list", "option '--make-list' requires an argument"},
        {"--make-list=", "option '--make-list' requires an argument"},
        {"--make-list a.cfg b.cfg", "extra operand 'b.cfg'"},
        {"a.cfg b.cfg c.cfg", "extra operand 'b.cfg'"},
        {"-- --help b.cfg", "extra operand 'b.cfg'"},
        {"--make-list=a.cfg --make-list b.cfg", "option '--make-list' given more than once: one list at a time"},
        {"--version=2", "option '--version' doesn't allow an argument"},
        {"--export-csv a.cfg", "option '--export-csv' requires the CSV file after the configuration"},
        {"--export-csv=a.cfg b.csv c.csv", "extra operand 'c.csv'"},
        {"--make-list a.cfg --export-csv b.cfg c.csv",
         "options '--make-list' and '--export-csv' cannot go together: one at a time"},
    };
    for (const auto& [args, mistake] : mistakes) {
        const ProgramRun run = Tabulon(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err, "tabulon: " + std::string(mistake) + "\nTry 'tabulon --help' for more information.\n");
    }
    ProgramRun run = Tabulon("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--make-list CONFIG.cfg"), std::string::npos);
    EXPECT_EQ(Tabulon("-h").out, run.out);
    run = Tabulon("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("tabulon ", 0), 0u);
    EXPECT_EQ(Tabulon("-v").out, run.out);
    // The window without a display: said plainly, first, an ordinary failure.
    run = Tabulon("", {}, "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tabulon: the window cannot be opened: there is no display", 0), 0u) << run.err;
    // With one that cannot be used, what Qt said of it comes after.
    const ProgramRun unusable = Tabulon("", {}, "env -u WAYLAND_DISPLAY DISPLAY=:65000 QT_QPA_PLATFORM=xcb ");
    EXPECT_EQ(unusable.status, 1);
    EXPECT_EQ(unusable.err.rfind("tabulon: the window cannot be opened: the display :65000 could not be used.\n", 0),
              0u)
        << unusable.err;
    EXPECT_NE(unusable.err.find("\nQt said:\n  "), std::string::npos) << unusable.err;
    // After "--" a name that begins with "-" is the configuration: the window is tried.
    EXPECT_EQ(Tabulon("-- -weird.cfg", {}, "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ").err, run.err);
}

// The items as CSV, read back by a second reader: Python's own.
TEST_F(BatchMode, ExportCsvWritesTheItemsAsASpreadsheetReadsThem) {
    WriteList("Tom \"Tc\", Jr.;12\r\ncaf\xE9;x\r\n line ; two\r\n");
    const std::string cfg = "'" + (dir / "list.cfg").string() + "' ";
    const std::string expected = "Name,Size\r\n\"Tom \"\"Tc\"\", Jr.\",12\r\ncaf\xC3\xA9,x\r\nline,two\r\n";
    for (const std::string option : {"--export-csv ", "--export-csv="}) {
        fs::remove(dir / "out.csv");
        const ProgramRun run = Tabulon(option + cfg + "'" + (dir / "out.csv").string() + "'");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadAll(dir / "out.csv"), expected) << option;
    }
    const std::string python =
        "python3 -c 'import csv,sys; print(list(csv.reader(open(sys.argv[1], newline=\"\", "
        "encoding=\"utf-8\"))))' '" +
        (dir / "out.csv").string() + "' > '" + (dir / "read.txt").string() + "'";
    ASSERT_EQ(std::system(python.c_str()), 0);
    EXPECT_EQ(ReadAll(dir / "read.txt"),
              "[['Name', 'Size'], ['Tom \"Tc\", Jr.', '12'], ['caf\xC3\xA9', 'x'], ['line', 'two']]\n");
    // Never over a file of the configuration; a file that cannot be written fails.
    const std::string database = ReadAll(dir / "items.db");
    EXPECT_EQ(Tabulon("--export-csv " + cfg + "'" + (dir / "items.db").string() + "'").status, 1);
    EXPECT_EQ(ReadAll(dir / "items.db"), database);
    EXPECT_EQ(Tabulon("--export-csv " + cfg + "'" + (dir / "no" / "out.csv").string() + "'").status, 1);
}

// Ended while the page is written (its temporary file caught there), the
// program leaves no temporary file, whichever of the three signals ends it.
TEST_F(BatchMode, EndedWhileWritingThePageLeavesNoTemporaryFile) {
    std::string items;
    for (int i = 0; i < 300000; ++i) items += "Item " + std::to_string(i) + ";" + std::to_string(i) + "\r\n";
    WriteList(items);
    const std::string cfg = (dir / "list.cfg").string();
    const auto temporaryPages = [&] {
        return std::count_if(fs::directory_iterator(dir), fs::directory_iterator(),
                             [](const auto& e) { return e.path().filename().string().rfind(".page.htm", 0) == 0; });
    };
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const pid_t child = ::fork();
        if (child == 0) {
            // As from a terminal: a shell may start background work with
            // these ignored, and the program keeps what it was given.
            for (const int reset : {SIGTERM, SIGINT, SIGHUP}) std::signal(reset, SIG_DFL);
            if (!std::freopen("/dev/null", "w", stderr)) ::_exit(126);
            ::execl(TABULON_BINARY, "tabulon", "--make-list", cfg.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        while (temporaryPages() == 0 && ::waitpid(child, &status, WNOHANG) == 0) ::usleep(200);
        ASSERT_EQ(temporaryPages(), 1) << "the page was written before it could be caught";
        ::kill(child, signal);
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(temporaryPages(), 0);
        EXPECT_FALSE(fs::exists(dir / "page.htm"));
    }
}

// Batch mode loads neither the window part nor the upload part: a copy of the
// program without them still makes the list, and the window and the upload
// say which part is missing.
TEST_F(BatchMode, WithoutItsPartsTheProgramStillMakesTheListAndSaysWhichIsMissing) {
    program = (dir / "tabulon").string();
    fs::copy_file(TABULON_BINARY, program);
    WriteList("pear;9\r\n");
    const ProgramRun batch = MakeList();
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_TRUE(fs::exists(dir / "page.htm"));

    const ProgramRun window = Tabulon((dir / "list.cfg").string());
    EXPECT_EQ(window.status, 1);
    EXPECT_NE(window.err.find("the window cannot be opened: "), std::string::npos) << window.err;
    EXPECT_NE(window.err.find("window.so"), std::string::npos) << window.err;

    EditConfig("[other]\r\n",
               "[ftp]\r\nserver   = 127.0.0.1\r\nloginname= me\r\nfilename = list.htm\r\n"
               "port     = 1\r\n[other]\r\nftpupload= 1\r\n");
    const ProgramRun upload = MakeList();
    EXPECT_EQ(upload.status, 1);
    EXPECT_NE(upload.err.find("upload part could not be loaded: "), std::string::npos) << upload.err;
    EXPECT_NE(upload.err.find("upload.so"), std::string::npos) << upload.err;
}

// A part of another build beside the program (an upgrade half done, a copy
// of the program beside other parts) is refused, named, before anything of
// it runs.
TEST_F(BatchMode, APartOfAnotherBuildIsRefusedAndNamed) {
    const fs::path parts = CopyWithParts();
    FromAnotherBuild(parts / "window.so");
    FromAnotherBuild(parts / "upload.so");
    WriteList("pear;9\r\n");
    const ProgramRun window = Tabulon((dir / "list.cfg").string(), {}, kNoDisplay);
    EXPECT_EQ(window.status, 1);
    EXPECT_EQ(window.err, "tabulon: the window cannot be opened: " + (parts / "window.so").string() +
                              " is from another version of Tabulon\n");
    UploadToNowhere();
    const ProgramRun upload = MakeList();
    EXPECT_EQ(upload.status, 1);
    EXPECT_NE(upload.err.find("Tabulon's upload part could not be loaded: " + (parts / "upload.so").string() +
                              " is from another version of Tabulon\n"),
              std::string::npos)
        << upload.err;
    EXPECT_TRUE(fs::exists(dir / "page.htm"));
}

// The parts are opened as the program starts: one replaced while it runs is
// not the one loaded, nor the one checked. The program is stopped while its
// part is replaced by one that could not upload at all.
TEST_F(BatchMode, APartReplacedWhileTheProgramRunsIsNotTheOneLoaded) {
    const fs::path parts = CopyWithParts(), upload = parts / "upload.so";
    std::string items;
    for (int i = 0; i < 50000; ++i) items += "Item " + std::to_string(i) + ";" + std::to_string(i) + "\r\n";
    WriteList(items);
    UploadToNowhere();
    const fs::path err = dir / "stderr.txt", cfg = dir / "list.cfg";
    const pid_t child = ::fork();
    if (child == 0) {
        if (!std::freopen(err.c_str(), "w", stderr)) ::_exit(126);
        ::execl(program.c_str(), "tabulon", "--make-list", cfg.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto holdsPart = [&] {
        std::error_code ec;
        for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", ec))
            if (fs::read_symlink(fd, ec) == upload) return true;
        return false;
    };
    int status = 0;
    pid_t ended = 0;
    while (!holdsPart() && (ended = ::waitpid(child, &status, WNOHANG)) == 0) {
    }
    ASSERT_EQ(ended, 0) << "the program never held its upload part open";
    ::kill(child, SIGSTOP);
    FromAnotherBuild(upload, parts / "window.so");
    ::kill(child, SIGCONT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string said = ReadAll(err);
    EXPECT_EQ(said.find("could not be loaded"), std::string::npos) << said;
    // The part the program started with tried the server.
    EXPECT_NE(said.find("Ftp connection error: "), std::string::npos) << said;
}

// Under a limit on its address space (prlimit --as) batch Make list makes the
// page or says that memory ran out; a limit that is enough once is enough at
// every higher limit and every time. Each run is a child that alone gets it.
TEST_F(BatchMode, AnAddressSpaceLimitThatIsEnoughIsEnoughAtEveryHigherOneEveryTime) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any such limit leaves";
#else
    const int count = 120000;
    std::string items;
    for (int i = 0; i < count; ++i)
        items += "Artist " + std::to_string(i * 7919 % count) + ";Title " + std::to_string(i) + ";" +
                 std::to_string(1900 + i % 120) + ";" + std::to_string(i % 1000) + " Mb;Genre " +
                 std::to_string(i % 17) + "\r\n";
    WriteList(items);
    const std::string cfg = (dir / "list.cfg").string();
    std::map<int, std::vector<int> > statuses;  // by the limit in MB
    for (int round = 0; round < 3; ++round) {
        for (int mb = 25; mb <= 130; mb += 5) {
            const pid_t child = ::fork();
            if (child == 0) {
                const rlimit limit{static_cast<rlim_t>(mb) << 20, static_cast<rlim_t>(mb) << 20};
                if (::setrlimit(RLIMIT_AS, &limit) != 0 || !std::freopen("/dev/null", "w", stderr)) ::_exit(126);
                ::execl(TABULON_BINARY, "tabulon", "--make-list", cfg.c_str(), static_cast<char*>(nullptr));
                ::_exit(127);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            statuses[mb].push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
        }
    }
    int least = 0;
    for (const auto& [mb, runs] : statuses)
        if (!least && std::count(runs.begin(), runs.end(), 0) > 0) least = mb;
    ASSERT_GT(least, statuses.begin()->first) << "the smallest limit should not be enough";
    for (const auto& [mb, runs] : statuses) {
        for (const int status : runs) {
            EXPECT_TRUE(status == 0 || (mb < least && status == 1))
                << "at " << mb << " MB exit status " << status << "; " << least << " MB was enough";
        }
    }
#endif
}
