#include "qt/QtFont.h"

#include <QApplication>
#include <QFontInfo>

#include <algorithm>

#include "qt/QtText.h"

namespace tabulon::qt {

QFont FontFromLogFont(const LogFont& logFont) {
    QFont font = QApplication::font();
    if (!logFont.faceName.empty()) font.setFamily(TextFromBytes(logFont.faceName));
    const int height = logFont.height < 0 ? -logFont.height : logFont.height;
    font.setPixelSize(height > 0 ? height : QFontInfo(QApplication::font()).pixelSize());
    // Logical weights and Qt's share their scale: 400 normal, 700 bold.
    const int weight = logFont.weight <= 0 ? 400 : std::clamp(logFont.weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(logFont.italic);
    font.setUnderline(logFont.underline);
    font.setStrikeOut(logFont.strikeOut);
    return font;
}

LogFont LogFontFromFont(const QFont& font) {
    LogFont logFont;
    logFont.height = -QFontInfo(font).pixelSize();
    logFont.weight = font.weight();
    logFont.italic = font.italic();
    logFont.underline = font.underline();
    logFont.strikeOut = font.strikeOut();
    logFont.faceName = Utf8FromText(font.family());
    return logFont;
}

}  // namespace tabulon::qt
