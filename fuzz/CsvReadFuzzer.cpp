// The CSV reader on any bytes, in any encoding and with any separator: it
// never fails, and what it reads, written again, reads back the same and
// without fault, NUL bytes left out.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "base/CsvText.h"

using namespace tabulon;

namespace {

using Records = std::vector<std::vector<std::string>>;

Records ReadAll(std::string_view text, char separator, CsvFault& fault) {
    Records records;
    ReadCsv(
        text, separator,
        [&](std::span<const std::string> fields, std::uint64_t line) {
            if (fields.empty()) fuzz::Finding("a record without fields");
            if (line == 0) fuzz::Finding("a record on line 0");
            records.emplace_back(fields.begin(), fields.end());
            return true;
        },
        fault);
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const char separator = kCsvSeparators[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kCsvSeparators) - 1)];
    const CsvEncoding encoding =
        kCsvEncodings[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kCsvEncodings) - 1)];
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    const std::string text = CsvBytesToUtf8(bytes, encoding);
    if (encoding != CsvEncoding::Utf8 && encoding != CsvEncoding::Utf8Bom &&
        DetectCsvEncoding(text) == CsvEncoding::Windows1252)
        fuzz::Finding("a decoded text is not UTF-8");
    const char found = DetectCsvSeparator(text);
    if (std::find(std::begin(kCsvSeparators), std::end(kCsvSeparators), found) == std::end(kCsvSeparators))
        fuzz::Finding("a separator guessed that is none of the list");

    CsvFault fault;
    const Records records = ReadAll(text, separator, fault);
    if (text.find('\0') != std::string::npos && fault.line == 0) fuzz::Finding("a NUL byte not told");
    std::string written;
    for (const auto& record : records) {
        for (const std::string& field : record)
            if (field.find('\0') != std::string::npos) fuzz::Finding("a NUL byte kept");
        const std::vector<std::string_view> fields(record.begin(), record.end());
        AppendCsvRecord(written, fields, separator);
    }
    CsvFault again;
    if (ReadAll(written, separator, again) != records) fuzz::Finding("written records read back otherwise");
    if (again.line != 0 && again.what.find("field") == std::string::npos)
        fuzz::Finding("written records read with a fault: " + again.what);
    return 0;
}
