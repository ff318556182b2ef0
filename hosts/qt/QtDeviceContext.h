#pragma once
// The system's drawing calls on a QPainter. Rectangles of fills, frames,
// edges and the check box exclude their right and bottom edge; lines include
// both ends. The 3-D edges take their colours from the desktop.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <optional>
#include <vector>

#include "platform/Desktop.h"
#include "platform/DeviceContext.h"

namespace tabulon::qt {

QColor QColorFromColour(Colour colour);
Colour ColourFromQColor(const QColor& colour);
// A rectangle whose right and bottom are one past its last pixel.
QRect QRectFromRect(const Rect& rect);
Rect RectFromQRect(const QRect& rect);

class CQtDeviceContext : public IDeviceContext {
public:
    // The painter must stay active while this context is used.
    CQtDeviceContext(QPainter& painter, const IDesktop& desktop);

    void SaveState() override;
    void RestoreState() override;

    void SetTransparentBackground() override {}
    void SetTextColour(Colour colour) override { m_state.textColour = colour; }
    void SelectFont(const LogFont& font) override;

    void FillRect(const Rect& rect, Colour colour) override;
    void FrameRect(const Rect& rect, Colour colour) override;
    void DrawLine(Point from, Point to, Colour colour) override;
    void DrawEdge(const Rect& rect, EdgeStyle style) override;
    void FillPolygon(const std::vector<Point>& points, Colour colour) override;
    void DrawCheckBox(const Rect& rect, bool checked) override;

    int DrawText(std::string_view text, Rect& rect, TextFormats format) override;
    Size GetTextExtent(std::string_view text) override;
    int GetFontOverhang() override { return 0; }
    std::optional<double> GetCharsAdvance(std::u32string_view chars) override;
    bool PairKeepsGlyphs(char32_t first, char32_t second) override;
    void DrawBitmap(const Bitmap& bitmap, Point at) override;

    Colour GetTextColour() const { return m_state.textColour; }
    const QFont& GetFont() const { return m_state.font; }

private:
    struct State {
        Colour textColour = 0;
        QFont font;
        std::optional<LogFont> logFont;  // what font was made from, when selected
    };
    void Fill(int left, int top, int width, int height, const QColor& colour);
    void ApplyFont();

    QPainter& m_painter;
    const IDesktop& m_desktop;
    State m_state;
    std::vector<State> m_saved;
    // The font made last, kept past RestoreState: cells save the state,
    // select their font and restore it, and the same QFont object again
    // spares making the font and finding its glyphs for every cell.
    State m_made;
    bool m_fontApplied = false;
};

namespace detail {
// Comes before the context among its bases, so the painter exists first.
struct MeasuringSurface {
    MeasuringSurface();
    QImage image;
    QPainter painter;
};
}  // namespace detail

// A context on a small off-screen image: for measuring text where no window
// is at hand. What is drawn on it is thrown away.
class CQtMeasuringContext final : private detail::MeasuringSurface, public CQtDeviceContext {
public:
    explicit CQtMeasuringContext(const IDesktop& desktop) : MeasuringSurface(), CQtDeviceContext(painter, desktop) {}
};

}  // namespace tabulon::qt
