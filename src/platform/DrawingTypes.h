#pragma once
// Plain geometry and colour values shared by the system and its hosts.

#include <cstdint>

#include "base/Flags.h"

namespace tabulon {

// A colour as 0x00BBGGRR. The value kDefaultColour in a cell means "use the
// default cell's colour".
using Colour = std::uint32_t;
constexpr Colour kDefaultColour = 0xFF000000u;

constexpr Colour MakeColour(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}
constexpr unsigned RedOf(Colour c) { return c & 0xFFu; }
constexpr unsigned GreenOf(Colour c) { return (c >> 8) & 0xFFu; }
constexpr unsigned BlueOf(Colour c) { return (c >> 16) & 0xFFu; }

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Left and top are the first pixel. Whether right and bottom are the last
// pixel (cell rectangles) or one past it (device-context fills) is said where
// a rectangle is used.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Text-drawing format flags.
enum class TextFormat : unsigned {
    kLeft = 0x0000,
    kCenter = 0x0001,
    kRight = 0x0002,
    kVCenter = 0x0004,
    kBottom = 0x0008,
    kWordBreak = 0x0010,
    kSingleLine = 0x0020,
    kExpandTabs = 0x0040,
    kNoClip = 0x0100,
    kCalcRect = 0x0400,
    kNoPrefix = 0x0800,
    kEndEllipsis = 0x8000,
    // Takes "&" as the mark of the next character without underlining it.
    kHidePrefix = 0x100000,
};
template <>
inline constexpr bool kIsFlagEnum<TextFormat> = true;
using TextFormats = Flags<TextFormat>;

// The classic check mark, 7 by 7 pixels ('X' set), as menus and check boxes
// draw it.
inline constexpr const char* kCheckMarkPixels[7] = {
    "......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X....",
};

}  // namespace tabulon
