#include "platform/Desktop.h"

namespace tabulon {
namespace {

class CHeadlessDesktop final : public IDesktop {
public:
    Colour GetSysColour(SysColour which) const override {
        switch (which) {
        case SysColour::WindowText: return MakeColour(0, 0, 0);
        case SysColour::Window: return MakeColour(255, 255, 255);
        case SysColour::ButtonFace: return MakeColour(240, 240, 240);
        case SysColour::ButtonShadow: return MakeColour(160, 160, 160);
        case SysColour::Highlight: return MakeColour(0, 120, 215);
        case SysColour::HighlightText: return MakeColour(255, 255, 255);
        case SysColour::Highlight3D: return MakeColour(255, 255, 255);
        case SysColour::DarkShadow3D: return MakeColour(105, 105, 105);
        case SysColour::Shadow3D: return MakeColour(160, 160, 160);
        }
        return 0;
    }
    int GetSystemMetric(SysMetric which) const override {
        switch (which) {
        case SysMetric::MenuCheckHeight: return 13;
        case SysMetric::VScrollWidth: return 17;
        case SysMetric::HScrollHeight: return 17;
        case SysMetric::BorderWidth: return 1;
        case SysMetric::BorderHeight: return 1;
        }
        return 0;
    }
    LogFont GetMessageFont() const override {
        LogFont font;
        font.height = -12;
        font.faceName = "Sans Serif";
        return font;
    }
    std::unique_ptr<IDeviceContext> CreateScreenContext() override { return nullptr; }
    int GetWheelScrollLines() const override { return 0; }
    void ShowOutOfMemory() override {}
};

}  // namespace

IDesktop& HeadlessDesktop() {
    static CHeadlessDesktop desktop;
    return desktop;
}

}  // namespace tabulon
