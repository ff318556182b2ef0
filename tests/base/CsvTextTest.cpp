// Reading and writing comma-separated values, and what a file's bytes say
// of their encoding and separator.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/CsvText.h"

using namespace tabulon;

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Read {
    Rows rows;
    std::vector<std::uint64_t> lines;
    CsvFault fault;
};

Read ReadAll(std::string_view text, char separator = ',') {
    Read out;
    ReadCsv(
        text, separator,
        [&](std::span<const std::string> fields, std::uint64_t line) {
            out.rows.emplace_back(fields.begin(), fields.end());
            out.lines.push_back(line);
            return true;
        },
        out.fault);
    return out;
}

TEST(CsvText, ReadsQuotedFieldsDoubledQuotesAndLineBreaks) {
    const Read read = ReadAll("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\r\n\"two\nlines\",x,\r\nlast,\"\",y");
    EXPECT_EQ(read.rows, (Rows{{"a", "b,c", "say \"hi\""}, {"two\nlines", "x", ""}, {"last", "", "y"}}));
    EXPECT_EQ(read.lines, (std::vector<std::uint64_t>{1, 3, 5}));
    EXPECT_EQ(read.fault.line, 0u) << read.fault.what;
}

TEST(CsvText, HostileFilesAreReadAsFarAsSoundAndTheFirstFaultIsNamed) {
    struct Case {
        std::string text;
        Rows rows;
        std::uint64_t faultLine;
    };
    const Case cases[] = {
        {"a,b\nc,\"open\nd,e\n", {{"a", "b"}}, 2},                        // a quote never closed
        {"a,b\nc\nd,e,f\n", {{"a", "b"}, {"c"}, {"d", "e", "f"}}, 2},     // widths differ
        {"a,b\n\"x\"y,z\n", {{"a", "b"}, {"xy", "z"}}, 2},                // text after a closing quote
        {std::string("a,b\nc,d\0e\n", 10), {{"a", "b"}, {"c", "de"}}, 2}  // a NUL byte
    };
    for (const Case& c : cases) {
        const Read read = ReadAll(c.text);
        EXPECT_EQ(read.rows, c.rows) << c.text;
        EXPECT_EQ(read.fault.line, c.faultLine) << c.text;
        EXPECT_FALSE(read.fault.what.empty());
    }
}

TEST(CsvText, AHundredThousandFieldsInOneRecord) {
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        if (i > 0) text += ',';
        text += std::to_string(i);
    }
    const Read read = ReadAll(text);
    ASSERT_EQ(read.rows.size(), 1u);
    ASSERT_EQ(read.rows[0].size(), 100000u);
    EXPECT_EQ(read.rows[0][99999], "99999");
}

TEST(CsvText, EncodingsAreFoundAndDecoded) {
    struct Case {
        std::string bytes;
        CsvEncoding found;
        std::string text;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9",
         CsvEncoding::Utf8Bom, "caf\xC3\xA9"},
        {"caf\xC3\xA9", CsvEncoding::Utf8, "caf\xC3\xA9"},
        {"caf\xE9 \x80", CsvEncoding::Windows1252, "caf\xC3\xA9 \xE2\x82\xAC"},
        {std::string("\xFF\xFE"
                     "a\0\xE9\0",
                     6),
         CsvEncoding::Utf16Le, "a\xC3\xA9"},
        {std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00", 8), CsvEncoding::Utf16Be, "a\xF0\x9F\x98\x80"},
        // A BOM of the wrong kind: UTF-16 marked, UTF-8 inside, odd length.
        {"\xFF\xFE"
         "abc",
         CsvEncoding::Utf16Le, "\xE6\x89\xA1\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectCsvEncoding(c.bytes), c.found) << c.bytes;
        EXPECT_EQ(CsvBytesToUtf8(c.bytes, c.found), c.text) << c.bytes;
    }
}

TEST(CsvText, TheSeparatorThatCutsTheRecordsAlikeIsFound) {
    EXPECT_EQ(DetectCsvSeparator("a;b;c\n1,5;2;3\n"), ';');
    EXPECT_EQ(DetectCsvSeparator("a,b\n\"x;y;z\",c\n"), ',');
    EXPECT_EQ(DetectCsvSeparator("a\tb|c\nd\te|f|g\n"), '\t');
    EXPECT_EQ(DetectCsvSeparator("one field\n"), ',');
}

TEST(CsvText, WrittenFieldsReadBackTheSame) {
    const std::vector<std::string_view> fields = {"plain", "a,b", "say \"hi\"", " blank", "two\r\nlines", "", "x;y"};
    for (const char separator : kCsvSeparators) {
        std::string out;
        AppendCsvRecord(out, fields, separator);
        AppendCsvRecord(out, std::vector<std::string_view>{""}, separator);
        const Read read = ReadAll(out, separator);
        ASSERT_EQ(read.rows.size(), 2u);
        EXPECT_EQ(read.rows[0], std::vector<std::string>(fields.begin(), fields.end()));
        EXPECT_EQ(read.rows[1], std::vector<std::string>{""});
    }
    std::string out;
    AppendCsvRecord(out, fields, ';');
    EXPECT_EQ(out, "plain;a,b;\"say \"\"hi\"\"\";\" blank\";\"two\r\nlines\";;\"x;y\"\r\n");
    std::string shown;
    AppendShownAsUtf8(shown, "caf\xE9");
    EXPECT_EQ(shown, "caf\xC3\xA9");
}

}  // namespace
