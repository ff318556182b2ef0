#pragma once
// Finding text in the cells of a pane: the next or previous item cell that
// holds it, row by row and left to right from the focus cell, going round at
// the end; and how many cells hold it. Cells are matched as they are shown:
// a text that is not valid UTF-8 is read as Windows-1252. Without "Match
// case" letters are compared without their case: A-Z, and the letters of
// Latin-1 and of Windows-1252 that have an upper and a lower form.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "grid/CellId.h"
#include "grid/GridCtrl.h"

namespace tabulon {

struct SearchQuery {
    SearchQuery() = default;
    SearchQuery(std::string text_, bool matchCase_ = false, bool wholeCell_ = false, int column_ = -1,
                std::string columnName_ = {})
        : text(std::move(text_)),
          matchCase(matchCase_),
          wholeCell(wholeCell_),
          column(column_),
          columnName(std::move(columnName_)) {}

    std::string text;  // UTF-8, as typed
    bool matchCase = false;
    bool wholeCell = false;
    int column = -1;  // one data column, or -1 for all of them
    // The heading of that column as it was chosen: a search made again
    // follows the column by its name when the columns have moved.
    std::string columnName;
};

// text with its letters in lower case, as the search compares them; text is
// UTF-8.
std::string FoldCase(std::string_view text);

// A copy of the texts of a grid's item cells, row by row, in one block of
// memory. After a sort the cells of a big list lie all over memory and a
// walk over them waits for memory at every cell; the copy is read from end
// to end many times faster. It is made a part at a time, while the user has
// nothing else for the program to do, and a search uses it only while the
// grid's texts are still as they were copied.
class CSearchTexts {
public:
    // Copies about cells more texts of grid, starting anew when the grid
    // changed; true once the copy is whole and current. A grid too big to
    // copy, or no memory for it, leaves no copy (and true: nothing to do).
    bool CopySome(const CGridCtrl& grid, std::size_t cells);
    bool IsCurrentFor(const CGridCtrl& grid) const;
    void Clear();

    // The text of item cell (row, col) of the grid it is current for.
    std::string_view Text(int row, int col) const {
        return TextOf(static_cast<std::size_t>(row - m_firstRow) * static_cast<std::size_t>(m_cols) +
                      static_cast<std::size_t>(col - m_firstCol));
    }
    // Text k, counted row by row over all data columns.
    std::string_view TextOf(std::size_t k) const {
        return std::string_view(m_texts).substr(m_starts[k], m_starts[k + 1] - m_starts[k]);
    }
    // All the texts one after the other, where text k (counted as Text
    // counts) starts in them, and which of texts first to last - 1 byte at
    // lies in.
    std::string_view Bytes() const { return m_texts; }
    std::size_t Start(std::size_t k) const { return m_starts[k]; }
    std::size_t TextAt(std::size_t at, std::size_t first, std::size_t last) const;

private:
    const CGridCtrl* m_grid = nullptr;
    std::uint64_t m_version = 0;
    int m_firstRow = 0, m_rows = 0, m_firstCol = 0, m_cols = 0;
    std::size_t m_copied = 0;  // cells, row by row
    bool m_gaveUp = false;
    BigString m_texts;
    BigVector<std::uint32_t> m_starts;  // where each cell's text starts, and one past the last
};

class CCellSearch {
public:
    explicit CCellSearch(SearchQuery query);

    const SearchQuery& Query() const { return m_query; }
    // Whether a cell whose bytes are text holds the query.
    bool Matches(std::string_view text) const;

    struct Found {
        CellId cell;
        bool wrapped = false;  // the search went round the end (or the start) to reach it
    };
    // The first item cell after from (before it, backwards) that holds the
    // query; from itself comes last. From no cell, the search starts at the
    // first item cell (the last, backwards). None when no cell holds it.
    // The texts are read from copy where it is current.
    std::optional<Found> Next(const CGridCtrl& grid, CellId from, bool backwards,
                              const CSearchTexts* copy = nullptr) const;

    struct Count {
        std::size_t total = 0;
        std::size_t rank = 0;  // which of them cell is, from 1; 0 when it holds none
    };
    Count CountMatches(const CGridCtrl& grid, CellId cell, const CSearchTexts* copy = nullptr) const;

private:
    // The cells searched: the item rows, and the data columns chosen.
    struct Area {
        int firstRow, rows, firstCol, cols;
        long long Size() const { return static_cast<long long>(rows) * cols; }
        CellId At(long long k) const {
            return CellId(firstRow + static_cast<int>(k / cols), firstCol + static_cast<int>(k % cols));
        }
    };
    Area AreaOf(const CGridCtrl& grid) const;
    // The text as shown, folded unless case matters, in m_scratch.
    std::string_view Prepared(std::string_view text) const;
    // A query with ASCII in it can be looked for in a copy's bytes as a
    // whole, rather than text by text: many times faster. Its probe is
    // looked for, then each text it is found in is compared.
    bool ScansBytes(const CGridCtrl& grid, const CSearchTexts* copy) const;
    bool Holds(const CSearchTexts& copy, std::size_t k, std::size_t probeAt) const;
    // The first place from at on, before startsBefore, where the probe
    // starts and ends by end; npos when none.
    std::size_t FindBytes(std::string_view bytes, std::size_t at, std::size_t startsBefore, std::size_t end) const;
    // The first (the last) of texts first to last - 1 of copy that holds
    // the query; last when none does.
    std::size_t FirstHolding(const CSearchTexts& copy, std::size_t first, std::size_t last) const;
    std::size_t LastHolding(const CSearchTexts& copy, std::size_t first, std::size_t last) const;

    SearchQuery m_query;
    std::string m_wanted;  // the query as the cells are compared
    bool m_asciiWanted;
    std::string m_probe;  // the longest run of ASCII in m_wanted
    bool m_probeIsQuery;  // and a text that holds it holds the query
    mutable std::string m_scratch;
};

}  // namespace tabulon
