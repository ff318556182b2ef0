#pragma once
// Cell texts are bytes. A text that is valid UTF-8 is shown as UTF-8; any
// other text is taken as Windows-1252, the code page older lists were
// written in. Text the user types is stored as UTF-8.

#include <QString>
#include <string>
#include <string_view>

namespace tabulon::qt {

// Whether bytes are well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The text the bytes stand for on screen.
QString TextFromBytes(std::string_view bytes);

// The bytes of Windows-1252 as Unicode; the five bytes the code page leaves
// undefined keep their own value, as the platform that made the files does.
char32_t FromWindows1252(unsigned char byte);

std::string Utf8FromText(const QString& text);

// The position in the shown text of a byte offset into bytes (clamped; an
// offset inside a UTF-8 sequence counts as the start of that sequence).
int TextIndexOfByteOffset(std::string_view bytes, std::size_t offset);

}  // namespace tabulon::qt
