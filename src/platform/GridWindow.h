#pragma once
// The window a grid is shown in. A grid without one keeps working on its
// data; its refresh and scroll-bar calls then do nothing.

#include <memory>

#include "platform/DeviceContext.h"

namespace tabulon {

enum class ScrollBar { Horizontal, Vertical };

class IGridWindow {
public:
    virtual ~IGridWindow() = default;
    virtual Size GetClientSize() const = 0;
    virtual void InvalidateAll() = 0;
    // rect excludes its right and bottom edge.
    virtual void InvalidateRect(const Rect& rect) = 0;
    virtual void UpdateWindow() = 0;
    // A context drawing straight into the window, or none.
    virtual std::unique_ptr<IDeviceContext> GetDC() = 0;
    virtual void ShowScrollBar(ScrollBar bar, bool show) = 0;
    virtual void SetScrollRange(ScrollBar bar, int maximum, int page) = 0;
    virtual int GetScrollPos(ScrollBar bar) const = 0;
    virtual void SetScrollPos(ScrollBar bar, int pos) = 0;
};

}  // namespace tabulon
