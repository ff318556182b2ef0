#include "tools/CellSearch.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "base/ShownText.h"

namespace tabulon {

namespace {

// ASCII letters to lower case, every other byte as it is.
struct LowerAscii {
    unsigned char of[256];
    constexpr LowerAscii() : of() {
        for (int b = 0; b < 256; ++b) of[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
    }
};
constexpr LowerAscii kLower;

// Lower-cases the letters of UTF-8 text where they stand: each lower form
// takes as many bytes as its upper form.
void FoldInPlace(std::string& text) {
    const std::size_t size = text.size();
    for (std::size_t at = 0; at < size; ++at) {
        auto& byte = reinterpret_cast<unsigned char&>(text[at]);
        if (byte < 0x80) {
            byte = kLower.of[byte];
            continue;
        }
        if (at + 1 >= size) break;
        auto& next = reinterpret_cast<unsigned char&>(text[at + 1]);
        if (byte == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
            next = static_cast<unsigned char>(next + 0x20);  // À-Þ, but not ×
        } else if (byte == 0xC5 && (next == 0x92 || next == 0xA0 || next == 0xBD)) {
            ++next;  // Œ Š Ž
        } else if (byte == 0xC5 && next == 0xB8) {
            byte = 0xC3;  // Ÿ becomes ÿ, of Latin-1
            next = 0xBF;
        }
        ++at;
    }
}

// Whether text holds wanted (all of it, whole), ASCII letters compared
// without case; wanted is in lower case.
bool HoldsIgnoringAsciiCase(std::string_view text, std::string_view wanted, bool whole) {
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* w = reinterpret_cast<const unsigned char*>(wanted.data());
    const std::size_t n = text.size();
    const std::size_t m = wanted.size();
    if (whole ? n != m : n < m) return false;
    for (std::size_t at = 0; at + m <= n; ++at) {
        if (kLower.of[t[at]] != w[0]) continue;
        std::size_t k = 1;
        while (k < m && kLower.of[t[at + k]] == w[k]) ++k;
        if (k == m) return true;
    }
    return false;
}

// Column 0 holds the items' numbers (and the ticks of 'New items'): the
// items' own texts begin at column 1.
int FirstItemColumn(const CGridCtrl& grid) { return std::max(grid.GetFixedColumnCount(), 1); }

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    FoldInPlace(folded);
    return folded;
}

CCellSearch::CCellSearch(SearchQuery query)
    : m_query(std::move(query)), m_wanted(m_query.text), m_asciiWanted(IsAscii(m_wanted)) {
    if (!m_query.matchCase) FoldInPlace(m_wanted);
    // Letters beyond ASCII never show, nor fold, as ASCII bytes, and an ASCII
    // character shows as its own byte: a text that holds the query holds its
    // longest run of ASCII as it is (with or without case).
    for (std::size_t at = 0; at < m_wanted.size();) {
        std::size_t end = at;
        while (end < m_wanted.size() && static_cast<unsigned char>(m_wanted[end]) < 0x80) ++end;
        if (end - at > m_probe.size()) m_probe = m_wanted.substr(at, end - at);
        at = end + 1;
    }
    m_probeIsQuery = m_asciiWanted && !m_query.wholeCell;
}

std::string_view CCellSearch::Prepared(std::string_view text) const {
    if (IsAscii(text)) {
        if (m_query.matchCase) return text;
        m_scratch.assign(text);
    } else if (IsValidUtf8(text)) {
        m_scratch.assign(text);
    } else {
        m_scratch.clear();
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80)
                m_scratch += c;
            else
                m_scratch += Utf8Of(FromWindows1252(byte));
        }
    }
    if (!m_query.matchCase) FoldInPlace(m_scratch);
    return m_scratch;
}

bool CCellSearch::Matches(std::string_view text) const {
    if (m_wanted.empty()) return false;
    // ASCII wanted: what a cell shows beyond ASCII, however it is encoded and
    // whatever its case, never is an ASCII byte, so the bytes themselves can
    // be compared.
    if (m_asciiWanted) {
        if (!m_query.matchCase) return HoldsIgnoringAsciiCase(text, m_wanted, m_query.wholeCell);
        return m_query.wholeCell ? text == m_wanted : text.find(m_wanted) != std::string_view::npos;
    }
    // Beyond ASCII wanted: a text of ASCII alone shows none of it.
    if (IsAscii(text)) return false;
    const std::string_view shown = Prepared(text);
    return m_query.wholeCell ? shown == m_wanted : shown.find(m_wanted) != std::string_view::npos;
}

CCellSearch::Area CCellSearch::AreaOf(const CGridCtrl& grid) const {
    const int firstRow = grid.GetFixedRowCount();
    const int firstData = FirstItemColumn(grid);
    const int rows = std::max(grid.GetRowCount() - firstRow, 0);
    if (m_query.column >= 0) {
        const bool shown = m_query.column >= firstData && m_query.column < grid.GetColumnCount();
        return {firstRow, rows, m_query.column, shown ? 1 : 0};
    }
    return {firstRow, rows, firstData, std::max(grid.GetColumnCount() - firstData, 0)};
}

std::optional<CCellSearch::Found> CCellSearch::Next(const CGridCtrl& grid, CellId from, bool backwards,
                                                    const CSearchTexts* copy) const {
    const Area area = AreaOf(grid);
    const long long size = area.Size();
    if (size == 0 || m_wanted.empty()) return std::nullopt;
    // Where the search begins: the place after from (before it, backwards).
    long long begin = backwards ? size - 1 : 0;
    const int row = from.row - area.firstRow;
    if (row >= 0 && row < area.rows) {
        const long long rowStart = static_cast<long long>(row) * area.cols;
        if (from.col < area.firstCol)
            begin = backwards ? rowStart - 1 : rowStart;
        else if (from.col >= area.firstCol + area.cols)
            begin = backwards ? rowStart + area.cols - 1 : rowStart + area.cols;
        else
            begin = rowStart + (from.col - area.firstCol) + (backwards ? -1 : 1);
    }
    bool wrapped = begin < 0 || begin >= size;
    begin = (begin % size + size) % size;
    if (ScansBytes(grid, copy)) {
        // Forwards: from begin to the end, then from the start up to begin;
        // backwards: from begin down to the start, then from the end.
        const auto k = static_cast<std::size_t>(begin);
        const auto all = static_cast<std::size_t>(size);
        std::size_t found = backwards ? LastHolding(*copy, 0, k + 1) : FirstHolding(*copy, k, all);
        if (found == (backwards ? k + 1 : all)) {
            found = backwards ? LastHolding(*copy, k + 1, all) : FirstHolding(*copy, 0, k);
            if (found == (backwards ? all : k)) return std::nullopt;
            wrapped = true;
        }
        return Found{area.At(static_cast<long long>(found)), wrapped};
    }
    const int step = backwards ? -1 : 1;
    int r = static_cast<int>(begin / area.cols);
    int c = static_cast<int>(begin % area.cols);
    const bool copied = copy && copy->IsCurrentFor(grid);
    for (long long k = 0; k < size; ++k) {
        const CellId at(area.firstRow + r, area.firstCol + c);
        if (Matches(copied ? copy->Text(at.row, at.col) : std::string_view(grid.GetCellText(at.row, at.col))))
            return Found{at, wrapped};
        c += step;
        if (c == area.cols || c < 0) {
            c = backwards ? area.cols - 1 : 0;
            r += step;
            if (r == area.rows || r < 0) {
                r = backwards ? area.rows - 1 : 0;
                wrapped = true;
            }
            if (!copied) grid.PrefetchRowsAhead(area.firstRow + r, step, area.firstCol, area.firstCol + area.cols - 1);
        }
    }
    return std::nullopt;
}

CCellSearch::Count CCellSearch::CountMatches(const CGridCtrl& grid, CellId cell, const CSearchTexts* copy) const {
    const Area area = AreaOf(grid);
    Count count;
    if (m_wanted.empty() || area.Size() == 0) return count;
    if (ScansBytes(grid, copy)) {
        const auto all = static_cast<std::size_t>(area.Size());
        for (std::size_t k = FirstHolding(*copy, 0, all); k < all; k = FirstHolding(*copy, k + 1, all)) {
            ++count.total;
            if (area.At(static_cast<long long>(k)) == cell) count.rank = count.total;
        }
        return count;
    }
    const bool copied = copy && copy->IsCurrentFor(grid);
    for (int r = area.firstRow; r < area.firstRow + area.rows; ++r) {
        if (!copied) grid.PrefetchRowsAhead(r, 1, area.firstCol, area.firstCol + area.cols - 1);
        for (int c = area.firstCol; c < area.firstCol + area.cols; ++c) {
            if (!Matches(copied ? copy->Text(r, c) : std::string_view(grid.GetCellText(r, c)))) continue;
            ++count.total;
            if (cell == CellId(r, c)) count.rank = count.total;
        }
    }
    return count;
}

bool CCellSearch::ScansBytes(const CGridCtrl& grid, const CSearchTexts* copy) const {
    // The copy holds every data column, as a search of all of them reads them.
    return !m_probe.empty() && m_query.column < 0 && copy && copy->IsCurrentFor(grid);
}

std::size_t CCellSearch::FindBytes(std::string_view bytes, std::size_t at, std::size_t startsBefore,
                                   std::size_t end) const {
    const std::size_t m = m_probe.size();
    if (end < m) return std::string_view::npos;
    startsBefore = std::min(startsBefore, end - m + 1);
    if (m_query.matchCase) {
        const std::size_t found = bytes.substr(0, startsBefore + m - 1).find(m_probe, at);
        return found < startsBefore ? found : std::string_view::npos;
    }
    const auto* t = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* w = reinterpret_cast<const unsigned char*>(m_probe.data());
    const auto holds = [&](std::size_t p) {
        for (std::size_t k = 0; k < m; ++k)
            if (kLower.of[t[p + k]] != w[k]) return false;
        return true;
    };
    // Eight bytes at a time, the places that may begin the query are picked
    // out: a letter is looked for in both cases by setting the bit that
    // makes the lower one (only a letter's upper and lower forms differ in
    // that bit alone), then each place is compared.
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighs = 0x8080808080808080;
    const bool letter = w[0] >= 'a' && w[0] <= 'z';
    const std::uint64_t fold = letter ? kOnes * 0x20 : 0;
    const std::uint64_t pattern = kOnes * w[0];
    std::size_t p = at;
    for (; p + 8 <= startsBefore; p += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, t + p, sizeof eight);
        const std::uint64_t differ = (eight | fold) ^ pattern;  // a byte of 0 where the first may be
        if (((differ - kOnes) & ~differ & kHighs) == 0) continue;
        for (std::size_t q = p; q < p + 8; ++q)
            if (holds(q)) return q;
    }
    for (; p < startsBefore; ++p)
        if (holds(p)) return p;
    return std::string_view::npos;
}

bool CCellSearch::Holds(const CSearchTexts& copy, std::size_t k, std::size_t probeAt) const {
    // A probe that runs on into the next text is none; nor does a text
    // hold the query where its probe is only a part of it.
    if (probeAt + m_probe.size() > copy.Start(k + 1)) return false;
    return m_probeIsQuery || Matches(copy.TextOf(k));
}

std::size_t CCellSearch::FirstHolding(const CSearchTexts& copy, std::size_t first, std::size_t last) const {
    const std::string_view bytes = copy.Bytes();
    const std::size_t end = copy.Start(last);
    for (std::size_t at = copy.Start(first);;) {
        const std::size_t found = FindBytes(bytes, at, end, end);
        if (found == std::string_view::npos) return last;
        const std::size_t k = copy.TextAt(found, first, last);
        if (Holds(copy, k, found)) return k;
        at = copy.Start(k + 1);
    }
}

std::size_t CCellSearch::LastHolding(const CSearchTexts& copy, std::size_t first, std::size_t last) const {
    // A block at a time from the end, each searched forwards for its last
    // text that holds the query.
    constexpr std::size_t kBlock = 1 << 16;
    const std::string_view bytes = copy.Bytes();
    const std::size_t low = copy.Start(first);
    const std::size_t end = copy.Start(last);
    for (std::size_t blockEnd = end; blockEnd > low;) {
        const std::size_t blockStart = blockEnd - std::min(kBlock, blockEnd - low);
        std::size_t holding = last;
        for (std::size_t at = blockStart;;) {
            const std::size_t found = FindBytes(bytes, at, blockEnd, end);
            if (found == std::string_view::npos) break;
            const std::size_t k = copy.TextAt(found, first, last);
            if (Holds(copy, k, found)) holding = k;
            at = copy.Start(k + 1);
        }
        if (holding != last) return holding;
        blockEnd = blockStart;
    }
    return last;
}

std::size_t CSearchTexts::TextAt(std::size_t at, std::size_t first, std::size_t last) const {
    const auto begin = m_starts.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = m_starts.begin() + static_cast<std::ptrdiff_t>(last) + 1;
    return static_cast<std::size_t>(std::upper_bound(begin, end, at) - m_starts.begin()) - 1;
}

bool CSearchTexts::CopySome(const CGridCtrl& grid, std::size_t cells) {
    if (m_grid != &grid || m_version != grid.GetTextsVersion()) {
        Clear();
        m_grid = &grid;
        m_version = grid.GetTextsVersion();
        m_firstRow = grid.GetFixedRowCount();
        m_rows = std::max(grid.GetRowCount() - m_firstRow, 0);
        m_firstCol = FirstItemColumn(grid);
        m_cols = std::max(grid.GetColumnCount() - m_firstCol, 0);
    }
    const std::size_t total = static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_cols);
    if (m_gaveUp || (m_copied == total && !m_starts.empty())) return true;
    try {
        // A pane with no item cells has a copy too, of no texts: its one
        // start is where they would end.
        if (m_starts.empty()) {
            m_starts.reserve(total + 1);
            m_starts.push_back(0);
        }
        const int lastCol = m_firstCol + m_cols - 1;
        for (std::size_t done = 0; done < cells && m_copied < total; done += static_cast<std::size_t>(m_cols)) {
            const int row = m_firstRow + static_cast<int>(m_copied / static_cast<std::size_t>(m_cols));
            grid.PrefetchRowsAhead(row, 1, m_firstCol, lastCol);
            for (int col = m_firstCol; col <= lastCol; ++col) {
                const std::string_view text = grid.GetCellText(row, col);
                if (text.size() > std::numeric_limits<std::uint32_t>::max() - m_texts.size()) throw std::bad_alloc();
                m_texts += text;
                m_starts.push_back(static_cast<std::uint32_t>(m_texts.size()));
            }
            // Once the length of a text is known on average, room for all of
            // them is taken at once rather than doubled time and again.
            constexpr std::size_t kSample = 4096;
            if (m_copied < kSample && m_copied + static_cast<std::size_t>(m_cols) >= kSample) {
                const double perText = static_cast<double>(m_texts.size()) /
                                       static_cast<double>(m_copied + static_cast<std::size_t>(m_cols));
                m_texts.reserve(static_cast<std::size_t>(perText * 1.05 * static_cast<double>(total)) + 64);
            }
            m_copied += static_cast<std::size_t>(m_cols);
        }
    } catch (const std::bad_alloc&) {
        // Searches walk the cells themselves, as they do while the copy is made.
        Clear();
        m_grid = &grid;
        m_gaveUp = true;
    }
    return m_gaveUp || m_copied == total;
}

bool CSearchTexts::IsCurrentFor(const CGridCtrl& grid) const {
    return m_grid == &grid && m_version == grid.GetTextsVersion() && !m_gaveUp && !m_starts.empty() &&
           m_copied == static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_cols);
}

void CSearchTexts::Clear() {
    m_grid = nullptr;
    m_copied = 0;
    m_gaveUp = false;
    m_rows = m_cols = 0;
    BigString().swap(m_texts);
    BigVector<std::uint32_t>().swap(m_starts);
}

}  // namespace tabulon
