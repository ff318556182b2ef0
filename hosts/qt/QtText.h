#pragma once
// Cell texts on screen (base/ShownText.h says how bytes are shown). Text the
// user types is stored as UTF-8.

#include <QString>
#include <string>
#include <string_view>

#include "base/ShownText.h"

namespace tabulon::qt {

using tabulon::FromWindows1252;
using tabulon::IsValidUtf8;

// The text the bytes stand for on screen.
QString TextFromBytes(std::string_view bytes);

std::string Utf8FromText(const QString& text);

// The position in the shown text of a byte offset into bytes (clamped; an
// offset inside a UTF-8 sequence counts as the start of that sequence).
int TextIndexOfByteOffset(std::string_view bytes, std::size_t offset);

}  // namespace tabulon::qt
