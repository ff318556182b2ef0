// The File menu's recent configurations: the last eight opened, newest
// first, kept in the user's file for the next run; one that is gone is taken
// off with a message when chosen.

#include <gtest/gtest.h>

#include <cstdlib>

#include "AppTestSupport.h"
#include "app/CommandTable.h"

namespace tabulon::testing {
namespace {

TEST_F(AppTest, TheLastEightOpenedAreListedNewestFirstAndKeptForTheNextRun) {
    const std::string file = PathOf("config/tabulon/recent-configurations");
    frame.RecentConfigurations().UseFile(file);
    WriteConfiguration();
    const std::string cfg = Contents(PathOf("list.cfg"));
    std::vector<std::string> opened;
    for (int i = 1; i <= 9; ++i) {
        opened.push_back(MakeFile("list" + std::to_string(i) + ".cfg", cfg));
        ASSERT_TRUE(frame.OpenConfiguration(opened.back()));
    }
    ASSERT_TRUE(frame.OpenConfiguration(opened[4]));  // again: to the front, once
    const std::vector<std::string> expected = {opened[4], opened[8], opened[7], opened[6],
                                               opened[5], opened[3], opened[2], opened[1]};
    EXPECT_EQ(frame.RecentConfigurations().List(), expected);
    CRecentConfigurations nextRun;
    nextRun.UseFile(file);
    EXPECT_EQ(nextRun.List(), expected);

    // Chosen from the menu: the second opens; one deleted meanwhile goes.
    frame.OnCommand(CommandId(static_cast<int>(CommandId::kRecentConfiguration1) + 1));
    EXPECT_EQ(Title(), "Tabulon - " + opened[8]);
    std::filesystem::remove(opened[7]);
    frame.OnCommand(CommandId(static_cast<int>(CommandId::kRecentConfiguration1) + 2));
    EXPECT_EQ(Title(), "Tabulon - " + opened[8]);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text, "The configuration\n" + opened[7] +
                                              "\nno longer exists.\n\nIt was taken off the list of recent "
                                              "configurations.");
    nextRun.UseFile(file);
    EXPECT_EQ(nextRun.List().size(), 7u);
    EXPECT_EQ(std::count(nextRun.List().begin(), nextRun.List().end(), opened[7]), 0);
}

TEST(RecentConfigurationsFile, IsInTheUsersConfigurationFolder) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = config ? config : "";
    setenv("XDG_CONFIG_HOME", "/home/u/.cfg", 1);
    EXPECT_EQ(RecentConfigurationsFile(), "/home/u/.cfg/tabulon/recent-configurations");
    unsetenv("XDG_CONFIG_HOME");
    if (const char* home = std::getenv("HOME"); home && *home) {
        EXPECT_EQ(RecentConfigurationsFile(), std::string(home) + "/.config/tabulon/recent-configurations");
    }
    if (config) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace tabulon::testing
