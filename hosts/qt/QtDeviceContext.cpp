#include "qt/QtDeviceContext.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPen>
#include <QPolygon>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "qt/QtFont.h"
#include "qt/QtText.h"

namespace tabulon::qt {

QColor QColorFromColour(Colour colour) {
    return QColor(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)), static_cast<int>(BlueOf(colour)));
}

Colour ColourFromQColor(const QColor& colour) {
    return MakeColour(static_cast<unsigned>(colour.red()), static_cast<unsigned>(colour.green()),
                      static_cast<unsigned>(colour.blue()));
}

QRect QRectFromRect(const Rect& rect) { return QRect(rect.left, rect.top, rect.Width(), rect.Height()); }

Rect RectFromQRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

CQtDeviceContext::CQtDeviceContext(QPainter& painter, const IDesktop& desktop)
    : m_painter(painter), m_desktop(desktop) {
    m_state.font = painter.font();
}

void CQtDeviceContext::SaveState() { m_saved.push_back(m_state); }

void CQtDeviceContext::RestoreState() {
    if (m_saved.empty()) return;
    m_state = std::move(m_saved.back());
    m_saved.pop_back();
}

void CQtDeviceContext::SelectFont(const LogFont& font) {
    // Cells select the same font again and again; making a QFont is the
    // expensive part, so an unchanged record keeps the font it has.
    if (m_state.logFont && *m_state.logFont == font) return;
    if (!m_made.logFont || !(*m_made.logFont == font)) {
        m_made.font = FontFromLogFont(font);
        m_made.logFont = font;
    }
    m_state.font = m_made.font;
    m_state.logFont = font;
}

void CQtDeviceContext::ApplyFont() {
    if (m_painter.font() != m_state.font) m_painter.setFont(m_state.font);
}

void CQtDeviceContext::Fill(int left, int top, int width, int height, const QColor& colour) {
    if (width <= 0 || height <= 0) return;
    m_painter.fillRect(QRect(left, top, width, height), colour);
}

void CQtDeviceContext::FillRect(const Rect& rect, Colour colour) {
    Fill(rect.left, rect.top, rect.Width(), rect.Height(), QColorFromColour(colour));
}

void CQtDeviceContext::FrameRect(const Rect& rect, Colour colour) {
    const QColor c = QColorFromColour(colour);
    const int w = rect.Width();
    const int h = rect.Height();
    if (w <= 0 || h <= 0) return;
    Fill(rect.left, rect.top, w, 1, c);
    Fill(rect.left, rect.bottom - 1, w, 1, c);
    Fill(rect.left, rect.top, 1, h, c);
    Fill(rect.right - 1, rect.top, 1, h, c);
}

void CQtDeviceContext::DrawLine(Point from, Point to, Colour colour) {
    const QColor c = QColorFromColour(colour);
    if (from.x == to.x || from.y == to.y) {
        // Straight lines as fills: exact pixels, both ends included.
        const int left = std::min(from.x, to.x);
        const int top = std::min(from.y, to.y);
        Fill(left, top, std::max(from.x, to.x) - left + 1, std::max(from.y, to.y) - top + 1, c);
        return;
    }
    const bool antialiased = m_painter.testRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(QPen(c, 0));
    m_painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
    m_painter.drawPoint(QPoint(from.x, from.y));
    m_painter.drawPoint(QPoint(to.x, to.y));
    m_painter.setRenderHint(QPainter::Antialiasing, antialiased);
}

void CQtDeviceContext::FillPolygon(const std::vector<Point>& points, Colour colour) {
    if (points.size() < 3) return;
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& p : points) polygon << QPoint(p.x, p.y);
    const QColor c = QColorFromColour(colour);
    const bool antialiased = m_painter.testRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(QPen(c, 0));
    m_painter.setBrush(c);
    m_painter.drawPolygon(polygon);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.setRenderHint(QPainter::Antialiasing, antialiased);
}

namespace {

struct Ring {
    QColor topLeft;
    QColor bottomRight;
};

}  // namespace

void CQtDeviceContext::DrawEdge(const Rect& rect, EdgeStyle style) {
    // Each ring is one pixel wide: its light side runs along the top and the
    // left, its dark side along the bottom and the right and takes the two
    // corners where they meet.
    const auto ring = [&](int inset, const Ring& colours) {
        const int left = rect.left + inset;
        const int top = rect.top + inset;
        const int w = rect.Width() - 2 * inset;
        const int h = rect.Height() - 2 * inset;
        if (w <= 0 || h <= 0) return;
        Fill(left, top, w - 1, 1, colours.topLeft);
        Fill(left, top, 1, h - 1, colours.topLeft);
        Fill(left, top + h - 1, w, 1, colours.bottomRight);
        Fill(left + w - 1, top, 1, h, colours.bottomRight);
    };
    const auto sys = [&](SysColour which) { return QColorFromColour(m_desktop.GetSysColour(which)); };
    switch (style) {
    case EdgeStyle::Raised:
        ring(0, {sys(SysColour::ButtonFace), sys(SysColour::DarkShadow3D)});
        ring(1, {sys(SysColour::Highlight3D), sys(SysColour::Shadow3D)});
        break;
    case EdgeStyle::SunkenInner: ring(0, {sys(SysColour::Shadow3D), sys(SysColour::Highlight3D)}); break;
    }
}

void CQtDeviceContext::DrawCheckBox(const Rect& rect, bool checked) {
    // A square box centred in the rectangle, sunk into it by a two-pixel
    // edge, white inside, with the classic check mark scaled to its size.
    const int side = std::min(rect.Width(), rect.Height());
    if (side < 6) return;
    const int x = rect.left + (rect.Width() - side) / 2;
    const int y = rect.top + (rect.Height() - side) / 2;
    const auto sys = [&](SysColour which) { return QColorFromColour(m_desktop.GetSysColour(which)); };
    const Rect box{x, y, x + side, y + side};
    const auto ring = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        const int l = box.left + inset;
        const int t = box.top + inset;
        const int s = side - 2 * inset;
        Fill(l, t, s - 1, 1, topLeft);
        Fill(l, t, 1, s - 1, topLeft);
        Fill(l, t + s - 1, s, 1, bottomRight);
        Fill(l + s - 1, t, 1, s, bottomRight);
    };
    ring(0, sys(SysColour::Shadow3D), sys(SysColour::Highlight3D));
    ring(1, sys(SysColour::DarkShadow3D), sys(SysColour::ButtonFace));
    const int inner = side - 4;
    Fill(x + 2, y + 2, inner, inner, sys(SysColour::Window));
    if (!checked) return;

    const int scale = std::max(1, (inner - 2) / 7);
    const int size = 7 * scale;
    if (size > inner) return;
    const int mx = x + 2 + (inner - size) / 2;
    const int my = y + 2 + (inner - size) / 2;
    const QColor mark = sys(SysColour::WindowText);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
            if (kCheckMarkPixels[row][col] == 'X') Fill(mx + col * scale, my + row * scale, scale, scale, mark);
}

int CQtDeviceContext::DrawText(std::string_view bytes, Rect& rect, TextFormats format) {
    QString text = TextFromBytes(bytes);
    const QFontMetrics metrics(m_state.font, m_painter.device());
    const bool singleLine = static_cast<bool>(format & TextFormat::kSingleLine);
    const bool wordBreak = !singleLine && (format & TextFormat::kWordBreak);
    if (singleLine) {
        // One line whatever the text holds: line ends show as blanks.
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }

    int flags = 0;
    if (singleLine) flags |= Qt::TextSingleLine;
    if (wordBreak) flags |= Qt::TextWordWrap;
    if (format & TextFormat::kExpandTabs) flags |= Qt::TextExpandTabs;
    if (format & TextFormat::kHidePrefix)
        flags |= Qt::TextHideMnemonic;
    else if (!(format & TextFormat::kNoPrefix))
        flags |= Qt::TextShowMnemonic;

    if (format & TextFormat::kCalcRect) {
        // Measures only: the rectangle takes the text's width and height;
        // with word breaks the lines wrap at its present width.
        if (text.isEmpty()) {
            rect.right = rect.left;
            rect.bottom = rect.top + metrics.height();
            return metrics.height();
        }
        const int width = wordBreak ? std::max(rect.Width(), 1) : INT_MAX / 4;
        const QRect bounds = metrics.boundingRect(QRect(0, 0, width, 0), flags | Qt::AlignLeft | Qt::AlignTop, text);
        rect.right = rect.left + bounds.width();
        rect.bottom = rect.top + bounds.height();
        return bounds.height();
    }

    const int width = rect.Width();
    const int height = rect.Height();
    const bool clip = !(format & TextFormat::kNoClip);
    if (clip && (width <= 0 || height <= 0)) return 0;
    if ((format & TextFormat::kEndEllipsis) && !wordBreak) {
        if (singleLine) {
            text = metrics.elidedText(text, Qt::ElideRight, std::max(width, 0), flags);
        } else {
            QStringList lines = text.split(QLatin1Char('\n'));
            for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideRight, std::max(width, 0), flags);
            text = lines.join(QLatin1Char('\n'));
        }
    }
    if (format & TextFormat::kRight)
        flags |= Qt::AlignRight;
    else if (format & TextFormat::kCenter)
        flags |= Qt::AlignHCenter;
    else
        flags |= Qt::AlignLeft;
    // Vertical placement applies to single lines only; others start at the top.
    if (singleLine && (format & TextFormat::kBottom))
        flags |= Qt::AlignBottom;
    else if (singleLine && (format & TextFormat::kVCenter))
        flags |= Qt::AlignVCenter;
    else
        flags |= Qt::AlignTop;
    if (!clip) flags |= Qt::TextDontClip;

    ApplyFont();
    m_painter.setPen(QPen(QColorFromColour(m_state.textColour), 0));
    QRect drawn;
    m_painter.drawText(QRectFromRect(rect), flags, text, &drawn);
    return drawn.height();
}

Size CQtDeviceContext::GetTextExtent(std::string_view bytes) {
    const QFontMetrics metrics(m_state.font, m_painter.device());
    return {metrics.horizontalAdvance(TextFromBytes(bytes)), metrics.height()};
}

namespace {

// Whether Qt lays out ch from its own advance and the kerning with its
// neighbours alone. Qt gives the Latin and the common characters (digits,
// punctuation, symbols, blanks) one font for the whole line, with the same
// fallbacks for what it lacks; a character of any other script may take
// another font, and its neighbours with it. Marks, controls, format and
// separator characters, and everything beyond the basic plane, join or
// break their neighbours. The line's width is then the sum of its advances,
// each pair kerned, rounded (QFontMetrics::horizontalAdvance).
bool IsLaidOutAlone(char32_t ch) {
    if (ch >= 0x10000 || ch == QChar::ObjectReplacementCharacter) return false;
    const QChar c(static_cast<char16_t>(ch));
    if (c.script() != QChar::Script_Common && c.script() != QChar::Script_Latin) return false;
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return false;
    default: return true;
    }
}

}  // namespace

std::optional<double> CQtDeviceContext::GetCharsAdvance(std::u32string_view chars) {
    QString text;
    for (char32_t ch : chars) {
        if (!IsLaidOutAlone(ch)) return std::nullopt;
        text.append(QChar(static_cast<char16_t>(ch)));
    }
    return QFontMetricsF(m_state.font, m_painter.device()).horizontalAdvance(text);
}

namespace {

// The glyphs Qt draws text with, each with its font, as one line.
std::vector<std::pair<QRawFont, quint32>> ShapedGlyphs(const QString& text, const QFont& font, QPaintDevice* device) {
    QTextLayout layout(text, font, device);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) line.setLineWidth(1e6);
    layout.endLayout();
    std::vector<std::pair<QRawFont, quint32>> glyphs;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        for (quint32 glyph : run.glyphIndexes()) glyphs.emplace_back(raw, glyph);
    }
    return glyphs;
}

}  // namespace

bool CQtDeviceContext::PairKeepsGlyphs(char32_t first, char32_t second) {
    if (!IsLaidOutAlone(first) || !IsLaidOutAlone(second)) return false;
    const QString one(QChar(static_cast<char16_t>(first)));
    const QString two(QChar(static_cast<char16_t>(second)));
    QPaintDevice* device = m_painter.device();
    std::vector<std::pair<QRawFont, quint32>> apart = ShapedGlyphs(one, m_state.font, device);
    const std::vector<std::pair<QRawFont, quint32>> after = ShapedGlyphs(two, m_state.font, device);
    apart.insert(apart.end(), after.begin(), after.end());
    return !apart.empty() && ShapedGlyphs(one + two, m_state.font, device) == apart;
}

void CQtDeviceContext::DrawBitmap(const Bitmap& bitmap, Point at) {
    const int scale = std::max(1, bitmap.scale);
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() < static_cast<std::size_t>(bitmap.width) * bitmap.height)
        return;
    // The pixels are 0xAARRGGBB, which is the image's own layout.
    const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                       bitmap.width * 4, QImage::Format_ARGB32);
    m_painter.drawImage(QRect(at.x, at.y, bitmap.width / scale, bitmap.height / scale), image);
}

namespace detail {

MeasuringSurface::MeasuringSurface() : image(16, 16, QImage::Format_ARGB32_Premultiplied), painter(&image) {}

}  // namespace detail

}  // namespace tabulon::qt
