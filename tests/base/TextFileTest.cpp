// Reading lines whole, comparisons, and saving without half-written files.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
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

void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

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
    EXPECT_LT(CompareNoCase("Z", "\xC3\xA9"), 0);       // bytes above 0x7F sort after ASCII
    EXPECT_NE(CompareNoCase("\xC3\x89", "\xC3\xA9"), 0);  // no folding outside A-Z
    EXPECT_LT(CompareNoCase("[", "a"), 0);               // '[' is below 'a' once 'A'..'Z' fold
    EXPECT_GT(CompareWithCase("a", "B"), 0);
    EXPECT_LT(CompareWithCase("", "a"), 0);
    EXPECT_EQ(CompareWithCase("same", "same"), 0);
}
