// Undo and redo over the commands and gestures that change the lists: undo
// gives back the very lists the command found (the bytes a save writes, every
// text, the ticks, the 'Database' mark), redo the lists it left, and undo
// once more the first.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "AllocationProbe.h"
#include "AppTestSupport.h"
#include "FakeGridWindow.h"
#include "items/ColumnCommands.h"
#include "items/ColumnDialogs.h"
#include "items/DatabaseFile.h"
#include "tools/DirectoryItems.h"

namespace tabulon::testing {
namespace {

class UndoTest : public AppTest {
protected:
    fakes::FakeGridWindow dbWindow;
    fakes::FakeGridWindow newItemsWindow;
    void SetUp() override {
        OpenConfiguration();
        newItems.AddItemFromText("n - 9", "-", 1);
        newItems.AddItemFromText("m - 8 - x", "-", 2);
        frame.CommitStep(CUndoStack::kByHand);
        // On a window, so that clicks find their cells.
        for (auto [grid, shown] : {std::pair{&Db(), &dbWindow}, std::pair{newItems.GetGrid(), &newItemsWindow}}) {
            shown->hasDC = true;
            grid->AttachWindow(shown);
        }
    }
    void TearDown() override {
        Db().AttachWindow(nullptr);
        newItems.GetGrid()->AttachWindow(nullptr);
    }
    // Both lists as the user has them: what a save writes, every text, every
    // tick (the mark in the corner is Corner()'s).
    std::vector<std::string> Lists() {
        EXPECT_TRUE(WriteDatabaseFile(frame));
        std::vector<std::string> out{Contents(PathOf("items.db"))};
        for (CGridCtrl* grid : {&Db(), newItems.GetGrid()})
            for (int r = 0; r < grid->GetRowCount(); ++r) {
                std::string row;
                for (int c = 0; c < grid->GetColumnCount(); ++c) {
                    if (grid != &Db() || r + c > 0) row += grid->GetCellText(r, c);
                    if (const auto* box = dynamic_cast<const CGridCellCheckBox*>(grid->GetCell(r, c)))
                        row += box->GetCheck() ? "[x]" : "[ ]";
                    row += '|';
                }
                out.push_back(row);
            }
        return out;
    }
    // A click into the middle of (row, col).
    void Click(CGridCtrl& grid, int row, int col) {
        Point origin;
        ASSERT_TRUE(grid.GetCellOrigin(row, col, origin));
        grid.OnLButtonDown({origin.x + 4, origin.y + 4}, 0);
        grid.OnLButtonUp({origin.x + 4, origin.y + 4}, 0);
    }
    // As an edit box ends with text typed.
    void Edit(int row, int col, const std::string& text) { Db().OnEndEditCell(row, col, text); }
};

TEST_F(UndoTest, EachCommandIsOneStepThatUndoTakesBackAndRedoDoesAgain) {
    using M = MenuCommand;
    const auto typeAndOk = [&](const char* text) {
        dialogs.scripts.push_back({fakes::TypeText(kColumnTextEditId, text), fakes::Press(DialogId::kOk)});
    };
    const struct {
        const char* name;
        std::function<void()> run;
        std::function<void()> before = nullptr;  // done by hand first, a step of its own
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
         },
         [&] { Edit(1, 1, "z"); }},
        {"Edit cell", [&] { Edit(2, 1, "typed"); }},
        {"Rename column",
         [&] {
             typeAndOk("Band");
             Menu(true, M::kRenameColumn, 0, 1);
         }},
        {"Fill column with",
         [&] {
             typeAndOk("all");
             Menu(false, M::kNewItemsFillColumn, 0, 2);
         }},
        {"Delete all columns",
         [&] {
             messages.Answer(MbResult::Yes);
             Menu(true, M::kDatabaseDeleteAllColumns, 0, 1);
         }},
        {"Move column",
         [&] {
             frame.SetActivePane(true);  // as a heading dropped on column 0
             Db().RunGesture(kMoveColumnGesture, [&] { frame.MoveColumnInActivePane(2, 0); });
         }},
        {"Add item", [&] { Menu(false, M::kAddItem, 1, 1); }},
        {"Select all items", [&] { Menu(false, M::kSelectAllItems, 1, 1); },
         [&] { Menu(false, M::kUnselectAllItems, 1, 1); }},
        {kCheckGesture, [&] { Click(*newItems.GetGrid(), 2, 0); }, [&] { Menu(false, M::kUnselectAllItems, 1, 1); }},
        {kSortGesture, [&] { Click(Db(), 0, 2); }, [&] { Edit(1, 2, "9"); }},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.name);
        if (command.before) {
            frame.SetActivePane(true);
            command.before();
            frame.CommitStep(CUndoStack::kByHand);
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
        EXPECT_EQ(Corner(), saved ? "Database" : corner);  // the sort sets no mark
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

TEST_F(UndoTest, TheConfigurationMarkFollowsTheColumnsUndoneAndDoneAgain) {
    using M = MenuCommand;
    const struct {
        const char* name;
        std::function<void()> run;
    } commands[] = {
        {"Delete column",
         [&] {
             messages.Answer(MbResult::Yes);
             Menu(true, M::kDeleteColumn, 0, 1);
         }},
        {"Insert column", [&] { Menu(true, M::kInsertColumn, 0, 1); }},
        {"Rename column",
         [&] {
             dialogs.scripts.push_back({fakes::TypeText(kColumnTextEditId, "Band"), fakes::Press(DialogId::kOk)});
             Menu(true, M::kRenameColumn, 0, 1);
         }},
        {"Move column",
         [&] {
             frame.SetActivePane(true);
             Db().RunGesture(kMoveColumnGesture, [&] { frame.MoveColumnInActivePane(2, 0); });
         }},
        {"Delete all columns",
         [&] {
             messages.Answer(MbResult::Yes);
             Menu(true, M::kDatabaseDeleteAllColumns, 0, 1);
         }},
    };
    const std::string saved = OpenTitle();
    const std::string unsaved = saved + "*";
    for (const auto& command : commands) {
        SCOPED_TRACE(command.name);
        frame.OnCommand(CommandId::kSaveConfiguration);
        ASSERT_EQ(Title(), saved);
        command.run();
        EXPECT_EQ(Title(), unsaved);
        const std::vector<std::pair<CommandId, std::string>> steps = {{CommandId::kUndo, saved},
                                                                      {CommandId::kRedo, unsaved},
                                                                      {CommandId::kSaveConfiguration, saved},
                                                                      {CommandId::kUndo, unsaved},
                                                                      {CommandId::kRedo, saved}};
        for (const auto& [id, title] : steps) {
            frame.OnCommand(id);
            EXPECT_EQ(Title(), title) << StepNameOf(id);
        }
    }
    // A change of the configuration alone stays, whatever is taken back.
    frame.OnCommand(CommandId::kGridLinesVertical);
    frame.OnCommand(CommandId::kUndo);
    EXPECT_EQ(Title(), unsaved);
}

TEST_F(UndoTest, ASortAndItsRedoSetNoDatabaseMark) {
    Edit(1, 2, "9");  // a;9 b;2: out of order by either column
    frame.OnCommand(CommandId::kSaveDatabase);
    ASSERT_EQ(Corner(), "Database");
    const struct {
        const char* name;
        std::function<void()> run;
    } sorts[] = {{"a heading clicked", [&] { Click(Db(), 0, 2); }},
                 {"Make list", [&] { frame.OnCommand(CommandId::kMakeList); }}};
    for (const auto& sort : sorts) {
        SCOPED_TRACE(sort.name);
        const std::string first(Db().GetCellText(1, 1));
        sort.run();
        ASSERT_NE(Db().GetCellText(1, 1), first);
        for (const CommandId id : {CommandId::kUndo, CommandId::kRedo, CommandId::kUndo, CommandId::kRedo}) {
            EXPECT_EQ(Corner(), "Database") << StepNameOf(id);
            frame.OnCommand(id);
        }
        EXPECT_EQ(Corner(), "Database");
    }
}

TEST_F(UndoTest, TheViewStaysWhereChangedCellsAreInViewElseGoesToTheFirst) {
    std::string items;
    for (int k = 0; k < 2000; ++k) items.append("item ").append(std::to_string(k)).append(";1\r\n");
    WriteConfiguration(items);
    ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));
    const struct {
        const char* change;
        std::function<void()> make;
        int top;  // the first item row in view after undo and redo; 0: the first row changed is in view
    } changes[] = {
        {"a whole column",
         [&] {
             dialogs.scripts.push_back({fakes::TypeText(kColumnTextEditId, "all"), fakes::Press(DialogId::kOk)});
             Menu(true, MenuCommand::kDatabaseFillColumn, 0, 1);
         },
         1000},
        {"a cell out of view", [&] { Edit(5, 1, "typed"); }, 0},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.change);
        change.make();
        for (const CommandId id : {CommandId::kUndo, CommandId::kRedo}) {
            Db().EnsureVisible(1000, 1);
            const int top = Db().GetTopLeftNonFixedCell().row;
            frame.OnCommand(id);
            if (change.top > 0)
                EXPECT_EQ(Db().GetTopLeftNonFixedCell().row, top) << StepNameOf(id);
            else
                EXPECT_TRUE(Db().GetVisibleNonFixedCellRange().Contains(5, 1)) << StepNameOf(id);
        }
    }
}

TEST_F(UndoTest, OlderStepsLetGoAreToldOnce) {
    const std::string told = "Older steps can no longer be undone: they were let go to save memory";
    for (std::size_t k = 0; k <= CUndoStack::kMostSteps; ++k) {
        if (k + 1 < CUndoStack::kMostSteps) {
            EXPECT_NE(window.status, told) << k;  // none went yet
        }
        Click(*newItems.GetGrid(), 1, 0);
    }
    EXPECT_EQ(window.status, told);
    window.status.clear();
    Click(*newItems.GetGrid(), 1, 0);
    EXPECT_EQ(window.status, "");
}

TEST_F(UndoTest, DeletingEveryItemOfABigListHoldsItOnceAndUndoGivesItBack) {
    std::string items;
    for (int k = 0; k < 20000; ++k) items.append("item ").append(std::to_string(k)).append(";1\r\n");
    WriteConfiguration(items);
    probe::StartCounting();
    ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));
    const std::size_t list = probe::StopCounting().peakBytes;
    const std::string last(Db().GetCellText(20000, 1));
    messages.Answer(MbResult::Yes);
    probe::StartCounting();
    Menu(true, MenuCommand::kDeleteAllItems, 1, 1);
    const std::size_t deleting = probe::StopCounting().peakBytes;
    EXPECT_EQ(Db().GetRowCount(), 1);
    EXPECT_LT(deleting * 100, list) << deleting << " bytes asked for, beside " << list << " of the list";
    frame.OnCommand(CommandId::kUndo);
    EXPECT_EQ(Db().GetRowCount(), 20001);
    EXPECT_EQ(Db().GetCellText(20000, 1), last);
    EXPECT_EQ(Corner(), "Database");
}

}  // namespace
}  // namespace tabulon::testing
