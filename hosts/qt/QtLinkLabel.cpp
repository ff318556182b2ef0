#include "qt/QtLinkLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>

#include "qt/QtText.h"

namespace tabulon::qt {

namespace {

// The label as a screen reader meets it: a link, named by its text and
// described by its target, that opens when pressed.
class CLinkLabelAccessible final : public QAccessibleWidget {
public:
    explicit CLinkLabelAccessible(CQtLinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        const QLabel* label = static_cast<QLabel*>(widget());
        if (t == QAccessible::Name && label->accessibleName().isEmpty()) return label->text();
        if (t == QAccessible::Description && label->accessibleDescription().isEmpty()) return label->toolTip();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& name) override {
        if (name != pressAction()) return QAccessibleWidget::doAction(name);
        // Opened once the reader has its answer: opening may ask a question
        // of its own, which would keep the reader waiting.
        auto* label = static_cast<CQtLinkLabel*>(widget());
        QMetaObject::invokeMethod(
            label, [label] { label->Link().OnClick(); }, Qt::QueuedConnection);
    }
};

QAccessibleInterface* LinkLabelFactory(const QString&, QObject* object) {
    if (auto* label = dynamic_cast<CQtLinkLabel*>(object)) return new CLinkLabelAccessible(label);
    return nullptr;
}

}  // namespace

CQtLinkLabel::CQtLinkLabel(IShell& shell, IMessageBox& messages, QWidget* parent)
    : QLabel(parent), m_link(shell, messages) {
    static const bool factory = (QAccessible::installFactory(&LinkLabelFactory), true);
    (void)factory;
    setTextFormat(Qt::PlainText);
    // Reachable from the keyboard too: Tab to it, Return or Space opens it.
    setFocusPolicy(Qt::TabFocus);
}

std::string CQtLinkLabel::GetText() const { return Utf8FromText(text()); }

void CQtLinkLabel::SetText(const std::string& text) { setText(TextFromBytes(text)); }

LabelAlign CQtLinkLabel::Alignment() const {
    if (alignment() & Qt::AlignHCenter) return LabelAlign::Centre;
    if (alignment() & Qt::AlignRight) return LabelAlign::Right;
    return LabelAlign::Left;
}

bool CQtLinkLabel::CentredVertically() const { return (alignment() & Qt::AlignVCenter) != 0; }

Rect CQtLinkLabel::GetRect() const {
    const QRect r = geometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CQtLinkLabel::SetRect(const Rect& rect) { setGeometry(rect.left, rect.top, rect.Width(), rect.Height()); }

Size CQtLinkLabel::TextExtent(const std::string& text) const {
    const QFontMetrics metrics(font());
    const QMargins margins = contentsMargins();
    return {metrics.horizontalAdvance(TextFromBytes(text)) + margins.left() + margins.right() + 2 * margin(),
            metrics.height() + margins.top() + margins.bottom() + 2 * margin()};
}

void CQtLinkLabel::SetUnderline(bool underline) {
    QFont underlined = font();
    underlined.setUnderline(underline);
    setFont(underlined);
}

void CQtLinkLabel::SetTextColour(Colour colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
    setPalette(colours);
    setAutoFillBackground(false);  // the parent's background shows through
}

bool CQtLinkLabel::ShowHandCursor() {
    setCursor(Qt::PointingHandCursor);
    return true;
}

void CQtLinkLabel::SetToolTip(const std::string& text) { setToolTip(TextFromBytes(text)); }

void CQtLinkLabel::Beep() { QApplication::beep(); }

void CQtLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) m_link.OnClick();
}

void CQtLinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        m_link.OnClick();
        return;
    }
    QLabel::keyPressEvent(event);
}

void CQtLinkLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    m_link.OnMouseOver(true);
}

void CQtLinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    m_link.OnMouseOver(false);
}

}  // namespace tabulon::qt
