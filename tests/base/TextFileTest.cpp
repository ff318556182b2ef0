// Reading lines whole, comparisons, and saving without half-written files.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "base/TextCompare.h"
#include "base/TextFile.h"

using namespace tabulon;
namespace fs = std::filesystem;

namespace {

// A scratch folder for the test, named as the files in it are used here.
struct TempDir : fakes::ScratchFolder {
    TempDir() : ScratchFolder("tabulon-base"), path(folder) {}
    std::string File(const std::string& name) const { return PathOf(name); }
    const fs::path& path;
};

void WriteRaw(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string ReadRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> out;
    EXPECT_TRUE(ReadTextLines(path, [&](std::string_view l) { out.emplace_back(l); }));
    return out;
}

}  // namespace

TEST(TextFile, LinesAreReadWholeWithoutTheirCr) {
    TempDir dir;
    const std::string longLine(3 * 1024 * 1024 + 17, 'x');  // crosses the read blocks
    WriteRaw(dir.File("a.txt"), "one\r\ntwo\n\r\n" + longLine + "\r\nlast;no end");
    const auto lines = Lines(dir.File("a.txt"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1], "two");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], longLine);
    EXPECT_EQ(lines[4], "last;no end");

    WriteRaw(dir.File("empty.txt"), "");
    EXPECT_TRUE(Lines(dir.File("empty.txt")).empty());
    WriteRaw(dir.File("cr.txt"), "a\rb\r\r\n");  // a CR inside a line stays; one before LF goes
    EXPECT_EQ(Lines(dir.File("cr.txt")), (std::vector<std::string>{"a\rb\r"}));

    EXPECT_FALSE(ReadTextLines(dir.File("missing.txt"), [](std::string_view) {}));
    EXPECT_FALSE(ReadTextLines(dir.path.string(), [](std::string_view) {}));
    EXPECT_FALSE(FileExists(dir.path.string()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(dir.File("a.txt")));
}

TEST(TextFile, SafeWriterReplacesOnlyOnCommitAndKeepsPermissions) {
    TempDir dir;
    const std::string target = dir.File("list.htm");
    WriteRaw(target, "old");
    ::chmod(target.c_str(), 0640);

    CSafeFileWriter writer;
    ASSERT_TRUE(writer.Open(target));
    writer.Write("new\r\n");
    EXPECT_EQ(ReadRaw(target), "old");  // nothing visible until the commit
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadRaw(target), "new\r\n");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    {
        CSafeFileWriter abandoned;
        ASSERT_TRUE(abandoned.Open(target));
        abandoned.Write("half");
    }  // dropped without a commit
    EXPECT_EQ(ReadRaw(target), "new\r\n");

    CSafeFileWriter secret;
    ASSERT_TRUE(secret.Open(dir.File("x.cfg"), true));
    secret.Write("password = p");
    ASSERT_TRUE(secret.Commit());
    EXPECT_EQ(fs::status(dir.File("x.cfg")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // No temporary files are left behind.
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path)) ++entries;
    EXPECT_EQ(entries, 2);
}

TEST(TextFile, SafeWriterReportsFailures) {
    TempDir dir;
    CSafeFileWriter writer;
    EXPECT_FALSE(writer.Open(dir.File("no/such/folder/file.db")));
    EXPECT_FALSE(writer.Error().empty());
    EXPECT_FALSE(writer.Commit());

    // A target that cannot be replaced (here a folder in the way) fails the
    // commit, says why, and leaves no temporary file.
    const std::string blocked = dir.File("blocked");
    fs::create_directories(fs::path(blocked) / "inside");
    CSafeFileWriter writer2;
    ASSERT_TRUE(writer2.Open(blocked));
    writer2.Write("data");
    EXPECT_FALSE(writer2.Commit());
    EXPECT_NE(writer2.Error().find("blocked"), std::string::npos);
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(TextCompare, CaseFoldsAsciiOnlyAndComparesBytesUnsigned) {
    EXPECT_EQ(CompareNoCase("ABBA", "abba"), 0);
    EXPECT_LT(CompareNoCase("abb", "ABBA"), 0);
    EXPECT_LT(CompareNoCase("Z", "\xC3\xA9"), 0);         // bytes above 0x7F sort after ASCII
    EXPECT_NE(CompareNoCase("\xC3\x89", "\xC3\xA9"), 0);  // no folding outside A-Z
    EXPECT_LT(CompareNoCase("[", "a"), 0);                // '[' is below 'a' once 'A'..'Z' fold
    EXPECT_GT(CompareWithCase("a", "B"), 0);
    EXPECT_LT(CompareWithCase("", "a"), 0);
    EXPECT_EQ(CompareWithCase("same", "same"), 0);
}

namespace {

// Runs check in a child process as the unprivileged user nobody; the result
// is whether check returned true there. Only root can become another user.
bool AsNobody(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && check();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Saves(const std::string& path, const std::string& text, bool ownerOnly = false) {
    CSafeFileWriter writer;
    if (!writer.Open(path, ownerOnly)) return false;
    writer.Write(text);
    return writer.Commit();
}

}  // namespace

TEST(TextFile, SavingKeepsTheFileItsLinksOwnerGroupAndMode) {
    TempDir dir;
    // Through a symbolic link: the file it names is written, the link stays.
    WriteRaw(dir.File("real.db"), "old");
    fs::create_symlink("real.db", dir.File("link.db"));
    ASSERT_TRUE(Saves(dir.File("link.db"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.File("link.db")));
    EXPECT_EQ(ReadRaw(dir.File("real.db")), "new");

    // A file with a second name: both names still show the same text.
    WriteRaw(dir.File("a.db"), "old");
    fs::create_hard_link(dir.File("a.db"), dir.File("b.db"));
    CSafeFileWriter writer;
    ASSERT_TRUE(writer.Open(dir.File("a.db")));
    EXPECT_TRUE(writer.WritesInPlace());
    writer.Write("new and longer");
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadRaw(dir.File("b.db")), "new and longer");
    EXPECT_EQ(fs::hard_link_count(dir.File("a.db")), 2u);
    ASSERT_TRUE(Saves(dir.File("a.db"), "short"));  // cut to its new length
    EXPECT_EQ(ReadRaw(dir.File("b.db")), "short");

    // Group and mode stay; a configuration keeps no reader but its owner.
    WriteRaw(dir.File("group.db"), "old");
    ::chmod(dir.File("group.db").c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(dir.File("group.db").c_str(), 0, 65534), 0);
    }
    ASSERT_TRUE(Saves(dir.File("group.db"), "new"));
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("group.db").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_gid, 65534u);
    }
    WriteRaw(dir.File("x.cfg"), "old");
    ::chmod(dir.File("x.cfg").c_str(), 0644);
    ASSERT_TRUE(Saves(dir.File("x.cfg"), "password = p", true));
    EXPECT_EQ(fs::status(dir.File("x.cfg")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // Nothing of the saves is left behind.
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path)) ++entries;
    EXPECT_EQ(entries, 6);
}

TEST(TextFile, AnotherUsersFileIsRefusedAndAFileInAClosedFolderIsWrittenInPlace) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    TempDir dir;
    // nobody may write its own file, but not the folder it lies in.
    fs::create_directory(dir.path / "closed");
    const std::string own = (dir.path / "closed" / "own.db").string();
    WriteRaw(own, "old");
    ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
    ::chmod(own.c_str(), 0644);
    ::chmod(dir.path.c_str(), 0755);
    // root's file in a folder everybody may write: nobody may not write it.
    fs::create_directory(dir.path / "shared");
    ::chmod((dir.path / "shared").c_str(), 0777);
    const std::string theirs = (dir.path / "shared" / "theirs.db").string();
    WriteRaw(theirs, "theirs");
    ::chmod(theirs.c_str(), 0644);

    EXPECT_TRUE(AsNobody([&] {
        CSafeFileWriter writer;
        if (!writer.Open(own) || !writer.WritesInPlace()) return false;
        writer.Write("new");
        return writer.Commit() && ReadRaw(own) == "new";
    }));
    struct stat st {};
    ASSERT_EQ(::stat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    EXPECT_TRUE(AsNobody([&] { return IsReadOnlyFile(theirs) && !Saves(theirs, "mine"); }));
    ASSERT_EQ(::stat(theirs.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(ReadRaw(theirs), "theirs");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path / "shared"), fs::directory_iterator()), 1);
}

TEST(TextFile, SpecialFilesAreRefusedWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    struct Case {
        std::string path, error;
    };
    const Case cases[] = {{dir.File("pipe"), "is not a regular file"},
                          {"/dev/zero", "is not a regular file"},
                          {dir.path.string(), "is a folder"},
                          {dir.File("missing"), "does not exist"}};
    for (const Case& t : cases) {
        SCOPED_TRACE(t.path);
        std::string reason;
        bool lines = false;
        EXPECT_FALSE(ReadFileLines(
            t.path, [&](std::string_view, std::uint64_t, std::uint64_t) { lines = true; }, reason));
        EXPECT_EQ(reason, t.error);
        EXPECT_FALSE(lines);
        EXPECT_FALSE(ReadTextLines(t.path, [](std::string_view) {}));
    }
    EXPECT_EQ(NotAFileText(dir.File("pipe")), "is not a regular file");
    EXPECT_EQ(NotAFileText(dir.path.string()), "is a folder");
    EXPECT_EQ(NotAFileText(dir.File("missing")), "");
    EXPECT_FALSE(Saves(dir.File("pipe"), "text"));
}

TEST(TextFile, ALinkAnotherUserPlantedInASharedFolderIsNeverWrittenThrough) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    TempDir dir;
    ::chmod(dir.path.c_str(), 0755);
    // nobody's own file, and a folder like /tmp: sticky, everyone may write.
    fs::create_directory(dir.path / "home");
    const std::string precious = (dir.path / "home" / "precious.txt").string();
    WriteRaw(precious, "mine");
    const fs::path shared = dir.path / "shared";
    fs::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    for (const fs::path& p : {dir.path / "home", fs::path(precious)}) ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
    // Planted for nobody by a third user: the page and the database's backup.
    for (const char* name : {"list.htm", "items.db.bak"}) {
        fs::create_symlink(precious, shared / name);
        ASSERT_EQ(::lchown((shared / name).c_str(), 4321, 4321), 0);
    }

    EXPECT_TRUE(AsNobody([&] {
        for (const char* name : {"list.htm", "items.db.bak"}) {
            CSafeFileWriter writer;
            const std::string link = (shared / name).string();
            if (writer.Open(link) || writer.Error().rfind(link + " is a link that another user made", 0) != 0)
                return false;
        }
        // nobody's own link there is followed, as the system follows it.
        fs::create_symlink(precious, shared / "own.htm");
        return Saves((shared / "own.htm").string(), "page");
    }));
    EXPECT_EQ(ReadRaw(precious), "page");
    EXPECT_TRUE(fs::is_symlink(shared / "list.htm"));
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 3);
}
