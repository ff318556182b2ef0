#include "output/LetterGroups.h"

#include <algorithm>
#include <unordered_set>

#include "base/FirstLetter.h"
#include "base/ShownText.h"
#include "grid/GridCtrl.h"
#include "output/PageWriting.h"

namespace tabulon {

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsIndexCharacter(unsigned char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z'); }

// The index rows of one run: which character was indexed last, whether the
// digits row stands already and which letters beyond Z have their rows.
class IndexRows {
public:
    IndexRows(ILetterGroupSink& sink, int mode) : m_sink(sink), m_mode(mode) {}

    unsigned char Last() const { return m_last; }

    // Gives the rows the mode gives on the way from the last indexed
    // character up to ch, which must be greater; true when any was given.
    bool Advance(unsigned char ch) {
        bool wrote = false;
        switch (m_mode) {
        case 1:
            Row(ch);
            wrote = true;
            break;
        case 2:
            for (unsigned c = m_last + 1u; c <= ch; ++c) {
                if (!IsIndexCharacter(static_cast<unsigned char>(c))) continue;
                Row(static_cast<unsigned char>(c));
                wrote = true;
            }
            break;
        case 3:
            if (IsDigit(ch)) {
                wrote = DigitsRowOnce();
            } else {
                Row(ch);
                wrote = true;
            }
            break;
        case 4:
            for (unsigned c = m_last + 1u; c <= ch; ++c) {
                const auto at = static_cast<unsigned char>(c);
                if (!IsIndexCharacter(at)) continue;
                if (IsDigit(at)) {
                    wrote = DigitsRowOnce() || wrote;
                } else {
                    Row(at);
                    wrote = true;
                }
            }
            break;
        default: break;
        }
        m_last = ch;
        return wrote;
    }

    // Modes 2 and 4 list every character, also those after the last item.
    void Finish() {
        if ((m_mode == 2 || m_mode == 4) && m_last < 'Z') Advance('Z');
    }

    // The row of a letter beyond A to Z, after those of Z. An anchor's name
    // must be unique on the page: a letter met again, further down, gets no
    // second row. True when the row was given.
    bool Letter(const std::string& letter) {
        if (m_mode < 1 || m_mode > 4 || !m_letters.insert(letter).second) return false;
        m_sink.Letter(letter);
        return true;
    }

private:
    void Row(unsigned char ch) {
        const auto c = static_cast<char>(ch);
        m_sink.Letter(std::string_view(&c, 1));
    }
    bool DigitsRowOnce() {
        if (m_digitsDone) return false;
        m_sink.Letter("0-9");
        m_digitsDone = true;
        return true;
    }

    ILetterGroupSink& m_sink;
    const int m_mode;
    unsigned char m_last = '/';  // the byte just below '0'
    bool m_digitsDone = false;
    std::unordered_set<std::string> m_letters;
};

// The item's index character: the first byte of column 1, letters upper-cased.
unsigned char IndexCharacterOf(std::string_view text) {
    if (text.empty()) return 0;
    auto c = static_cast<unsigned char>(text.front());
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    return c;
}

std::string InUtf8(const std::string& letter) {
    if (IsValidUtf8(letter)) return letter;
    std::string text;
    for (char c : letter) text += Utf8Of(FromWindows1252(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void LeftOut::Add(const CGridCtrl& grid, int row) {
    ++count;
    if (names.size() >= kNamed) return;
    const std::string_view first = grid.GetCellText(row, 1);
    if (first.empty()) {
        names.push_back("item " + Decimal(row) + " (its first column is empty)");
        return;
    }
    // A long text is cut, never inside a character of several bytes.
    constexpr std::size_t kLongest = 40;
    std::size_t length = std::min(first.size(), kLongest);
    while (length < first.size() && length > 0 && (static_cast<unsigned char>(first[length]) & 0xC0) == 0x80) --length;
    // Built by appending: g++ 12 at -O3 misreads the chain of + as an
    // overlapping copy.
    std::string name = "\"";
    name.append(first, 0, length);
    name += length < first.size() ? "...\"" : "\"";
    // The same text again tells nothing new; it is counted all the same.
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
}

std::string LeftOut::Message() const {
    std::string text = Decimal(count) + " of the " + Decimal(items) + (count == 1 ? " items was" : " items were") +
                       " left out of the page: an item is listed only when its first column begins with ";
    text += anyLetter ? "a digit or a letter.\n\nLeft out: " : "a digit (0-9) or a letter from A to Z.\n\nLeft out: ";
    for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : "") + names[i];
    if (count > static_cast<int>(names.size()))
        text += " and " + Decimal(count - static_cast<int>(names.size())) + " more";
    return text + ".";
}

void WalkLetterGroups(const CGridCtrl* grid, const LetterGroupOptions& options, ILetterGroupSink& sink,
                      LeftOut& leftOut) {
    const int rows = grid ? grid->GetRowCount() : 0;
    const int columns = grid ? grid->GetColumnCount() : 0;
    IndexRows index(sink, options.mode);
    leftOut.items = std::max(rows - 1, 0);
    leftOut.anyLetter = options.otherLetters;
    // The items under letters beyond A to Z, by row number: they follow Z.
    std::vector<int> later;
    for (int row = 1; row < rows; ++row) {
        // After the sort the rows lie all over memory: the rows ahead are
        // asked for while this one is written.
        grid->PrefetchRowsAhead(row, 1, 1, columns - 1);
        const std::string_view text = grid->GetCellText(row, 1);
        const unsigned char ch = IndexCharacterOf(text);
        if (!IsIndexCharacter(ch)) {
            if (options.otherLetters && !UpperInitialBeyondAscii(text).empty())
                later.push_back(row);
            else
                leftOut.Add(*grid, row);  // such items stay off the list
            continue;
        }
        sink.Item(row, ch > index.Last() && index.Advance(ch));
    }
    index.Finish();
    // In the order the sort left them, which need not keep each letter's
    // items together.
    for (const int row : later) {
        std::string letter = UpperInitialBeyondAscii(grid->GetCellText(row, 1));
        if (options.utf8Letters) letter = InUtf8(letter);
        sink.Item(row, index.Letter(letter));
    }
}

}  // namespace tabulon
