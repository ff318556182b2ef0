#include "grid/TitleTip.h"

#include "grid/GridCtrl.h"

namespace tabulon {

namespace {

bool Inside(const Rect& inclusive, Point p) {
    return p.x >= inclusive.left && p.x <= inclusive.right && p.y >= inclusive.top && p.y <= inclusive.bottom;
}

}  // namespace

CTitleTipWnd::CTitleTipWnd(CGridCtrl& grid) : m_grid(grid) {}

CTitleTipWnd::~CTitleTipWnd() = default;

bool CTitleTipWnd::IsVisible() const { return m_window && m_window->IsVisible(); }

void CTitleTipWnd::Show(const Rect& rect, const std::string& text, int textOffset, const Rect& hoverRect,
                        const LogFont* font) {
    if (rect.right < rect.left || rect.bottom < rect.top || IsVisible()) return;
    IGridWindow* window = m_grid.GetWindow();
    if (!window || !window->IsApplicationActive()) return;
    if (!m_window) m_window = window->CreateTitleTip(*this);
    if (!m_window) return;
    m_hoverRect = hoverRect;
    const LogFont shownFont = font ? *font : m_grid.GetFont();
    const std::string shown = " " + text + " ";
    const Size extent = m_window->MeasureText(shown, shownFont);
    const int width = extent.cx + m_window->GetFontOverhang(shownFont) + 2;
    const int cellWidth = rect.right - rect.left + 1;
    if (width <= cellWidth) return;
    const int left = rect.left + textOffset - 1;
    const int height = std::max(rect.bottom - rect.top + 1, extent.cy + 2);
    m_window->Show({left, rect.top, left + width, rect.top + height}, shown, shownFont);
}

void CTitleTipWnd::Hide() {
    if (m_window) m_window->Hide();
}

void CTitleTipWnd::OnTipKeyDown(unsigned key, unsigned modifiers) {
    Hide();
    m_grid.OnKeyDown(key, modifiers);
}

void CTitleTipWnd::OnTipMouseDown(MouseButton button, Point point, unsigned modifiers) {
    Hide();
    if (button != MouseButton::Left) return;
    // The grid lies under the tip; a second press soon after the first is a
    // double click there.
    const IGridWindow* window = m_grid.GetWindow();
    const long long now = window ? window->GetTickCount() : 0;
    const bool doubleClick = m_lastClick >= 0 && window && now - m_lastClick <= window->GetDoubleClickTime();
    m_lastClick = doubleClick ? -1 : now;
    if (doubleClick)
        m_grid.OnLButtonDblClk(point, modifiers);
    else
        m_grid.OnLButtonDown(point, modifiers);
}

void CTitleTipWnd::OnTipMouseUp(MouseButton button, Point point, unsigned modifiers) {
    if (button == MouseButton::Left)
        m_grid.OnLButtonUp(point, modifiers);
    else if (button == MouseButton::Right)
        m_grid.OnRButtonUp(point, modifiers);
}

void CTitleTipWnd::OnTipMouseMove(Point point, unsigned modifiers) {
    if (Inside(m_hoverRect, point)) return;
    Hide();
    m_grid.OnMouseMove(point, modifiers);
}

}  // namespace tabulon
