// The file pickers of Open configuration and Import database start where
// the files are, not in the folder the program was started from.

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/CommandTable.h"

namespace tabulon::testing {
namespace {

TEST_F(AppTest, OpenAndImportStartInTheFoldersOfTheOpenConfigurationAndItsDatabase) {
    // Nothing open: the picker's own choice (where the last pick ended).
    for (const CommandId command : {CommandId::kOpenConfiguration, CommandId::kImportDatabase})
        frame.OnCommand(command);
    ASSERT_EQ(picker.calls.size(), 2u);
    EXPECT_EQ(picker.calls[0].options.initialFolder, "");
    EXPECT_EQ(picker.calls[1].options.initialFolder, "");

    WriteConfiguration();
    fs::create_directories(PathOf("lists"));
    const std::string cfg = MakeFile("lists/list.cfg", Contents(PathOf("list.cfg")) + "\r\n");
    MakeFile("lists/items.db", "a;1\r\n");
    ASSERT_TRUE(frame.OpenConfiguration(cfg));
    picker.calls.clear();
    for (const CommandId command : {CommandId::kOpenConfiguration, CommandId::kImportDatabase})
        frame.OnCommand(command);
    ASSERT_EQ(picker.calls.size(), 2u);
    EXPECT_EQ(picker.calls[0].options.initialFolder, PathOf("lists"));
    EXPECT_EQ(picker.calls[0].options.initialName, "config.cfg");
    EXPECT_EQ(picker.calls[1].options.initialFolder, PathOf("lists"));
    EXPECT_EQ(picker.calls[1].options.initialName, "database.db");
}

}  // namespace
}  // namespace tabulon::testing
