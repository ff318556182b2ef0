#include "base/FirstLetter.h"

#include <algorithm>
#include <iterator>

#include "base/ShownText.h"

namespace tabulon {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// The characters from U+0080 up that begin no word, in order: controls,
// spaces, modifiers and combining marks, digits, punctuation and symbols.
// Every other character counts as a letter; ª µ º and ƒ are letters too.
constexpr Range kNoLetters[] = {
    {0x0080, 0x00A9},   {0x00AB, 0x00B4},   {0x00B6, 0x00B9},    {0x00BB, 0x00BF}, {0x00D7, 0x00D7}, {0x00F7, 0x00F7},
    {0x02B0, 0x036F},   {0x0374, 0x0375},   {0x037E, 0x037E},    {0x0384, 0x0385}, {0x0387, 0x0387}, {0x03F6, 0x03F6},
    {0x0482, 0x0489},   {0x055A, 0x055F},   {0x0589, 0x058F},    {0x0591, 0x05CF}, {0x05F3, 0x05FF}, {0x0600, 0x061F},
    {0x064B, 0x066D},   {0x0670, 0x0670},   {0x06D4, 0x06D4},    {0x06D6, 0x06ED}, {0x06F0, 0x06F9}, {0x06FD, 0x06FE},
    {0x0964, 0x096F},   {0x2000, 0x2BFF},   {0x2DE0, 0x2DFF},    {0x2E00, 0x303F}, {0x3099, 0x309C}, {0x30A0, 0x30A0},
    {0x30FB, 0x30FB},   {0x3190, 0x319F},   {0x31C0, 0x31EF},    {0x3200, 0x33FF}, {0x4DC0, 0x4DFF}, {0xD800, 0xF8FF},
    {0xFE00, 0xFE6F},   {0xFEFF, 0xFEFF},   {0xFF00, 0xFF20},    {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFE0, 0xFFFF},
    {0x1D000, 0x1D7FF}, {0x1F000, 0x1FBFF}, {0xE0000, 0x10FFFF},
};

bool IsLetterBeyondAscii(char32_t c) {
    if (c < 0x80) return false;
    const auto after = std::upper_bound(std::begin(kNoLetters), std::end(kNoLetters), c,
                                        [](char32_t value, const Range& range) { return value < range.first; });
    return after == std::begin(kNoLetters) || c > std::prev(after)->last;
}

// Lower-case letters from first to last, every step-th, whose upper-case
// letters stand delta below them.
struct CaseRun {
    char32_t first;
    char32_t last;
    char32_t step;
    int delta;
};

// Latin-1, Latin Extended-A, the Pinyin and Romanian letters of Latin
// Extended-B, Greek, Cyrillic, Armenian, Latin Extended Additional and the
// full-width Latin letters. Letters whose upper case is ASCII (ı, ſ) keep
// their own form: the index rows of A to Z stand already.
constexpr CaseRun kLowerCase[] = {
    {0x00E0, 0x00F6, 1, 0x20}, {0x00F8, 0x00FE, 1, 0x20}, {0x00FF, 0x00FF, 1, 0x00FF - 0x0178},
    {0x0101, 0x012F, 2, 1},    {0x0133, 0x0137, 2, 1},    {0x013A, 0x0148, 2, 1},
    {0x014B, 0x0177, 2, 1},    {0x017A, 0x017E, 2, 1},    {0x01CE, 0x01DC, 2, 1},
    {0x01DF, 0x01EF, 2, 1},    {0x01F9, 0x021F, 2, 1},    {0x0223, 0x0233, 2, 1},
    {0x03AC, 0x03AC, 1, 0x26}, {0x03AD, 0x03AF, 1, 0x25}, {0x03B1, 0x03C1, 1, 0x20},
    {0x03C2, 0x03C2, 1, 0x1F}, {0x03C3, 0x03CB, 1, 0x20}, {0x03CC, 0x03CC, 1, 0x40},
    {0x03CD, 0x03CE, 1, 0x3F}, {0x03D9, 0x03EF, 2, 1},    {0x0430, 0x044F, 1, 0x20},
    {0x0450, 0x045F, 1, 0x50}, {0x0461, 0x0481, 2, 1},    {0x048B, 0x04BF, 2, 1},
    {0x04C2, 0x04CE, 2, 1},    {0x04CF, 0x04CF, 1, 0x0F}, {0x04D1, 0x052F, 2, 1},
    {0x0561, 0x0586, 1, 0x30}, {0x1E01, 0x1E95, 2, 1},    {0x1EA1, 0x1EFF, 2, 1},
    {0xFF41, 0xFF5A, 1, 0x20},
};

char32_t UpperCaseOf(char32_t c) {
    for (const CaseRun& run : kLowerCase)
        if (c >= run.first && c <= run.last && (c - run.first) % run.step == 0)
            return static_cast<char32_t>(static_cast<int>(c) - run.delta);
    return c;
}

// Windows-1252: à-þ but ÷ to À-Þ, š œ ž ÿ to Š Œ Ž Ÿ; ß, µ, ª, º and ƒ
// have no upper case in the code page.
unsigned char UpperCaseOf1252(unsigned char c) {
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9E: return static_cast<unsigned char>(c - 0x10);
    case 0xFF: return 0x9F;
    default: return c;
    }
}

}  // namespace

std::string UpperInitialBeyondAscii(std::string_view text) {
    if (text.empty() || static_cast<unsigned char>(text.front()) < 0x80) return {};
    if (IsValidUtf8(text)) {
        char32_t first = 0;
        ForEachShownCharacter(text.substr(0, Utf8SequenceLength(text, 0)), [&first](char32_t c) {
            first = c;
            return false;
        });
        return IsLetterBeyondAscii(first) ? Utf8Of(UpperCaseOf(first)) : std::string();
    }
    const auto byte = static_cast<unsigned char>(text.front());
    if (!IsLetterBeyondAscii(FromWindows1252(byte))) return {};
    return std::string(1, static_cast<char>(UpperCaseOf1252(byte)));
}

}  // namespace tabulon
