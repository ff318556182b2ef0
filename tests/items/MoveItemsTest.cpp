// "Move items": the checked 'New items' copied into 'Database' by column
// position, then sorted and renumbered; 'New items' stays as it was.

#include "CommandFixture.h"
#include "ScriptedToolDialogs.h"
#include "app/CommandTable.h"
#include "items/MoveItems.h"
#include "tools/FindDuplicateDlg.h"

using namespace tabulon;
using namespace tabulon::testing;

namespace {

struct MovingItems : CommandPanes {
    // Every text of a grid, column 0 included, to tell that nothing changed.
    static std::vector<Strings> Texts(const CGridCtrl& grid) {
        std::vector<Strings> out;
        for (int c = 0; c < grid.GetColumnCount(); ++c) out.push_back(Column(grid, c));
        return out;
    }
};

}  // namespace

TEST_F(MovingItems, CheckedItemsLandSortedAndNumberedAndStayChecked) {
    AddDatabase({"Artist", "Title"}, {"m;1"});
    AddNewItems({"b;2", "z;9", "a;1"});
    SetChecks({true, false, true});
    const auto before = Texts(*fresh);
    MoveItems(frame);
    EXPECT_EQ(Column(*db, 0), (Strings{"Database*", "1", "2", "3"}));
    EXPECT_EQ(Column(*db, 1), (Strings{"Artist", "a", "b", "m"}));
    EXPECT_EQ(Column(*db, 2), (Strings{"Title", "1", "2", "1"}));
    for (int r = 1; r <= 2; ++r) {  // the moved rows' numbers look like loaded ones
        EXPECT_EQ(db->GetCellFormat(r, 0).ToBits(), 0x25u);
        EXPECT_TRUE(db->GetCellState(r, 0) & CellState::kReadOnly);
        EXPECT_EQ(db->GetCell(r, 0)->GetBackColour(), 0xE6E6E6u);
    }
    EXPECT_EQ(Texts(*fresh), before);
    EXPECT_EQ(Checks(), (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(ConfigurationMarked());
    // "Delete item(s)" afterwards removes exactly what was copied.
    Choose(false, 1, 1, MenuCommand::kDeleteItems);
    EXPECT_EQ(Column(*fresh, 1), (Strings{"Col 1", "z"}));
}

TEST_F(MovingItems, MoreFewerAndEqualColumns) {
    AddDatabase({"Artist"}, {});
    AddNewItems({"a;b;c"});
    MoveItems(frame);  // more: empty headings, 90 wide, no configuration mark
    EXPECT_EQ(Row(*db, 0), (Strings{"Artist", "", ""}));
    EXPECT_EQ(Row(*db, 1), (Strings{"a", "b", "c"}));
    EXPECT_EQ(db->GetColumnWidth(3), 90);
    EXPECT_EQ(db->GetCellFormat(0, 3).ToBits(), 0x24u);
    EXPECT_EQ(db->GetCell(0, 3)->GetBackColour(), 0xE6E6E6u);
    EXPECT_FALSE(ConfigurationMarked());

    fresh->DeleteNonFixedRows();
    fresh->DeleteColumn(3);
    AddNewItems({"0;x"});
    MoveItems(frame);  // fewer: the extra column stays empty
    EXPECT_EQ(Row(*db, 1), (Strings{"0", "x", ""}));

    AddNewItems({"1;y;z"});
    SetChecks({false, true});
    MoveItems(frame);  // equal
    EXPECT_EQ(Column(*db, 0), (Strings{"Database*", "1", "2", "3"}));
    EXPECT_EQ(Row(*db, 2), (Strings{"1", "y", "z"}));
}

TEST_F(MovingItems, NoneCheckedStillMarksSortsAndRenumbers) {
    AddDatabase({"Artist"}, {"b", "a"});
    AddNewItems({"c"});
    SetChecks({false});
    MoveItems(frame);
    EXPECT_EQ(Column(*db, 1), (Strings{"Artist", "a", "b"}));
    EXPECT_EQ(Column(*db, 0), (Strings{"Database*", "1", "2"}));
}

TEST_F(MovingItems, NoItemsNoConfigurationOrAnEmptyFirstCellChangeNothing) {
    AddDatabase({"Artist"}, {"a"});
    const auto before = Texts(*db);
    MoveItems(frame);  // no items: not even a message
    EXPECT_TRUE(messages.shown.empty());

    AddNewItems({"ok", "   ", ""});
    SetChecks({true, true, false});
    window.title = "Tabulon";
    MoveItems(frame);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "No configuration opened!\n\nCreate a new or open a saved configuration\n"
              "before moving items to 'Database'.");
    EXPECT_EQ(messages.shown[0].caption, "Configuration");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Information);
    EXPECT_EQ(messages.shown[0].buttons, MbButtons::Ok);

    window.title = openTitle;
    MoveItems(frame);  // the checked blank first cell stops everything
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "Checked item with first cell empty found!");
    EXPECT_EQ(Texts(*db), before);

    SetChecks({true, false, false});  // an unchecked empty one does not matter
    MoveItems(frame);
    MoveItems(frame);  // and a second run copies again
    EXPECT_EQ(Column(*db, 1), (Strings{"Artist", "a", "ok", "ok"}));
}

// Columns that Move items adds reach an open 'Find dublicate': "All" then
// compares them too, and rows that differ only there are no pair.
TEST(MovingItemsWithFindOpen, NewColumnsReachTheFindList) {
    fakes::FakeMainWindow window;
    fakes::ScriptedMessageBox messages;
    fakes::ScriptedPopupMenu menus;
    fakes::ScriptedToolDialogHost dialogs;
    fakes::FakeFilePicker picker;
    fakes::RecordingPublisher publisher;
    fakes::IdleHosts idle;
    CSession session{fakes::HostsFor(window, messages, picker, dialogs, menus, publisher, idle)};
    session.Frame().Config().cfgfile = "/lists/music.cfg";
    window.title = "Tabulon - /lists/music.cfg";
    CGridCtrl& db = *session.DatabasePane().GetGrid();
    db.SetCellText(0, pane::AppendDataColumn(db), "Artist");
    session.Frame().OnCommand(CommandId::kFindDuplicate);
    ASSERT_EQ(dialogs.modeless.size(), 1u);
    fakes::ToolDialog& find = *dialogs.modeless[0];
    ASSERT_EQ(find.GetListCount(FindDuplicateId::kColumns), 2);

    for (const char* line : {"a;x;1", "a;x;2"}) session.NewItemsPane().AddItemFromText(line, ";", 99);
    MoveItems(session.Frame());
    EXPECT_EQ(find.GetListCount(FindDuplicateId::kColumns), 4);  // "All", 1, 2, 3
    messages.shown.clear();
    find.SetListSelection(FindDuplicateId::kColumns, 0);
    dialogs.Click(find, FindDuplicateId::kFind);
    EXPECT_TRUE(dialogs.shownModal.empty());  // no pair: the third columns differ
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Done");
}
