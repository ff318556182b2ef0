#pragma once
// What a grid holds: its rows, each owning its cells, the rows' heights and
// the columns' widths, and the record of its changes for taking them back.
// Every change of them passes one path (Change in GridTable.cpp): it is
// recorded before it is made, when a record is kept, it moves the version
// of the texts, and the grid hears of it once, as a change of cells, of
// rows, of their order or of columns. The grid around the table keeps what
// is seen of it: the focus, the selection, scrolling and drawing.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "base/BigArray.h"
#include "grid/CellId.h"
#include "grid/CellSlot.h"
#include "grid/GridChanges.h"
#include "grid/GridGeometry.h"

namespace tabulon {

// What a change of the table changed, as those who follow the grid hear it.
enum class GridChange {
    Cells,    // the text, tick or class of a cell
    Rows,     // rows came or went
    Order,    // the rows were put in another order
    Columns,  // columns came or went, or the fixed rows or columns changed
};

// One change, as the grid hears it: the kind, and where. A cell has its row
// and column; rows that came or went are rows (their places after they came,
// before they went); a column its column; an order its first row and count.
struct TableChange {
    GridChange kind;
    int row = -1;
    int col = -1;
    int count = 0;
    const CRowSet* rows = nullptr;
    bool added = false;       // the rows or column came (else they went)
    bool recorded = false;    // a record was kept of it
    bool takingBack = false;  // made by taking a step back, or doing it again
};

class CGridTable {
public:
    using Row = GridRow;

    // What the table asks of its grid.
    class IHost {
    public:
        // The slot of a new cell at (row, col), as the grid makes its cells.
        virtual CCellSlot NewSlot(int row, int col) = 0;
        // The cell at (row, col), made now when it was still pending.
        virtual CGridCellBase* MadeCell(int row, int col) = 0;
        // The cell at (row, col) is about to go for good (not into a record).
        virtual void CellGoing(int row, int col) = 0;
        // Rows or a column are about to go: what points at them lets go.
        virtual void Going(const TableChange& change) = 0;
        // A change was made.
        virtual void TableChanged(const TableChange& change) = 0;
        // Taking back has got this far of total units.
        virtual void TakingBack(std::uint64_t done, std::uint64_t total) = 0;

    protected:
        ~IHost() = default;
    };

    // versionBase: where this table's versions start, so that a grid made
    // where another was never seems to hold what that one held.
    CGridTable(IHost& host, std::uint64_t versionBase) : m_host(host), m_version(versionBase) {}
    CGridTable(const CGridTable&) = delete;
    CGridTable& operator=(const CGridTable&) = delete;

    // ---- reading ----
    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }
    int FixedRows() const { return m_fixedRows; }
    int FixedCols() const { return m_fixedCols; }
    bool IsValid(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
    // The slot of a valid place; mutable, so that reading a pending cell can
    // make it.
    CCellSlot& Slot(int row, int col) const { return m_rowData[row][col]; }
    const Row& RowAt(int row) const { return m_rowData[row]; }
    // The cell if it has been made; none while pending or for an invalid id.
    CGridCellBase* Peek(int row, int col) const { return IsValid(row, col) ? m_rowData[row][col].get() : nullptr; }
    const std::vector<std::uint32_t>& Heights() const { return m_rowHeights; }
    const std::vector<std::uint32_t>& Widths() const { return m_colWidths; }
    long long TotalHeight() const { return m_totalHeight; }
    long long TotalWidth() const { return m_totalWidth; }
    // The top of row (0 to the row count), the tops summed lazily: a change
    // of heights from a row on only forgets the sums from there, so that
    // appending rows stays cheap and an offset finds its row by binary search.
    long long RowTop(int row) { return m_positions.Top(row, m_rowHeights); }
    // The first row from first on whose bottom lies beyond offset (from the
    // top of row first), but at most the last row.
    int RowAtOffset(long long offset, int first) { return m_positions.RowAt(offset, first, m_rowHeights); }
    long long LastPageOffset(int first, long long page) {
        return m_positions.LastPageOffset(first, page, m_rowHeights);
    }
    // Changes whenever a cell's text, the rows, the columns or their order
    // may have changed.
    std::uint64_t Version() const { return m_version; }
    // Whether any cell keeps its own coordinates; only then do moved rows
    // tell their cells where they are now.
    bool HasCoordCells() const { return m_hasCoordCells; }
    void NoteCoordCell(bool keepsCoords) { m_hasCoordCells = m_hasCoordCells || keepsCoords; }
    // Tells the cells that keep their coordinates, from this row and column
    // on, where they are now.
    void RenumberCells(int fromRow, int fromCol);

    // ---- sizes: the view's, kept with their rows and columns ----
    void SetHeight(int row, std::uint32_t height);
    void SetWidth(int col, std::uint32_t width);

    // ---- the record of changes (GridChanges.h) ----
    void SetLog(CGridChanges* log) { m_log = log; }
    CGridChanges* Log() const { return m_log; }
    // A failed record refuses every further change, so that what it holds
    // is exactly what happened.
    bool MayChange() const { return !m_log || !m_log->m_failed; }
    // While set, running out of memory for a record throws (the grid is
    // strict), instead of only refusing the change.
    void SetRecordingThrows(bool on) { m_recordingThrows = on; }
    // Memory ran out for what a change would record, before the table was
    // asked for it: the record fails as if the table had run out.
    void RecordingRanOut() {
        if (m_log) RecordingFailed();
    }

    // ---- changes ----
    // Each returns false when it changed nothing: refused (a failed record),
    // or memory ran out before anything moved; then std::bad_alloc is
    // thrown where noted, with the table as it was.
    // count new rows at the end, each of height; throws.
    bool AppendRows(int count, std::uint32_t height);
    // A new row at row (the end when row is the count), of height. Throws.
    bool InsertRow(int row, std::uint32_t height);
    // Takes the rows at these ascending places out; they go into the record
    // when one is kept, else for good. The rows after them close up.
    bool RemoveRows(CRowSet rows);
    // A new column at col of width, a cell in every row; rows get room for
    // roomPerRow cells when that is more. Throws.
    bool InsertColumn(int col, std::uint32_t width, std::size_t roomPerRow);
    bool RemoveColumn(int col);
    // The text of a cell that has been made.
    bool SetText(int row, int col, std::string_view text);
    // The tick of the check box at (row, col) changes by change(), which
    // sets it.
    bool ChangeCheck(int row, int col, bool checked, const std::function<void()>& change);
    // Another cell in the place of (row, col).
    bool ReplaceCell(int row, int col, CCellSlot cell);
    // Puts rows first... into the order where row first + k comes from
    // from[k], recording it.
    bool Reorder(int first, const std::vector<int>& from);
    // The same without a record: rowAt(k) names the row that goes to place
    // first + k of count. gather: room for count rows, so that they are
    // gathered in their new order and put back, rather than moved along the
    // cycles of the order (a long run, whose rows lie all over memory).
    void PutInOrder(int first, std::size_t count, const std::function<int(std::size_t)>& rowAt, BigVector<Row>* gather,
                    std::vector<std::uint32_t>* gatherHeights);
    // The fixed rows and columns now count these.
    void SetFixed(int rows, int cols);
    // Every row and column goes, unrecorded.
    void Clear();

    // ---- taking back (GridChanges.cpp) ----
    // Takes back what changes holds, newest first, recording into redo (when
    // given) how to do it again; changes is empty afterwards.
    void TakeBack(CGridChanges& changes, CGridChanges* redo, std::uint64_t doneBefore, std::uint64_t total);

private:
    // The one path of every change: make records and changes (false when it
    // changed nothing; it may tell more of the change), then the version
    // moves and the grid hears of it. A failed record refuses a change that
    // would be recorded; what is never recorded (the fixed counts, clearing
    // the whole) goes on.
    template <typename Make>
    bool Change(const TableChange& change, Make&& make, bool recorded = true);
    void Changed(const TableChange& change);
    Row MakeRow(int row);

    // The entry as the record keeps it; none without a record or when it
    // could not be kept (the record then fails).
    template <typename Entry>
    Entry* Record(Entry entry);
    void RecordingFailed();
    bool NoteTextChange(int row, int col, const CGridCellBase& cell);
    bool NoteRowsAdded(int first, int count);
    // The counts and places that follow rows having gone.
    void AfterRowsRemoved(const CRowSet& rows);
    bool TakeRowsOut(CRowSet& rows, TableChange& change);
    bool PutRowsBack(const CRowSet& rows, BigVector<Row>& cells, std::vector<std::uint32_t>& heights,
                     std::size_t offset, int fixedRows);
    bool PutColumnBack(int col, std::uint32_t width, std::vector<CCellSlot>& cells, int fixedCols);
    void InsertColumnCells(int col, std::uint32_t width, std::size_t roomPerRow);
    void PermuteRows(int first, std::size_t count, const std::function<int(std::size_t)>& fromOf,
                     const std::function<void(std::size_t)>& onMoved);
    void DestroyCell(int row, int col);
    void TakeBackEntry(CGridChanges::Entry& entry);
    void ReportTakingBack(std::uint64_t withinEntry);

    IHost& m_host;
    // Mutable: reading a pending cell makes it.
    mutable BigVector<Row> m_rowData;
    std::vector<std::uint32_t> m_rowHeights;
    std::vector<std::uint32_t> m_colWidths;
    long long m_totalHeight = 0;
    long long m_totalWidth = 0;
    CRowPositions m_positions;
    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    mutable bool m_hasCoordCells = false;
    std::uint64_t m_version;

    CGridChanges* m_log = nullptr;
    bool m_recordingThrows = false;
    bool m_takingBack = false;      // whoever takes back tells of running out
    std::uint64_t m_takenBack = 0;  // progress of taking back
    std::uint64_t m_toTakeBack = 0;
    // Which rows of an order being followed have their place already.
    std::vector<bool> m_placed;
};

}  // namespace tabulon
