#pragma once
// What a grid asks of the main window it lives in: some of its gestures act
// on the pane that is active there, not on the grid alone.

#include <string>
#include <string_view>

#include "base/CommandRunner.h"
#include "grid/CellId.h"
#include "platform/Progress.h"

namespace tabulon {

class CGridCtrl;
struct TableChange;

// Every gesture that changes a grid, by the step it makes: what it did, as
// the user would name it. A new gesture is named here.
inline constexpr std::string_view kGestures[] = {"Sort", "Select item", "Unselect item", "Edit cell", "Move column"};
inline constexpr std::string_view kSortGesture = kGestures[0];
inline constexpr std::string_view kCheckGesture = kGestures[1];
inline constexpr std::string_view kUncheckGesture = kGestures[2];
inline constexpr std::string_view kEditCellGesture = kGestures[3];
inline constexpr std::string_view kMoveColumnGesture = kGestures[4];

class IGridFrame : public ICommandRunner {
public:
    virtual ~IGridFrame() = default;
    // Whether the active pane is the lower one, 'Database'.
    virtual bool IsDatabasePaneActive() const = 0;
    // A click on the heading of column 1: the active pane sorts by all columns.
    virtual void SortActivePaneByAllColumns() = 0;
    // The 'Database' pane rewrites the numbers of column 0.
    virtual void NumberDatabaseItemRows() = 0;
    // A Ctrl-drag of a heading ended: the active pane moves column from
    // before column to (-1 when dropped on no column).
    virtual void MoveColumnInActivePane(int from, int to) = 0;
    // An in-place edit ended in grid while 'Database' is active and the
    // focus column is 2 or higher: "Database*", renumbering, the 'Database'
    // grid's focus set to focus and refreshed.
    virtual void OnDatabaseEditEnded(CGridCtrl& grid, CellId focus) = 0;
    // Every change of grid's table, once it is made (grid/GridTable.h): its
    // cells, rows, their order or columns; whether it was recorded (a change
    // of the user's, not a number or a mark that follows from the lists) and
    // whether it was made by taking a step back or doing it again.
    virtual void OnGridChanged(CGridCtrl& grid, const TableChange& change) {
        (void)grid;
        (void)change;
    }
    // Whether text, typed into the cell (row, col) of grid, may take the
    // place of what it holds. When not, the user has been told why; editing
    // says whether the edit box stays open with the text for another try
    // (otherwise the cell keeps its old text).
    virtual bool MayTypeIntoCell(CGridCtrl& /*grid*/, int /*row*/, int /*col*/, const std::string& /*text*/,
                                 bool /*editing*/) {
        return true;
    }
    // Column 0 of both panes' grids back to its width of 60 pixels.
    virtual void ResetNumberColumnWidths() = 0;
    // The right button was released over (row, col), or (-1, -1).
    virtual void OnGridContextMenu(int row, int col) = 0;
    // A gesture of the user that changes the grid (a heading click that
    // sorts, a tick, an edit, a column dragged: the k...Gesture names) runs
    // as a command; without a main window it simply runs.
    bool RunCommand(std::string_view step, CWorkRef work) override {
        (void)step;
        work();
        return true;
    }
    // Where long work (grid/GridWork.h) shows how far it has got; none where
    // nobody watches.
    virtual IProgressHost* ProgressHost() { return nullptr; }
};

}  // namespace tabulon
