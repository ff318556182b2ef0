#pragma once
// Comma-separated values as spreadsheets write them (RFC 4180): records end
// at a line break, fields at the separator; a field in double quotes may
// hold the separator, line breaks and quotes (doubled). Bytes in, fields
// out, and fields in, bytes out; files are the callers' business.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

enum class CsvEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Windows1252 };

// Every encoding, in the order a list offers them.
constexpr CsvEncoding kCsvEncodings[] = {CsvEncoding::Utf8, CsvEncoding::Utf8Bom, CsvEncoding::Utf16Le,
                                         CsvEncoding::Utf16Be, CsvEncoding::Windows1252};
// "UTF-8", "UTF-8 with BOM", "UTF-16 LE", "UTF-16 BE", "Windows-1252".
std::string_view CsvEncodingName(CsvEncoding encoding);

// What a file's first bytes say: a byte order mark, else UTF-8 when all of
// bytes is well-formed UTF-8, else Windows-1252.
CsvEncoding DetectCsvEncoding(std::string_view bytes);

// The text of bytes in UTF-8, without its byte order mark. Ill-formed UTF-16
// becomes U+FFFD; ill-formed UTF-8 stays as it is (such a cell is shown as
// Windows-1252, as every other cell).
std::string CsvBytesToUtf8(std::string_view bytes, CsvEncoding encoding);

// The separators a file may use, in the order a list offers them.
constexpr char kCsvSeparators[] = {',', ';', '\t', '|'};
// "," "; " "Tab" "|" as a list shows them.
std::string_view CsvSeparatorName(char separator);

// The separator that cuts the first records of text into the same number of
// fields, the most of them; "," when none cuts anything.
char DetectCsvSeparator(std::string_view text);

// The first thing wrong with a file: the line it is on (from 1) and what.
struct CsvFault {
    std::uint64_t line = 0;  // 0: nothing wrong
    std::string what;
};

// One record: its fields and the line it starts on.
using CsvRecordHandler = std::function<bool(std::span<const std::string> fields, std::uint64_t line)>;

// Hands every record of text to onRecord, which returns false to stop; the
// number of bytes read so far goes to onProgress (may be empty) now and
// then. Empty lines are no records. A field in quotes that never closes
// ends the reading: the records before it are handed on. Text after a
// closing quote is kept as it stands, NUL bytes are left out, and a record
// whose width differs from the first one's is handed on as it is; each is a
// fault, and fault receives the first. False when onRecord stopped.
bool ReadCsv(std::string_view text, char separator, const CsvRecordHandler& onRecord, CsvFault& fault,
             const std::function<void(std::size_t)>& onProgress = {});

// A cell as UTF-8: a text that is not well-formed UTF-8 is read as the
// Windows-1252 it is shown as.
void AppendShownAsUtf8(std::string& out, std::string_view text);

// Appends field, in quotes (its quotes doubled) when it holds the separator,
// a quote, a line break, or a blank at its start or end.
void AppendCsvField(std::string& out, std::string_view field, char separator);

// Appends fields as one record with its CR LF. A record of one empty field
// is written as "" so that it is not read as an empty line.
void AppendCsvRecord(std::string& out, std::span<const std::string_view> fields, char separator);

}  // namespace tabulon
