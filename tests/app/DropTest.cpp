// Files and folders dropped on the window: a configuration opens after the
// save questions, a database dropped on 'New items' is imported, anything
// else is added to 'New items' with the last options of 'Add items'; each
// drop is one step to undo.

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/CommandTable.h"

namespace tabulon::testing {
namespace {

class DropTest : public AppTest {
protected:
    // The first data column of each 'New items' row.
    std::vector<std::string> NewItemNames() {
        std::vector<std::string> names;
        CGridCtrl& grid = *newItems.GetGrid();
        for (int row = 1; row < grid.GetRowCount(); ++row) names.emplace_back(grid.GetCellText(row, 1));
        return names;
    }
};

TEST_F(DropTest, AConfigurationOpensAfterTheSaveQuestionsAndNothingElseOfTheDropHappens) {
    OpenConfiguration();
    MarkBoth();
    const std::string other = MakeFile("other.CFG", Contents(PathOf("list.cfg")));
    const std::string song = MakeFile("a-b.mp3", "");
    messages.Answer(MbResult::Cancel);
    frame.OnDropFiles({song, other}, true);
    EXPECT_EQ(Texts(), std::vector<std::string>{kConfigPrompt});
    EXPECT_EQ(Title(), OpenTitle() + "*");

    messages.Answer(MbResult::No);
    messages.Answer(MbResult::No);
    frame.OnDropFiles({song, other}, true);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kConfigPrompt, kConfigPrompt, kDatabasePrompt}));
    EXPECT_EQ(Title(), "Tabulon - " + other);
    EXPECT_TRUE(NewItemNames().empty());
}

TEST_F(DropTest, DatabasesOnNewItemsAreImportedAndEverythingElseIsAddedAsItemsEachDropOneStep) {
    const std::string folder = PathOf("albums");
    fs::create_directories(folder + "/Abbey Road");
    fs::create_directories(folder + "/Help");
    MakeFile("albums/notes-1.txt", "");
    const std::string items = MakeFile("items.db", "x;1\r\ny;2\r\n");
    const std::string song = MakeFile("Beatles-Let it be.mp3", "");
    const std::string hidden = MakeFile(".hidden-song.mp3", "");

    // A database on 'New items': its items, as Import database reads them.
    frame.OnDropFiles({items}, true);
    EXPECT_EQ(NewItemNames(), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(frame.UndoStack().UndoName(), StepNameOf(CommandId::kImportDatabase));
    frame.OnCommand(CommandId::kUndo);
    EXPECT_TRUE(NewItemNames().empty());

    // A folder gives its entries as 'Add items' would (sub-folders alone, as
    // it starts); dropped files are added themselves, hidden or not; a
    // database dropped elsewhere is a file like any other.
    frame.OnDropFiles({folder, song, items, hidden}, false);
    EXPECT_EQ(NewItemNames(), (std::vector<std::string>{"Abbey Road", "Help", ".hidden", "Beatles", "items"}));
    EXPECT_EQ(newItems.GetGrid()->GetCellText(4, 2), "Let it be");
    EXPECT_EQ(newItems.GetGrid()->GetCellText(3, 0), "X");  // ticked, as added items are
    EXPECT_EQ(frame.UndoStack().UndoName(), StepNameOf(CommandId::kAddDirectory));
    frame.OnCommand(CommandId::kUndo);
    EXPECT_TRUE(NewItemNames().empty());
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace tabulon::testing
