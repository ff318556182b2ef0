#pragma once
// The title tip: shows the whole text of a cell too narrow for it, over the
// cell, until the mouse leaves the cell. Keys and presses that reach the tip
// are handed to the grid below it.

#include <memory>
#include <string>

#include "platform/TitleTipWindow.h"

namespace tabulon {

class CGridCtrl;

class CTitleTipWnd : public ITitleTipEvents {
public:
    explicit CTitleTipWnd(CGridCtrl& grid);
    ~CTitleTipWnd() override;
    CTitleTipWnd(const CTitleTipWnd&) = delete;
    CTitleTipWnd& operator=(const CTitleTipWnd&) = delete;

    // rect and hoverRect are inclusive cell rectangles in grid coordinates;
    // textOffset is where the text starts inside rect. font none: the grid's.
    void Show(const Rect& rect, const std::string& text, int textOffset, const Rect& hoverRect, const LogFont* font);
    void Hide();
    bool IsVisible() const;
    const Rect& GetHoverRect() const { return m_hoverRect; }

    void OnTipKeyDown(unsigned key, unsigned modifiers) override;
    void OnTipMouseDown(MouseButton button, Point point, unsigned modifiers) override;
    void OnTipMouseUp(MouseButton button, Point point, unsigned modifiers) override;
    void OnTipMouseMove(Point point, unsigned modifiers) override;

private:
    CGridCtrl& m_grid;
    std::unique_ptr<ITitleTipWindow> m_window;
    Rect m_hoverRect{};
    long long m_lastClick = -1;
};

}  // namespace tabulon
