// Undo and redo over the commands that change the lists: undo gives back the
// very lists the command found (what a save would write, the ticks, the
// 'Database' mark), redo the lists it left, and undo once more the first.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "items/ColumnCommands.h"
#include "tools/DirectoryItems.h"

namespace tabulon::testing {
namespace {

class UndoTest : public AppTest {
protected:
    void SetUp() override {
        OpenConfiguration();
        newItems.AddItemFromText("n - 9", "-", 1);
        newItems.AddItemFromText("m - 8 - x", "-", 2);
        frame.CommitStep(CUndoStack::kByHand);
    }
    // Both lists as the user has them: every text, every tick (the mark in
    // the corner is Corner()'s).
    std::vector<std::string> Lists() {
        std::vector<std::string> out;
        for (CGridCtrl* grid : {&Db(), newItems.GetGrid()})
            for (int r = 0; r < grid->GetRowCount(); ++r) {
                std::string row;
                for (int c = 0; c < grid->GetColumnCount(); ++c) {
                    if (grid != &Db() || r + c > 0) row += grid->GetCellText(r, c);
                    row += '|';
                }
                out.push_back(row);
            }
        return out;
    }
    void Menu(bool databasePane, MenuCommand command, int row, int col) {
        idle.menus.choose = static_cast<int>(command);
        frame.SetActivePane(databasePane);
        frame.OnGridContextMenu(row, col);
    }
};

TEST_F(UndoTest, EachCommandIsOneStepThatUndoTakesBackAndRedoDoesAgain) {
    using M = MenuCommand;
    const struct {
        const char* name;
        std::function<void()> run;
    } commands[] = {
        {"Delete column", [&] { Menu(true, M::kDeleteColumn, 0, 1); }},
        {"Insert column", [&] { Menu(true, M::kInsertColumn, 0, 1); }},
        {"Delete all items",
         [&] {
             messages.Answer(MbResult::Yes);
             Menu(false, M::kDeleteAllItems, 1, 1);
         }},
        {"Unselect all items", [&] { Menu(false, M::kUnselectAllItems, 1, 1); }},
        {"Delete item", [&] { Menu(true, M::kDeleteItem, 1, 1); }},
        {"Move items", [&] { frame.OnCommand(CommandId::kMoveItems); }},
        {"Import database",
         [&] {
             picker.Answer(MakeFile("other.db", "x;1\r\ny;2;3\r\n"));
             frame.OnCommand(CommandId::kImportDatabase);
         }},
        {"Make list",  // saves the edit when asked, then sorts what it unsorted
         [&] {
             messages.Answer(MbResult::Yes);
             frame.OnCommand(CommandId::kMakeList);
         }},
        {"Edit cell",
         [&] {
             Db().SetCellText(2, 1, "typed");
             frame.OnGridCellChanged(Db(), 2, 1);
         }},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.name);
        if (command.name == std::string("Make list")) {
            Db().SetCellText(1, 1, "z");
            frame.OnGridCellChanged(Db(), 1, 1);
        }
        const std::vector<std::string> before = Lists();
        const std::string cornerBefore = Corner();
        command.run();
        const std::vector<std::string> after = Lists();
        const std::string corner = Corner();
        ASSERT_NE(after, before);
        ASSERT_TRUE(frame.UndoStack().CanUndo());
        EXPECT_EQ(frame.UndoStack().UndoName(), command.name);
        // Make list saved the lists it found, so they are what the file holds;
        // sorted again, they differ from it.
        const bool saved = command.name == std::string("Make list");
        frame.OnCommand(CommandId::kUndo);
        EXPECT_EQ(Lists(), before);
        EXPECT_EQ(Corner(), saved ? "Database" : cornerBefore);
        EXPECT_EQ(frame.UndoStack().RedoName(), command.name);
        frame.OnCommand(CommandId::kRedo);
        EXPECT_EQ(Lists(), after);
        EXPECT_EQ(Corner(), saved ? "Database*" : corner);
        frame.OnCommand(CommandId::kUndo);
        EXPECT_EQ(Lists(), before);
    }
}

TEST_F(UndoTest, TheMarkFollowsTheSavedStateAndOpeningForgetsEveryStep) {
    Menu(true, MenuCommand::kDeleteItem, 2, 2);
    EXPECT_EQ(Corner(), "Database*");
    frame.OnCommand(CommandId::kSaveDatabase);
    EXPECT_EQ(Corner(), "Database");
    frame.OnCommand(CommandId::kUndo);  // away from what was saved
    EXPECT_EQ(Corner(), "Database*");
    EXPECT_EQ(Db().GetFocusCell(), CellId(2, 1));  // the item that came back
    frame.OnCommand(CommandId::kRedo);             // back to it
    EXPECT_EQ(Corner(), "Database");
    EXPECT_TRUE(frame.UndoStack().CanUndo());

    ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));
    EXPECT_FALSE(frame.UndoStack().CanUndo());
    EXPECT_FALSE(frame.UndoStack().CanRedo());
}

}  // namespace
}  // namespace tabulon::testing
