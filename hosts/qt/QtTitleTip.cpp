#include "qt/QtTitleTip.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <optional>

#include "platform/Keys.h"
#include "qt/QtDeviceContext.h"
#include "qt/QtFont.h"
#include "qt/QtKeys.h"
#include "qt/QtText.h"

namespace tabulon::qt {

namespace {

std::optional<MouseButton> ButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return std::nullopt;
    }
}

}  // namespace

CQtTitleTipWidget::CQtTitleTipWidget(QWidget* owner, QWidget* viewport, ITitleTipEvents& events)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), m_viewport(viewport), m_events(events) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void CQtTitleTipWidget::SetContent(const QString& text, const QFont& font) {
    m_text = text;
    m_textFont = font;
    update();
}

void CQtTitleTipWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::ToolTipBase));
    painter.setPen(pal.color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(m_textFont);
    painter.drawText(rect().adjusted(1, 1, -1, -1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

Point CQtTitleTipWidget::InViewport(const QMouseEvent* event) const {
    const QPoint global = event->globalPosition().toPoint();
    const QPoint local = m_viewport ? m_viewport->mapFromGlobal(global) : global;
    return {local.x(), local.y()};
}

void CQtTitleTipWidget::mousePressEvent(QMouseEvent* event) {
    if (const auto button = ButtonOf(event->button()))
        m_events.OnTipMouseDown(*button, InViewport(event), ModifiersFromQt(event->modifiers(), event->buttons()));
    event->accept();
}

void CQtTitleTipWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The logic tells double clicks by their timing itself.
    mousePressEvent(event);
}

void CQtTitleTipWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (const auto button = ButtonOf(event->button()))
        m_events.OnTipMouseUp(*button, InViewport(event), ModifiersFromQt(event->modifiers(), event->buttons()));
    event->accept();
}

void CQtTitleTipWidget::mouseMoveEvent(QMouseEvent* event) {
    m_events.OnTipMouseMove(InViewport(event), ModifiersFromQt(event->modifiers(), event->buttons()));
    event->accept();
}

void CQtTitleTipWidget::keyPressEvent(QKeyEvent* event) {
    m_events.OnTipKeyDown(KeyFromQt(event->key()), ModifiersFromQt(event->modifiers()));
    event->accept();
}

void CQtTitleTipWidget::wheelEvent(QWheelEvent* event) {
    if (m_wheel) m_wheel(event);
    event->accept();
}

CQtTitleTip::CQtTitleTip(QWidget* owner, QWidget* viewport, ITitleTipEvents& events)
    : m_viewport(viewport), m_widget(new CQtTitleTipWidget(owner, viewport, events)) {}

CQtTitleTip::~CQtTitleTip() {
    if (!m_widget) return;
    Hide();
    m_widget->deleteLater();
}

void CQtTitleTip::Show(const Rect& rect, const std::string& text, const LogFont& font) {
    if (!m_widget || !m_viewport || rect.Width() <= 0 || rect.Height() <= 0) return;
    const QPoint topLeft = m_viewport->mapToGlobal(QPoint(rect.left, rect.top));
    m_widget->SetContent(TextFromBytes(text), FontFromLogFont(font));
    m_widget->setGeometry(QRect(topLeft, QSize(rect.Width(), rect.Height())));
    m_widget->show();
    m_widget->raise();
    // Every move comes to the tip while it is up, wherever the mouse goes,
    // so that it can go away once the mouse leaves the cell.
    m_widget->grabMouse();
}

void CQtTitleTip::Hide() {
    if (!m_widget) return;
    if (QWidget::mouseGrabber() == m_widget) m_widget->releaseMouse();
    m_widget->hide();
}

bool CQtTitleTip::IsVisible() const { return m_widget && m_widget->isVisible(); }

Size CQtTitleTip::MeasureText(const std::string& text, const LogFont& font) const {
    const QFontMetrics metrics(FontFromLogFont(font));
    return {metrics.horizontalAdvance(TextFromBytes(text)), metrics.height()};
}

}  // namespace tabulon::qt
