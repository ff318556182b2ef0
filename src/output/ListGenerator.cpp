#include "output/ListGenerator.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "base/FirstLetter.h"
#include "base/TextFile.h"
#include "grid/GridCtrl.h"
#include "items/TabulonWnd2.h"

namespace tabulon {

namespace {

// The page goes to disk in blocks of about this size, so a list of a million
// items never sits in memory whole.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

std::string Decimal(int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

// Collects the page and hands it to the file in big blocks.
class PageBuffer {
public:
    explicit PageBuffer(CSafeFileWriter& file) : m_file(file) {}

    // Template pieces carry CR LF already; cell texts, names and colours go
    // in as they stand, HTML and all.
    void Raw(std::string_view text) {
        m_buffer.append(text);
        FlushIfFull();
    }
    void Raw(char c) { m_buffer.push_back(c); }
    void Flush() {
        if (m_buffer.empty()) return;
        m_file.Write(m_buffer);
        m_buffer.clear();
    }

private:
    void FlushIfFull() {
        if (m_buffer.size() >= kBlockSize) Flush();
    }

    CSafeFileWriter& m_file;
    std::string m_buffer;
};

// Copies a head or end file into the page exactly as it is on disk. A file
// that is not there adds nothing; false, with the reason, when what is there
// cannot be read (a folder, a device or a pipe is not read at all).
bool CopyFileInto(PageBuffer& page, const std::string& path, std::string& reason) {
    if (KindOfPath(path) == PathKind::Missing) return true;
    CFileReader file;
    if (!file.Open(path)) {
        reason = file.Error();
        return false;
    }
    // As large as the file, up to a block: a small head costs a small buffer.
    const auto size = static_cast<std::size_t>(std::clamp<std::uintmax_t>(file.Size(), 1, kBlockSize));
    std::unique_ptr<char[]> block(new char[size]);
    for (;;) {
        const long long got = file.Read(block.get(), size);
        if (got < 0) {
            reason = file.Error();
            return false;
        }
        if (got == 0) return true;
        page.Raw(std::string_view(block.get(), static_cast<std::size_t>(got)));
    }
}

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsIndexCharacter(unsigned char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z'); }

// The index rows of one run: which character was indexed last, whether the
// digits row stands already and which letters beyond Z have their rows.
class IndexRows {
public:
    IndexRows(PageBuffer& page, int mode, const std::string& indexColour, int span)
        : m_page(page),
          m_mode(mode),
          m_rowStart("<TR bgcolor=" + indexColour + "><TD ID=y colspan=" + Decimal(span) + ">") {}

    unsigned char Last() const { return m_last; }

    // Writes the rows the mode gives on the way from the last indexed
    // character up to ch, which must be greater; true when any was written.
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
    // second row. True when the row was written.
    bool Letter(const std::string& letter) {
        if (m_mode < 1 || m_mode > 4 || !m_letters.insert(letter).second) return false;
        Row(letter);
        return true;
    }

private:
    void Row(unsigned char ch) {
        const auto c = static_cast<char>(ch);
        Row(std::string_view(&c, 1));
    }
    void Row(std::string_view name) {
        m_page.Raw(m_rowStart);
        m_page.Raw(name);
        m_page.Raw("<A NAME=");
        m_page.Raw(name);
        m_page.Raw("></A></TD></TR>\r\n");
    }
    bool DigitsRowOnce() {
        if (m_digitsDone) return false;
        m_page.Raw(m_rowStart);
        m_page.Raw("0-9<A NAME=0-9></A></TD></TR>\r\n");
        m_digitsDone = true;
        return true;
    }

    PageBuffer& m_page;
    const int m_mode;
    const std::string m_rowStart;
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

// The items the page leaves out, and the first few of them by name.
struct LeftOut {
    static constexpr std::size_t kNamed = 3;
    int count = 0;
    int items = 0;
    bool anyLetter = false;  // letters beyond A to Z are listed too
    std::vector<std::string> names;

    void Add(const CGridCtrl& grid, int row) {
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
        while (length < first.size() && length > 0 && (static_cast<unsigned char>(first[length]) & 0xC0) == 0x80)
            --length;
        // Built by appending: g++ 12 at -O3 misreads the chain of + as an
        // overlapping copy.
        std::string name = "\"";
        name.append(first, 0, length);
        name += length < first.size() ? "...\"" : "\"";
        // The same text again tells nothing new; it is counted all the same.
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
    }

    std::string Message() const {
        std::string text = Decimal(count) + " of the " + Decimal(items) + (count == 1 ? " items was" : " items were") +
                           " left out of the page: an item is listed only when its first column begins with ";
        text +=
            anyLetter ? "a digit or a letter.\n\nLeft out: " : "a digit (0-9) or a letter from A to Z.\n\nLeft out: ";
        for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : "") + names[i];
        if (count > static_cast<int>(names.size()))
            text += " and " + Decimal(count - static_cast<int>(names.size())) + " more";
        return text + ".";
    }
};

void WriteTable(PageBuffer& page, const CListConfig& config, const CGridCtrl* grid, LeftOut& leftOut) {
    const int rows = grid ? grid->GetRowCount() : 0;
    const int columns = grid ? grid->GetColumnCount() : 0;

    if (config.usewidth == 1 && config.width > 0) {
        page.Raw("<TABLE WIDTH=");
        page.Raw(Decimal(config.width));
        page.Raw(">\r\n");
    } else {
        page.Raw("<TABLE>\r\n");
    }

    page.Raw("<TR BGCOLOR=");
    page.Raw(config.headcol);
    page.Raw(">\r\n");
    for (int col = 1; col < columns; ++col) {
        page.Raw("<TD ID=x>");
        page.Raw(grid->GetCellText(0, col));
        page.Raw("</TD>\r\n");
    }
    page.Raw("</TR>\r\n\r\n");

    IndexRows index(page, config.addindex, config.indexcol, std::max(columns - 1, 0));
    leftOut.items = std::max(rows - 1, 0);
    leftOut.anyLetter = config.otherletters == 1;
    const std::string firstStart = "<TR bgcolor=" + config.firstcol + ">";
    const std::string secondStart = "<TR bgcolor=" + config.secondcol + ">";
    // The first item after an index row takes the first colour, the others
    // alternate.
    bool nextFirst = true;
    auto item = [&](int row, bool indexed) {
        const bool first = indexed || nextFirst;
        nextFirst = !first;
        page.Raw(first ? firstStart : secondStart);
        for (int col = 1; col < columns; ++col) {
            page.Raw("<TD>\r\n");
            page.Raw(grid->GetCellText(row, col));
            page.Raw("</TD>");
        }
        page.Raw("</TR>\r\n\r\n");
    };
    // The items under letters beyond A to Z, by row number: they follow Z.
    std::vector<int> later;
    for (int row = 1; row < rows; ++row) {
        // After the sort the rows lie all over memory: the rows ahead are
        // asked for while this one is written.
        grid->PrefetchRowsAhead(row, 1, 1, columns - 1);
        const std::string_view text = grid->GetCellText(row, 1);
        const unsigned char ch = IndexCharacterOf(text);
        if (!IsIndexCharacter(ch)) {
            if (leftOut.anyLetter && !UpperInitialBeyondAscii(text).empty())
                later.push_back(row);
            else
                leftOut.Add(*grid, row);  // such items stay off the list
            continue;
        }
        item(row, ch > index.Last() && index.Advance(ch));
    }
    index.Finish();
    // In the order the sort left them, which need not keep each letter's
    // items together.
    for (const int row : later) item(row, index.Letter(UpperInitialBeyondAscii(grid->GetCellText(row, 1))));

    page.Raw("</TABLE>\r\n");
}

void ShowFailure(IListFrame& frame, const std::string& text) {
    frame.Messages().Show(text, "Make list", MbIcon::Exclamation, MbButtons::Ok);
}

bool WritePage(IListFrame& frame, LeftOut& leftOut) {
    const CListConfig& config = frame.Config();
    const ConfigFiles& files = frame.Files();
    const std::string& output = files.output;
    auto writeFailed = [&](const std::string& reason) {
        ShowFailure(frame, "The list could not be written to\n" + output + "\n\nReason: " + reason);
        return false;
    };
    auto readFailed = [&](const char* which, const std::string& path, const std::string& reason) {
        ShowFailure(frame, std::string("The list was not written: the ") + which + " file\n" + path +
                               "\ncould not be read.\n\nReason: " + reason);
        return false;
    };

    if (output.empty()) return writeFailed("no output file is named in the configuration");
    CSafeFileWriter file;
    if (!file.Open(output)) return writeFailed(file.Error());
    PageBuffer page(file);

    page.Raw("<!-- Created with Tabulon by Korvanex -->\r\n");
    page.Raw("<!--        ");
    page.Raw(kMakerWebAddress);
    page.Raw("/         -->\r\n\r\n");

    std::string reason;
    if (!CopyFileInto(page, files.headfile, reason)) return readFailed("head", files.headfile, reason);

    WriteTable(page, config, frame.DatabasePane().GetGrid(), leftOut);

    if (!CopyFileInto(page, files.endfile, reason)) return readFailed("end", files.endfile, reason);

    page.Flush();
    if (!file.Commit()) return writeFailed(file.Error());
    return true;
}

}  // namespace

namespace {

// 34210 as "34,210". Built by appending: g++ 12 at -O3 misreads inserts
// and chains of + as overlapping copies.
std::string WithThousands(int number) {
    const std::string digits = std::to_string(number < 0 ? -static_cast<long long>(number) : number);
    std::string text;
    if (number < 0) text += '-';
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

}  // namespace

std::string ListWrittenText(const std::string& path, const ListSummary& summary, const std::string& host) {
    std::string text =
        "List written to " + path + ": " + WithThousands(summary.listed) + (summary.listed == 1 ? " item" : " items");
    if (summary.leftOut > 0) text += ", " + WithThousands(summary.leftOut) + " left out";
    if (summary.uploaded) text += ", uploaded to " + host;
    return text;
}

bool MakeList(IListFrame& frame, ListSummary* summary) {
    LeftOut leftOut;
    CGridCtrl* grid = frame.DatabasePane().GetGrid();
    try {
        // Sorting needs room beside the items; when there is none the sort
        // stops whole and says so here, rather than leaving a page half sorted.
        std::optional<CStrictGrid> strict;
        if (grid) strict.emplace(*grid);
        frame.DatabasePane().SortByAllColumns();
        if (!WritePage(frame, leftOut)) return false;
    } catch (const std::bad_alloc&) {
        // The rows are all there, whatever order the sort had reached; their
        // numbers follow them again.
        try {
            if (grid) frame.DatabasePane().NumberItemRows(1, grid->GetRowCount() - 1);
        } catch (const std::bad_alloc&) {
        }
        ShowFailure(frame, OutOfMemoryText("make the list", frame.Files().output, "The page was not written."));
        return false;
    }
    // As designed, some items never make it to the page; the user learns
    // which, once, now that the page is there.
    if (leftOut.count > 0) frame.Messages().Show(leftOut.Message(), "Make list", MbIcon::Information, MbButtons::Ok);

    const CListConfig& config = frame.Config();
    const std::string& output = frame.Files().output;
    if (config.ftpupload == 1) frame.ListPublisher().UploadList(config, output);
    if (summary) {
        summary->listed = leftOut.items - leftOut.count;
        summary->leftOut = leftOut.count;
        summary->uploaded = config.ftpupload == 1 && frame.ListPublisher().Uploaded();
    }
    if (config.viewout == 1) frame.ListPublisher().OpenTarget(output, kShowNormal);
    return true;
}

}  // namespace tabulon
