// The two panes: set-up, numbering, headings, check boxes, adding items,
// sorting by all columns, and the configuration mark.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDesktop.h"
#include "FakeFilePicker.h"
#include "FakeGridWindow.h"
#include "FakeMainWindow.h"
#include "IdleHosts.h"
#include "RecordingPublisher.h"
#include "ScriptedMessageBox.h"
#include "app/Session.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

using namespace tabulon;

namespace {

// A session whose hosts answer as nobody would, drawn on desktop.
struct IdleSession {
    explicit IdleSession(IDesktop& desktop = HeadlessDesktop())
        : session(fakes::HostsFor(window, messages, picker, idle.dialogs, idle.menus, publisher, idle, desktop)) {}
    fakes::FakeMainWindow window;
    fakes::ScriptedMessageBox messages;
    fakes::FakeFilePicker picker;
    fakes::RecordingPublisher publisher;
    fakes::IdleHosts idle;
    CSession session;
};

struct Panes : ::testing::Test {
    IdleSession hosts;
    fakes::FakeMainWindow& window = hosts.window;
    fakes::ScriptedMessageBox& messages = hosts.messages;
    CMainFrame& frame = hosts.session.Frame();
    CTabulonWnd1& newItems = hosts.session.NewItemsPane();
    CTabulonWnd2& database = hosts.session.DatabasePane();
    CGridCtrl* fresh = nullptr;
    CGridCtrl* db = nullptr;

    void SetUp() override {
        fresh = newItems.GetGrid();
        db = database.GetGrid();
    }
    // Database rows from fields, numbered as a load would.
    void AddDatabaseRows(const std::vector<std::vector<std::string>>& rows) {
        const CGridCtrl::CUnrecorded loaded(*db);
        for (const auto& fields : rows) {
            while (db->GetColumnCount() < static_cast<int>(fields.size()) + 1) pane::AppendDataColumn(*db);
            const int row = db->InsertRow("");
            for (std::size_t f = 0; f < fields.size(); ++f)
                pane::SetItemCell(*db, row, static_cast<int>(f) + 1, fields[f]);
        }
        database.NumberItemRows(1, db->GetRowCount() - 1);
    }
    static std::vector<std::string> Row(const CGridCtrl& grid, int row) {
        std::vector<std::string> out;
        for (int c = 1; c < grid.GetColumnCount(); ++c) out.emplace_back(grid.GetCellText(row, c));
        return out;
    }
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(Panes, SetUpGivesOneHeadingRowAndTheCornerTitle) {
    for (CGridCtrl* grid : {fresh, db}) {
        EXPECT_EQ(grid->GetRowCount(), 1);
        EXPECT_EQ(grid->GetColumnCount(), 1);
        EXPECT_EQ(grid->GetFixedRowCount(), 1);
        EXPECT_EQ(grid->GetFixedColumnCount(), 0);
        EXPECT_EQ(grid->GetColumnWidth(0), 60);
        EXPECT_EQ(grid->GetCell(0, 0)->GetBackColour(), 0x905500u);
        EXPECT_EQ(grid->GetCell(0, 0)->GetTextColour(), 0xFFFFFFu);
        EXPECT_FALSE(grid->IsSelectable());
        EXPECT_FALSE(grid->GetTrackFocusCell());
        EXPECT_FALSE(grid->GetFixedRowSelection());
    }
    EXPECT_EQ(fresh->GetCellText(0, 0), "New items");
    EXPECT_EQ(db->GetCellText(0, 0), "Database");
    CGridCtrl* before = fresh;
    fresh->InsertRow("x");
    newItems.OnInitialUpdate();  // a second update keeps the grid and its rows
    EXPECT_EQ(newItems.GetGrid(), before);
    EXPECT_EQ(fresh->GetRowCount(), 2);
}

TEST_F(Panes, AddItemFromTextGrowsColumnsNamesThemAndChecksNewRows) {
    newItems.AddItemFromText("Abba - Waterloo - 1974", "-", fresh->GetRowCount());
    EXPECT_EQ(fresh->GetColumnCount(), 4);
    EXPECT_EQ(Row(*fresh, 0), (Strings{"Col 1", "Col 2", "Col 3"}));
    EXPECT_EQ(Row(*fresh, 1), (Strings{"Abba", "Waterloo", "1974"}));
    EXPECT_EQ(fresh->GetCellText(1, 0), "X");
    EXPECT_EQ(fresh->GetCell(0, 3)->GetFormat().ToBits(), 0x24u);
    EXPECT_EQ(fresh->GetCell(0, 3)->GetBackColour(), 0xE6E6E6u);
    EXPECT_EQ(fresh->GetCell(1, 2)->GetFormat().ToBits(), 0x8824u);

    newItems.AddItemFromText("a--b", "-", fresh->GetRowCount());
    EXPECT_EQ(Row(*fresh, 2), (Strings{"a", "", "b"}));
    newItems.AddItemFromText("  no separator  ", "-", fresh->GetRowCount());
    EXPECT_EQ(fresh->GetCellText(3, 1), "  no separator  ");  // whole text, untrimmed

    // An existing row is overwritten and keeps its check state.
    dynamic_cast<CGridCellCheckBox*>(fresh->GetCell(1, 0))->SetCheck(false);
    newItems.AddItemFromText("x;y", ";", 1);
    EXPECT_EQ(Row(*fresh, 1), (Strings{"x", "y", "1974"}));
    EXPECT_EQ(fresh->GetCellText(1, 0), "");
    EXPECT_EQ(fresh->GetRowCount(), 4);
    // A separator of more than one character never matches.
    newItems.AddItemFromText("a--b", "--", fresh->GetRowCount());
    EXPECT_EQ(fresh->GetCellText(4, 1), "a--b");
    EXPECT_EQ(fresh->GetColumnCount(), 4);
}

TEST_F(Panes, AnEmptyCheckedItemFarDownIsScrolledIntoView) {
    fakes::FakeGridWindow gridWindow;
    for (int i = 0; i < 200; ++i) newItems.AddItemFromText("item", "-", fresh->GetRowCount());
    newItems.AddItemFromText("", "-", fresh->GetRowCount());
    fresh->AttachWindow(&gridWindow);
    fresh->ResetScrollBars();
    EXPECT_TRUE(newItems.FindEmptyCheckedItem());
    Rect rect;
    ASSERT_TRUE(fresh->GetCellRect(201, 1, rect));
    EXPECT_LT(rect.top, gridWindow.clientSize.cy);  // in view, where it was far below
    fresh->AttachWindow(nullptr);
}

TEST_F(Panes, CheckBoxesCountSetAndClear) {
    EXPECT_EQ(newItems.CountCheckedItems(), 0);
    EXPECT_FALSE(newItems.FindEmptyCheckedItem());
    for (const char* text : {"a", "b", "c"}) newItems.AddItemFromText(text, "-", fresh->GetRowCount());
    EXPECT_EQ(newItems.CountCheckedItems(), 3);
    newItems.CheckAllItems(false);
    EXPECT_EQ(newItems.CountCheckedItems(), 0);
    newItems.CheckAllItems(true);
    EXPECT_EQ(newItems.CountCheckedItems(), 3);
    const int plain = fresh->InsertRow("");
    newItems.MakeCheckCell(plain);
    EXPECT_EQ(fresh->GetCellText(plain, 0), "");  // a new box starts unchecked
    EXPECT_EQ(newItems.CountCheckedItems(), 3);
}

TEST_F(Panes, EmptyCheckedItemFlashesFocusesAndEndsWhite) {
    newItems.AddItemFromText("first", "-", 1);
    newItems.AddItemFromText("   ", "-", 2);
    newItems.AddItemFromText("", "-", 3);
    fresh->SetCellBackColour(2, 1, 0x123456);
    Colour whileShown = 0;
    messages.onShow = [&] { whileShown = fresh->GetCell(2, 1)->GetBackColour(); };
    EXPECT_TRUE(newItems.FindEmptyCheckedItem());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Checked item with first cell empty found!");
    EXPECT_EQ(messages.shown[0].caption, "Cell");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Information);
    EXPECT_EQ(fresh->GetFocusCell(), CellId(2, 1));
    EXPECT_EQ(whileShown, 0xE1FFFFu);
    EXPECT_EQ(fresh->GetCell(2, 1)->GetBackColour(), 0xFFFFFFu);  // white, not its old colour

    dynamic_cast<CGridCellCheckBox*>(fresh->GetCell(2, 0))->SetCheck(false);
    EXPECT_TRUE(newItems.FindEmptyCheckedItem());  // now row 3
    EXPECT_EQ(fresh->GetFocusCell(), CellId(3, 1));
    dynamic_cast<CGridCellCheckBox*>(fresh->GetCell(3, 0))->SetCheck(false);
    EXPECT_FALSE(newItems.FindEmptyCheckedItem());
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(Panes, SortByAllColumnsSortsRunsByTheNextColumn) {
    AddDatabaseRows({{"b", "a"}, {"a", "z"}, {"a", "y"}});
    database.SortByAllColumns();
    EXPECT_EQ(Row(*db, 1), (Strings{"a", "y"}));
    EXPECT_EQ(Row(*db, 2), (Strings{"a", "z"}));
    EXPECT_EQ(Row(*db, 3), (Strings{"b", "a"}));
    EXPECT_EQ(db->GetCellText(3, 0), "3");
    EXPECT_EQ(db->GetCellText(0, 0), "Database");  // a sort sets no mark
}

TEST_F(Panes, DatabaseRunsIgnoreCaseNewItemsRunsRespectIt) {
    // The sort by column 1 puts (A, x) first in both panes; only 'Database'
    // then takes the two rows as one run and orders them by column 2.
    AddDatabaseRows({{"a", "w"}, {"A", "x"}});
    database.SortByAllColumns();
    EXPECT_EQ(Row(*db, 1), (Strings{"a", "w"}));
    EXPECT_EQ(Row(*db, 2), (Strings{"A", "x"}));

    newItems.AddItemFromText("a;w", ";", 1);
    newItems.AddItemFromText("A;x", ";", 2);
    newItems.SortByAllColumns();
    EXPECT_EQ(Row(*fresh, 1), (Strings{"A", "x"}));
    EXPECT_EQ(Row(*fresh, 2), (Strings{"a", "w"}));

    // Trailing blanks do not break a run in either pane.
    newItems.AddItemFromText("b ;2", ";", 3);
    newItems.AddItemFromText("b;1", ";", 4);
    fresh->SetCellText(3, 1, "b ");  // the import trims fields; keep the blank
    newItems.SortByAllColumns();
    EXPECT_EQ(Row(*fresh, 3), (Strings{"b", "1"}));
    EXPECT_EQ(Row(*fresh, 4), (Strings{"b ", "2"}));
}

TEST_F(Panes, RunsStopAtTheLastRowAndEmptyLeadingColumnsSortLikeOthers) {
    AddDatabaseRows({{"", "b", "2"}, {"x", "a", "1"}, {"", "a", "9"}, {"", "a", "1"}});
    database.SortByAllColumns();
    EXPECT_EQ(Row(*db, 1), (Strings{"", "a", "1"}));
    EXPECT_EQ(Row(*db, 2), (Strings{"", "a", "9"}));
    EXPECT_EQ(Row(*db, 3), (Strings{"", "b", "2"}));
    EXPECT_EQ(Row(*db, 4), (Strings{"x", "a", "1"}));
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(db->GetCellText(r, 0), std::to_string(r));
}

TEST_F(Panes, NumberingClearingAndTheDatabaseMark) {
    AddDatabaseRows({{"a", "b"}, {"c", "d"}});
    db->SetCellText(1, 0, "");
    database.NumberItemRows(0, 99);  // past the end is skipped
    EXPECT_EQ(db->GetCellText(1, 0), "1");
    EXPECT_EQ(db->GetCellText(0, 0), "0");
    db->SetCellText(0, 0, "Database");

    EXPECT_FALSE(database.IsDatabaseModified());
    database.SetDatabaseModified(true);
    EXPECT_EQ(db->GetCellText(0, 0), "Database*");
    EXPECT_TRUE(database.IsDatabaseModified());

    database.ClearDatabase();
    EXPECT_EQ(db->GetRowCount(), 1);
    EXPECT_EQ(db->GetColumnCount(), 1);
    EXPECT_EQ(db->GetCellText(0, 0), "Database*");  // the corner is left alone
}

TEST_F(Panes, ConfigurationMarkIsRebuiltNeverDoubledAndNeedsAnOpenConfiguration) {
    frame.Config().cfgfile = "/lists/music.cfg";
    frame.MarkConfigurationModified();
    EXPECT_EQ(window.title, "Tabulon");  // nothing is open
    window.title = "Tabulon - /lists/music.cfg";
    frame.MarkConfigurationModified();
    frame.MarkConfigurationModified();
    EXPECT_EQ(window.title, "Tabulon - /lists/music.cfg*");
}

TEST_F(Panes, FittingKeepsColumnZeroAt60AndDataColumnsAtLeast90) {
    AddDatabaseRows({{"a", "a much longer text than ninety pixels hold"}});
    db->SetColumnWidth(0, 10);
    database.FitDatabaseColumns();  // no window: nothing measured, the limits still hold
    EXPECT_EQ(db->GetColumnWidth(0), 60);
    EXPECT_EQ(db->GetColumnWidth(1), 90);
    EXPECT_GE(db->GetColumnWidth(2), 90);
}

// Edits in place reach the main window's logic through the grid.
struct EditedPanes : Panes {
    fakes::FakeGridWindow dbWindow;
    void SetUp() override {
        Panes::SetUp();
        AddDatabaseRows({{"Beta", "2001", "x"}, {"Alpha", "1999", "y"}});
        for (int c = 0; c < db->GetColumnCount(); ++c) db->SetColumnWidth(c, 60);
        db->AttachWindow(&dbWindow);
        db->ResetScrollBars();
        frame.SetActivePane(true);
    }
    void TypeInto(int row, int col, const std::string& text, unsigned endKey) {
        db->SetFocusCell(row, col);
        db->OnKeyDown(Key::kF2, 0);
        ASSERT_NE(dbWindow.edit, nullptr);
        dbWindow.edit->SetText(text);
        dbWindow.edit->Press(endKey);
    }
};

TEST_F(EditedPanes, AnEditInAnyItemColumnMarksTheDatabase) {
    ASSERT_FALSE(database.IsDatabaseModified());
    TypeInto(1, 1, "Gamma", Key::kReturn);  // column 1: the focus stays before column 2
    EXPECT_EQ(db->GetCellText(1, 1), "Gamma");
    EXPECT_TRUE(database.IsDatabaseModified());

    database.SetDatabaseModified(false);
    TypeInto(2, 2, "1999", Key::kReturn);  // unchanged: nothing to save, whatever the column
    EXPECT_FALSE(database.IsDatabaseModified());
    TypeInto(2, 2, "2000", Key::kReturn);
    EXPECT_TRUE(database.IsDatabaseModified());

    database.SetDatabaseModified(false);
    db->SetFocusCell(2, 1);
    db->OnKeyDown(Key::kDelete, 0);
    EXPECT_EQ(db->GetCellText(2, 1), "");
    EXPECT_TRUE(database.IsDatabaseModified());
}

TEST_F(EditedPanes, AnUnchangedEditInColumnOneLeavesTheMarkAlone) {
    TypeInto(1, 1, "Beta", Key::kReturn);
    EXPECT_FALSE(database.IsDatabaseModified());
    frame.SetActivePane(false);  // an edit while 'New items' has the keyboard
    TypeInto(2, 3, "y", Key::kReturn);
    EXPECT_FALSE(database.IsDatabaseModified());
}

TEST_F(EditedPanes, HeadingClicksSortThePaneAndRenumber) {
    db->SetColumnWidth(1, 60);
    db->OnLButtonDown({90, 5}, 0);  // the heading of column 1
    db->OnLButtonUp({90, 5}, 0);
    EXPECT_EQ(Row(*db, 1), (Strings{"Alpha", "1999", "y"}));
    EXPECT_EQ(db->GetCellText(1, 0), "1");
    db->SetColumnWidth(0, 90);
    db->OnLButtonDown({130, 5}, 0);  // the heading of column 2 (now 90 + 60 .. )
    db->OnLButtonUp({130, 5}, 0);
    EXPECT_EQ(db->GetColumnWidth(0), 60);  // the number column goes back to its width
}

TEST(PaneNumberColumn, WidensWhenTheScreenFontCannotShowTheCornerMarkInSixtyPixels) {
    fakes::FakeDesktop desktop;  // 7 pixels a character: "Database*" needs 63 and margins
    IdleSession hosts(desktop);
    CMainFrame& frame = hosts.session.Frame();
    CTabulonWnd2& database = hosts.session.DatabasePane();
    CGridCtrl& grid = *database.GetGrid();
    EXPECT_GT(grid.GetColumnWidth(0), 63);
    const int wide = grid.GetColumnWidth(0);
    grid.SetColumnWidth(0, 20);
    frame.ResetNumberColumnWidths();
    EXPECT_EQ(grid.GetColumnWidth(0), wide);

    desktop.charWidth = 2;  // a small font: the plain 60 pixels
    CTabulonWnd2 small{frame};
    small.OnInitialUpdate(&desktop);
    EXPECT_EQ(small.GetGrid()->GetColumnWidth(0), 60);
}
