// Fitting a column to its widest text gives exactly what measuring every
// cell gives, while measuring only a few texts of a long column.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "FakeDesktop.h"
#include "FakeGridWindow.h"
#include "base/ShownText.h"
#include "grid/GridCtrl.h"
#include "grid/WidestText.h"

using namespace tabulon;

namespace {

// A font with fractional advances and kerning, some of it positive, laid
// out as the host promises: advances plus pair adjustments, rounded. "ff"
// is a ligature that widens and takes its neighbours' kerning away. Its
// characters from U+0400 up take a width from their place in the line, so
// no bound can be had for them.
class KernedContext : public fakes::RecordingDeviceContext {
public:
    explicit KernedContext(int* measured) : m_measured(measured) {}

    static double Advance(char32_t ch) { return 4.0 + static_cast<double>(ch % 11) * 0.6 + (ch == 'W' ? 6.3 : 0); }
    static bool Ligature(char32_t a, char32_t b) { return a == 'f' && b == 'f'; }
    static double Kerning(char32_t a, char32_t b) {
        if (a == 'A' && b == 'V') return -1.7;
        if ((a == 'V' && b == 'f') || (a == 'f' && b == 'A')) return -2.5;
        if (Ligature(a, b)) return 2.4;
        return static_cast<double>((a * 7 + b * 3) % 5) * 0.25 - 0.5;
    }

    Size GetTextExtent(std::string_view text) override {
        ++*m_measured;
        std::u32string chars;
        ForEachShownCharacter(text, [&](char32_t ch) { return chars.push_back(ch), true; });
        double width = 0;
        for (std::size_t i = 0; i < chars.size(); ++i) {
            width += chars[i] >= 0x400 ? 3.0 + static_cast<double>(i) * 1.5 : Advance(chars[i]);
            if (i == 0 || chars[i - 1] >= 0x400 || chars[i] >= 0x400) continue;
            const bool joined = (i >= 2 && Ligature(chars[i - 2], chars[i - 1])) ||
                                (i + 1 < chars.size() && Ligature(chars[i], chars[i + 1]));
            if (Ligature(chars[i - 1], chars[i]) || !joined) width += Kerning(chars[i - 1], chars[i]);
        }
        return {static_cast<int>(std::lround(width)), charHeight};
    }
    std::optional<double> GetCharsAdvance(std::u32string_view chars) override {
        double sum = 0;
        for (char32_t ch : chars) {
            if (ch >= 0x400) return std::nullopt;
            sum += Advance(ch);
        }
        if (chars.size() == 2) sum += Kerning(chars[0], chars[1]);
        return sum;
    }
    bool PairKeepsGlyphs(char32_t first, char32_t second) override { return !Ligature(first, second); }

private:
    int* m_measured;
};

struct KernedDesktop : fakes::FakeDesktop {
    std::unique_ptr<IDeviceContext> CreateScreenContext() override {
        return std::make_unique<KernedContext>(&measured);
    }
    int measured = 0;
};

std::string RandomText(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "A",    "V",           "W",         "f", "ff", "Vf", "fA", "i",        "l",
        " ",    "Caf\xC3\xA9", "\xE9t\xE9",                                     // UTF-8, then Windows-1252
        "\x80", "\x85",        "\x93",      "x", "M",  "1",  "0",  "\xD0\x96",  // a euro, dots, a quote; a Cyrillic Zhe
    };
    std::string text;
    const int count = static_cast<int>(random() % 12);
    for (int k = 0; k < count; ++k) text += pieces[random() % pieces.size()];
    return text;
}

struct ColumnFit : ::testing::Test {
    KernedDesktop desktop;
    fakes::FakeGridWindow window;

    // The width measuring every cell gives.
    int MeasuredOneByOne(CGridCtrl& grid, int col) {
        KernedContext dc(&desktop.measured);
        int width = 0;
        for (int r = 0; r < grid.GetRowCount(); ++r)
            width = std::max(width, grid.GetCell(r, col)->GetCellExtent(&dc).cx);
        return width;
    }
};

}  // namespace

TEST_F(ColumnFit, TheWidestTextOfEitherEncodingIsFoundExactlyFromFewMeasurements) {
    std::mt19937 random(5);
    for (int table = 0; table < 40; ++table) {
        const int rows = 2 + static_cast<int>(random() % 300);
        CGridCtrl grid(rows, 2, 1, 0, &desktop);
        grid.AttachWindow(&window);
        for (int r = 0; r < rows; ++r) grid.SetCellText(r, 1, RandomText(random));
        grid.SetCellFormat(1, 1, TextFormat::kWordBreak);  // measured on its own, several lines
        const int expected = MeasuredOneByOne(grid, 1);
        grid.AutoSizeColumn(1);
        ASSERT_EQ(grid.GetColumnWidth(1), expected) << "table " << table;
    }

    // A long column of recurring and bounded texts costs a handful of
    // measurements, not one per row; a long column of texts without bounds
    // one per distinct text.
    CGridCtrl grid(20001, 3, 1, 0, &desktop);
    grid.AttachWindow(&window);
    for (int r = 1; r < 20001; ++r) {
        grid.SetCellText(r, 1, "Item " + std::to_string(r) + (r % 7 ? " AV" : " ffW"));
        grid.SetCellText(r, 2, "\xD0\x96" + std::to_string(r % 50));
    }
    const int one = MeasuredOneByOne(grid, 1);
    const int two = MeasuredOneByOne(grid, 2);
    desktop.measured = 0;
    grid.AutoSizeColumn(1);
    EXPECT_EQ(grid.GetColumnWidth(1), one);
    EXPECT_LT(desktop.measured, 50);
    desktop.measured = 0;
    grid.AutoSizeColumn(2);
    EXPECT_EQ(grid.GetColumnWidth(2), two);
    EXPECT_LE(desktop.measured, 50 + 3);  // the distinct texts, the heading, each widest cell whole
}

TEST_F(ColumnFit, KerningCountsOffExceptBesideALigature) {
    KernedContext dc(&desktop.measured);
    const auto widest = [&](const std::vector<std::string>& texts) {
        return FindWidestText(
                   texts.size(), [&](std::size_t i) -> const std::string& { return texts[i]; }, dc)
            ->width;
    };
    // "ff" takes the -2.5 of V and A away: 33 wide, not the 28 its pairs
    // tell. The eight narrow letters (29 wide) have the higher first bound,
    // so they are measured first.
    EXPECT_EQ(dc.GetTextExtent("cccccccc").cx, 29);
    EXPECT_EQ(widest({"cccccccc", "VffA"}), 33);

    // Kerned texts that round alike cost a few measurements, not one each.
    std::vector<std::string> texts;
    for (int r = 10000; r < 30000; ++r) texts.push_back("AV " + std::to_string(r));
    int expected = 0;
    for (const std::string& text : texts) expected = std::max(expected, dc.GetTextExtent(text).cx);
    desktop.measured = 0;
    EXPECT_EQ(widest(texts), expected);
    EXPECT_LE(desktop.measured, 5);
}
