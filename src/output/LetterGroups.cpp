#include "output/LetterGroups.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "base/FirstLetter.h"
#include "base/ShownText.h"
#include "grid/GridCtrl.h"
#include "grid/SortOrder.h"
#include "output/PageWriting.h"

namespace tabulon {

namespace {

// The places of the index, in order: the digits 0 to 9 at 0 to 9, then the
// letters of the alphabet (A to Z, or the language's) from kFirstLetter on.
constexpr int kFirstLetter = 10;

bool IsDigitPlace(int place) { return place < kFirstLetter; }

// The index rows of one run: which place was indexed last, whether the
// digits row stands already and which letters beyond the alphabet have
// their rows.
class IndexRows {
public:
    IndexRows(ILetterGroupSink& sink, int mode, std::vector<std::string> letters)
        : m_sink(sink), m_mode(mode), m_letters(std::move(letters)) {}

    int Last() const { return m_last; }

    // Gives the rows the mode gives on the way from the last indexed place
    // up to place, which must be greater; true when any was given.
    bool Advance(int place) {
        bool wrote = false;
        switch (m_mode) {
        case 1:
            Row(place);
            wrote = true;
            break;
        case 2:
            for (int p = m_last + 1; p <= place; ++p) Row(p);
            wrote = true;
            break;
        case 3:
            if (IsDigitPlace(place)) {
                wrote = DigitsRowOnce();
            } else {
                Row(place);
                wrote = true;
            }
            break;
        case 4:
            for (int p = m_last + 1; p <= place; ++p) {
                if (IsDigitPlace(p)) {
                    wrote = DigitsRowOnce() || wrote;
                } else {
                    Row(p);
                    wrote = true;
                }
            }
            break;
        default: break;
        }
        m_last = place;
        return wrote;
    }

    // Modes 2 and 4 list every place, also those after the last item.
    void Finish() {
        const int end = kFirstLetter + static_cast<int>(m_letters.size()) - 1;
        if ((m_mode == 2 || m_mode == 4) && m_last < end) Advance(end);
    }

    // The row of a letter beyond the alphabet, after the alphabet's. An
    // anchor's name must be unique on the page: a letter met again, further
    // down, gets its row again but no second anchor. True when a row was
    // given.
    bool Letter(const std::string& letter) {
        if (m_mode < 1 || m_mode > 4) return false;
        if (letter == m_lastLetter) return false;
        m_lastLetter = letter;
        m_sink.Letter(letter, m_anchored.insert(letter).second);
        return true;
    }

private:
    void Row(int place) {
        if (IsDigitPlace(place)) {
            const char digit = static_cast<char>('0' + place);
            m_sink.Letter(std::string_view(&digit, 1), true);
        } else {
            m_sink.Letter(m_letters[static_cast<std::size_t>(place - kFirstLetter)], true);
        }
    }
    bool DigitsRowOnce() {
        if (m_digitsDone) return false;
        m_sink.Letter("0-9", true);
        m_digitsDone = true;
        return true;
    }

    ILetterGroupSink& m_sink;
    const int m_mode;
    const std::vector<std::string> m_letters;
    int m_last = -1;  // just below the digit 0
    bool m_digitsDone = false;
    std::unordered_set<std::string> m_anchored;
    std::string m_lastLetter;
};

// The place of an item by the first byte of its column-1 text, letters
// upper-cased; -1 when it is neither a digit nor a letter A to Z.
int ByteOrderPlace(std::string_view text) {
    if (text.empty()) return -1;
    auto c = static_cast<unsigned char>(text.front());
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return kFirstLetter + (c - 'A');
    return -1;
}

std::vector<std::string> AToZ() {
    std::vector<std::string> letters;
    for (char c = 'A'; c <= 'Z'; ++c) letters.emplace_back(1, c);
    return letters;
}

std::string InUtf8(const std::string& letter) {
    if (IsValidUtf8(letter)) return letter;
    std::string text;
    for (char c : letter) text += Utf8Of(FromWindows1252(static_cast<unsigned char>(c)));
    return text;
}

// A letter of the language in Windows-1252, for a page of old whose items
// are; as it is when the code page has no such letter.
std::string InWindows1252(const std::string& letter) {
    std::string bytes;
    bool fits = true;
    ForEachShownCharacter(letter, [&](char32_t c) {
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            return true;
        }
        for (unsigned b = 0x80; b <= 0xFF; ++b) {
            if (FromWindows1252(static_cast<unsigned char>(b)) == c) {
                bytes += static_cast<char>(b);
                return true;
            }
        }
        fits = false;
        return false;
    });
    return fits ? bytes : letter;
}

// Whether any column-1 text of the grid is not UTF-8 (and so Windows-1252).
bool HasWindows1252Items(const CGridCtrl& grid) {
    for (int row = 1; row < grid.GetRowCount(); ++row) {
        const std::string_view text = grid.GetCellText(row, 1);
        if (!IsValidUtf8(text)) return true;
    }
    return false;
}

// Whether text begins with a letter, of A to Z or beyond.
bool BeginsWithLetter(std::string_view text) {
    if (text.empty()) return false;
    const auto c = static_cast<unsigned char>(text.front());
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return !UpperInitialBeyondAscii(text).empty();
}

// The name of the last group of a language: the items whose letter is in
// none of its alphabet's.
constexpr std::string_view kOtherLettersGroup = "\xE2\x80\xA6";  // an ellipsis

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
    const CSortOrder* order = grid ? grid->GetSortOrder() : nullptr;
    const ICollator* language = order ? order->Collator() : nullptr;
    std::vector<std::string> letters = language ? language->Letters() : AToZ();
    // The page of old writes its bytes as the items have them.
    const bool in1252 = language && !options.utf8Letters && HasWindows1252Items(*grid);
    if (in1252)
        for (std::string& letter : letters) letter = InWindows1252(letter);
    IndexRows index(sink, options.mode, letters);
    leftOut.items = std::max(rows - 1, 0);
    leftOut.anyLetter = options.otherLetters || language;
    // The items under letters beyond the alphabet, by row number: they
    // follow its last letter.
    std::vector<int> later;
    for (int row = 1; row < rows; ++row) {
        // After the sort the rows lie all over memory: the rows ahead are
        // asked for while this one is written.
        grid->PrefetchRowsAhead(row, 1, 1, columns - 1);
        std::string_view text = grid->GetCellText(row, 1);
        if (order) text = order->WithoutArticle(text);
        int place = ByteOrderPlace(text);
        if (language && place >= kFirstLetter) place = -1;  // the language's letters instead
        if (place < 0 && language && BeginsWithLetter(text)) {
            const int letter = order->LetterOf(text);
            // Without index rows there is no last group to move them to.
            if (letter < 0 && options.mode != 0) {
                later.push_back(row);
                continue;
            }
            if (letter < 0) {
                sink.Item(row, false);
                continue;
            }
            place = kFirstLetter + letter;
        }
        if (place < 0) {
            if (!language && options.otherLetters && !UpperInitialBeyondAscii(text).empty())
                later.push_back(row);
            else
                leftOut.Add(*grid, row);  // such items stay off the list
            continue;
        }
        sink.Item(row, place > index.Last() && index.Advance(place));
    }
    index.Finish();
    // In the order the sort left them, which need not keep each letter's
    // items together.
    for (const int row : later) {
        std::string letter;
        if (language) {
            letter = in1252 ? InWindows1252(std::string(kOtherLettersGroup)) : std::string(kOtherLettersGroup);
        } else {
            std::string_view text = grid->GetCellText(row, 1);
            if (order) text = order->WithoutArticle(text);
            letter = UpperInitialBeyondAscii(text);
            if (options.utf8Letters) letter = InUtf8(letter);
        }
        sink.Item(row, index.Letter(letter));
    }
}

}  // namespace tabulon
