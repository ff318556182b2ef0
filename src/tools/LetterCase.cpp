#include "tools/LetterCase.h"

namespace tabulon {

namespace {

// The second bytes of å, ä and ö in UTF-8 (after 0xC3) and those of Å, Ä, Ö.
constexpr unsigned char kUtf8Lead = 0xC3;

unsigned char UpperUtf8Tail(unsigned char tail) {
    switch (tail) {
    case 0xA5: return 0x85;  // å -> Å
    case 0xA4: return 0x84;  // ä -> Ä
    case 0xB6: return 0x96;  // ö -> Ö
    default: return tail;
    }
}

}  // namespace

char ToUpperLetter(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    switch (c) {
    case 0xE5: return static_cast<char>(0xC5);  // å -> Å
    case 0xE4: return static_cast<char>(0xC4);  // ä -> Ä
    case 0xF6: return static_cast<char>(0xD6);  // ö -> Ö
    default: return ch;
    }
}

bool IsValidUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int tail = 0;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            tail = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            tail = 2;
            if (c == 0xE0) low = 0xA0;   // no overlong forms
            if (c == 0xED) high = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            tail = 3;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;  // nothing past U+10FFFF
        } else {
            return false;
        }
        if (end - p <= tail) return false;
        if (p[1] < low || p[1] > high) return false;
        for (int i = 2; i <= tail; ++i)
            if ((p[i] & 0xC0) != 0x80) return false;
        p += tail + 1;
    }
    return true;
}

void UpperLetterAt(std::string& text, std::size_t pos, bool utf8) {
    if (pos >= text.size()) return;
    const auto c = static_cast<unsigned char>(text[pos]);
    if (!utf8) {
        text[pos] = ToUpperLetter(text[pos]);
    } else if (c >= 'a' && c <= 'z') {
        text[pos] = static_cast<char>(c - 'a' + 'A');
    } else if (c == kUtf8Lead && pos + 1 < text.size()) {
        text[pos + 1] = static_cast<char>(UpperUtf8Tail(static_cast<unsigned char>(text[pos + 1])));
    }
}

std::string UpperFirstLetter(std::string text) {
    if (!text.empty()) UpperLetterAt(text, 0, IsValidUtf8(text));
    return text;
}

std::string CapitalizeEachWord(const std::string& text) {
    std::string out = text;
    CapitalizeEachWordInPlace(out);
    return out;
}

void CapitalizeEachWordInPlace(std::string& text) {
    if (text.empty()) return;
    const bool utf8 = IsValidUtf8(text);
    UpperLetterAt(text, 0, utf8);
    // In valid UTF-8 the byte after a blank always starts a character.
    for (std::size_t i = text.find(' '); i != std::string::npos && i + 1 < text.size(); i = text.find(' ', i + 1))
        UpperLetterAt(text, i + 1, utf8);
}

}  // namespace tabulon
