#include "qt/QtDesktop.h"

#include <QApplication>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <cstdio>
#include <new>

#include "base/ProgramName.h"
#include "qt/QtDeviceContext.h"
#include "qt/QtFont.h"

namespace tabulon::qt {

Colour CQtDesktop::GetSysColour(SysColour which) const {
    const QPalette palette = QApplication::palette();
    const auto role = [&]() {
        switch (which) {
        case SysColour::WindowText: return QPalette::Text;
        case SysColour::Window: return QPalette::Base;
        case SysColour::ButtonFace: return QPalette::Button;
        case SysColour::ButtonShadow: return QPalette::Mid;
        case SysColour::Highlight: return QPalette::Highlight;
        case SysColour::HighlightText: return QPalette::HighlightedText;
        case SysColour::Highlight3D: return QPalette::Light;
        case SysColour::DarkShadow3D: return QPalette::Dark;
        case SysColour::Shadow3D: return QPalette::Mid;
        }
        return QPalette::Text;
    }();
    return ColourFromQColor(palette.color(QPalette::Active, role));
}

namespace {

// How much room a scroll bar takes from a scroll area's viewport: what a
// real bar asks for in the present style, found once per style.
int ScrollBarThickness(Qt::Orientation orientation) {
    static QPointer<QStyle> measuredStyle;
    static int thickness[2] = {0, 0};
    QStyle* style = QApplication::style();
    if (style != measuredStyle) {
        const QScrollBar horizontal(Qt::Horizontal);
        const QScrollBar vertical(Qt::Vertical);
        thickness[0] = horizontal.sizeHint().height();
        thickness[1] = vertical.sizeHint().width();
        if (style && style->styleHint(QStyle::SH_ScrollView_FrameOnlyAroundContents)) {
            const int spacing = style->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing);
            thickness[0] += spacing;
            thickness[1] += spacing;
        }
        measuredStyle = style;
    }
    return thickness[orientation == Qt::Horizontal ? 0 : 1];
}

}  // namespace

int CQtDesktop::GetSystemMetric(SysMetric which) const {
    switch (which) {
    case SysMetric::MenuCheckHeight: {
        // The cell adds two pixels around the box.
        QStyle* style = QApplication::style();
        return style ? style->pixelMetric(QStyle::PM_IndicatorHeight) : 13;
    }
    case SysMetric::VScrollWidth: return ScrollBarThickness(Qt::Vertical);
    case SysMetric::HScrollHeight: return ScrollBarThickness(Qt::Horizontal);
    // A scroll bar in a Qt scroll area takes exactly its own thickness, with
    // no border beside it; counting one would make the grid's sums of the
    // area without bars come out a pixel wrong.
    case SysMetric::BorderWidth:
    case SysMetric::BorderHeight: return 0;
    }
    return 0;
}

LogFont CQtDesktop::GetMessageFont() const { return LogFontFromFont(QApplication::font()); }

std::unique_ptr<IDeviceContext> CQtDesktop::CreateScreenContext() {
    return std::make_unique<CQtMeasuringContext>(*this);
}

int CQtDesktop::GetWheelScrollLines() const { return QApplication::wheelScrollLines(); }

void CQtDesktop::ShowOutOfMemory() {
    // The message box needs memory too; when even that fails, standard error
    // still says what happened.
    try {
        QMessageBox::critical(QApplication::activeWindow(), QString::fromLatin1(kProgramName),
                              QStringLiteral("Out of memory."));
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: Out of memory.\n", kProgramName);
    }
}

}  // namespace tabulon::qt
