#pragma once
// The desktop as Qt sees it: colours from the application palette, metrics
// from the style, the application font as the message font.

#include "platform/Desktop.h"

namespace tabulon::qt {

class CQtDesktop final : public IDesktop {
public:
    Colour GetSysColour(SysColour which) const override;
    int GetSystemMetric(SysMetric which) const override;
    LogFont GetMessageFont() const override;
    std::unique_ptr<IDeviceContext> CreateScreenContext() override;
    int GetWheelScrollLines() const override;
    void ShowOutOfMemory() override;
};

}  // namespace tabulon::qt
