#pragma once
// What the system draws with. Rectangles given to fills, frames, edges and
// the check box exclude their right and bottom edge; lines include both ends.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/DrawingTypes.h"
#include "platform/LogFont.h"

namespace tabulon {

enum class EdgeStyle { Raised, SunkenInner };

class IDeviceContext {
public:
    virtual ~IDeviceContext() = default;

    virtual void SaveState() = 0;
    virtual void RestoreState() = 0;

    virtual void SetTransparentBackground() = 0;
    virtual void SetTextColour(Colour colour) = 0;
    virtual void SelectFont(const LogFont& font) = 0;

    virtual void FillRect(const Rect& rect, Colour colour) = 0;
    virtual void FrameRect(const Rect& rect, Colour colour) = 0;
    virtual void DrawLine(Point from, Point to, Colour colour) = 0;
    virtual void DrawEdge(const Rect& rect, EdgeStyle style) = 0;
    virtual void FillPolygon(const std::vector<Point>& points, Colour colour) = 0;
    virtual void DrawCheckBox(const Rect& rect, bool checked) = 0;

    // Draws text with the format flags; with TextFormat::kCalcRect it only
    // measures, widening or deepening rect as needed. Returns the text height.
    virtual int DrawText(std::string_view text, Rect& rect, TextFormats format) = 0;
    virtual Size GetTextExtent(std::string_view text) = 0;
    virtual int GetFontOverhang() = 0;

    // The advance of one character, or of two side by side, in the selected
    // font and in fractions of a pixel. It promises that any line of such
    // characters measures (GetTextExtent) at most the sum of their advances
    // plus, for each pair of neighbours, what the pair's advance adds to the
    // advances of its two characters, rounded to the nearest pixel. What a
    // pair takes away (kerning) counts only where that pair and the pairs
    // on either side of it keep their glyphs (PairKeepsGlyphs): a ligature
    // may take the kerning of its neighbours away. None where the host
    // cannot promise that, as for characters shaped by more than their
    // neighbours; texts with such characters are measured whole. Sizing a
    // column to its widest text then measures only the texts that may be
    // widest.
    virtual std::optional<double> GetCharsAdvance(std::u32string_view chars) {
        (void)chars;
        return std::nullopt;
    }
    // Whether two characters side by side, both with advances, are drawn
    // with the glyphs each has alone: no ligature or other substitution
    // joins them. Never wrongly yes; no where the host cannot tell.
    virtual bool PairKeepsGlyphs(char32_t first, char32_t second) {
        (void)first;
        (void)second;
        return false;
    }

    // Draws the picture with its top-left corner at `at`, blending by its
    // alpha; a scale-2 picture covers half its pixel size. Contexts that can
    // draw images do it in one step; this fallback fills pixel by pixel.
    virtual void DrawBitmap(const Bitmap& bitmap, Point at) {
        const int scale = bitmap.scale > 0 ? bitmap.scale : 1;
        for (int y = 0; y < bitmap.height; y += scale)
            for (int x = 0; x < bitmap.width; x += scale)
                if (const Pixel p = bitmap.At(x, y); AlphaOf(p) >= 0x80u) {
                    const int px = at.x + x / scale;
                    const int py = at.y + y / scale;
                    FillRect({px, py, px + 1, py + 1}, ColourOfPixel(p));
                }
    }
};

}  // namespace tabulon
