#pragma once
// Pictures as plain pixels, and where the system gets its own pictures from.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/DrawingTypes.h"

namespace tabulon {

// One pixel as 0xAARRGGBB, not premultiplied.
using Pixel = std::uint32_t;

constexpr Pixel PixelOf(Colour colour, unsigned alpha = 0xFFu) {
    return ((alpha & 0xFFu) << 24) | (RedOf(colour) << 16) | (GreenOf(colour) << 8) | BlueOf(colour);
}
constexpr Colour ColourOfPixel(Pixel pixel) {
    return MakeColour((pixel >> 16) & 0xFFu, (pixel >> 8) & 0xFFu, pixel & 0xFFu);
}
constexpr unsigned AlphaOf(Pixel pixel) { return pixel >> 24; }

// Pixels row by row. A picture drawn for a fine screen carries scale 2: it
// covers width / 2 by height / 2 screen units.
struct Bitmap {
    int width = 0;
    int height = 0;
    int scale = 1;
    std::vector<Pixel> pixels;

    Pixel At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Pixel& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The program's own pictures by resource number.
class IPictureSource {
public:
    virtual ~IPictureSource() = default;
    // The picture, or none when there is no such resource or it cannot be read.
    virtual std::optional<Bitmap> LoadBitmap(int resource) = 0;
    // A toolbar resource is also a strip of its buttons' pictures: the command
    // of each button, in the strip's order. Empty for any other resource.
    virtual std::vector<int> ToolbarCommands(int resource) {
        (void)resource;
        return {};
    }
};

}  // namespace tabulon
