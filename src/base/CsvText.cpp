#include "base/CsvText.h"

#include <algorithm>
#include <array>

#include "base/ShownText.h"
#include "base/TextTrim.h"

namespace tabulon {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;
// The first records a guess of the separator looks at.
constexpr int kSampleRecords = 20;
// How often, in bytes, the reader says how far it has got.
constexpr std::size_t kProgressStep = std::size_t{1} << 20;

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() / 2 * 3 / 2);
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
    };
    std::size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        const char32_t u = unit(at);
        if (u >= 0xD800 && u <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                at += 2;
                continue;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
    }
    if (at < bytes.size()) AppendUtf8(out, kReplacement);  // half a character at the end
    return out;
}

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

// Reads one record's fields into fields (reusing its strings) from text at
// pos; the number of fields, or -1 when a quote never closes. line counts
// the line breaks passed; afterQuote notes text after a closing quote.
class CRecordScanner {
public:
    CRecordScanner(std::string_view text, char separator) : m_text(text), m_separator(separator) {}

    std::size_t pos = 0;
    std::uint64_t line = 1;
    bool afterQuote = false;

    // Passes empty lines; false at the end of the text.
    bool SkipEmptyLines() {
        while (pos < m_text.size() && IsLineBreak(m_text[pos])) PassLineBreak();
        return pos < m_text.size();
    }

    long long ReadRecord(std::vector<std::string>& fields) {
        std::size_t count = 0;
        for (;;) {
            if (count == fields.size()) fields.emplace_back();
            std::string& field = fields[count++];
            field.clear();
            if (pos < m_text.size() && m_text[pos] == '"') {
                if (!ReadQuoted(field)) return -1;
            }
            ReadPlain(field);
            if (pos < m_text.size() && m_text[pos] == m_separator) {
                ++pos;
                continue;
            }
            if (pos < m_text.size()) PassLineBreak();
            return static_cast<long long>(count);
        }
    }

private:
    // A line break is LF, CR LF or a CR alone.
    void PassLineBreak() {
        if (m_text[pos] == '\r' && pos + 1 < m_text.size() && m_text[pos + 1] == '\n') ++pos;
        ++pos;
        ++line;
    }

    // From the opening quote to past the closing one.
    bool ReadQuoted(std::string& field) {
        ++pos;
        for (;;) {
            const std::size_t quote = m_text.find('"', pos);
            if (quote == std::string_view::npos) return false;
            const std::string_view piece = m_text.substr(pos, quote - pos);
            for (std::size_t i = 0; i < piece.size(); ++i) {
                if (piece[i] == '\n' || (piece[i] == '\r' && (i + 1 == piece.size() || piece[i + 1] != '\n'))) ++line;
            }
            field += piece;
            pos = quote + 1;
            if (pos < m_text.size() && m_text[pos] == '"') {
                field += '"';
                ++pos;
                continue;
            }
            if (pos < m_text.size() && m_text[pos] != m_separator && !IsLineBreak(m_text[pos])) afterQuote = true;
            return true;
        }
    }

    // Up to the separator or the line's end; a quote here is text.
    void ReadPlain(std::string& field) {
        const std::size_t start = pos;
        while (pos < m_text.size()) {
            const char c = m_text[pos];
            if (c == m_separator || IsLineBreak(c)) break;
            ++pos;
        }
        field.append(m_text.data() + start, pos - start);
    }

    std::string_view m_text;
    char m_separator;
};

void NoteFault(CsvFault& fault, std::uint64_t line, std::string what) {
    if (fault.line != 0 && fault.line <= line) return;
    fault.line = line;
    fault.what = std::move(what);
}

}  // namespace

std::string_view CsvEncodingName(CsvEncoding encoding) {
    switch (encoding) {
    case CsvEncoding::Utf8: return "UTF-8";
    case CsvEncoding::Utf8Bom: return "UTF-8 with BOM";
    case CsvEncoding::Utf16Le: return "UTF-16 LE";
    case CsvEncoding::Utf16Be: return "UTF-16 BE";
    case CsvEncoding::Windows1252: return "Windows-1252";
    }
    return {};
}

CsvEncoding DetectCsvEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return CsvEncoding::Utf8Bom;
    if (bytes.starts_with(kUtf16LeBom)) return CsvEncoding::Utf16Le;
    if (bytes.starts_with(kUtf16BeBom)) return CsvEncoding::Utf16Be;
    return IsValidUtf8(bytes) ? CsvEncoding::Utf8 : CsvEncoding::Windows1252;
}

std::string CsvBytesToUtf8(std::string_view bytes, CsvEncoding encoding) {
    switch (encoding) {
    case CsvEncoding::Utf8Bom:
        if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
        return std::string(bytes);
    case CsvEncoding::Utf16Le:
        if (bytes.starts_with(kUtf16LeBom)) bytes.remove_prefix(kUtf16LeBom.size());
        return Utf16ToUtf8(bytes, false);
    case CsvEncoding::Utf16Be:
        if (bytes.starts_with(kUtf16BeBom)) bytes.remove_prefix(kUtf16BeBom.size());
        return Utf16ToUtf8(bytes, true);
    case CsvEncoding::Windows1252: {
        std::string out;
        out.reserve(bytes.size() + bytes.size() / 8);
        for (char c : bytes) AppendUtf8(out, FromWindows1252(static_cast<unsigned char>(c)));
        return out;
    }
    case CsvEncoding::Utf8: break;
    }
    return std::string(bytes);
}

std::string_view CsvSeparatorName(char separator) {
    switch (separator) {
    case ',': return ",";
    case ';': return ";";
    case '\t': return "Tab";
    case '|': return "|";
    default: return {};
    }
}

char DetectCsvSeparator(std::string_view text) {
    char best = kCsvSeparators[0];
    std::size_t bestWidth = 1;
    bool bestAgrees = false;
    std::vector<std::string> fields;
    for (const char separator : kCsvSeparators) {
        CRecordScanner scanner(text, separator);
        std::size_t width = 0;
        bool agrees = true;
        for (int record = 0; record < kSampleRecords && scanner.SkipEmptyLines(); ++record) {
            const long long count = scanner.ReadRecord(fields);
            if (count < 0) break;  // a sample may end inside a quoted field
            // The last record of a sample may be cut short.
            if (scanner.pos >= text.size() && record > 0) break;
            if (record == 0)
                width = static_cast<std::size_t>(count);
            else if (static_cast<std::size_t>(count) != width)
                agrees = false;
        }
        // Agreeing rows win over more fields; then more fields; then the
        // earlier in the list.
        if (width > 1 && ((agrees && !bestAgrees) || (agrees == bestAgrees && width > bestWidth))) {
            best = separator;
            bestWidth = width;
            bestAgrees = agrees;
        }
    }
    return best;
}

bool ReadCsv(std::string_view text, char separator, const CsvRecordHandler& onRecord, CsvFault& fault,
             const std::function<void(std::size_t)>& onProgress) {
    std::string withoutNul;
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        const std::string_view before = text.substr(0, nul);
        const auto line = 1 + std::count(before.begin(), before.end(), '\n');
        NoteFault(fault, static_cast<std::uint64_t>(line), "holds a NUL byte, which was left out");
        withoutNul.reserve(text.size());
        std::copy_if(text.begin(), text.end(), std::back_inserter(withoutNul), [](char c) { return c != '\0'; });
        text = withoutNul;
    }
    CRecordScanner scanner(text, separator);
    std::vector<std::string> fields;
    long long width = -1;
    std::size_t reported = 0;
    while (scanner.SkipEmptyLines()) {
        const std::uint64_t line = scanner.line;
        const long long count = scanner.ReadRecord(fields);
        if (count < 0) {
            NoteFault(fault, line, "opens a quote that is never closed; the file was read up to that line");
            return true;
        }
        if (scanner.afterQuote) {
            NoteFault(fault, line, "has text after a closing quote");
            scanner.afterQuote = false;
        }
        if (width < 0)
            width = count;
        else if (count != width)
            NoteFault(fault, line,
                      "has " + std::to_string(count) + (count == 1 ? " field" : " fields") + " where the first has " +
                          std::to_string(width));
        if (!onRecord(std::span<const std::string>(fields.data(), static_cast<std::size_t>(count)), line)) return false;
        if (onProgress && scanner.pos - reported >= kProgressStep) {
            reported = scanner.pos;
            onProgress(reported);
        }
    }
    return true;
}

void AppendShownAsUtf8(std::string& out, std::string_view text) {
    if (IsValidUtf8(text)) {
        out += text;
        return;
    }
    for (char c : text) AppendUtf8(out, FromWindows1252(static_cast<unsigned char>(c)));
}

void AppendCsvField(std::string& out, std::string_view field, char separator) {
    const bool quoted =
        field.find_first_of(std::array<char, 4>{separator, '"', '\r', '\n'}.data(), 0, 4) != std::string_view::npos ||
        (!field.empty() && (IsBlank(field.front()) || IsBlank(field.back())));
    if (!quoted) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendCsvRecord(std::string& out, std::span<const std::string_view> fields, char separator) {
    if (fields.size() == 1 && fields.front().empty()) {
        out += "\"\"\r\n";
        return;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += separator;
        AppendCsvField(out, fields[i], separator);
    }
    out += "\r\n";
}

}  // namespace tabulon
