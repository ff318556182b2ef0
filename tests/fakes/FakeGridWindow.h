#pragma once
// A grid window that records invalidations, scroll-bar settings, cursors,
// capture and timers, hands out recording device contexts, and gives an
// in-memory edit control and title tip.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RecordingDeviceContext.h"
#include "platform/GridWindow.h"
#include "platform/Keys.h"

namespace tabulon::fakes {

class FakeGridWindow;

// An edit control with a text, a selection and a caret, measuring 7 pixels
// a character.
class FakeEditControl : public IEditControl {
public:
    FakeEditControl(FakeGridWindow& window, IEditControlEvents& events, const Rect& rect);
    ~FakeEditControl() override;
    void SetText(const std::string& t) override {
        text = t;
        selStart = selEnd = static_cast<int>(text.size());
    }
    std::string GetText() const override { return text; }
    void SetSelection(int start, int end) override {
        const int size = static_cast<int>(text.size());
        selStart = start < 0 ? size : std::min(start, size);
        selEnd = end < 0 ? size : std::min(end, size);
    }
    void ReplaceSelection(const std::string& t) override {
        text.replace(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selEnd - selStart), t);
        selStart = selEnd = selStart + static_cast<int>(t.size());
    }
    void Backspace() override {
        if (selStart == selEnd && selStart > 0) --selStart;
        ReplaceSelection("");
    }
    void SetFocus() override;
    Rect GetRect() const override { return rect; }
    void SetRect(const Rect& r) override { rect = r; }
    int GetTextWidth(const std::string& t) const override { return 7 * static_cast<int>(t.size()); }

    // The user at the keyboard: a key the control does not get is handled as
    // a plain edit would (arrows move the caret); a character is typed.
    bool Press(unsigned key, unsigned modifiers = 0);
    void Type(const std::string& characters);
    bool HasSelectedAll() const { return selStart == 0 && selEnd == static_cast<int>(text.size()); }
    bool CaretAtEnd() const { return selStart == selEnd && selEnd == static_cast<int>(text.size()); }

    FakeGridWindow& window;
    IEditControlEvents& events;
    std::string text;
    int selStart = 0;
    int selEnd = 0;
    Rect rect;
};

class FakeTitleTip : public ITitleTipWindow {
public:
    explicit FakeTitleTip(ITitleTipEvents& e) : events(e) {}
    void Show(const Rect& r, const std::string& t, const LogFont&) override {
        visible = true;
        rect = r;
        text = t;
        ++shows;
    }
    void Hide() override { visible = false; }
    bool IsVisible() const override { return visible; }
    Size MeasureText(const std::string& t, const LogFont&) const override {
        return {7 * static_cast<int>(t.size()), 14};
    }
    int GetFontOverhang(const LogFont&) const override { return 0; }

    ITitleTipEvents& events;
    bool visible = false;
    Rect rect;
    std::string text;
    int shows = 0;
};

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
    void SetScrollRange(ScrollBar bar, int maximum, int page) override { range[bar] = {maximum, page}; }
    int GetScrollPos(ScrollBar bar) const override {
        auto it = pos.find(bar);
        return it == pos.end() ? 0 : it->second;
    }
    void SetScrollPos(ScrollBar bar, int p) override { pos[bar] = p; }

    void SetCapture() override { captured = true; }
    void ReleaseCapture() override { captured = false; }
    void SetCursor(GridCursor c) override { cursor = c; }
    // The grid takes the focus: an open edit control loses it.
    void SetFocus() override;
    bool IsApplicationActive() const override { return active; }
    void StartTimer(int id, int ms) override { timers[id] = ms; }
    void StopTimer(int id) override { timers.erase(id); }
    Point GetCursorPos() const override { return cursorPos; }
    long long GetTickCount() const override { return ticks; }
    void ShowTrackingLine(const Rect& r) override { trackingLine = r; }
    void PlaceNextMenu(const Rect& r) override { menuPlaces.push_back(r); }
    std::unique_ptr<IEditControl> CreateEditControl(IEditControlEvents& events, const Rect& rect, EditAlignment align,
                                                    const LogFont&) override {
        if (!canEdit) return nullptr;
        alignment = align;
        return std::make_unique<FakeEditControl>(*this, events, rect);
    }
    std::unique_ptr<ITitleTipWindow> CreateTitleTip(ITitleTipEvents& events) override {
        auto tip = std::make_unique<FakeTitleTip>(events);
        titleTip = tip.get();
        return tip;
    }
    // What a screen reader would be told ("focus 2,1", "cell 3,1", "table"),
    // kept while listening: a real window asks for no memory here.
    void FocusCellChanged(int row, int col) override {
        if (listening) told.push_back("focus " + Place(row, col));
    }
    void CellChanged(int row, int col) override {
        if (listening) told.push_back("cell " + Place(row, col));
    }
    void TableChanged() override {
        if (listening) told.push_back("table");
    }
    static std::string Place(int row, int col) { return std::to_string(row) + "," + std::to_string(col); }

    Size clientSize{400, 300};
    bool listening = false;
    std::vector<std::string> told;
    bool hasDC = false;
    bool canEdit = true;
    bool active = true;
    int invalidateAllCount = 0;
    int updateCount = 0;
    std::vector<Rect> invalidated;
    std::map<ScrollBar, bool> shown;
    std::map<ScrollBar, std::pair<int, int>> range;
    std::map<ScrollBar, int> pos;
    bool captured = false;
    GridCursor cursor = GridCursor::Arrow;
    std::map<int, int> timers;
    Point cursorPos;
    long long ticks = 0;
    Rect trackingLine;
    std::vector<Rect> menuPlaces;  // where menus opened from the keyboard belong
    EditAlignment alignment = EditAlignment::Left;
    FakeEditControl* edit = nullptr;     // the open edit control, if any
    FakeEditControl* focused = nullptr;  // the control holding the focus
    FakeTitleTip* titleTip = nullptr;
    int focusTaken = 0;  // how often the grid took the keyboard focus
};

inline FakeEditControl::FakeEditControl(FakeGridWindow& w, IEditControlEvents& e, const Rect& r)
    : window(w), events(e), rect(r) {
    window.edit = this;
}

inline FakeEditControl::~FakeEditControl() {
    if (window.edit == this) window.edit = nullptr;
    if (window.focused == this) window.focused = nullptr;
}

inline void FakeEditControl::SetFocus() { window.focused = this; }

inline bool FakeEditControl::Press(unsigned key, unsigned modifiers) {
    if (events.OnEditKeyDown(key, modifiers)) return true;
    const int size = static_cast<int>(text.size());
    if (key == Key::kLeft) selStart = selEnd = std::max(selStart - 1, 0);
    if (key == Key::kRight) selStart = selEnd = std::min(selEnd + 1, size);
    if (key == Key::kHome) selStart = selEnd = 0;
    if (key == Key::kEnd) selStart = selEnd = size;
    return false;
}

inline void FakeEditControl::Type(const std::string& characters) {
    ReplaceSelection(characters);
    events.OnEditTextChanged();
}

inline void FakeGridWindow::SetFocus() {
    ++focusTaken;
    if (FakeEditControl* control = focused) {
        focused = nullptr;
        control->events.OnEditKillFocus();
    }
}

}  // namespace tabulon::fakes
