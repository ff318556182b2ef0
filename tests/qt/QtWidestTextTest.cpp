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
    "A", "V", "T", "o", "Y", "L", "W", ".", ",", "f", "i", "l", "ffi", "r", "y", " ", "7", "1",
    "\xC3\xA9", "\xC3\x9F", "\xC5\x92", "\xC5\x82", "\xC2\xA0", "\xE2\x80\x94", "\xE2\x82\xAC",
    "\xE9", "\x80", "\x85", "\x97", "\x81",
    "\xD0\x96", "\xE6\x9D\xB1", "\xD8\xB9", "\xCC\x81", "\t", "\xF0\x9F\x98\x80",
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

        // The promise, text by text.
        for (int n = 0; n < 250; ++n) {
            const std::string text = Joined(RandomPieces(random, boundedPieces));
            double sum = 0;
            char32_t previous = 0;
            bool promised = true;
            ForEachShownCharacter(text, [&](char32_t ch) {
                const std::optional<double> one = dc.GetCharsAdvance(std::u32string(1, ch));
                if (!one) return promised = false;
                sum += *one;
                if (previous) {
                    const std::u32string pair{previous, ch};
                    // Ligatures may take the kerning of their neighbours away,
                    // so pairs count only for what they add.
                    sum += std::max(0.0, *dc.GetCharsAdvance(pair) - *dc.GetCharsAdvance(std::u32string(1, previous)) - *one);
                }
                previous = ch;
                return true;
            });
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
            const auto found = FindWidestText(texts.size(), [&](std::size_t i) -> const std::string& { return texts[i]; }, dc);
            ASSERT_TRUE(found);
            ASSERT_EQ(found->width, widest) << font.faceName << " table " << table;
            EXPECT_EQ(dc.GetTextExtent(texts[found->index]).cx, widest);
        }
    }
}
