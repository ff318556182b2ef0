// Undo and redo over the commands and gestures that change the lists: undo
// gives back the very lists the command found (the bytes a save writes, every
// text, the ticks, the 'Database' mark), redo the lists it left, and undo
// once more the first.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "AllocationProbe.h"
#include "AppTestSupport.h"
#include "FakeGridWindow.h"
#include "ScriptedToolDialogs.h"
#include "app/CommandTable.h"
#include "items/ColumnCommands.h"
#include "items/ColumnDialogs.h"
#include "items/DatabaseFile.h"
#include "tools/AddItemsDialog.h"
#include "tools/DirectoryItems.h"
#include "tools/DuplicatesDlg.h"
#include "tools/FindDuplicateDlg.h"
#include "tools/ReplaceDlg.h"

namespace tabulon::testing {
namespace {

class UndoTest : public AppTestWith<fakes::ScriptedToolDialogHost> {
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
    // Every command that may change the lists, as "where: the step it
    // names": the main menu's, the right-click menus', the tool windows'
    // buttons' and the gestures in a grid.
    std::vector<std::string> Commands() {
        std::vector<std::string> out;
        for (const MenuEntry& entry : MainMenu())
            if (entry.kind == MenuEntryKind::Item) out.push_back("menu: " + std::string(StepNameOf(entry.id)));
        for (const auto& [pane, items] : {std::pair{"New items: ", BuildNewItemsMenu(*newItems.GetGrid(), 1, 1)},
                                          std::pair{"Database: ", BuildDatabaseMenu(Db(), 1, 1)}})
            for (const MenuItem& item : items)
                if (!item.IsSeparator())
                    out.push_back(pane + std::string(StepName(items, static_cast<MenuCommand>(item.id))));
        using Steps = std::span<const ToolButtonStep>;
        for (const auto& [tool, steps] :
             {std::pair{"Replace: ", Steps(kReplaceSteps)}, std::pair{"Find dublicate: ", Steps(kFindDuplicateSteps)},
              std::pair{"Dublicates found: ", Steps(kDuplicatesSteps)}})
            for (const ToolButtonStep& button : steps) out.push_back(tool + std::string(button.step));
        for (std::string_view gesture : kGestures) out.push_back("gesture: " + std::string(gesture));
        return out;
    }
    // As an edit box ends with text typed.
    void Edit(int row, int col, const std::string& text) { Db().OnEndEditCell(row, col, text); }
};

TEST_F(UndoTest, EachCommandIsOneStepThatUndoTakesBackAndRedoDoesAgain) {
    using M = MenuCommand;
    const auto typeAndOk = [&](const char* text) {
        dialogs.scripts.push_back({fakes::TypeText(kColumnTextEditId, text), fakes::Press(DialogId::kOk)});
    };
    const auto yesAndMenu = [&](bool databasePane, M command) {
        messages.Answer(MbResult::Yes);
        Menu(databasePane, command, 1, 1);
    };
    // A button of the 'Replace' window on all of 'Database', "b" to "B".
    const auto replace = [&](ControlId button) {
        frame.ToolWindows().OnReplace();
        fakes::ToolDialog& tool = *dialogs.Open().back();
        tool.ChooseRadio(ReplaceId::kDatabase);
        tool.ClickListEntry(ReplaceId::kColumns, 0);
        tool.SetControlText(ReplaceId::kReplaceText, "b");
        tool.SetControlText(ReplaceId::kWithText, "B");
        dialogs.Click(tool, button);
    };
    // The search, a pair found answered with button.
    const auto pair = [&](ControlId button) {
        dialogs.scripts.push_back({fakes::PressTool(button)});
        frame.ToolWindows().OnFindDuplicate();
        fakes::ToolDialog& tool = *dialogs.Open().back();
        tool.ClickListEntry(FindDuplicateId::kColumns, 0);
        dialogs.Click(tool, FindDuplicateId::kFind);
    };
    const auto twoAlike = [&] {
        for (int col : {1, 2}) Edit(2, col, std::string(Db().GetCellText(1, col)));
    };
    const auto uncheckAll = [&] { Menu(false, M::kUnselectAllItems, 1, 1); };
    const auto checkAll = [&] { Menu(false, M::kSelectAllItems, 1, 1); };
    std::filesystem::create_directories(PathOf("scan/q"));
    struct Driver {
        std::function<void()> run;
        std::function<void()> before = nullptr;  // done by hand first, a step of its own
    };
    // How each command that changes the lists is made to change something.
    const std::map<std::string, Driver> drivers = {
        {"menu: Import database", {[&] {
             picker.Answer(MakeFile("other.db", "x;1\r\ny;2;3\r\n"));
             frame.OnCommand(CommandId::kImportDatabase);
         }}},
        {"menu: Import CSV", {[&] {
             picker.Answer(MakeFile("other.csv", "x,1\r\n\"y\",2\r\n"));
             dialogs.scripts.push_back({fakes::PressTool(DialogId::kOk)});
             frame.OnCommand(CommandId::kImportCsv);
         }}},
        {"menu: Add directory", {[&] {
             dialogs.scripts.push_back({[&](fakes::ToolDialog&, IDialogEvents& events) {
                                            dynamic_cast<CAddItemsDlg&>(events).m_strPath = PathOf("scan");
                                        },
                                        fakes::PressTool(DialogId::kOk)});
             frame.OnCommand(CommandId::kAddDirectory);
         }}},
        {"menu: Move items", {[&] { frame.OnCommand(CommandId::kMoveItems); }}},
        {"menu: Cut", {[&] {
             frame.SetActivePane(true);
             Db().SetFocusCell(1, 1);
             frame.OnCommand(CommandId::kCut);
         }}},
        {"menu: Paste", {[&] {
             frame.SetActivePane(false);
             window.clipboard = "p\tq\nr\ts\tt\nu";
             frame.OnCommand(CommandId::kPaste);
         }}},
        {"menu: Make list",  // saves the edit when asked, then sorts what it unsorted
         {[&] {
              messages.Answer(MbResult::Yes);
              frame.OnCommand(CommandId::kMakeList);
          },
          [&] { Edit(1, 1, "z"); }}},
        {"New items: Insert column", {[&] { Menu(false, M::kInsertColumn, 1, 1); }}},
        {"New items: Delete column", {[&] { yesAndMenu(false, M::kDeleteColumn); }}},
        {"New items: Delete all columns", {[&] { yesAndMenu(false, M::kNewItemsDeleteAllColumns); }}},
        {"New items: Fill column with", {[&] {
             typeAndOk("all");
             Menu(false, M::kNewItemsFillColumn, 0, 2);
         }}},
        {"New items: Add item", {[&] { Menu(false, M::kAddItem, 1, 1); }}},
        {"New items: Delete item(s)", {[&] { Menu(false, M::kDeleteItems, 1, 1); }}},
        {"New items: Delete all items", {[&] { yesAndMenu(false, M::kDeleteAllItems); }}},
        {"New items: Select all items", {checkAll, uncheckAll}},
        {"New items: Unselect all items", {uncheckAll, checkAll}},
        {"Database: Insert column", {[&] { Menu(true, M::kInsertColumn, 0, 1); }}},
        {"Database: Rename column", {[&] {
             typeAndOk("Band");
             Menu(true, M::kRenameColumn, 0, 1);
         }}},
        {"Database: Delete column", {[&] { Menu(true, M::kDeleteColumn, 0, 1); }}},
        {"Database: Delete all columns", {[&] { yesAndMenu(true, M::kDatabaseDeleteAllColumns); }}},
        {"Database: Fill column with", {[&] {
             typeAndOk("all");
             Menu(true, M::kDatabaseFillColumn, 0, 1);
         }}},
        {"Database: Delete item", {[&] { Menu(true, M::kDeleteItem, 1, 1); }}},
        {"Database: Delete all items", {[&] { yesAndMenu(true, M::kDeleteAllItems); }}},
        {"Replace: Capitalize first letter", {[&] { replace(ReplaceId::kCapitalizeFirst); }}},
        {"Replace: Capitalize words", {[&] { replace(ReplaceId::kCapitalizeWords); }}},
        {"Replace: Replace", {[&] { replace(ReplaceId::kReplace); }}},
        {"Dublicates found: Delete first", {[&] { pair(DuplicatesId::kDeleteFirst); }, twoAlike}},
        {"Dublicates found: Delete second", {[&] { pair(DuplicatesId::kDeleteSecond); }, twoAlike}},
        {"Dublicates found: Mix dublicates", {[&] { pair(DuplicatesId::kMixDuplicates); }, twoAlike}},
        {"gesture: Sort", {[&] { Click(Db(), 0, 2); }, [&] { Edit(1, 2, "9"); }}},
        {"gesture: Select item", {[&] { Click(*newItems.GetGrid(), 2, 0); }, uncheckAll}},
        {"gesture: Unselect item", {[&] { Click(*newItems.GetGrid(), 2, 0); }, checkAll}},
        {"gesture: Edit cell", {[&] { Edit(2, 1, "typed"); }}},
        {"gesture: Move column", {[&] {
             frame.SetActivePane(true);  // as a heading dropped on column 0
             Db().RunGesture(kMoveColumnGesture, [&] { frame.MoveColumnInActivePane(2, 0); });
         }}},
    };
    // The commands that make no step: they change no list, replace both and
    // forget every step, are the steps, or open a window whose buttons are
    // commands of their own (the search's pairs; the numbers it writes again
    // are no change).
    const std::set<std::string> makeNoStep = {
        "menu: New configuration",
        "menu: Edit configuration",
        "menu: Open configuration",
        "menu: Save database",
        "menu: Save configuration",
        "menu: Export CSV",
        "menu: Horizantal",
        "menu: Vertical",
        "menu: Exit",
        "menu: Undo",
        "menu: Redo",
        "menu: Find",
        "menu: Copy",
        "menu: Copy item",
        "New items: Fit column width",
        "Database: Fit column width",
        "menu: Find next",
        "menu: Find previous",
        "menu: Replace",
        "menu: Find dublicate",
        "menu: About",
        "Find dublicate: Find dublicate",
    };
    std::set<std::string> driven;
    for (const std::string& command : Commands()) {
        SCOPED_TRACE(command);
        const auto driver = drivers.find(command);
        if (makeNoStep.contains(command)) continue;
        if (driver == drivers.end()) {
            ADD_FAILURE() << command << " has no driver: give it one, or list it with those that make no step";
            continue;
        }
        driven.insert(command);
        const std::string name = command.substr(command.find(": ") + 2);
        if (driver->second.before) {
            frame.SetActivePane(true);
            driver->second.before();
            frame.CommitStep(CUndoStack::kByHand);
        }
        const std::vector<std::string> before = Lists();
        const std::string cornerBefore = Corner();
        driver->second.run();
        const std::vector<std::string> after = Lists();
        const std::string corner = Corner();
        ASSERT_NE(after, before);
        ASSERT_TRUE(frame.UndoStack().CanUndo());
        EXPECT_EQ(frame.UndoStack().UndoName(), name);
        // Make list saved the lists it found, so they are what the file holds;
        // sorted again, they differ from it.
        const bool saved = command == "menu: Make list";
        frame.OnCommand(CommandId::kUndo);
        EXPECT_EQ(Lists(), before);
        EXPECT_EQ(Corner(), saved ? "Database" : cornerBefore);
        EXPECT_EQ(frame.UndoStack().RedoName(), name);
        frame.OnCommand(CommandId::kRedo);
        EXPECT_EQ(Lists(), after);
        EXPECT_EQ(Corner(), saved ? "Database" : corner);  // the sort sets no mark
        frame.OnCommand(CommandId::kUndo);
        EXPECT_EQ(Lists(), before);
    }
    for (const auto& [command, driver] : drivers) EXPECT_TRUE(driven.contains(command)) << command << " is no command";
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
