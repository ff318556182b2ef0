#pragma once
// Logical fonts to Qt fonts and back. Sizes are always in pixels, so that a
// font measures the same on the screen, in an off-screen image and in a
// pixmap of any resolution.

#include <QFont>

#include "platform/LogFont.h"

namespace tabulon::qt {

// A negative height is the character height in pixels; a positive one the
// cell height (taken as the pixel size too); 0 is the application font's
// size. An empty face name is the application font's family.
QFont FontFromLogFont(const LogFont& font);

// The logical font of a Qt font: negative pixel height, weight, style, face.
LogFont LogFontFromFont(const QFont& font);

}  // namespace tabulon::qt
