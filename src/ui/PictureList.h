#pragma once
// Small pictures of one size, cut from bitmaps, with the pixels of a
// transparent colour left out: the pictures beside menu items.

#include <vector>

#include "platform/Bitmap.h"
#include "platform/ImageList.h"

namespace tabulon {

class CPictureList : public IImageList {
public:
    // What a bitmap's standard greys stand for: black the button text, dark
    // grey the button shadow, light grey the button face, white the button
    // highlight. So pictures follow the desktop's colours.
    struct ButtonColours {
        Colour text = 0;
        Colour shadow = 0;
        Colour face = 0;
        Colour highlight = 0;
    };

    explicit CPictureList(Size imageSize) : m_size(imageSize) {}

    // Cuts the bitmap into pictures of the list's size, left to right, maps
    // its greys and leaves out every pixel of the transparent colour. The
    // index of the first picture added, -1 when the bitmap holds none.
    int AddMasked(const Bitmap& bitmap, Colour transparent, const ButtonColours& colours);

    int GetImageCount() const override { return static_cast<int>(m_pictures.size()); }
    Size GetImageSize() const override { return m_size; }
    void Draw(IDeviceContext& dc, int index, Point at) override;
    // The picture's shape embossed: its darker pixels in the highlight colour
    // one pixel right and down, then in the shadow colour in place.
    void DrawDisabled(IDeviceContext& dc, int index, Point at, Colour highlight, Colour shadow) const;

    const Bitmap* Picture(int index) const;

private:
    Size m_size;
    std::vector<Bitmap> m_pictures;
};

}  // namespace tabulon
