#pragma once
// A desktop with colours that differ from one another, so a test can tell
// which one was used, and, when asked, a recording screen context.

#include <map>
#include <memory>

#include "RecordingDeviceContext.h"
#include "platform/Desktop.h"

namespace tabulon::fakes {

class FakeDesktop : public IDesktop {
public:
    Colour GetSysColour(SysColour which) const override {
        if (const auto scheme = colours.find(which); scheme != colours.end()) return scheme->second;
        return 0x00100000u + static_cast<Colour>(which) + colourShift;
    }
    int GetSystemMetric(SysMetric which) const override {
        switch (which) {
        case SysMetric::MenuCheckHeight: return 11;
        case SysMetric::VScrollWidth: return 16;
        case SysMetric::HScrollHeight: return 15;
        case SysMetric::BorderWidth: return 1;
        case SysMetric::BorderHeight: return 1;
        }
        return 0;
    }
    LogFont GetMessageFont() const override { return messageFont; }
    std::unique_ptr<IDeviceContext> CreateScreenContext() override {
        if (!hasScreen) return nullptr;
        auto dc = std::make_unique<RecordingDeviceContext>();
        dc->charWidth = charWidth;
        dc->charHeight = charHeight;
        return dc;
    }
    int GetWheelScrollLines() const override { return wheelLines; }
    void ShowOutOfMemory() override { ++outOfMemoryShown; }

    bool hasScreen = true;
    int charWidth = 7;
    int charHeight = 14;
    int wheelLines = 0;
    Colour colourShift = 0;
    // A colour scheme of the desktop's: these colours in place of the made-up ones.
    std::map<SysColour, Colour> colours;
    int outOfMemoryShown = 0;
    LogFont messageFont{-12, 0, 0, 0, 400, false, false, false, 0, "Test Sans"};
};

}  // namespace tabulon::fakes
