// Keys, the mouse, in-place editing and the title tip, against a fake window.

#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "FakeGridWindow.h"
#include "RecordingGridFrame.h"
#include "TextNames.h"
#include "grid/CellEditBox.h"
#include "grid/GridCtrl.h"
#include "grid/TitleTip.h"

using namespace tabulon;

namespace {

struct NotificationLog : IGridOwner {
    std::vector<std::pair<GridNotify, CellId>> seen;
    int commands = 0;
    void OnGridNotify(CGridCtrl&, GridNotify code, CellId cell) override { seen.emplace_back(code, cell); }
    void OnGridCommand(CGridCtrl&) override { ++commands; }
    bool Saw(GridNotify code) const {
        for (const auto& [c, cell] : seen)
            if (c == code) return true;
        return false;
    }
};

// One heading row and one number column, cells 50 x 20 in a 400 x 300 window:
// cell (r, c) covers x 50c .. 50c+49 and y 20r .. 20r+19.
struct InputFixture : ::testing::Test {
    fakes::FakeDesktop desktop;
    fakes::FakeGridWindow window;
    fakes::RecordingGridFrame frame;
    NotificationLog owner;
    std::unique_ptr<CGridCtrl> grid;

    void SetUp() override { Make(6, 4); }
    void Make(int rows, int cols) {
        grid = std::make_unique<CGridCtrl>(rows, cols, 1, 1, &desktop);
        for (int c = 0; c < cols; ++c) grid->SetColumnWidth(c, 50);
        for (int r = 0; r < rows; ++r) grid->SetRowHeight(r, 20);
        for (int r = 1; r < rows; ++r)
            for (int c = 1; c < cols; ++c) grid->SetCellText(r, c, fakes::CellName(r, c));
        grid->AttachWindow(&window);
        grid->SetOwner(&owner);
        grid->SetFrame(&frame);
        grid->ResetScrollBars();
        grid->SetFocusCell(1, 1);
    }
    static Point Centre(int row, int col) { return {50 * col + 25, 20 * row + 10}; }
    void Click(Point p, unsigned modifiers = 0) {
        grid->OnLButtonDown(p, modifiers);
        grid->OnLButtonUp(p, modifiers);
    }
    fakes::FakeEditControl* Edit() const { return window.edit; }
};

}  // namespace

TEST_F(InputFixture, ArrowsAndTabMoveTheFocusAroundHiddenAndFixedCells) {
    grid->SetColumnWidth(2, 0);
    EXPECT_TRUE(grid->OnKeyDown(Key::kRight, 0));
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 3));  // column 2 is hidden
    grid->OnKeyDown(Key::kRight, 0);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 3));  // the last column stays
    grid->OnKeyDown(Key::kUp, 0);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 3));  // never into the heading row
    grid->OnKeyDown(Key::kTab, 0);
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 1));  // wraps to the next row
    grid->OnKeyDown(Key::kTab, Modifier::kShift);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 3));                 // and back
    EXPECT_FALSE(grid->OnKeyDown(Key::kTab, Modifier::kControl));  // the dialog's Ctrl+Tab

    grid->SetFocusCell(5, 3);
    EXPECT_FALSE(grid->OnKeyDown(Key::kTab, 0));  // the very end: the focus leaves the grid
    EXPECT_EQ(grid->GetFocusCell(), CellId(5, 3));
    grid->OnKeyDown(Key::kHome, Modifier::kControl);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 1));
    grid->OnKeyDown(Key::kEnd, Modifier::kControl);
    EXPECT_EQ(grid->GetFocusCell(), CellId(5, 3));
    // The selection follows the focus; Shift keeps the anchor.
    grid->OnKeyDown(Key::kUp, Modifier::kShift);
    EXPECT_TRUE(grid->IsCellSelected(5, 3));
    EXPECT_TRUE(grid->IsCellSelected(4, 3));
    EXPECT_FALSE(grid->OnKeyDown('A', 0));  // not a key of the grid's
}

TEST_F(InputFixture, PageKeysMoveTheFocusAsFarAsTheViewMoved) {
    Make(100, 3);
    grid->SetFocusCell(3, 1);
    grid->OnKeyDown(Key::kNext, 0);
    const int moved = grid->GetTopLeftNonFixedCell().row - 1;
    EXPECT_GT(moved, 10);
    EXPECT_EQ(grid->GetFocusCell(), CellId(3 + moved, 1));
    grid->OnVScroll(ScrollCode::Bottom);
    grid->OnKeyDown(Key::kNext, 0);  // the view cannot move: to the last row
    EXPECT_EQ(grid->GetFocusCell().row, 99);
}

TEST_F(InputFixture, DeleteClearsAnEditableCellOnly) {
    grid->SetCellState(1, 1, grid->GetCellState(1, 1) | CellState::kReadOnly);
    EXPECT_TRUE(grid->OnKeyDown(Key::kDelete, 0));
    EXPECT_EQ(grid->GetCellText(1, 1), "r1c1");
    EXPECT_TRUE(frame.calls.empty());

    grid->SetFocusCell(2, 2);
    grid->OnKeyDown(Key::kDelete, 0);
    EXPECT_EQ(grid->GetCellText(2, 2), "");
    EXPECT_TRUE(grid->GetCell(2, 2)->IsModified());
    EXPECT_TRUE(owner.Saw(GridNotify::kBeginEdit));
    EXPECT_TRUE(owner.Saw(GridNotify::kEndEdit));
    EXPECT_TRUE(frame.Called("changed 2,2"));
}

TEST_F(InputFixture, TypingALetterOpensTheBoxWithThatLetterAlone) {
    grid->OnChar(U'x', 0);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text, "x");
    EXPECT_EQ(window.focused, Edit());
    EXPECT_TRUE(grid->GetCell(1, 1)->IsEditing());
    EXPECT_TRUE(owner.Saw(GridNotify::kBeginEdit));
    // Non-ASCII letters are typed as UTF-8, and a bracket is typed, not taken for a key.
    Edit()->Press(Key::kReturn);
    grid->OnChar(U'é', 0);
    EXPECT_EQ(Edit()->text, "\xC3\xA9");
    Edit()->Press(Key::kEscape);
    grid->OnChar(U'(', 0);
    EXPECT_EQ(Edit()->text, "(");
    Edit()->Press(Key::kEscape);
    // Escape and Ctrl never start an edit.
    grid->OnChar(0x1B, 0);
    grid->OnChar(U'y', Modifier::kControl);
    EXPECT_EQ(Edit(), nullptr);
}

TEST_F(InputFixture, F2OpensTheOldTextWithTheCaretAtTheEndAndEscapeRestoresIt) {
    grid->SetCellState(1, 1, grid->GetCellState(1, 1) & ~CellState::kModified);
    grid->OnKeyDown(Key::kF2, 0);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text, "r1c1");
    EXPECT_TRUE(Edit()->CaretAtEnd());
    EXPECT_FALSE(Edit()->Press(Key::kDown));  // an edit by F2 moves the caret with the arrows
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 1));
    Edit()->Type(" changed");
    EXPECT_TRUE(Edit()->Press(Key::kEscape));
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetCellText(1, 1), "r1c1");
    EXPECT_FALSE(grid->GetCell(1, 1)->IsModified());
    EXPECT_FALSE(grid->GetCell(1, 1)->IsEditing());
    EXPECT_TRUE(frame.calls.empty());
}

TEST_F(InputFixture, EnterKeepsTheTextAndTellsTheFrame) {
    grid->OnKeyDown(Key::kF2, 0);
    Edit()->Type("!");
    Edit()->Press(Key::kReturn);
    EXPECT_EQ(grid->GetCellText(1, 1), "r1c1!");
    EXPECT_TRUE(grid->GetCell(1, 1)->IsModified());
    EXPECT_TRUE(owner.Saw(GridNotify::kEndEdit));
    EXPECT_TRUE(frame.Called("changed 1,1"));
    // The focus cell is in column 1: the 'Database' rule of the frame is not asked.
    EXPECT_FALSE(frame.Called("edit ended 1,1"));
}

TEST_F(InputFixture, DownInATypedEditMovesOnAndOpensTheNextCell) {
    frame.databaseActive = true;
    grid->SetFocusCell(1, 2);
    grid->OnChar(U'n', 0);
    EXPECT_TRUE(Edit()->Press(Key::kDown));
    EXPECT_EQ(grid->GetCellText(1, 2), "n");
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 2));
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text, "r2c2");
    EXPECT_TRUE(Edit()->HasSelectedAll());
    EXPECT_TRUE(frame.Called("edit ended 2,2"));
    // Tab ends this one, moves right and opens that cell too.
    EXPECT_TRUE(Edit()->Press(Key::kTab));
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 3));
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text, "r2c3");
    // Backspace as the first key opens the old text less its last character.
    Edit()->Press(Key::kEscape);
    grid->OnChar(Key::kBack, 0);
    EXPECT_EQ(Edit()->text, "r2c");
}

TEST_F(InputFixture, TheEditBoxWidensWithItsTextButStaysInTheWindow) {
    grid->OnChar(U'a', 0);
    const int start = Edit()->rect.right;
    Edit()->Type("bcdefghij");
    EXPECT_GT(Edit()->rect.right, start);
    Edit()->Type(std::string(200, 'z'));
    EXPECT_EQ(Edit()->rect.right, 400);
}

TEST_F(InputFixture, NoEditWithoutAnEditControlOrOnAReadOnlyCell) {
    window.canEdit = false;
    grid->OnKeyDown(Key::kF2, 0);
    EXPECT_FALSE(grid->GetCell(1, 1)->IsEditing());
    EXPECT_FALSE(grid->IsEditing());
    window.canEdit = true;
    grid->SetCellState(1, 1, grid->GetCellState(1, 1) | CellState::kReadOnly);
    grid->OnChar(U'q', 0);
    EXPECT_EQ(Edit(), nullptr);
}

TEST_F(InputFixture, AClickOnTheFocusCellEditsOnRelease) {
    grid->OnLButtonDown(Centre(1, 1), 0);
    EXPECT_EQ(Edit(), nullptr);
    grid->OnLButtonUp(Centre(1, 1), 0);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_TRUE(Edit()->CaretAtEnd());
    // Another click ends the edit first and moves the focus.
    Click(Centre(3, 2));
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetFocusCell(), CellId(3, 2));
    EXPECT_TRUE(owner.Saw(GridNotify::kClick));
    EXPECT_GE(owner.commands, 1);
    EXPECT_TRUE(frame.Called("widths"));
}

TEST_F(InputFixture, HeadingClicksSortByTheActivePane) {
    grid->SetCellText(1, 2, "b");
    grid->SetCellText(2, 2, "a");
    Click(Centre(0, 1));
    EXPECT_TRUE(frame.Called("sort all"));
    frame.calls.clear();
    frame.databaseActive = true;
    Click(Centre(0, 2));
    EXPECT_EQ(grid->GetCellText(1, 2), "a");
    EXPECT_TRUE(frame.Called("number"));
    frame.calls.clear();
    grid->SetCellText(1, 3, "z");
    Click(Centre(0, 0));  // the corner does not sort
    EXPECT_EQ(grid->GetCellText(1, 3), "z");
    EXPECT_FALSE(frame.Called("sort all"));
    EXPECT_FALSE(frame.Called("number"));
}

TEST_F(InputFixture, DraggingADividerSizesTheColumnWithoutSorting) {
    const Point divider{149, 10};  // the right edge of column 2 in the heading row
    grid->OnMouseMove(divider, 0);
    EXPECT_EQ(window.cursor, GridCursor::SizeColumns);
    EXPECT_EQ(grid->GetHeadingGesture(), 'w');
    grid->OnLButtonDown(divider, Modifier::kLeftButton);
    grid->OnMouseMove({180, 10}, Modifier::kLeftButton);
    EXPECT_EQ(window.trackingLine.left, 180);
    grid->OnLButtonUp({180, 10}, 0);
    EXPECT_EQ(grid->GetColumnWidth(2), 80);
    EXPECT_FALSE(frame.Called("sort all"));
    EXPECT_FALSE(frame.Called("number"));
    EXPECT_EQ(window.cursor, GridCursor::Arrow);
    EXPECT_EQ(window.trackingLine, Rect{});

    // Dragged past the left edge: hidden, as hiding is allowed.
    grid->OnMouseMove({179, 10}, 0);
    grid->OnLButtonDown({179, 10}, Modifier::kLeftButton);
    grid->OnMouseMove({60, 10}, Modifier::kLeftButton);
    grid->OnLButtonUp({60, 10}, 0);
    EXPECT_EQ(grid->GetColumnWidth(2), 0);
}

TEST_F(InputFixture, DoubleClickOnADividerFitsTheColumn) {
    grid->SetCellText(2, 2, "a much longer text than fits");
    grid->OnLButtonDblClk({149, 10}, 0);
    EXPECT_GT(grid->GetColumnWidth(2), 7 * 28);
    grid->OnLButtonDblClk(Centre(3, 3), 0);  // on a cell: edits it
    ASSERT_NE(Edit(), nullptr);
    EXPECT_TRUE(owner.Saw(GridNotify::kDoubleClick));
}

TEST_F(InputFixture, ACtrlDragOfAHeadingMovesTheColumnInTheActivePane) {
    const unsigned held = Modifier::kControl | Modifier::kLeftButton;
    grid->OnLButtonDown(Centre(0, 1), Modifier::kControl);
    EXPECT_EQ(grid->GetHeadingGesture(), 'r');
    EXPECT_EQ(window.cursor, GridCursor::MoveColumn);
    grid->OnMouseMove({151, 10}, held);  // over the divider between columns 2 and 3
    EXPECT_EQ(grid->GetHeadingGesture(), 'h');
    EXPECT_EQ(window.cursor, GridCursor::MoveColumnDivider);
    grid->OnLButtonUp({151, 10}, Modifier::kControl);
    EXPECT_TRUE(frame.Called("move 1 2"));  // the column under the point 10 pixels left
    EXPECT_EQ(grid->GetHeadingGesture(), 'a');

    // Dropped left of every column: no target.
    frame.calls.clear();
    grid->OnLButtonDown(Centre(0, 2), Modifier::kControl);
    grid->OnMouseMove({101, 10}, held);
    grid->OnMouseMove({3, 10}, held);
    grid->OnLButtonUp({3, 10}, Modifier::kControl);
    EXPECT_TRUE(frame.Called("move 2 -1"));
    // Releasing Ctrl on the way gives the gesture up.
    frame.calls.clear();
    grid->OnLButtonDown(Centre(0, 2), Modifier::kControl);
    grid->OnMouseMove({101, 10}, Modifier::kLeftButton);
    grid->OnLButtonUp({101, 10}, Modifier::kControl);
    EXPECT_FALSE(frame.Called("move 2 1"));
}

TEST_F(InputFixture, RightClicksMoveTheFocusAndOpenTheMenu) {
    grid->OnRButtonUp(Centre(3, 2), 0);
    EXPECT_EQ(grid->GetFocusCell(), CellId(3, 2));
    EXPECT_TRUE(frame.Called("menu 3,2"));
    grid->OnRButtonUp(Centre(0, 2), 0);  // on a heading the focus goes
    EXPECT_FALSE(grid->GetFocusCell().IsValid());
    EXPECT_TRUE(frame.Called("menu 0,2"));
    grid->OnRButtonUp({390, 290}, 0);  // on no cell
    EXPECT_TRUE(frame.Called("menu -1,-1"));
    ASSERT_FALSE(owner.seen.empty());
    EXPECT_EQ(owner.seen.back(), std::make_pair(GridNotify::kRightClick, CellId(-1, -1)));
}

TEST_F(InputFixture, TheMenuKeyOpensTheFocusCellsMenuAtThatCellAndEndsAnEdit) {
    grid->SetFocusCell(3, 2);
    grid->OnChar('x', 0);  // an edit in progress goes in first
    ASSERT_TRUE(grid->IsEditing());
    grid->OnContextMenuKey();
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->GetCellText(3, 2), "x");
    EXPECT_EQ(frame.calls.back(), "menu 3,2");
    Rect cell;
    ASSERT_TRUE(grid->GetCellRect(3, 2, cell));
    ASSERT_EQ(window.menuPlaces.size(), 1u);
    EXPECT_EQ(window.menuPlaces[0], cell);
    EXPECT_EQ(owner.seen.back(), std::make_pair(GridNotify::kRightClick, CellId(3, 2)));

    grid->SetFocusCell(-1, -1);  // no focus cell: the pane's menu for no cell
    grid->OnContextMenuKey();
    EXPECT_EQ(frame.calls.back(), "menu -1,-1");
}

TEST_F(InputFixture, TheWheelScrollsLinesOrAPage) {
    Make(200, 3);
    grid->OnMouseWheel(-120, 0);
    EXPECT_EQ(window.pos[ScrollBar::Vertical], 3 * 20);
    grid->SetMouseWheelLines(-1);
    grid->OnMouseWheel(-120, 0);
    EXPECT_EQ(window.pos[ScrollBar::Vertical], 3 * 20 + 280);
    grid->OnMouseWheel(240, 0);
    EXPECT_EQ(window.pos[ScrollBar::Vertical], 0);
}

TEST_F(InputFixture, DraggingASelectionPastTheBottomScrollsWithTheTimer) {
    Make(100, 3);
    grid->OnLButtonDown(Centre(2, 1), 0);
    EXPECT_EQ(grid->GetMouseMode(), CGridCtrl::MouseMode::SelectCells);
    EXPECT_EQ(window.timers.count(0x201), 1u);
    window.cursorPos = {75, 350};
    grid->OnTimer(0x201);
    grid->OnTimer(0x201);
    EXPECT_EQ(window.pos[ScrollBar::Vertical], 40);
    EXPECT_TRUE(grid->IsCellSelected(16, 1));  // the last visible row
    grid->OnLButtonUp({75, 350}, 0);
    EXPECT_EQ(window.timers.count(0x201), 0u);
}

TEST_F(InputFixture, TheTitleTipShowsTextsTooWideForTheirCell) {
    grid->SetCellText(2, 2, "a text much wider than fifty pixels");
    grid->OnMouseMove(Centre(2, 2), 0);
    ASSERT_NE(window.titleTip, nullptr);
    EXPECT_TRUE(window.titleTip->visible);
    EXPECT_EQ(window.titleTip->text, " a text much wider than fifty pixels ");
    EXPECT_EQ(window.titleTip->rect.top, 40);
    // Moving inside the cell keeps it; a key press on it goes to the grid.
    window.titleTip->events.OnTipMouseMove({110, 45}, 0);
    EXPECT_TRUE(window.titleTip->visible);
    window.titleTip->events.OnTipKeyDown(Key::kRight, 0);
    EXPECT_FALSE(window.titleTip->visible);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 2));

    const int shows = window.titleTip->shows;
    grid->OnMouseMove(Centre(3, 3), 0);  // "r3c3" fits
    EXPECT_EQ(window.titleTip->shows, shows);
    window.active = false;  // another program has the keyboard
    grid->OnMouseMove(Centre(2, 2), 0);
    EXPECT_EQ(window.titleTip->shows, shows);
}

TEST_F(InputFixture, APressOnTheTipReachesTheCellBelowIt) {
    grid->SetCellText(2, 2, "a text much wider than fifty pixels");
    grid->OnMouseMove(Centre(2, 2), 0);
    ASSERT_NE(window.titleTip, nullptr);
    window.titleTip->events.OnTipMouseDown(MouseButton::Left, Centre(2, 2), 0);
    window.titleTip->events.OnTipMouseUp(MouseButton::Left, Centre(2, 2), 0);
    EXPECT_FALSE(window.titleTip->visible);
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 2));
    window.ticks = 100;
    window.titleTip->events.OnTipMouseDown(MouseButton::Left, Centre(2, 2), 0);
    EXPECT_TRUE(owner.Saw(GridNotify::kDoubleClick));
}

TEST_F(InputFixture, ACheckBoxCellTogglesOnAClick) {
    ASSERT_TRUE(grid->SetCellType(3, 1, CGridCellCheckBox::Class()));
    grid->SetCellText(3, 1, "");
    auto* box = static_cast<CGridCellCheckBox*>(grid->GetCell(3, 1));
    EXPECT_FALSE(box->GetCheck());
    Click(Centre(3, 1));
    EXPECT_TRUE(box->GetCheck());
    EXPECT_TRUE(owner.Saw(GridNotify::kEndEdit));
}

TEST_F(InputFixture, AnOpenEditEndsIntoItsOwnCellBeforeRowsMove) {
    grid->SetCellText(1, 1, "b");
    grid->SetCellText(2, 1, "a");
    grid->SetFocusCell(1, 2);
    grid->OnChar(U'x', 0);
    ASSERT_NE(Edit(), nullptr);
    grid->SortByColumn(1, true);  // a command run while the box is still open
    EXPECT_EQ(Edit(), nullptr);
    // Row "b" moved to row 2 and took the typed text with it.
    EXPECT_EQ(grid->GetCellText(2, 1), "b");
    EXPECT_EQ(grid->GetCellText(2, 2), "x");
    EXPECT_EQ(grid->GetCellText(1, 2), "r2c2");
    EXPECT_FALSE(grid->GetCell(2, 2)->IsEditing());
    EXPECT_FALSE(grid->GetCell(1, 2)->IsEditing());
    // Editing again, here and elsewhere, finds no trace of the old box.
    grid->SetFocusCell(2, 2);
    grid->OnKeyDown(Key::kF2, 0);
    ASSERT_NE(Edit(), nullptr);
    grid->GetCell(2, 2)->EndEdit();
    EXPECT_EQ(Edit(), nullptr);
    grid->DeleteRow(1);
    EXPECT_EQ(grid->GetCellText(1, 2), "x");
}

TEST_F(InputFixture, ARightClickThroughTheTitleTipTakesTheFocusForItsPane) {
    grid->SetCellText(2, 2, "a text much wider than fifty pixels");
    grid->OnMouseMove(Centre(2, 2), 0);
    ASSERT_NE(window.titleTip, nullptr);
    const int before = window.focusTaken;
    window.titleTip->events.OnTipMouseDown(MouseButton::Right, Centre(2, 2), 0);
    window.titleTip->events.OnTipMouseUp(MouseButton::Right, Centre(2, 2), 0);
    EXPECT_GT(window.focusTaken, before);
    EXPECT_TRUE(frame.Called("menu 2,2"));
}

TEST_F(InputFixture, AReleaseThatWentElsewhereEndsTheDrag) {
    Make(100, 3);
    grid->OnLButtonDown(Centre(2, 1), 0);
    ASSERT_EQ(window.timers.count(0x201), 1u);
    grid->OnMouseMove(Centre(4, 1), 0);  // the button is up, but no release came
    EXPECT_EQ(window.timers.count(0x201), 0u);
    EXPECT_EQ(grid->GetMouseMode(), CGridCtrl::MouseMode::None);
    EXPECT_FALSE(window.captured);
}

TEST_F(InputFixture, CtrlPressedOnlyDuringTheDragMovesNoColumn) {
    const unsigned held = Modifier::kControl | Modifier::kLeftButton;
    grid->OnLButtonDown(Centre(0, 1), Modifier::kControl);  // an earlier gesture remembers column 1
    grid->OnLButtonUp(Centre(0, 1), Modifier::kControl);
    frame.calls.clear();
    grid->OnLButtonDown(Centre(0, 3), 0);  // without Ctrl: this press sorts
    grid->OnMouseMove(Centre(0, 3), held);
    grid->OnMouseMove({101, 10}, held);
    EXPECT_EQ(grid->GetHeadingGesture(), 'h');
    grid->OnLButtonUp({101, 10}, Modifier::kControl);
    for (const auto& call : frame.calls) EXPECT_NE(call.rfind("move", 0), 0u) << call;
}

TEST_F(InputFixture, AKeyHidesTheTitleTip) {
    grid->SetCellText(2, 2, "a text much wider than fifty pixels");
    grid->OnMouseMove(Centre(2, 2), 0);
    ASSERT_NE(window.titleTip, nullptr);
    ASSERT_TRUE(window.titleTip->visible);
    grid->OnKeyDown(Key::kDown, 0);
    EXPECT_FALSE(window.titleTip->visible);
}

TEST_F(InputFixture, ATickSetBySpaceIsAStepOfItsOwnAsAClickedOneIs) {
    ASSERT_TRUE(grid->SetCellType(3, 1, CGridCellCheckBox::Class()));
    grid->SetCellText(3, 1, "");
    grid->SetFocusCell(3, 1);
    for (const char* gesture : {"gesture Select item", "gesture Unselect item"}) {
        grid->OnChar(U' ', 0);
        EXPECT_TRUE(frame.Called(gesture));
    }
}

// What the window hears, for a screen reader: each change once, and nothing
// for a text set to what it was.
TEST_F(InputFixture, TheWindowIsToldOfFocusTextTickAndRowChanges) {
    ASSERT_TRUE(grid->SetCellType(4, 1, CGridCellCheckBox::Class()));
    grid->SetCellText(4, 1, "");
    window.listening = true;
    const struct {
        const char* what;
        void (*change)(InputFixture&);
        std::vector<std::string> told;
    } cases[] = {
        {"arrow", [](InputFixture& f) { f.grid->OnKeyDown(Key::kDown, 0); }, {"focus 2,1"}},
        {"text", [](InputFixture& f) { f.grid->SetCellText(2, 2, "new"); }, {"cell 2,2"}},
        {"same text", [](InputFixture& f) { f.grid->SetCellText(2, 2, "new"); }, {}},
        {"tick",
         [](InputFixture& f) { static_cast<CGridCellCheckBox*>(f.grid->GetCell(4, 1))->SetCheck(true); },
         {"cell 4,1"}},
        {"sort", [](InputFixture& f) { f.grid->SortByColumn(2, false); }, {"focus -1,-1", "table"}},
        {"row", [](InputFixture& f) { f.grid->InsertRow("", -1); }, {"table"}},
        {"edit",
         [](InputFixture& f) {
             f.grid->SetFocusCell(2, 2);
             f.grid->OnChar(U'x', 0);
             f.Edit()->Press(Key::kReturn);
         },
         {"focus 2,2", "cell 2,2"}},
    };
    for (const auto& c : cases) {
        window.told.clear();
        c.change(*this);
        EXPECT_EQ(window.told, c.told) << c.what;
    }
}
