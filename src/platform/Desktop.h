#pragma once
// What the desktop itself tells the system: colours, metrics, the message
// font, a device context of the whole screen for measuring.

#include <memory>

#include "platform/DeviceContext.h"
#include "platform/LogFont.h"

namespace tabulon {

enum class SysColour {
    WindowText,
    Window,
    ButtonFace,
    ButtonShadow,
    Highlight,
    HighlightText,
    Highlight3D,  // light edge of raised 3-D frames
    DarkShadow3D,
    Shadow3D,
};

enum class SysMetric {
    MenuCheckHeight,
    VScrollWidth,
    HScrollHeight,
    BorderWidth,
    BorderHeight,
};

class IDesktop {
public:
    virtual ~IDesktop() = default;
    virtual Colour GetSysColour(SysColour which) const = 0;
    virtual int GetSystemMetric(SysMetric which) const = 0;
    virtual LogFont GetMessageFont() const = 0;
    // A context of the whole screen, or none where there is no screen.
    virtual std::unique_ptr<IDeviceContext> CreateScreenContext() = 0;
    // Lines scrolled by one wheel notch; 0 when the desktop has no setting.
    virtual int GetWheelScrollLines() const = 0;
    virtual void ShowOutOfMemory() = 0;
};

// The desktop of a process without a screen: the classic light colours, no
// screen context, nothing shown.
IDesktop& HeadlessDesktop();

}  // namespace tabulon
