#pragma once
// Small pictures a grid can show in front of a cell's text.

#include "platform/DeviceContext.h"

namespace tabulon {

class IImageList {
public:
    virtual ~IImageList() = default;
    virtual int GetImageCount() const = 0;
    virtual Size GetImageSize() const = 0;
    virtual void Draw(IDeviceContext& dc, int index, Point at) = 0;
};

}  // namespace tabulon
