// What the Qt context promises about advances holds for the fonts a grid
// may use and for both ways bytes are shown, so a column fitted from a few
// measurements is exactly as wide as one fitted by measuring every text.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "base/ShownText.h"
#include "grid/WidestText.h"
#include "qt/QtDesktop.h"
#include "qt/QtDeviceContext.h"

using namespace tabulon;

namespace {

// Kerned and ligated pairs, Latin beyond ASCII in UTF-8, Windows-1252 bytes
// (which make the whole text Windows-1252), and characters of other scripts,
// marks, controls and emoji, for which the context promises nothing.
const std::vector<std::string> kPieces = {
    "A",
    "V",
    "T",
    "o",
    "Y",
    "L",
    "W",
    ".",
    ",",
    "f",
    "i",
    "l",
    "ffi",
    "r",
    "y",
    " ",
    "7",
    "1",
    "\xC3\xA9",
    "\xC3\x9F",
    "\xC5\x92",
    "\xC5\x82",
    "\xC2\xA0",
    "\xE2\x80\x94",
    "\xE2\x82\xAC",
    "\xE9",
    "\x80",
    "\x85",
    "\x97",
    "\x81",
    "\xD0\x96",
    "\xE6\x9D\xB1",
    "\xD8\xB9",
    "\xCC\x81",
    "\t",
    "\xF0\x9F\x98\x80",
};

std::vector<std::string> RandomPieces(std::mt19937& random, std::size_t pieces) {
    std::vector<std::string> chosen(random() % 14);
    for (std::string& piece : chosen) piece = kPieces[random() % pieces];
    return chosen;
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& piece : pieces) text += piece;
    return text;
}

}  // namespace

TEST(QtWidestText, LinesMeasureNoMoreThanTheirAdvancesAndTheWidestIsFoundExactly) {
    qt::CQtDesktop desktop;
    const LogFont fonts[] = {
        desktop.GetMessageFont(),
        {-13, 0, 0, 0, 400, false, false, false, 0, "DejaVu Sans"},
        {-17, 0, 0, 0, 700, true, false, false, 0, "DejaVu Serif"},
        {-12, 0, 0, 0, 700, false, false, false, 0, "Nimbus Sans"},
        {-15, 0, 0, 0, 400, true, false, false, 0, "URW Bookman"},
        {-11, 0, 0, 0, 400, false, false, false, 0, "DejaVu Sans Mono"},
    };
    std::mt19937 random(11);
    const std::size_t boundedPieces = kPieces.size() - 6;
    for (const LogFont& font : fonts) {
        qt::CQtMeasuringContext dc(desktop);
        dc.SelectFont(font);

        // The promise, text by text: kerning counts off only where the pair
        // and those beside it keep their glyphs, as a ligature may take the
        // kerning of its neighbours away.
        for (int n = 0; n < 250; ++n) {
            const std::string text = Joined(RandomPieces(random, boundedPieces));
            std::u32string chars;
            ForEachShownCharacter(text, [&](char32_t ch) { return chars.push_back(ch), true; });
            const auto advance = [&](std::u32string_view some) { return dc.GetCharsAdvance(some); };
            const auto keeps = [&](std::size_t i) { return dc.PairKeepsGlyphs(chars[i - 1], chars[i]); };
            double sum = 0;
            bool promised = true;
            for (std::size_t i = 0; i < chars.size() && promised; ++i) {
                const std::optional<double> one = advance(std::u32string_view(&chars[i], 1));
                if (!one) promised = false;
                if (!one || i == 0) {
                    sum += one.value_or(0);
                    continue;
                }
                const double extra = *advance(std::u32string_view(&chars[i - 1], 2)) -
                                     *advance(std::u32string_view(&chars[i - 1], 1)) - *one;
                const bool kept = keeps(i) && (i < 2 || keeps(i - 1)) && (i + 1 == chars.size() || keeps(i + 1));
                sum += *one + (extra >= 0 || kept ? extra : 0);
            }
            if (promised) {
                ASSERT_LE(dc.GetTextExtent(text).cx, std::lround(sum)) << font.faceName << " [" << text << "]";
            }
        }
        EXPECT_FALSE(dc.GetCharsAdvance(U"\u0416"));  // Cyrillic: another font may be taken for it
        EXPECT_FALSE(dc.GetCharsAdvance(U"e\u0301"));

        // Columns of texts that differ only in order, where kerning and
        // rounding decide which is widest, and columns with every piece.
        for (int table = 0; table < 30; ++table) {
            std::vector<std::string> texts;
            std::vector<std::string> pieces = RandomPieces(random, table % 2 ? boundedPieces : kPieces.size());
            for (int k = 0; k < 30; ++k) {
                std::shuffle(pieces.begin(), pieces.end(), random);
                texts.push_back(Joined(pieces));
            }
            int widest = 0;
            for (const std::string& text : texts) widest = std::max(widest, dc.GetTextExtent(text).cx);
            const auto found = FindWidestText(
                texts.size(), [&](std::size_t i) -> const std::string& { return texts[i]; }, dc);
            ASSERT_TRUE(found);
            ASSERT_EQ(found->width, widest) << font.faceName << " table " << table;
            EXPECT_EQ(dc.GetTextExtent(texts[found->index]).cx, widest);
        }
    }
}
