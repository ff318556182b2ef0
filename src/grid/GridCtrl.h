#pragma once
// The item table: every list of items lives in one. Row 0 is the heading row
// with the column names; each further row is one item. This class holds the
// data, the sizes, the cell states, the selection, the focus cell and the sort;
// a window, when one is attached, shows it. Its code is split by concern:
// GridCtrl.cpp, GridStorage.cpp, GridSelection.cpp, GridSort.cpp,
// GridDraw.cpp and GridInput.cpp, each saying what it holds.

#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "grid/CellClass.h"
#include "grid/CellId.h"
#include "grid/CellSlot.h"
#include "grid/GridCell.h"
#include "grid/GridChanges.h"
#include "grid/GridFrame.h"
#include "grid/GridGeometry.h"
#include "grid/GridItem.h"
#include "grid/GridTable.h"
#include "grid/SortKeys.h"
#include "grid/SortOrder.h"
#include "platform/Desktop.h"
#include "platform/GridWindow.h"
#include "platform/ImageList.h"
#include "platform/Keys.h"

namespace tabulon {

// The widths of cells met while columns are fitted, for cells that differ
// from others of their kind only by their text. A wide table repeats its
// texts ("", "0", "yes") in column after column: each is measured once. And
// where every column gets at least a width in any case, a text of printable
// ASCII whose characters and pairs add up to no more is not measured at all.
class CKnownExtents {
public:
    explicit CKnownExtents(int atLeast = 0);
    ~CKnownExtents();
    CKnownExtents(const CKnownExtents&) = delete;
    CKnownExtents& operator=(const CKnownExtents&) = delete;

    // The extent of cell, or atLeast where it surely is no wider.
    int Extent(CGridCellBase& cell, IDeviceContext& dc);

private:
    struct Kind;
    Kind& KindOf(const CGridCellBase& cell, IDeviceContext& dc);
    bool SurelyWithin(Kind& kind, std::string_view text, IDeviceContext& dc);

    static constexpr std::size_t kLongest = 64;
    static constexpr std::size_t kMostKept = 1 << 16;
    static constexpr std::size_t kTrial = 4096;  // lookups before the hits are judged
    int m_atLeast;
    std::size_t m_lookups = 0;
    std::size_t m_hits = 0;
    std::vector<std::unique_ptr<Kind>> m_kinds;
    std::unordered_map<std::string, int> m_extents;
};

class CGridCtrl;

// What a grid tells its owner; the values are the design's codes.
enum class GridNotify : int {
    kClick = -2,
    kDoubleClick = -3,
    kRightClick = -5,
    kFocusLeaving = -100,
    kFocusArriving = -101,
    kBeginEdit = -105,
    kEndEdit = -106,  // also after a check box was toggled
};

// Receives the grid's notifications (click, focus change, end of edit, ...).
class IGridOwner {
public:
    virtual ~IGridOwner() = default;
    virtual void OnGridNotify(CGridCtrl& grid, GridNotify code, CellId cell) = 0;
    // After a button release on a cell: the grid's command message.
    virtual void OnGridCommand(CGridCtrl&) {}
};

class CCellEditBox;
class CTitleTipWnd;

namespace GridLines {
constexpr int kNone = 0;
constexpr int kHorizontal = 1;
constexpr int kVertical = 2;
constexpr int kBoth = 3;
}  // namespace GridLines

// The phases of long work, as the progress window names them.
inline constexpr char kSortingPhase[] = "Sorting";
inline constexpr char kFittingPhase[] = "Fitting the columns to their texts";
inline constexpr char kRestoringPhase[] = "Restoring the lists";
inline constexpr char kNumberingPhase[] = "Numbering the items";

// What InsertColumn gives a new column's cells unless told otherwise: one
// line, centred upright, "&" shown as it is, too long a text cut with "...".
constexpr TextFormats kDefaultColumnFormat =
    TextFormat::kVCenter | TextFormat::kSingleLine | TextFormat::kNoPrefix | TextFormat::kEndEllipsis;

class CGridCtrl : private CGridTable::IHost {
public:
    explicit CGridCtrl(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0, IDesktop* desktop = nullptr);
    virtual ~CGridCtrl();
    CGridCtrl(const CGridCtrl&) = delete;
    CGridCtrl& operator=(const CGridCtrl&) = delete;

    // Host connections.
    void AttachWindow(IGridWindow* window);
    IGridWindow* GetWindow() const { return m_window; }
    void SetOwner(IGridOwner* owner) { m_owner = owner; }
    IDesktop& GetDesktop() const { return *m_desktop; }
    void SetImageList(IImageList* images) { m_imageList = images; }
    IImageList* GetImageList() const { return m_imageList; }
    void SendMessageToParent(int row, int col, GridNotify code);

    // Counts and sizes.
    int GetRowCount() const { return m_table.Rows(); }
    int GetColumnCount() const { return m_table.Cols(); }
    int GetFixedRowCount() const { return m_table.FixedRows(); }
    int GetFixedColumnCount() const { return m_table.FixedCols(); }
    bool SetRowCount(int n);
    bool SetColumnCount(int n);
    bool SetFixedRowCount(int n);
    bool SetFixedColumnCount(int n);
    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    bool SetRowHeight(int row, int height);
    bool SetColumnWidth(int col, int width);
    long long GetFixedRowHeight() const;
    long long GetFixedColumnWidth() const;
    long long GetTotalHeight() const { return m_table.TotalHeight(); }
    long long GetTotalWidth() const { return m_table.TotalWidth(); }

    // Rows and columns.
    int InsertColumn(const std::string& heading, TextFormats format = kDefaultColumnFormat, int col = -1);
    int InsertRow(const std::string& heading, int row = -1);
    bool DeleteColumn(int col);
    bool DeleteRow(int row);
    bool DeleteNonFixedRows();
    // Deletes every row r with remove[r] set, in one pass over the table.
    bool DeleteRows(const std::vector<char>& remove);
    bool DeleteAllCells();
    // While on, running out of memory in SetRowCount, SetColumnCount,
    // InsertRow or InsertColumn reaches the caller as std::bad_alloc, with
    // the table whole, instead of the desktop's message: a load then fails
    // whole rather than keeping what happened to fit.
    void SetOutOfMemoryThrows(bool on) {
        m_outOfMemoryThrows = on;
        m_table.SetRecordingThrows(on);
    }
    bool GetOutOfMemoryThrows() const { return m_outOfMemoryThrows; }

    // Cells.
    bool IsValidCell(int row, int col) const { return m_table.IsValid(row, col); }
    CGridCellBase* GetCell(int row, int col) const;
    // The cell if it has been made; none for a cell still pending (an empty
    // text cell) or an invalid id. For looking without making anything.
    const CGridCellBase* FindCell(int row, int col) const { return PeekCell(row, col); }
    // A new cell of the default cell class for (row, col); none without a class.
    virtual std::unique_ptr<CGridCellBase> CreateCell(int row, int col);
    virtual void DestroyCell(int row, int col);
    bool SetCellType(int row, int col, const CellClass& cellClass);
    bool SetDefaultCellType(const CellClass& cellClass);
    std::string_view GetCellText(int row, int col) const;
    bool SetCellText(int row, int col, std::string_view text);
    // Each row from first to last gets its own number as the text of column
    // col; a row that shows it already is only read.
    void NumberRows(int col, int first, int last);
    // A hint, which changes nothing: a walk over many rows reads row soon.
    // After a sort the rows lie all over memory; asking for each row some
    // rows ahead, in three stages (its table of cells, then its cells, then
    // their longer texts, which those hold), lets the waits for memory
    // overlap. kRowsAhead[stage] says how far ahead each stage asks. Only
    // the columns that will be read are asked for: memory answers only so
    // many questions at once.
    static constexpr int kRowsAhead[3] = {16, 10, 4};
    void PrefetchRow(int row, int stage, int firstCol, int lastCol) const;
    // All three stages for the rows ahead of row, step 1 going down and -1
    // going up.
    void PrefetchRowsAhead(int row, int step, int firstCol, int lastCol) const;
    CellStates GetCellState(int row, int col) const;
    bool SetCellState(int row, int col, CellStates state);
    bool SetCellFormat(int row, int col, TextFormats format);
    TextFormats GetCellFormat(int row, int col) const;
    bool SetCellTextColour(int row, int col, Colour colour);
    bool SetCellBackColour(int row, int col, Colour colour);
    bool SetGridItem(const GridItem& item);
    CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const;

    // Selection, focus, modified mark.
    CellId GetFocusCell() const { return m_focus; }
    CellId SetFocusCell(int row, int col);
    CellId SetFocusCell(CellId cell) { return SetFocusCell(cell.row, cell.col); }
    bool IsCellSelected(int row, int col) const;
    bool IsCellEditable(int row, int col) const;
    void ResetSelection();
    void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint = false,
                          bool select = true);
    void SelectAllCells();
    void SelectRows(CellId cell);
    void SelectColumns(CellId cell);
    void SelectCells(CellId cell);
    CellRange GetSelectedCellRange() const;
    std::size_t GetSelectedCount() const { return m_selected.size(); }
    void SetSelectionAnchor(CellId cell) { m_anchor = cell; }
    // Remembers the current selection so that an extending selection keeps it.
    void StorePreviousSelection() { m_previousSelected = m_selected; }
    void SetModified(bool modified = true, int row = -1, int col = -1);
    bool IsModified() const { return m_modified; }
    // Changes whenever a cell's text, the rows, the columns or their order
    // may have changed: what was read of the texts at one version is still
    // true while the version stays.
    std::uint64_t GetTextsVersion() const { return m_table.Version(); }

    // ---- taking work back (GridChanges.cpp) ----
    // While a record is set, every change to the rows, the columns, the
    // cells' texts, ticks and classes and the order of the rows goes into it
    // before it is made. When recording runs out of memory the record says
    // so and the grid refuses every further change until the record is
    // taken away, so that what it holds is exactly what happened.
    void SetChangeLog(CGridChanges* log) { m_table.SetLog(log); }
    // While one lives, changes to the grid go unrecorded: for what follows
    // from the lists and is made anew after taking back (row numbers, the
    // modified mark).
    class CUnrecorded {
    public:
        explicit CUnrecorded(CGridCtrl& grid) : m_grid(grid), m_log(grid.m_table.Log()) {
            grid.m_table.SetLog(nullptr);
        }
        ~CUnrecorded() { m_grid.m_table.SetLog(m_log); }
        CUnrecorded(const CUnrecorded&) = delete;
        CUnrecorded& operator=(const CUnrecorded&) = delete;

    private:
        CGridCtrl& m_grid;
        CGridChanges* m_log;
    };
    // Takes back what changes holds, newest first, recording into redo how to
    // do it again; changes is empty afterwards. Running out of memory on the
    // way stops it and leaves redo failed. Progress counts the units of
    // changes (CGridChanges::Units) on from doneBefore, of total.
    void TakeBack(CGridChanges& changes, CGridChanges& redo, std::uint64_t doneBefore = 0, std::uint64_t total = 0);
    // The same, recording nothing: as far as memory allows, it goes on.
    void TakeBack(CGridChanges& changes);
    // The check box of (row, col), ticked now as checked says, changes its
    // tick by change(); false when the change is refused.
    bool ChangeCheck(int row, int col, bool checked, const std::function<void()>& change);

    // Sorting.
    void SortByColumn(int col, bool ascending);
    bool SortRowRange(int col, bool ascending, int low, int high = -1);
    void SetSortColumn(int col);
    int GetSortColumn() const { return m_sortColumn; }
    bool GetSortAscending() const { return m_sortAscending; }
    // A click on the heading of col: sorts it, turning the order over when it
    // is already the sort column.
    void OnHeaderClickSort(int col);
    // Where the order of sorts that ignore case comes from; without a
    // source, or while it names none, the byte order A-Z.
    void SetSortOrderSource(ISortOrderSource* source) { m_sortOrderSource = source; }
    const CSortOrder* GetSortOrder() const { return m_sortOrderSource ? m_sortOrderSource->SortOrder() : nullptr; }
    // After sorts in such an order since the last SortByColumn: 1 when row
    // holds in col a text of the same key as the row above it, 0 when not,
    // -1 when no sort of col compared the two. A sort by all columns finds
    // its runs so without making any key again.
    int KeyTiedWithAbove(int row, int col) const;
    // Before the runs of a column are sorted one after another, top to
    // bottom (a sort by all columns in such an order): the keys of the rows
    // needed says are made at once, on two threads, and those runs' sorts
    // take them instead of making each again. Until DropPreparedSortKeys,
    // only those runs' sorts may change the grid.
    void PrepareSortKeys(int col, const std::function<bool(int)>& needed);
    void DropPreparedSortKeys();

    // Settings.
    void SetEditable(bool on) { m_editable = on; }
    bool IsEditable() const { return m_editable; }
    void EnableSelection(bool on);
    bool IsSelectable() const { return m_enableSelection; }
    void SetListMode(bool on) { m_listMode = on; }
    void SetSingleRowSelection(bool on) { m_singleRowSelection = on; }
    void SetSingleColumnSelection(bool on) { m_singleColSelection = on; }
    void SetFixedRowSelection(bool on) { m_fixedRowSelection = on; }
    bool GetFixedRowSelection() const { return m_fixedRowSelection; }
    void SetFixedColumnSelection(bool on) { m_fixedColSelection = on; }
    void SetSortOnClick(bool on) { m_sortOnClick = on; }
    void SetTrackFocusCell(bool on) { m_trackFocusCell = on; }
    bool GetTrackFocusCell() const { return m_trackFocusCell; }
    void EnableDragAndDrop(bool on) { m_dragAndDrop = on; }
    void SetGridLines(int mode);
    int GetGridLines() const { return m_gridLines; }
    void SetGridLineColour(Colour colour) { m_gridLineColour = colour; }
    Colour GetGridLineColour() const { return m_gridLineColour; }
    void SetGridBkColour(Colour colour) { m_gridBkColour = colour; }
    void SetFrameFocusCell(bool on) { m_frameFocusCell = on; }
    bool GetFrameFocusCell() const { return m_frameFocusCell; }
    void SetRedraw(bool allow, bool resetScrollBars = false);
    // Lets the grid draw again without drawing now or asking for memory;
    // the next change of the table sets its scroll bars and repaints.
    void AllowRedrawLater() noexcept { m_allowDraw = true; }
    bool IsRedrawAllowed() const { return m_allowDraw; }

    // Showing it. Without a window these do nothing.
    void Refresh();
    void ResetScrollBars();
    bool RedrawCell(int row, int col, IDeviceContext* dc = nullptr);
    CellId GetTopLeftNonFixedCell();
    // Sizes to content on a context of the window; without one nothing can be measured.
    void AutoSizeColumn(int col, unsigned style = 0);
    void AutoSizeColumns();
    // AutoSizeColumn for the columns first to last, measured on one context
    // and reported as one piece of work: a table of few rows and very many
    // columns fits as fast as one of many rows and few columns.
    // No column gets less than atLeast.
    void AutoSizeColumnRange(int first, int last, unsigned style = 0, int atLeast = 0);
    bool GetCellOrigin(int row, int col, Point& origin);
    bool GetCellRect(int row, int col, Rect& rect);
    // Opens the in-place edit box over a cell; none where the host has none.
    virtual CCellEditBox* CreateCellEditBox(const Rect& rect, TextFormats alignment, unsigned editId, int row, int col,
                                            const std::string& text, unsigned firstChar);
    // The default cells follow a change of the system colours.
    void OnSysColourChange();

    // Drawing and layout.
    CellRange GetVisibleNonFixedCellRange(Rect* covered = nullptr);
    CellId GetCellFromPt(Point point, bool allowFixed = true);
    void ExpandLastColumn();
    void AutoSizeRow(int row, unsigned style = 0);
    void SetDoubleBuffering(bool on) { m_doubleBuffer = on; }
    bool GetDoubleBuffering() const { return m_doubleBuffer; }
    void SetFont(const LogFont& font);
    LogFont GetFont() const;

    // Input and in-place editing.
    void SetFrame(IGridFrame* frame) { m_frame = frame; }
    // Runs a gesture of the user's that changes the grid as a command of the
    // main window, under the step's name; without one it simply runs.
    void RunGesture(std::string_view step, CWorkRef work) {
        if (m_frame)
            m_frame->RunCommand(step, work);
        else
            work();
    }

    // Long work on the grid (a load into it, a sort, a fit) reports here
    // while work is running (grid/GridWork.h sets it); none otherwise.
    void SetProgress(IProgress* progress) {
        m_progress = progress;
        m_progressPhase = nullptr;
    }
    IProgress* GetProgress() const { return m_progress; }
    // done of total units of the phase what; cheap enough for every row.
    void ReportProgress(const char* what, std::uint64_t done, std::uint64_t total) {
        if (!m_progress) return;
        if (what != m_progressPhase) {
            m_progress->SetText(what);
            m_progressPhase = what;
        } else if (++m_progressCalls % 256 != 0) {
            return;
        }
        m_progress->Step(done, total);
    }
    virtual void OnEditCell(int row, int col, std::optional<Point> point, unsigned firstChar);
    virtual void OnEndEditCell(int row, int col, const std::string& text);
    virtual void EndEditing();
    virtual void OnFixedRowClick(CellId cell);
    virtual void OnFixedColumnClick(CellId cell);
    void EnsureVisible(int row, int col);
    void EnsureVisible(CellId cell) { EnsureVisible(cell.row, cell.col); }
    bool IsEditing() const;
    void SetHandleTabKey(bool on) { m_handleTab = on; }
    void SetMouseWheelLines(int lines) { m_wheelLines = lines; }

    // The window's events, as the host forwards them. Points are in client
    // coordinates; modifiers are Modifier flags.
    void OnPaint(IDeviceContext& dc, const Rect& clip);  // clip excludes right and bottom
    virtual void OnDraw(IDeviceContext& dc, const Rect& clip);
    void OnSize();
    void OnHScroll(ScrollCode code, int thumbPos = 0);
    void OnVScroll(ScrollCode code, int thumbPos = 0);
    // Whether the grid takes this key itself rather than the dialog around it
    // (arrows and characters always; Tab when handled and Ctrl is not held).
    bool WantsKey(unsigned key, unsigned modifiers) const;
    // false: the key is the platform's (for Tab at the very end, focus moves on).
    bool OnKeyDown(unsigned key, unsigned modifiers);
    // Shift+F10 or the Menu key: the focus cell's right-click menu, opened at
    // that cell (the grid's top left corner where no cell has the focus).
    void OnContextMenuKey();
    // A typed character as a Unicode code point.
    void OnChar(char32_t ch, unsigned modifiers);
    void OnLButtonDown(Point point, unsigned modifiers);
    void OnLButtonUp(Point point, unsigned modifiers);
    void OnLButtonDblClk(Point point, unsigned modifiers);
    void OnRButtonUp(Point point, unsigned modifiers);
    void OnMouseMove(Point point, unsigned modifiers);
    void OnMouseWheel(int delta, unsigned modifiers);
    void OnTimer(int id);
    void OnCaptureLost();
    // From the edit box when its edit ended (the end-edit notification of control 8).
    void OnEditBoxEnded(int row, int col, const std::string& text, unsigned lastKey, unsigned modifiers);
    // Whether an edit may leave text in the cell, as the frame decides; the
    // text the cell holds already may always stay.
    bool MayTakeTypedText(int row, int col, const std::string& text, bool editing);

    // What the mouse is doing, and the gesture under way in the heading row.
    enum class MouseMode {
        None,
        SelectAll,
        SelectColumns,
        SelectRows,
        SelectCells,
        OverRowDivider,
        SizingRow,
        OverColumnDivider,
        SizingColumn,
        PrepareEdit,
        PrepareDrag
    };
    MouseMode GetMouseMode() const { return m_mouseMode; }
    HeadingGesture::Value GetHeadingGesture() const { return m_heading.State(); }

private:
    // ---- storage and cells (GridStorage.cpp) ----
    // Cells of the plain text class are made only when first needed
    // (CellSlot.h); until then reading one gives what a new cell would.
    using Row = GridRow;
    // Whether new cells wait in their slots until first needed: only for the
    // plain text cell, whose fresh state is known without making one.
    bool MakesCellsLazily() const { return m_cellClass == &CGridCell::Class(); }
    // The state and format a cell still pending in (row, col) would be made with.
    CellStates PendingState(int row, int col) const;
    TextFormats DefaultFormat(int row, int col) const;
    // The cell of a valid id, made now when it was pending.
    CGridCellBase* MaterialiseCell(int row, int col) const;
    // The cell if it has been made; none while pending or for an invalid id.
    CGridCellBase* PeekCell(int row, int col) const { return m_table.Peek(row, col); }
    // Makes every pending cell, before the class of new cells changes.
    void MaterialiseAllCells();
    // What sizing to content measures: the cell, or for a pending one a
    // stand-in that looks as it would (empty, its format and state), so that
    // measuring a column does not make a cell for every empty place in it.
    // None for a pending cell just like the last one measured in this pass
    // (lastBlank, 0 at the start): its size is known already.
    CGridCellBase* CellForMeasuring(int row, int col, std::uint64_t& lastBlank);
    // Deletes these rows, as DeleteRows does.
    bool DeleteRowsAt(CRowSet rows);
    void TakeBackInto(CGridChanges& changes, CGridChanges* redo, std::uint64_t doneBefore, std::uint64_t total);

    // What the table asks of the grid (CGridTable::IHost).
    CCellSlot NewSlot(int row, int col) override;
    CGridCellBase* MadeCell(int row, int col) override { return GetCell(row, col); }
    void CellGoing(int row, int col) override;
    void Going(const TableChange& change) override;
    void TableChanged(const TableChange& change) override;
    void TakingBack(std::uint64_t done, std::uint64_t total) override { ReportProgress(kRestoringPhase, done, total); }

    // Rethrows running out of memory while m_outOfMemoryThrows is set;
    // otherwise the desktop says so.
    void OnOutOfMemory();
    int HeadingRowHeight(int row, const std::string& heading);
    void ClearCachedTopLeft() { m_topLeft = CellId(-1, -1); }
    // An open edit is ended before rows or columns move, so that its text
    // lands in the cell it was opened on.
    void EndEditingBeforeLayoutChange() {
        if (m_editBox) EndEditing();
    }

    IDesktop* m_desktop;
    IGridWindow* m_window = nullptr;
    IGridOwner* m_owner = nullptr;
    IImageList* m_imageList = nullptr;

    // The rows, their cells and sizes, and the record of changes.
    CGridTable m_table;
    const CellClass* m_cellClass;
    bool m_outOfMemoryThrows = false;
    std::unique_ptr<CGridCellBase> m_measuringCell;
    bool m_modified = false;

    // Ordinary, fixed column, fixed row, corner.
    std::unique_ptr<CGridDefaultCell> m_defaultCells[4];
    // System colours as they were when last read, to follow a change.
    Colour m_crWindowText, m_crWindow, m_crButtonFace, m_crShadow;
    void AssignDefaultColours();

    // ---- selection and focus (GridSelection.cpp) ----
    // Keyed by the whole id, so rows past 65535 never share an entry.
    using CellSet = std::unordered_map<std::uint64_t, CellId>;
    static std::uint64_t CellKey(int row, int col) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(col)) << 32) | static_cast<std::uint32_t>(row);
    }
    static void EraseCell(CellSet& set, CellId cell);
    static void AddCell(CellSet& set, CellId cell);
    void RedrawHeadingsOf(CellId cell);

    CellId m_focus;
    CellId m_anchor;
    CellId m_topLeft;
    CellSet m_selected;
    CellSet m_previousSelected;

    // ---- sorting (GridSort.cpp) ----
    // The keys of rows low to high of col, in the order asked for.
    void SortKeysOf(int col, bool ascending, int low, int high);
    // Puts the rows in the order of the keys, recording it.
    bool PutRowsInKeyOrder(int low);
    CSortKeys m_sortKeys;
    ISortOrderSource* m_sortOrderSource = nullptr;
    // KeyTiedWithAbove's answers, by row, for column m_keyTiesColumn.
    std::vector<signed char> m_keyTies;
    int m_keyTiesColumn = -1;
    void NoteKeyTies(int col, int low);
    CSortKeys m_preparedKeys;
    int m_preparedColumn = -1;
    std::size_t m_preparedAt = 0;  // where the next run's rows are looked for
    int m_sortColumn = -1;
    bool m_sortAscending = true;

    // ---- settings ----
    bool m_editable = true;
    bool m_enableSelection = true;
    bool m_listMode = false;
    bool m_singleRowSelection = false;
    bool m_singleColSelection = false;
    bool m_fixedRowSelection = true;
    bool m_fixedColSelection = true;
    bool m_sortOnClick = false;
    bool m_trackFocusCell = true;
    bool m_dragAndDrop = false;
    bool m_frameFocusCell = true;
    int m_gridLines = GridLines::kBoth;
    Colour m_gridLineColour = 0xC0C0C0;
    Colour m_gridBkColour;
    int m_wheelLines = 3;
    static constexpr unsigned kAutoSizeStyle = 0x3;  // 0x1 measure the fixed rows, 0x2 the others

    // ---- layout and drawing (GridDraw.cpp) ----
    int StepColumn(int col, int step) const;
    int StepRow(int row, int step) const;
    void ScrollTo(ScrollBar bar, long long pos, bool wholeWindow);
    // The scroll extent that lets the bar reach a position where the last
    // row (column) shows whole; at least extent.
    long long ReachingExtent(ScrollBar bar, long long extent, long long page);
    int ScrollMax(ScrollBar bar) const { return m_scrollBars.Max(bar); }
    int ScrollPage(ScrollBar bar) const { return m_scrollBars.Page(bar); }
    void OnScroll(ScrollBar bar, ScrollCode code, int thumbPos);
    void DrawGridLinesOfCell(IDeviceContext& dc, const Rect& rect);
    std::unique_ptr<IDeviceContext> MeasuringContext();
    // The widest GetCellExtent of the cells of col in rows first to last;
    // progress is reported as cells done (done before these) of total. A
    // short column takes the widths of texts already measured from known.
    int WidestCellExtent(int col, int first, int last, IDeviceContext& dc, std::uint64_t doneBefore = 0,
                         std::uint64_t total = 0, CKnownExtents* known = nullptr);
    // Whether a cell differs in width from the others of its default cell
    // and margin only by its text.
    bool IsSizedLikeItsKind(const CGridCellBase& cell, IImageList* images) const;

    bool DrawCellNow(int row, int col, IDeviceContext* dc);

    bool m_allowDraw = true;
    bool m_doubleBuffer = true;
    bool m_inSize = false;
    CScrollBarState m_scrollBars;

    // ---- input, in-place editing, title tip (GridInput.cpp) ----
    bool IsHeadingCell(CellId cell) const { return cell.row == 0 && cell.col >= 1 && cell.col < m_table.Cols(); }
    bool IsOverColumnDivider(Point point);
    bool IsOverRowDivider(Point point);
    int ColumnOfDivider(Point point, CellId cell);
    int RowOfDivider(Point point, CellId cell);
    bool IsCellFullyVisible(int row, int col);
    void ApplySelectionFrom(CellId cell);
    void MoveFocusByKey(CellId next, unsigned key, unsigned modifiers, bool wrapped);
    // Where Home puts the focus in row: the first column that is not
    // read-only there, or the first column when all are.
    int FirstTypableColumn(int row) const;
    void ShowTitleTipFor(CellId cell);
    void StopSelectionTimer();
    static constexpr int kSelectionTimer = 0x201;

    IGridFrame* m_frame = nullptr;
    IProgress* m_progress = nullptr;
    const char* m_progressPhase = nullptr;
    unsigned m_progressCalls = 0;
    MouseMode m_mouseMode = MouseMode::None;
    CHeadingGestureState m_heading;
    bool m_leftButtonDown = false;
    Point m_lastMouseDown;
    CellId m_clickedCell;
    CellId m_sizedCell;  // the column or row whose divider is dragged
    bool m_movedSinceDown = false;
    int m_resizeCaptureRange = 5;
    bool m_handleTab = true;
    bool m_timerRunning = false;
    static constexpr int kSelectionTimerInterval = 25;  // milliseconds
    std::unique_ptr<CCellEditBox> m_editBox;
    // Boxes whose edit has ended; kept until no end of an edit is running,
    // since the box that reports its end is still on the call stack.
    std::vector<std::unique_ptr<CCellEditBox>> m_closedBoxes;
    int m_endEditDepth = 0;
    std::unique_ptr<CTitleTipWnd> m_titleTip;
};

// While one lives, running out of memory in the grid's row and column
// operations reaches the caller as std::bad_alloc (SetOutOfMemoryThrows),
// so that a bulk change can be undone whole.
class CStrictGrid {
public:
    explicit CStrictGrid(CGridCtrl& grid) : m_grid(grid), m_was(grid.GetOutOfMemoryThrows()) {
        grid.SetOutOfMemoryThrows(true);
    }
    ~CStrictGrid() { m_grid.SetOutOfMemoryThrows(m_was); }
    CStrictGrid(const CStrictGrid&) = delete;
    CStrictGrid& operator=(const CStrictGrid&) = delete;

private:
    CGridCtrl& m_grid;
    bool m_was;
};

// While one lives, the grid neither repaints nor resizes its scroll bars:
// a bulk change does both once, at its end. Left by an exception (memory
// ran out), it only lets the grid draw again: the caller puts the table
// back, which redraws, and nothing may be asked of memory meanwhile.
class CQuietGrid {
public:
    explicit CQuietGrid(CGridCtrl& grid)
        : m_grid(grid), m_wasAllowed(grid.IsRedrawAllowed()), m_exceptions(std::uncaught_exceptions()) {
        if (m_wasAllowed) m_grid.SetRedraw(false);
    }
    ~CQuietGrid() {
        if (!m_wasAllowed) return;
        if (std::uncaught_exceptions() > m_exceptions) {
            m_grid.AllowRedrawLater();
            return;
        }
        try {
            m_grid.SetRedraw(true, true);
        } catch (const std::bad_alloc&) {
            // The window repaints when it next can; the table itself is whole.
        }
    }
    CQuietGrid(const CQuietGrid&) = delete;
    CQuietGrid& operator=(const CQuietGrid&) = delete;

private:
    CGridCtrl& m_grid;
    bool m_wasAllowed;
    int m_exceptions;
};

}  // namespace tabulon
