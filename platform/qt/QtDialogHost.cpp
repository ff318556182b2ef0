#include "qt/QtDialogHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>

#include "qt/QtText.h"
#include "qt/QtTreeControl.h"

namespace tabulon::qt {

namespace {

// The small buttons' pictures, drawn at the size asked for.
QIcon ButtonIcon(const std::string& name, int size) {
    QPixmap pixmap(size * 2, size * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    if (name == "br") {
        // An open folder.
        p.setPen(QPen(QColor(0x8A, 0x6A, 0x1E), 1.0));
        p.setBrush(QColor(0xE8, 0xC0, 0x5A));
        QPainterPath back;
        back.moveTo(s * 0.1, s * 0.25);
        back.lineTo(s * 0.4, s * 0.25);
        back.lineTo(s * 0.5, s * 0.35);
        back.lineTo(s * 0.9, s * 0.35);
        back.lineTo(s * 0.9, s * 0.85);
        back.lineTo(s * 0.1, s * 0.85);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(0xF6, 0xD8, 0x80));
        QPainterPath front;
        front.moveTo(s * 0.1, s * 0.85);
        front.lineTo(s * 0.25, s * 0.5);
        front.lineTo(s * 0.98, s * 0.5);
        front.lineTo(s * 0.88, s * 0.85);
        front.closeSubpath();
        p.drawPath(front);
    } else if (name == "ed") {
        // A sheet with a pencil.
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s * 0.15, s * 0.1, s * 0.55, s * 0.8));
        p.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 1.0));
        for (double y : {0.3, 0.45, 0.6}) p.drawLine(QPointF(s * 0.25, s * y), QPointF(s * 0.55, s * y));
        p.setPen(QPen(QColor(0x20, 0x40, 0x90), s * 0.16, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.88, s * 0.22), QPointF(s * 0.45, s * 0.78));
    } else {
        // Three colour drops.
        const QColor colours[] = {QColor(0xE0, 0x30, 0x30), QColor(0x30, 0xA0, 0x30), QColor(0x30, 0x50, 0xE0)};
        const QPointF centres[] = {{s * 0.35, s * 0.35}, {s * 0.65, s * 0.35}, {s * 0.5, s * 0.65}};
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 0.8));
        for (int i = 0; i < 3; ++i) {
            p.setBrush(colours[i]);
            p.drawEllipse(centres[i], s * 0.22, s * 0.22);
        }
    }
    p.end();
    return QIcon(pixmap);
}

QString Shown(const std::string& bytes) { return TextFromBytes(bytes); }

}  // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the letters, as the classic desktop measures it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = metrics.horizontalAdvance(letters);
    return {(width / 26 + 1) / 2, metrics.height()};
}

QRect PixelsFromUnits(const Rect& units, DialogBaseUnits base) {
    auto x = [&](int u) { return (u * base.x + 2) / 4; };
    auto y = [&](int u) { return (u * base.y + 4) / 8; };
    return QRect(QPoint(x(units.left), y(units.top)), QPoint(x(units.right) - 1, y(units.bottom) - 1));
}

CQtDialog::CQtDialog(const DialogTemplate& dialog, IDialogEvents& events, QWidget* parent)
    : QDialog(parent), m_events(events) {
    setWindowTitle(Shown(dialog.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (dialog.hasCloseBox) flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    // The template's face is the classic desktop's; here the desktop's own
    // dialog font stands in for it, at its own size.
    setFont(QApplication::font("QDialog"));
    Build(dialog);
}

// The desktop's font is wider than the one the tables were laid out in, so
// the horizontal unit grows until every label, check box and button text
// fits its place; the layout keeps its proportions.
DialogBaseUnits FittingBaseUnits(const DialogTemplate& dialog, const QFont& font) {
    DialogBaseUnits base = BaseUnitsOf(font);
    const QFontMetrics metrics(font);
    const int limit = base.x * 2;
    for (const DialogControl& c : dialog.controls) {
        int room = 0;  // pixels around the text
        switch (c.kind) {
        case ControlKind::Label: room = 2; break;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton: room = 24; break;
        case ControlKind::Button:
        case ControlKind::DefaultButton: room = c.style & ControlStyle::kIcon ? -1 : 12; break;
        default: room = -1; break;
        }
        const int units = c.units.Width();
        if (room < 0 || units <= 0 || c.text.empty()) continue;
        const int needed = metrics.horizontalAdvance(Shown(c.text)) + room;
        base.x = std::min(limit, std::max(base.x, (needed * 4 + units - 1) / units));
    }
    return base;
}

void CQtDialog::Build(const DialogTemplate& dialog) {
    const DialogBaseUnits base = FittingBaseUnits(dialog, font());
    m_base = base;
    setFixedSize(PixelsFromUnits(Rect{0, 0, dialog.units.cx, dialog.units.cy}, base).size());
    namespace S = ControlStyle;
    for (const DialogControl& c : dialog.controls) {
        QRect place = PixelsFromUnits(c.units, base);
        QWidget* widget = nullptr;
        const int id = c.id;
        switch (c.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(Shown(c.text), this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment((c.style & S::kRightAlign ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            widget = label;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(c.style & S::kReadOnly);
            if (edit->isReadOnly()) {
                // Read-only boxes look it: the window's colour, not the page's.
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Base, palette.color(QPalette::Window));
                edit->setPalette(palette);
            }
            if (c.style & S::kPassword) edit->setEchoMode(QLineEdit::Password);
            if (c.style & S::kRightAlign) edit->setAlignment(Qt::AlignRight);
            connect(edit, &QLineEdit::textEdited, this, [this, id] { m_events.OnEditChange(*this, id); });
            widget = edit;
            break;
        }
        case ControlKind::Button:
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(this);
            if (c.style & S::kIcon) {
                const int side = std::min(place.width(), place.height()) - 4;
                button->setIcon(ButtonIcon(c.text, std::max(side, 8)));
                button->setIconSize(QSize(side, side));
                button->setToolTip(c.text == "br" ? "Browse" : c.text == "ed" ? "Edit" : "Pick a color");
                button->setFlat(false);
                button->setFocusPolicy(Qt::TabFocus);
            } else {
                button->setText(Shown(c.text));
            }
            // Return presses a button that has the focus, else the default one.
            button->setAutoDefault(true);
            button->setDefault(c.kind == ControlKind::DefaultButton);
            connect(button, &QPushButton::clicked, this, [this, id] { m_events.OnCommand(*this, id); });
            widget = button;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(Shown(c.text), this);
            place.setHeight(std::max(place.height(), box->sizeHint().height()));
            place.moveTop(place.top() - (place.height() - PixelsFromUnits(c.units, base).height()) / 2);
            connect(box, &QCheckBox::clicked, this, [this, id] { m_events.OnCommand(*this, id); });
            widget = box;
            break;
        }
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton(Shown(c.text), this);
            place.setHeight(std::max(place.height(), radio->sizeHint().height()));
            place.moveTop(place.top() - (place.height() - PixelsFromUnits(c.units, base).height()) / 2);
            if (!m_radioGroup || (c.style & S::kGroup)) m_radioGroup = new QButtonGroup(this);
            m_radioGroup->addButton(radio);
            connect(radio, &QRadioButton::clicked, this, [this, id] { m_events.OnCommand(*this, id); });
            widget = radio;
            break;
        }
        case ControlKind::TreeView: {
            widget = new CQtTreeControl(this, [this, id](const TreeNotify& notify) {
                return m_events.OnTreeNotify(*this, id, notify);
            });
            break;
        }
        case ControlKind::GroupBox: {
            auto* group = new QGroupBox(Shown(c.text), this);
            group->setFocusPolicy(Qt::NoFocus);
            widget = group;
            break;
        }
        case ControlKind::ColourSwatch: {
            auto* swatch = new QLabel(this);
            swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
            swatch->setAutoFillBackground(true);
            widget = swatch;
            break;
        }
        case ControlKind::DropDownList: {
            auto* combo = new QComboBox(this);
            for (const QString& entry : Shown(c.text).split('\n')) combo->addItem(entry);
            // The template's height is that of the opened list.
            place.setHeight(PixelsFromUnits(Rect{0, 0, 0, 12}, base).height());
            place.setHeight(std::max(place.height(), combo->sizeHint().height()));
            connect(combo, &QComboBox::activated, this, [this, id] { m_events.OnCommand(*this, id); });
            widget = combo;
            break;
        }
        }
        if (!widget) continue;
        widget->setGeometry(place);
        if (c.style & S::kDisabled) widget->setEnabled(false);
        if (id >= 0) {
            widget->setObjectName(QStringLiteral("control%1").arg(id));
            m_controls[id] = widget;
        }
    }
    // The group boxes go behind what they frame.
    for (QGroupBox* group : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) group->lower();
}

QWidget* CQtDialog::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second.data();
}

void CQtDialog::SetControlText(int id, const std::string& text) {
    QWidget* w = Control(id);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        bool ok = false;
        const int index = QString::fromStdString(text).toInt(&ok);
        combo->setCurrentIndex(ok && index < combo->count() ? index : -1);
        return;
    }
    const QString shown = Shown(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(shown);
        edit->setCursorPosition(0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(shown);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->frameStyle() & QFrame::Box) {
            label->setStyleSheet(QStringLiteral("background-color: #%1;").arg(shown));
        } else {
            label->setText(shown);
        }
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(shown);
    } else {
        return;
    }
    m_setTexts[id] = {text, shown};
}

std::string CQtDialog::GetControlText(int id) const {
    QWidget* w = Control(id);
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(w)) return std::to_string(combo->currentIndex());
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        text = edit->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        text = button->text();
    else if (auto* label = qobject_cast<QLabel*>(w))
        text = label->text();
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        text = group->title();
    else
        return {};
    auto set = m_setTexts.find(id);
    if (set != m_setTexts.end() && set->second.second == text) return set->second.first;
    return Utf8FromText(text);
}

void CQtDialog::SetCheck(int id, bool checked) {
    auto* box = qobject_cast<QAbstractButton*>(Control(id));
    if (!box) return;
    QButtonGroup* group = box->group();
    // A group of radio buttons may be left with none set.
    if (group && !checked && box->isChecked()) {
        group->setExclusive(false);
        box->setChecked(false);
        group->setExclusive(true);
        return;
    }
    box->setChecked(checked);
}

bool CQtDialog::GetCheck(int id) const {
    auto* box = qobject_cast<QAbstractButton*>(Control(id));
    return box && box->isChecked();
}

void CQtDialog::EnableControl(int id, bool enable) {
    if (QWidget* w = Control(id)) w->setEnabled(enable);
}

bool CQtDialog::IsControlEnabled(int id) const {
    QWidget* w = Control(id);
    return w && w->isEnabled();
}

void CQtDialog::SetFocus(int id) {
    if (QWidget* w = Control(id)) w->setFocus(Qt::OtherFocusReason);
}

void CQtDialog::SelectAll(int id) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) edit->selectAll();
}

void CQtDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    done(result);
}

ITreeControl* CQtDialog::TreeControl(int id) { return qobject_cast<CQtTreeControl*>(Control(id)); }

void CQtDialog::reject() {
    m_events.OnCommand(*this, DialogId::kCancel);
}

int CQtDialogHost::RunModal(const DialogTemplate& dialog, IDialogEvents& events) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = m_parent ? m_parent : QApplication::activeWindow();
    CQtDialog window(dialog, events, parent);
    m_current = &window;
    events.OnInitDialog(window);
    if (!window.Ended()) window.exec();
    m_current = nullptr;
    return window.Result();
}

}  // namespace tabulon::qt
