// The commands of both menus: rows, columns, check marks, headings, the
// questions asked and the two marks; and moving a column by its heading.

#include "CommandFixture.h"
#include "FakeGridWindow.h"
#include "items/ColumnDialogs.h"
#include "items/PaneLayout.h"

using namespace tabulon;
using namespace tabulon::testing;
using fakes::Press;
using fakes::TypeText;
using cmd = tabulon::MenuCommand;

namespace {

struct Commands : CommandPanes {
    void SetUp() override {
        CommandPanes::SetUp();
        AddDatabase({"Artist", "Title", "Year"}, {"Abba;Waterloo;1974", "Blur;Parklife;1994", "Cure;Pornography;1982",
                                                  "Doors;L.A. Woman;1971", "Eels;Beautiful Freak;1996"});
    }
    void InNewItems(int row, int col, MenuCommand command) { Choose(false, row, col, command); }
    void InDatabase(int row, int col, MenuCommand command) { Choose(true, row, col, command); }
    // The last question: its text and caption, Yes and No, a question icon.
    void ExpectAsked(const std::string& text, const std::string& caption) {
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().text, text);
        EXPECT_EQ(messages.shown.back().caption, caption);
        EXPECT_EQ(messages.shown.back().icon, MbIcon::Question);
        EXPECT_EQ(messages.shown.back().buttons, MbButtons::YesNo);
    }
    void ExpectMarks(bool configuration, bool data) {
        EXPECT_EQ(ConfigurationMarked(), configuration);
        EXPECT_EQ(DatabaseMarked(), data);
    }
};

}  // namespace

TEST_F(Commands, NewItemsAddItemFirstMakesCol1AndNoCommandThereMarksAnything) {
    InNewItems(-1, -1, cmd::kAddItem);
    EXPECT_EQ(Row(*fresh, 0), (Strings{"Col 1"}));
    EXPECT_EQ(fresh->GetColumnWidth(1), 90);
    EXPECT_EQ(fresh->GetCellFormat(0, 1).ToBits(), 0x24u);
    EXPECT_EQ(fresh->GetCell(0, 1)->GetBackColour(), 0xE6E6E6u);
    EXPECT_EQ(Checks(), (std::vector<bool>{false}));
    InNewItems(1, 1, cmd::kAddItem);  // a data column exists: only a row
    EXPECT_EQ(fresh->GetColumnCount(), 2);
    EXPECT_EQ(Column(*fresh, 1), (Strings{"Col 1", "", ""}));
    EXPECT_FALSE(fresh->IsEditing());

    InNewItems(1, 1, cmd::kSelectAllItems);
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true}));
    InNewItems(0, 0, cmd::kUnselectAllItems);
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false}));
    for (MenuCommand command :
         {cmd::kInsertColumn, cmd::kDeleteColumn, cmd::kDeleteAllItems, cmd::kNewItemsDeleteAllColumns})
        InNewItems(0, 1, command);
    EXPECT_EQ(messages.shown.size(), 3u);  // only the deletions asked
    ExpectMarks(false, false);
}

TEST_F(Commands, NewItemsInsertColumnGoesAfterTheClickedOneAndRenumbers) {
    AddNewItems({"a;b"});
    InNewItems(0, 1, cmd::kInsertColumn);  // B
    EXPECT_EQ(Row(*fresh, 0), (Strings{"Col 1", "Col 2", "Col 3"}));
    EXPECT_EQ(Row(*fresh, 1), (Strings{"a", "", "b"}));
    EXPECT_EQ(fresh->GetCellFormat(1, 2), pane::kItemFormat);  // as every item cell
    EXPECT_EQ(fresh->GetColumnWidth(2), 90);
    InNewItems(1, 0, cmd::kInsertColumn);    // C: after column 0, as A
    InNewItems(-1, -1, cmd::kInsertColumn);  // E: at the end, as D in the last column
    InNewItems(1, 5, cmd::kInsertColumn);
    EXPECT_EQ(Row(*fresh, 1), (Strings{"", "a", "", "b", "", ""}));
    EXPECT_EQ(Row(*fresh, 0).back(), "Col 6");
    EXPECT_EQ(Checks(), (std::vector<bool>{true}));
}

TEST_F(Commands, NewItemsDeleteColumnAsksAboutTheClickedCell) {
    AddNewItems({"x;abc;z", "u;v;w"});
    messages.Answer(MbResult::No);
    fresh->SetCellText(0, 3, "stale");
    InNewItems(1, 2, cmd::kDeleteColumn);
    ExpectAsked("Delete column abc?", "Delete column");               // the item's text, not the heading
    EXPECT_EQ(Row(*fresh, 0), (Strings{"Col 1", "Col 2", "Col 3"}));  // renamed even on No
    InNewItems(0, 2, cmd::kDeleteColumn);
    ExpectAsked("Delete column Col 2?", "Delete column");
    EXPECT_EQ(Row(*fresh, 0), (Strings{"Col 1", "Col 2"}));
    EXPECT_EQ(Row(*fresh, 1), (Strings{"x", "z"}));
    InNewItems(0, 1, cmd::kDeleteColumn);
    EXPECT_EQ(fresh->GetRowCount(), 3);  // items stay while a data column is left
    InNewItems(0, 1, cmd::kDeleteColumn);
    EXPECT_EQ(fresh->GetRowCount(), 1);
}

TEST_F(Commands, NewItemsDeletionsAskFirst) {
    AddNewItems({"1;a", "2;b", "3;c", "4;d", "5;e"});
    SetChecks({true, false, true, true, false});
    messages.Answer(MbResult::No);
    InNewItems(1, 1, cmd::kDeleteItems);
    ExpectAsked("Delete selected item(s)?", "");
    EXPECT_EQ(fresh->GetRowCount(), 6);
    InNewItems(1, 1, cmd::kDeleteItems);
    EXPECT_EQ(Column(*fresh, 1), (Strings{"Col 1", "2", "5"}));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false}));

    messages.Answer(MbResult::No);
    InNewItems(1, 1, cmd::kDeleteAllItems);
    ExpectAsked("Delete all items?", "");
    EXPECT_EQ(fresh->GetRowCount(), 3);
    InNewItems(1, 1, cmd::kDeleteAllItems);
    EXPECT_EQ(fresh->GetRowCount(), 1);
    EXPECT_EQ(fresh->GetColumnCount(), 3);

    messages.Answer(MbResult::No);
    InNewItems(0, 0, cmd::kNewItemsDeleteAllColumns);
    ExpectAsked("Delete all columns?", "Delete all");
    EXPECT_EQ(fresh->GetColumnCount(), 3);
    InNewItems(0, 0, cmd::kNewItemsDeleteAllColumns);
    EXPECT_EQ(fresh->GetColumnCount(), 1);
    EXPECT_EQ(fresh->GetCellText(0, 0), "New items");
}

TEST_F(Commands, FillColumnWritesEveryItemNeverTheHeadingAndMarksOnlyTheDatabase) {
    AddNewItems({"a;b", "c;d"});
    SetChecks({false, true});
    dialogs.scripts = {{TypeText(kColumnTextEditId, "x"), Press(DialogId::kOk)},
                       {Press(DialogId::kOk)},
                       {TypeText(kColumnTextEditId, "CD"), Press(DialogId::kCancel)},
                       {TypeText(kColumnTextEditId, "CD"), Press(DialogId::kOk)}};
    InNewItems(2, 2, cmd::kNewItemsFillColumn);
    EXPECT_EQ(Column(*fresh, 2), (Strings{"Col 2", "x", "x"}));
    InNewItems(0, 1, cmd::kNewItemsFillColumn);  // an empty fill is a fill
    EXPECT_EQ(Column(*fresh, 1), (Strings{"Col 1", "", ""}));
    EXPECT_EQ(dialogs.shown[0].caption, "Fill column");
    ExpectMarks(false, false);

    InDatabase(2, 3, cmd::kDatabaseFillColumn);  // Esc
    ExpectMarks(false, false);
    InDatabase(0, 3, cmd::kDatabaseFillColumn);
    EXPECT_EQ(Column(*db, 3), (Strings{"Year", "CD", "CD", "CD", "CD", "CD"}));
    ExpectMarks(false, true);
}

// What no item's field can hold is refused where it is typed. A cell's edit
// box stays open with the text after a key, else the cell keeps its text.
TEST_F(Commands, ASeparatorOrLineBreakIsRefusedInFillAndInATypedCell) {
    AddNewItems({"a;b"});
    fakes::FakeGridWindow windows[2];
    CGridCtrl* grids[2] = {fresh, db};
    for (int pane : {0, 1}) grids[pane]->AttachWindow(&windows[pane]);
    // As a real message box does, the message takes the focus from the box.
    messages.onShow = [&] { windows[0].SetFocus(), windows[1].SetFocus(); };
    const std::string refused = "The text holds a \";\" or a line break,\nwhich an item's field cannot hold.\n\n";
    const char* outcomes[] = {"Nothing was filled.", "Type another text, or press Esc for the old one.",
                              "The cell keeps its old text."};
    for (const std::string bad : {"a;b", "a\nb", "a\rb"})
        for (int pane : {0, 1})
            for (int place : {0, 1, 2}) {  // Fill column with.., a cell ended by Return, one ended by a command
                SCOPED_TRACE(bad + " " + std::to_string(pane) + " " + std::to_string(place));
                fakes::FakeGridWindow& shown = windows[pane];
                const std::string old(grids[pane]->GetCellText(1, 1));
                messages.shown.clear();
                frame.SetActivePane(pane == 1);
                if (place == 0) {
                    dialogs.scripts.push_back({TypeText(kColumnTextEditId, bad), Press(DialogId::kOk)});
                    Choose(pane == 1, 0, 1, pane ? cmd::kDatabaseFillColumn : cmd::kNewItemsFillColumn);
                } else {
                    grids[pane]->SetFocusCell(1, 1);
                    grids[pane]->OnKeyDown(Key::kF2, 0);
                    ASSERT_NE(shown.edit, nullptr);
                    shown.edit->Type(bad);
                    place == 1 ? void(shown.edit->Press(Key::kReturn)) : frame.OnMenuOpening();
                }
                ASSERT_EQ(messages.shown.size(), 1u);
                EXPECT_EQ(messages.shown[0].text, refused + outcomes[place]);
                EXPECT_EQ(messages.shown[0].caption, place == 0 ? "Fill column" : pane ? "Database" : "New items");
                EXPECT_EQ(grids[pane]->GetCellText(1, 1), old);
                EXPECT_EQ(shown.edit && shown.focused == shown.edit && shown.edit->text == old + bad, place == 1);
                if (shown.edit) shown.edit->Press(Key::kEscape);
            }
    for (CGridCtrl* grid : grids) grid->AttachWindow(nullptr);
}

TEST_F(Commands, DatabaseInsertColumnMarksBothOnceWithAnEmptyHeading) {
    InDatabase(0, 1, cmd::kInsertColumn);
    EXPECT_EQ(Row(*db, 0), (Strings{"Artist", "", "Title", "Year"}));
    EXPECT_EQ(db->GetColumnWidth(2), 90);
    EXPECT_EQ(db->GetCellFormat(0, 2).ToBits(), 0x24u);
    EXPECT_EQ(db->GetCellFormat(3, 2), pane::kItemFormat);
    ExpectMarks(true, true);
    InDatabase(-1, -1, cmd::kInsertColumn);
    EXPECT_EQ(Row(*db, 0), (Strings{"Artist", "", "Title", "Year", ""}));
    EXPECT_EQ(window.title, openTitle + "*");
}

TEST_F(Commands, DatabaseRenameColumnTakesTheNameAsTyped) {
    dialogs.scripts = {{Press(DialogId::kCancel)}, {TypeText(kColumnTextEditId, " Band "), Press(DialogId::kOk)}};
    InDatabase(2, 1, cmd::kRenameColumn);
    EXPECT_EQ(dialogs.finalTexts[0].at(kColumnTextEditId), "Artist");  // opened with the heading
    ExpectMarks(false, false);
    InDatabase(0, 1, cmd::kRenameColumn);
    EXPECT_EQ(Row(*db, 0), (Strings{" Band ", "Title", "Year"}));
    ExpectMarks(true, true);
}

TEST_F(Commands, DatabaseDeleteColumnAsksAboutTheClickedCellAndMarksOnYes) {
    messages.Answer(MbResult::No);
    InDatabase(3, 2, cmd::kDeleteColumn);
    ExpectAsked("Delete column Pornography?", "Delete column");
    ExpectMarks(false, false);
    InDatabase(0, 2, cmd::kDeleteColumn);
    ExpectAsked("Delete column Title?", "Delete column");
    EXPECT_EQ(Row(*db, 0), (Strings{"Artist", "Year"}));
    EXPECT_EQ(db->GetRowCount(), 6);
    ExpectMarks(true, true);
    InDatabase(0, 1, cmd::kDeleteColumn);
    InDatabase(0, 1, cmd::kDeleteColumn);  // the last data column takes the items along
    EXPECT_EQ(db->GetRowCount(), 1);
}

TEST_F(Commands, DatabaseDeleteAllColumnsMarksTheConfigurationToo) {
    messages.Answer(MbResult::No);
    InDatabase(-1, -1, cmd::kDatabaseDeleteAllColumns);
    ExpectAsked("Delete all columns?", "Delete all");
    ExpectMarks(false, false);
    InDatabase(-1, -1, cmd::kDatabaseDeleteAllColumns);
    EXPECT_EQ(db->GetColumnCount(), 1);
    EXPECT_EQ(db->GetRowCount(), 1);
    ExpectMarks(true, true);  // the stored column names are gone
}

TEST_F(Commands, DatabaseDeleteItemRenumbersAndDeleteAllItemsKeepsColumns) {
    messages.Answer(MbResult::No);
    InDatabase(3, 2, cmd::kDeleteItem);
    ExpectAsked("Delete selected item?", "Delete item(s)");
    EXPECT_EQ(db->GetRowCount(), 6);
    InDatabase(3, 0, cmd::kDeleteItem);
    EXPECT_EQ(Column(*db, 0), (Strings{"Database*", "1", "2", "3", "4"}));
    EXPECT_EQ(Column(*db, 1), (Strings{"Artist", "Abba", "Blur", "Doors", "Eels"}));
    ExpectMarks(false, true);

    messages.Answer(MbResult::No);
    InDatabase(1, 1, cmd::kDeleteAllItems);
    ExpectAsked("Delete all items?", "Delete all");
    EXPECT_FALSE(ConfigurationMarked());
    InDatabase(1, 1, cmd::kDeleteAllItems);
    EXPECT_EQ(db->GetRowCount(), 1);
    EXPECT_EQ(Row(*db, 0), (Strings{"Artist", "Title", "Year"}));
    ExpectMarks(true, true);
}

TEST_F(Commands, DatabaseMoveColumnCarriesHeadingAndTextsButNotLooks) {
    db->SetCellBackColour(2, 1, 0x123456);
    MoveColumnInPane(frame, true, 1, -1);  // past the end
    EXPECT_EQ(Row(*db, 0), (Strings{"Title", "Year", "Artist"}));
    EXPECT_EQ(Row(*db, 2), (Strings{"Parklife", "1994", "Blur"}));
    EXPECT_EQ(Column(*db, 0), (Strings{"Database*", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(db->GetCellFormat(2, 3).ToBits(), 0x24u);
    EXPECT_NE(db->GetCell(2, 3)->GetBackColour(), 0x123456u);
    EXPECT_EQ(db->GetCell(0, 3)->GetBackColour(), 0xE6E6E6u);
    EXPECT_GE(db->GetColumnWidth(3), 90);
    // Names and fields change order together: saving only one would mismatch them.
    ExpectMarks(true, true);

    MoveColumnInPane(frame, true, 3, 0);  // onto the numbers: the first data column
    EXPECT_EQ(Row(*db, 0), (Strings{"Artist", "Title", "Year"}));
    MoveColumnInPane(frame, true, 3, 2);  // onto its left neighbour: no change
    MoveColumnInPane(frame, true, 1, 2);  // rightwards: after the drop column
    EXPECT_EQ(Row(*db, 0), (Strings{"Title", "Artist", "Year"}));
    EXPECT_EQ(Row(*db, 5), (Strings{"Beautiful Freak", "Eels", "1996"}));
}

TEST_F(Commands, MoveColumnLeftWithoutItemsAndIndexesThatNameNoMove) {
    db->DeleteNonFixedRows();
    MoveColumnInPane(frame, true, 3, 0);
    EXPECT_EQ(Row(*db, 0), (Strings{"Year", "Artist", "Title"}));
    for (auto [from, to] : {std::pair{2, 2}, {0, 2}, {4, 1}, {1, 4}, {1, -2}}) MoveColumnInPane(frame, true, from, to);
    EXPECT_EQ(Row(*db, 0), (Strings{"Year", "Artist", "Title"}));
}

TEST_F(Commands, NewItemsMoveColumnRenamesHeadingsKeepsChecksAndMarksNothing) {
    AddNewItems({"a;b;c", "d;e;f"});
    SetChecks({false, true});
    MoveColumnInPane(frame, false, 1, -1);
    EXPECT_EQ(Row(*fresh, 0), (Strings{"Col 1", "Col 2", "Col 3"}));
    EXPECT_EQ(Row(*fresh, 2), (Strings{"e", "f", "d"}));
    MoveColumnInPane(frame, false, 3, 0);
    EXPECT_EQ(Row(*fresh, 1), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, true}));
    EXPECT_EQ(fresh->GetColumnWidth(0), 60);
    ExpectMarks(false, false);
}
