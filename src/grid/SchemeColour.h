#pragma once
// The grids take their colours from the desktop's one palette: text and
// background always belong together. The few colours of the program's own
// (white items, light grey headings and numbers, the flash of an empty
// checked item) are light ones; on a dark scheme, whose text is light, they
// give way to the scheme's window colour as far as it takes for the text to
// be read.

#include "platform/Desktop.h"
#include "platform/DrawingTypes.h"

namespace tabulon {

// The contrast of two colours as the web's accessibility guidelines measure
// it: from 1 (the same) to 21 (black on white).
double ContrastRatio(Colour a, Colour b);

// What reading text needs at the least: 4.5 to 1.
constexpr double kReadableContrast = 4.5;

// The background to paint for back under text: back itself where text is
// readable on it; otherwise back mixed towards the scheme's window colour,
// only as far as needed (white becomes the window colour itself, light grey
// stays a little lighter than it).
Colour SchemeBackColour(Colour back, Colour text, const IDesktop& desktop);

}  // namespace tabulon
