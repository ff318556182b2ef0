#pragma once
// Cell texts are bytes. A text that is valid UTF-8 is shown as UTF-8; any
// other text is taken as Windows-1252, the code page older lists were
// written in.

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

// Length of the UTF-8 sequence that starts at bytes[at], or 0 when no
// well-formed one does (overlong forms, surrogates and anything above
// U+10FFFF are not well-formed).
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);

// The UTF-8 bytes of one character, the way typed text is stored.
std::string Utf8Of(char32_t c);
// The same, appended to out.
void AppendUtf8(std::string& out, char32_t c);

// Whether bytes are well-formed UTF-8 throughout.
bool IsValidUtf8(std::string_view bytes);

// The bytes of Windows-1252 as Unicode; the five bytes the code page leaves
// undefined keep their own value, as the platform that made the files does.
char32_t FromWindows1252(unsigned char byte);

// Hands the characters bytes show, in order, to onChar(char32_t), which
// returns false to stop early.
template <typename OnChar>
void ForEachShownCharacter(std::string_view bytes, OnChar onChar) {
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii || !IsValidUtf8(bytes)) {
        for (char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (!onChar(ascii ? static_cast<char32_t>(byte) : FromWindows1252(byte))) return;
        }
        return;
    }
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8SequenceLength(bytes, at);
        const auto byte = [&](std::size_t k) {
            return static_cast<char32_t>(static_cast<unsigned char>(bytes[at + k]));
        };
        char32_t ch = 0;
        switch (length) {
        case 1: ch = byte(0); break;
        case 2: ch = ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F); break;
        case 3: ch = ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F); break;
        default:
            ch = ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
            break;
        }
        if (!onChar(ch)) return;
        at += length;
    }
}

}  // namespace tabulon
