#pragma once
// A grid window that records invalidations and scroll-bar settings and hands
// out recording device contexts.

#include <map>
#include <memory>
#include <vector>

#include "platform/GridWindow.h"
#include "RecordingDeviceContext.h"

namespace tabulon::fakes {

class FakeGridWindow : public IGridWindow {
public:
    Size GetClientSize() const override { return clientSize; }
    void InvalidateAll() override { ++invalidateAllCount; }
    void InvalidateRect(const Rect& r) override { invalidated.push_back(r); }
    void UpdateWindow() override { ++updateCount; }
    std::unique_ptr<IDeviceContext> GetDC() override {
        if (!hasDC) return nullptr;
        return std::make_unique<RecordingDeviceContext>();
    }
    void ShowScrollBar(ScrollBar bar, bool show) override { shown[bar] = show; }
    void SetScrollRange(ScrollBar bar, int maximum, int page) override {
        range[bar] = {maximum, page};
    }
    int GetScrollPos(ScrollBar bar) const override {
        auto it = pos.find(bar);
        return it == pos.end() ? 0 : it->second;
    }
    void SetScrollPos(ScrollBar bar, int p) override { pos[bar] = p; }

    Size clientSize{400, 300};
    bool hasDC = false;
    int invalidateAllCount = 0;
    int updateCount = 0;
    std::vector<Rect> invalidated;
    std::map<ScrollBar, bool> shown;
    std::map<ScrollBar, std::pair<int, int>> range;
    std::map<ScrollBar, int> pos;
};

}  // namespace tabulon::fakes
