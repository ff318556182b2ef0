// The XDG shell against fake programs and a fake MIME database in a scratch
// folder: the exact arguments each program is started with.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ScratchFolder.h"
#include "posix/XdgShell.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

TEST(XdgExec, TheFileTakesThePlaceOfTheFirstFieldCode) {
    const std::string file = "/home/u/my list.htm";
    const struct {
        const char* exec;
        Args command;
    } cases[] = {
        {"editor %f", {"editor", file}},
        {"browser -nohome %U --private-window", {"browser", "-nohome", file, "--private-window"}},
        {"\"/opt/my tools/ed\" %F", {"/opt/my tools/ed", file}},
        {"ed %i %c %k --title \"a \\\\\"b\\\\\"\" %u %f", {"ed", "--title", "a \"b\"", file}},
        {"ed --name=%%x", {"ed", "--name=%x", file}},
        {"ed\\s-n %f", {"ed", "-n", file}},
        {"kate -b %f --icon %i", {"kate", "-b", file, "--icon"}},
        {"\"my editor\" --new", {"my editor", "--new", file}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(posix::CommandForFile(c.exec, file), c.command) << c.exec;
}

class XdgShell : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* dir : {"bin", "data/mime", "data/applications", "config", "records"})
            fs::create_directories(scratch.folder / dir);
        for (const char* program : {"xdg-open", "fake-editor", "fake-browser", "x-terminal-emulator"}) {
            const std::string path =
                scratch.MakeFile(std::string("bin/") + program,
                                 std::string("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$RECORDS/") + program +
                                     ".tmp\"\n/bin/mv \"$RECORDS/" + program + ".tmp\" \"$RECORDS/" + program + "\"\n" +
                                     (program == std::string("xdg-open") ? "exit ${XDG_OPEN_EXIT:-0}\n" : ""));
            chmod(path.c_str(), 0755);
        }
        scratch.MakeFile("data/mime/globs2", "# weight:type:glob\n50:text/plain:*.txt\n50:text/html:*.htm\n");
        scratch.MakeFile("data/applications/fake-editor.desktop",
                         "[Desktop Entry]\nName=Editor\nExec=fake-editor --new-window %f --line 1\n"
                         "[Desktop Action other]\nExec=wrong\n");
        scratch.MakeFile("data/applications/fake-browser.desktop",
                         "[Desktop Entry]\nExec=\"fake-browser\" %U --private\n");
        scratch.MakeFile("config/mimeapps.list",
                         "[Default Applications]\ntext/plain=gone.desktop;fake-editor.desktop;\n"
                         "text/html=fake-browser.desktop\n");
        Set("PATH", scratch.PathOf("bin") + ":/usr/bin:/bin");
        Set("XDG_DATA_HOME", scratch.PathOf("data"));
        Set("XDG_DATA_DIRS", scratch.PathOf("none"));
        Set("XDG_CONFIG_HOME", scratch.PathOf("config"));
        Set("XDG_CONFIG_DIRS", scratch.PathOf("none"));
        Set("XDG_CURRENT_DESKTOP", "");
        Set("RECORDS", scratch.PathOf("records"));
        Set("XDG_OPEN_EXIT", "0");
        Set("TERMINAL", "");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    void Set(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    // The arguments program was started with, once it has run (empty if it
    // did not run within a few seconds).
    Args ArgumentsOf(const std::string& program, std::chrono::seconds wait = std::chrono::seconds(10)) {
        const std::string path = scratch.PathOf("records/" + program);
        for (auto end = std::chrono::steady_clock::now() + wait;
             !fs::exists(path) && std::chrono::steady_clock::now() < end;)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Args args;
        std::istringstream lines(fakes::ScratchFolder::Contents(path));
        for (std::string line; std::getline(lines, line);) args.push_back(line);
        return args;
    }

    fakes::ScratchFolder scratch{"xdg-shell"};
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    posix::CXdgShell shell;
};

TEST_F(XdgShell, TheTextEditorGetsANameWithBlanksAsOneArgument) {
    std::string value;
    EXPECT_EQ(shell.ReadRegistryDefault(RegistryRoot::ClassesRoot, ".TXT", value), 0);
    EXPECT_EQ(value, "text/plain");
    EXPECT_EQ(shell.ReadRegistryDefault(RegistryRoot::ClassesRoot, "text/plain\\shell\\open\\command", value), 0);
    EXPECT_EQ(value, "fake-editor --new-window %f --line 1");

    const std::string file = scratch.MakeFile("my notes.txt", "head");
    EXPECT_TRUE(shell.RunAssociatedCommand(".txt", file, 5));
    EXPECT_EQ(ArgumentsOf("fake-editor"), (Args{"--new-window", file, "--line", "1"}));
}

TEST_F(XdgShell, AProgramForATerminalRunsInOneAndAnEntryWhoseTryExecIsMissingPassesToTheNext) {
    scratch.MakeFile("data/applications/absent.desktop", "[Desktop Entry]\nTryExec=not-installed\nExec=absent %f\n");
    scratch.MakeFile("data/applications/vim.desktop", "[Desktop Entry]\nTerminal=true\nExec=vim %F\n");
    scratch.MakeFile("config/mimeapps.list", "[Default Applications]\ntext/plain=absent.desktop;vim.desktop\n");
    const std::string file = scratch.MakeFile("a.txt", "");
    EXPECT_TRUE(shell.RunAssociatedCommand(".txt", file, 5));
    EXPECT_EQ(ArgumentsOf("x-terminal-emulator"), (Args{"-e", "vim", file}));
    // No terminal at all: the next program that needs none.
    fs::remove(scratch.PathOf("bin/x-terminal-emulator"));
    Set("PATH", scratch.PathOf("bin"));  // the scripts need nothing else
    scratch.MakeFile("config/mimeapps.list",
                     "[Default Applications]\ntext/plain=vim.desktop;absent.desktop;fake-editor.desktop\n");
    EXPECT_TRUE(shell.RunAssociatedCommand(".txt", file, 5));
    EXPECT_EQ(ArgumentsOf("fake-editor"), (Args{"--new-window", file, "--line", "1"}));
}

TEST_F(XdgShell, AnExtensionWithoutAProgramRunsNothing) {
    std::string value = "kept";
    EXPECT_EQ(shell.ReadRegistryDefault(RegistryRoot::ClassesRoot, ".zzz", value), OpenResult::kFileNotFound);
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(shell.RunAssociated(".zzz", scratch.MakeFile("a.zzz", ""), 5), OpenResult::kNoAssociation);
    scratch.MakeFile("config/mimeapps.list", "[Default Applications]\ntext/plain=gone.desktop\n");
    EXPECT_FALSE(shell.RunAssociatedCommand(".txt", scratch.MakeFile("a.txt", ""), 5));
}

TEST_F(XdgShell, OpenTargetHandsTheTargetToXdgOpenAndMapsItsFailures) {
    const std::string page = scratch.MakeFile("my list.htm", "<p>");
    EXPECT_EQ(shell.OpenTarget(page, 5), OpenResult::kStarted);
    EXPECT_EQ(ArgumentsOf("xdg-open"), (Args{page}));

    fs::remove(scratch.PathOf("records/xdg-open"));
    EXPECT_EQ(shell.OpenTarget("https://www.example.org/a b", 5), OpenResult::kStarted);
    EXPECT_EQ(ArgumentsOf("xdg-open"), (Args{"https://www.example.org/a b"}));

    Set("XDG_OPEN_EXIT", "2");
    EXPECT_EQ(shell.OpenTarget(page, 5), OpenResult::kFileNotFound);

    // xdg-open found no program: the one registered for web pages.
    Set("XDG_OPEN_EXIT", "3");
    EXPECT_EQ(shell.OpenTarget(page, 5), OpenResult::kStarted);
    EXPECT_EQ(ArgumentsOf("fake-browser"), (Args{page, "--private"}));

    // Neither program installed: the one that could not be started is named.
    EXPECT_EQ(shell.ProgramNotStarted(), "");
    fs::remove(scratch.PathOf("bin/xdg-open"));
    fs::remove(scratch.PathOf("bin/fake-browser"));
    EXPECT_EQ(shell.OpenTarget(page, 5), OpenResult::kFileNotFound);
    EXPECT_EQ(shell.ProgramNotStarted(), "fake-browser");

    // A page that is not there is not handed to any program.
    fs::remove(scratch.PathOf("records/xdg-open"));
    EXPECT_EQ(shell.OpenTarget(scratch.PathOf("gone.htm"), 5), OpenResult::kFileNotFound);
    EXPECT_TRUE(ArgumentsOf("xdg-open", std::chrono::seconds(0)).empty());
}

}  // namespace
}  // namespace tabulon
