#pragma once
// The program's own pictures from its resources: each menu picture by its
// resource number, 16 x 15 (and twice that for fine screens), and the
// toolbar as a strip of its buttons' pictures.

#include <QImage>

#include "platform/Bitmap.h"

namespace tabulon::qt {

// The picture of a resource number at scale 1 or 2; a null image when there
// is none.
QImage PictureImage(int resource, int scale);

class CQtPictureSource final : public IPictureSource {
public:
    // Pictures at scale 2 on a screen that has more than one pixel to a unit.
    CQtPictureSource();
    explicit CQtPictureSource(int scale) : m_scale(scale) {}

    std::optional<Bitmap> LoadBitmap(int resource) override;
    std::vector<int> ToolbarCommands(int resource) override;

private:
    int m_scale;
};

}  // namespace tabulon::qt
