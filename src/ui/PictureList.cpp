#include "ui/PictureList.h"

namespace tabulon {

namespace {

constexpr bool Opaque(Pixel p) { return AlphaOf(p) >= 0x80u; }

Colour MappedGrey(Colour colour, const CPictureList::ButtonColours& to) {
    switch (colour) {
    case MakeColour(0, 0, 0): return to.text;
    case MakeColour(128, 128, 128): return to.shadow;
    case MakeColour(192, 192, 192): return to.face;
    case MakeColour(255, 255, 255): return to.highlight;
    default: return colour;
    }
}

// Light pixels fall away in the disabled look, as they would on a
// one-colour copy of the picture: only the drawing's lines and dark areas
// keep their shape.
bool InShape(Pixel p) {
    if (!Opaque(p)) return false;
    const Colour c = ColourOfPixel(p);
    return RedOf(c) * 30 + GreenOf(c) * 59 + BlueOf(c) * 11 < 0xC0 * 100;
}

}  // namespace

int CPictureList::AddMasked(const Bitmap& bitmap, Colour transparent, const ButtonColours& colours) {
    const int scale = bitmap.scale > 0 ? bitmap.scale : 1;
    const int w = m_size.cx * scale;
    const int h = m_size.cy * scale;
    if (w <= 0 || h <= 0 || bitmap.height < h || bitmap.width < w ||
        bitmap.pixels.size() < static_cast<std::size_t>(bitmap.width) * bitmap.height)
        return -1;
    const int first = GetImageCount();
    for (int left = 0; left + w <= bitmap.width; left += w) {
        Bitmap picture{w, h, scale, std::vector<Pixel>(static_cast<std::size_t>(w) * h, 0)};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Pixel p = bitmap.At(left + x, y);
                if (!Opaque(p)) continue;
                const Colour c = MappedGrey(ColourOfPixel(p), colours);
                if (c != transparent) picture.At(x, y) = PixelOf(c, AlphaOf(p));
            }
        m_pictures.push_back(std::move(picture));
    }
    return first;
}

const Bitmap* CPictureList::Picture(int index) const {
    if (index < 0 || index >= GetImageCount()) return nullptr;
    return &m_pictures[static_cast<std::size_t>(index)];
}

void CPictureList::Draw(IDeviceContext& dc, int index, Point at) {
    if (const Bitmap* picture = Picture(index)) dc.DrawBitmap(*picture, at);
}

void CPictureList::DrawDisabled(IDeviceContext& dc, int index, Point at, Colour highlight, Colour shadow) const {
    const Bitmap* picture = Picture(index);
    if (!picture) return;
    Bitmap shape{picture->width, picture->height, picture->scale, picture->pixels};
    const auto paint = [&](Colour colour) {
        for (std::size_t i = 0; i < picture->pixels.size(); ++i)
            shape.pixels[i] = InShape(picture->pixels[i]) ? PixelOf(colour) : 0;
    };
    paint(highlight);
    dc.DrawBitmap(shape, {at.x + 1, at.y + 1});
    paint(shadow);
    dc.DrawBitmap(shape, at);
}

}  // namespace tabulon
