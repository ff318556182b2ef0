// The find bar's search in a pane whose columns change while it is open:
// whatever lists the columns hears of each change once, and a search made
// again follows its column by name.

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "items/ColumnDialogs.h"

namespace tabulon::testing {
namespace {

TEST_F(AppTest, AColumnChangeIsToldOnceAndASearchFollowsItsColumnByName) {
    OpenConfiguration();  // Name;Size: a;1 b;2
    frame.SetActivePane(true);
    ASSERT_TRUE(frame.FindText({"2", false, false, 2, "Size"}, true, false).found);
    const struct {
        const char* change;
        std::function<void()> make;
    } changes[] = {
        {"a column moved", [&] { Db().RunGesture(kMoveColumnGesture, [&] { frame.MoveColumnInActivePane(2, 0); }); }},
        {"a column inserted", [&] { Menu(true, MenuCommand::kInsertColumn, 0, 1); }},
        {"a step taken back", [&] { frame.OnCommand(CommandId::kUndo); }},
        {"a column renamed",
         [&] {
             dialogs.scripts.push_back({fakes::TypeText(kColumnTextEditId, "Band"), fakes::Press(DialogId::kOk)});
             Menu(true, MenuCommand::kRenameColumn, 0, 2);
         }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.change);
        const int told = window.columnsChanged[1];
        change.make();
        EXPECT_EQ(window.columnsChanged[1], told + 1);
        std::vector<std::string> names;
        for (int col = 1; col < Db().GetColumnCount(); ++col) names.emplace_back(Db().GetCellText(0, col));
        EXPECT_EQ(frame.SearchColumnNames(true), names);
        Db().SetFocusCell(1, 1);
        frame.OnCommand(CommandId::kFindNext);
        EXPECT_EQ(Db().GetCellText(0, Db().GetFocusCell().col), "Size");
        EXPECT_EQ(Db().GetCellText(Db().GetFocusCell().row, Db().GetFocusCell().col), "2");
    }
    messages.Answer(MbResult::Yes);
    Menu(true, MenuCommand::kDeleteColumn, 0, 1);  // Size, moved to the front
    frame.OnCommand(CommandId::kFindNext);
    EXPECT_EQ(window.status, "The column \"Size\" is no longer in 'Database'.");
}

}  // namespace
}  // namespace tabulon::testing
