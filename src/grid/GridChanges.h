#pragma once
// What one piece of work changed in one grid, in the order it happened, so
// that the grid can take it back (CGridCtrl::TakeBack) and, from what taking
// it back records, do it again. Rows, cells and columns that went are moved
// here, never copied: a list whose every item was deleted is held once, by
// this record instead of by the grid. Rows added by the same work are not
// followed cell by cell: taking them back takes them out whole, with whatever
// they hold by then.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "base/BigArray.h"
#include "grid/CellId.h"
#include "grid/CellPool.h"
#include "grid/CellRow.h"
#include "grid/CellSlot.h"

namespace tabulon {

// A row of the table owns its cells.
using GridRow = CCellRow;

// Rows at ascending positions. Most often they follow each other (the rows
// appended, every item of a list): such a run is kept as its ends alone.
class CRowSet {
public:
    CRowSet() = default;
    // The count rows from first on.
    CRowSet(int first, int count) : m_first(first), m_count(count) {}
    // These ascending rows; when they follow each other, the list goes.
    explicit CRowSet(std::vector<int> rows);

    int Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }
    bool IsRun() const { return m_list.empty(); }
    int Front() const { return m_first; }
    int operator[](std::size_t k) const { return m_list.empty() ? m_first + static_cast<int>(k) : m_list[k]; }
    // How many of the rows stand before row, and whether row is one of them.
    int CountBelow(int row) const;
    bool Contains(int row) const;
    // A run that ends where count rows from first begin takes them in.
    bool Extend(int first, int count);
    // Forgets the rows from row on.
    void DropFrom(int row);
    std::size_t Bytes() const { return m_list.capacity() * sizeof(int); }

private:
    std::vector<int> m_list;  // empty for a run
    int m_first = 0;
    int m_count = 0;
};

class CGridChanges {
public:
    CGridChanges() = default;
    CGridChanges(CGridChanges&&) noexcept = default;
    CGridChanges& operator=(CGridChanges&&) noexcept = default;
    CGridChanges(const CGridChanges&) = delete;
    CGridChanges& operator=(const CGridChanges&) = delete;

    bool Empty() const { return m_entries.empty(); }
    // Whether the rows were only put in another order (or nothing changed).
    bool ReordersOnly() const;
    // Roughly the memory this record holds beyond its own few bytes.
    std::size_t Bytes() const;
    // Whether recording ran out of memory: the grid then refused every
    // further change, and what is recorded is all that happened.
    bool Failed() const { return m_failed; }
    // How much work taking the changes back is, in rows or cells.
    std::uint64_t Units() const;
    // The first place that changed, in the order of the rows (a row or
    // column alone has the other at -1); none when nothing is recorded.
    std::optional<CellId> FirstPlace() const;
    // The same among the places inside cells; none when no change lies there.
    std::optional<CellId> FirstPlaceIn(const CellRange& cells) const;

private:
    friend class CGridTable;

    struct TextChange {  // the text the cell had
        int row, col;
        std::string text;
    };
    struct CheckChange {  // whether the box was ticked
        int row, col;
        bool checked;
    };
    struct CellChange {  // the cell that another class of cell replaced
        int row, col;
        CCellSlot cell;
    };
    struct RowsAdded {  // where the added rows stand now
        CRowSet rows;
        int fixedRows;  // the count of fixed rows before
    };
    struct RowsRemoved {  // where the removed rows stood, and the rows
        CRowSet rows;
        // Row rows[k] is cells[offset + k]. When the rows that went were
        // most of the table, the grid's own arrays came here whole, their
        // first offset places left empty.
        BigVector<GridRow> cells;
        std::vector<std::uint32_t> heights;
        std::size_t offset;
        int fixedRows;
    };
    struct ColumnAdded {
        int col;
        int fixedCols;
    };
    struct ColumnRemoved {
        int col;
        std::uint32_t width;
        std::vector<CCellSlot> cells;  // one for each row
        int fixedCols;
    };
    struct RowsReordered {  // row first + k came from row from[k]
        int first;
        std::vector<int> from;
    };
    // The larger entries are kept boxed, so that the many small ones (a text
    // for each cell a Replace changed) take no more room than they need.
    template <typename T>
    using Stored = std::conditional_t<(sizeof(T) > sizeof(TextChange)), std::unique_ptr<T>, T>;
    using Entry = std::variant<Stored<TextChange>, Stored<CheckChange>, Stored<CellChange>, Stored<RowsAdded>,
                               Stored<RowsRemoved>, Stored<ColumnAdded>, Stored<ColumnRemoved>, Stored<RowsReordered>>;
    // The entry of kind T; none when it is of another kind.
    template <typename T>
    static T* Get(Entry& entry) {
        auto* stored = std::get_if<Stored<T>>(&entry);
        if constexpr (std::is_same_v<Stored<T>, T>)
            return stored;
        else
            return stored ? stored->get() : nullptr;
    }
    template <typename T>
    static const T* Get(const Entry& entry) {
        return Get<T>(const_cast<Entry&>(entry));
    }

    static std::uint64_t Units(const Entry& entry);
    // Where entry changed the grid: a cell, rows from a row on (column -1),
    // or a column (row -1); inside cells when given (none when it changed
    // nothing there).
    static std::optional<CellId> PlaceOf(const Entry& entry, const CellRange* cells = nullptr);
    std::optional<CellId> FirstOf(const CellRange* cells) const;
    // Rows from this one on were all added by this work (INT_MAX: none are
    // known to be); their cells need no record of their own.
    bool IsFresh(int row) const { return row >= m_freshFrom; }
    void Add(Entry entry);

    std::vector<Entry> m_entries;
    int m_freshFrom = INT_MAX;
    bool m_failed = false;
};

}  // namespace tabulon
