// Cut, Copy and Paste between the panes and the clipboard: what goes onto
// it, what a paste fills and adds, one step to undo, and the texts an
// item's field cannot hold refused as typed ones are.

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/CommandTable.h"

namespace tabulon::testing {
namespace {

class ClipboardTest : public AppTest {
protected:
    void SetUp() override { OpenConfiguration(); }
    std::vector<std::string> Row(CGridCtrl& grid, int row) {
        std::vector<std::string> texts;
        for (int c = 0; c < grid.GetColumnCount(); ++c) texts.emplace_back(grid.GetCellText(row, c));
        return texts;
    }
    CGridCtrl& NewItems() { return *newItems.GetGrid(); }
    void Paste(bool databasePane, const std::string& text) {
        frame.SetActivePane(databasePane);
        window.clipboard = text;
        frame.OnCommand(CommandId::kPaste);
    }
};

TEST_F(ClipboardTest, CopyTakesTheCellOrTheWholeItemAndCutEmptiesTheCellAsOneStep) {
    frame.SetActivePane(true);
    Db().SetFocusCell(2, 1);
    frame.OnCommand(CommandId::kCopy);
    EXPECT_EQ(window.clipboard, "b");
    frame.OnCommand(CommandId::kCopyItem);
    EXPECT_EQ(window.clipboard, "b\t2");
    EXPECT_EQ(Corner(), "Database");  // copying changes nothing

    window.clipboard.clear();
    frame.OnCommand(CommandId::kCut);
    EXPECT_EQ(window.clipboard, "b");
    EXPECT_EQ(Db().GetCellText(2, 1), "");
    EXPECT_EQ(Corner(), "Database*");
    EXPECT_EQ(frame.UndoStack().UndoName(), "Cut");
    frame.OnCommand(CommandId::kUndo);
    EXPECT_EQ(Db().GetCellText(2, 1), "b");

    // A number is copied, never cut.
    Db().SetFocusCell(2, 0);
    frame.OnCommand(CommandId::kCut);
    EXPECT_EQ(window.clipboard, "2");
    EXPECT_EQ(Db().GetCellText(2, 0), "2");
}

TEST_F(ClipboardTest, PastedRowsFillFromTheFocusCellAddingItemsAndColumnsAsOneStep) {
    // 'Database': one line replaces the focus cell; rows add items at the end.
    Db().SetFocusCell(1, 2);
    Paste(true, "10");
    EXPECT_EQ(Row(Db(), 1), (std::vector<std::string>{"1", "a", "10"}));
    Db().SetFocusCell(2, 1);
    Paste(true, "x\t7\r\ny\t8\r\n");
    ASSERT_EQ(Db().GetRowCount(), 4);
    EXPECT_EQ(Row(Db(), 2), (std::vector<std::string>{"2", "x", "7"}));
    EXPECT_EQ(Row(Db(), 3), (std::vector<std::string>{"3", "y", "8"}));
    EXPECT_EQ(Corner(), "Database*");
    EXPECT_EQ(frame.UndoStack().UndoName(), "Paste");
    frame.OnCommand(CommandId::kUndo);
    EXPECT_EQ(Db().GetRowCount(), 3);
    EXPECT_EQ(Row(Db(), 2), (std::vector<std::string>{"2", "b", "2"}));

    // 'New items', empty: from the first cell, items with their boxes and
    // the columns the widest row needs.
    Paste(false, "p\tq\nr\ts\tt");
    ASSERT_EQ(NewItems().GetRowCount(), 3);
    ASSERT_EQ(NewItems().GetColumnCount(), 4);
    EXPECT_EQ(Row(NewItems(), 0), (std::vector<std::string>{"New items", "Col 1", "Col 2", "Col 3"}));
    EXPECT_EQ(Row(NewItems(), 1), (std::vector<std::string>{"", "p", "q", ""}));
    EXPECT_EQ(Row(NewItems(), 2), (std::vector<std::string>{"", "r", "s", "t"}));
    EXPECT_NE(dynamic_cast<CGridCellCheckBox*>(NewItems().GetCell(2, 0)), nullptr);
}

TEST_F(ClipboardTest, APasteHoldingAFieldBreakIsRefusedWholeAsATypedCellIs) {
    Db().SetFocusCell(1, 1);
    for (const char* text : {"ok\tbad;one", "\"two\nlines\""}) {
        SCOPED_TRACE(text);
        messages.shown.clear();
        Paste(true, text);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find("holds a \";\" or a line break"), std::string::npos);
        EXPECT_EQ(Row(Db(), 1), (std::vector<std::string>{"1", "a", "1"}));
        EXPECT_EQ(Corner(), "Database");
    }
}

}  // namespace
}  // namespace tabulon::testing
