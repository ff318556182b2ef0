#include "qt/QtDialogHost.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include "qt/QtAsking.h"
#include "qt/QtGridWidget.h"
#include "qt/QtText.h"
#include "qt/QtTreeControl.h"

// Resources of a static library have to be brought in by name, outside any
// namespace.
static void LoadDialogIconResources() { Q_INIT_RESOURCE(icons); }

namespace tabulon::qt {

namespace {

// ---- Pictures of the tool windows' buttons ----
// The program's own pictures under resources/icons, by the name the control
// table gives; a null icon for any other name.
QIcon ResourceIcon(const std::string& name) {
    LoadDialogIconResources();
    const QString path = QStringLiteral(":/icons/%1.png").arg(QString::fromStdString(name));
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

// The pictures of its own are drawn in black on nothing; on a dark button (a
// dark scheme) they take the button's text colour, or they would not be seen.
QIcon OnButton(const QIcon& icon, const QPalette& palette) {
    const QColor text = palette.color(QPalette::ButtonText);
    if (icon.isNull() || text.lightness() <= palette.color(QPalette::Button).lightness()) return icon;
    QImage image = icon.pixmap(icon.availableSizes().value(0, QSize(32, 32)))
                       .toImage()
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), text);
    painter.end();
    return QIcon(QPixmap::fromImage(image));
}

QString IconToolTip(const std::string& name) {
    if (name == "capitalize_first") return QStringLiteral("Upper-case the first letter of each cell");
    if (name == "capitalize_words") return QStringLiteral("Upper-case the first letter of each word");
    return name == "br"   ? QStringLiteral("Browse")
           : name == "ed" ? QStringLiteral("Edit")
                          : QStringLiteral("Pick a color");
}

// The widest line of a text that may hold line breaks.
int WidestLine(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

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
        const int needed = WidestLine(metrics, Shown(c.text)) + room;
        base.x = std::min(limit, std::max(base.x, (needed * 4 + units - 1) / units));
    }
    return base;
}

namespace {

QWidget* MakeLabel(const DialogControl& c, QWidget* parent) {
    namespace S = ControlStyle;
    auto* label = new QLabel(Shown(c.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment((c.style & S::kRightAlign ? Qt::AlignRight
                         : c.style & S::kCentered ? Qt::AlignHCenter
                                                  : Qt::AlignLeft) |
                        Qt::AlignVCenter);
    return label;
}

// A check box or radio button taller than its place grows about its middle.
void GrowToHint(QRect& place, const QWidget& widget) {
    const int height = place.height();
    place.setHeight(std::max(height, widget.sizeHint().height()));
    place.moveTop(place.top() - (place.height() - height) / 2);
}

// A screen reader names a control after the name the table gives it; one
// that shows no text of its own after the label before it (without its
// colon), or else after the check box just before it, which switches it on.
// A label names one control.
class CAccessibleNames {
public:
    void Name(const DialogControl& c, QWidget& widget) {
        const QString spoken = Shown(c.spokenName);
        if (!spoken.isEmpty()) {
            widget.setAccessibleName(spoken);
            // A picture's button tells a mouse user the same.
            if (c.style & ControlStyle::kIcon) widget.setToolTip(spoken);
        }
        switch (c.kind) {
        case ControlKind::Label:
            m_label = qobject_cast<QLabel*>(&widget);
            m_fromLabel = Shown(c.text).replace('\n', ' ').trimmed();
            if (m_fromLabel.endsWith(':')) m_fromLabel.chop(1);
            break;
        case ControlKind::Edit:
        case ControlKind::DropDownList:
        case ControlKind::ListBox:
        case ControlKind::TreeView:
        case ControlKind::ProgressBar:
        case ControlKind::Grid:
        case ControlKind::ColourSwatch:
            if (spoken.isEmpty() && (!m_fromLabel.isEmpty() || !m_fromCheckBox.isEmpty()))
                widget.setAccessibleName(m_fromLabel.isEmpty() ? m_fromCheckBox : m_fromLabel);
            // Some controls (a drop-down list on Linux) are read after the
            // label that names them, whatever their own name.
            if (m_label && !m_fromLabel.isEmpty()) m_label->setBuddy(&widget);
            m_fromLabel.clear();
            m_label = nullptr;
            break;
        default: break;
        }
        m_fromCheckBox = c.kind != ControlKind::CheckBox ? QString() : spoken.isEmpty() ? Shown(c.text) : spoken;
    }

private:
    QLabel* m_label = nullptr;  // the label m_fromLabel comes from
    QString m_fromLabel;
    QString m_fromCheckBox;
};

}  // namespace

QWidget* CQtDialog::MakeEdit(const DialogControl& c) {
    namespace S = ControlStyle;
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
    connect(edit, &QLineEdit::textEdited, this, [this, id = c.id] { m_events.OnEditChange(*this, id); });
    return edit;
}

QWidget* CQtDialog::MakeButton(const DialogControl& c, const QRect& place) {
    auto* button = new QPushButton(this);
    if (c.style & ControlStyle::kIcon) {
        const int side = std::min(place.width(), place.height()) - 4;
        const QIcon own = OnButton(ResourceIcon(c.text), button->palette());
        button->setIcon(own.isNull() ? ButtonIcon(c.text, std::max(side, 8)) : own);
        button->setIconSize(QSize(side, side));
        button->setToolTip(IconToolTip(c.text));
        button->setAccessibleName(IconToolTip(c.text));
        button->setFlat(false);
        button->setFocusPolicy(Qt::TabFocus);
    } else {
        button->setText(Shown(c.text));
    }
    // Return presses a button that has the focus, else the default one.
    button->setAutoDefault(true);
    button->setDefault(c.kind == ControlKind::DefaultButton);
    connect(button, &QPushButton::clicked, this, [this, id = c.id] { m_events.OnCommand(*this, id); });
    return button;
}

QWidget* CQtDialog::MakeDropDownList(const DialogControl& c, QRect& place) {
    auto* combo = new QComboBox(this);
    for (const QString& entry : Shown(c.text).split('\n')) combo->addItem(entry);
    // The template's height is that of the opened list.
    place.setHeight(PixelsFromUnits(Rect{0, 0, 0, 12}, m_base).height());
    place.setHeight(std::max(place.height(), combo->sizeHint().height()));
    connect(combo, &QComboBox::activated, this, [this, id = c.id] { m_events.OnCommand(*this, id); });
    return combo;
}

QWidget* CQtDialog::MakeRadioButton(const DialogControl& c, QRect& place, QButtonGroup*& radioGroup) {
    auto* radio = new QRadioButton(Shown(c.text), this);
    GrowToHint(place, *radio);
    if (!radioGroup || (c.style & ControlStyle::kGroup)) radioGroup = new QButtonGroup(this);
    radioGroup->addButton(radio);
    connect(radio, &QRadioButton::clicked, this, [this, id = c.id] { m_events.OnCommand(*this, id); });
    return radio;
}

QWidget* CQtDialog::MakeControl(const DialogControl& c, QRect& place, QButtonGroup*& radioGroup) {
    const ControlId id = c.id;
    switch (c.kind) {
    case ControlKind::Label: return MakeLabel(c, this);
    case ControlKind::Edit: return MakeEdit(c);
    case ControlKind::Button:
    case ControlKind::DefaultButton: return MakeButton(c, place);
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(Shown(c.text), this);
        GrowToHint(place, *box);
        connect(box, &QCheckBox::clicked, this, [this, id] { m_events.OnCommand(*this, id); });
        return box;
    }
    case ControlKind::TreeView:
        return new CQtTreeControl(
            this, [this, id](const TreeNotify& notify) { return m_events.OnTreeNotify(*this, id, notify); });
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(Shown(c.text), this);
        group->setFocusPolicy(Qt::NoFocus);
        return group;
    }
    case ControlKind::ColourSwatch: {
        auto* swatch = new QLabel(this);
        swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
        swatch->setAutoFillBackground(true);
        return swatch;
    }
    case ControlKind::DropDownList: return MakeDropDownList(c, place);
    // ---- Controls of the tool windows ----
    case ControlKind::ListBox: {
        auto* list = new QListWidget(this);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true);
        return list;
    }
    case ControlKind::RadioButton: return MakeRadioButton(c, place, radioGroup);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(this);
        bar->setTextVisible(false);
        bar->setRange(0, 100);
        bar->setValue(0);
        return bar;
    }
    case ControlKind::Grid: {
        // Holds the place until the logic attaches its grid.
        auto* holder = new QFrame(this);
        holder->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        return holder;
    }
    }
    return nullptr;
}

void CQtDialog::Build(const DialogTemplate& dialog) {
    m_base = FittingBaseUnits(dialog, font());
    setFixedSize(PixelsFromUnits(Rect{0, 0, dialog.units.cx, dialog.units.cy}, m_base).size());
    QButtonGroup* radioGroup = nullptr;
    CAccessibleNames names;
    for (const DialogControl& c : dialog.controls) {
        if (c.kind != ControlKind::RadioButton) radioGroup = nullptr;
        QRect place = PixelsFromUnits(c.units, m_base);
        QWidget* widget = MakeControl(c, place, radioGroup);
        if (!widget) continue;
        names.Name(c, *widget);
        widget->setGeometry(place);
        if (c.style & ControlStyle::kDisabled) widget->setEnabled(false);
        if (static_cast<int>(c.id) >= 0) {
            widget->setObjectName(QStringLiteral("control%1").arg(static_cast<int>(c.id)));
            m_controls[c.id] = widget;
        }
    }
    // The group boxes go behind what they frame.
    for (QGroupBox* group : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) group->lower();
    ScrollWhenTooBig();
}

void CQtDialog::ScrollWhenTooBig() {
    // The screen's room, less the window manager's frame and title.
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const int frame = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 16;
    const QSize room = screen->availableGeometry().size() - QSize(16, frame);
    const QSize whole = size();
    if (whole.width() <= room.width() && whole.height() <= room.height()) return;
    // On a small screen or at a large scale factor the controls keep their
    // places on a page that scrolls (Tab scrolls to the control it reaches).
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("page"));
    page->setFixedSize(whole);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const bool hidden = child->isHidden();
        child->setParent(page);
        if (!hidden) child->show();
    }
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setMinimumSize(0, 0);
    setMaximumSize(whole + QSize(bar, bar));
    resize((whole + QSize(bar, bar)).boundedTo(room));
}

QWidget* CQtDialog::Control(ControlId id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second.data();
}

void CQtDialog::SetControlText(ControlId id, const std::string& text) {
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

std::string CQtDialog::GetControlText(ControlId id) const {
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

void CQtDialog::SetCheck(ControlId id, bool checked) {
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

bool CQtDialog::GetCheck(ControlId id) const {
    auto* box = qobject_cast<QAbstractButton*>(Control(id));
    return box && box->isChecked();
}

void CQtDialog::EnableControl(ControlId id, bool enable) {
    if (QWidget* w = Control(id)) w->setEnabled(enable);
}

bool CQtDialog::IsControlEnabled(ControlId id) const {
    QWidget* w = Control(id);
    return w && w->isEnabled();
}

void CQtDialog::SetFocus(ControlId id) {
    QWidget* w = Control(id);
    if (!w) return;
    // As on the desktop the dialogs were made for, the keyboard goes there
    // even when another of the program's windows is active (after a
    // message, say): Escape then closes this window, not that one.
    if (isVisible() && QApplication::activeWindow() && !isActiveWindow()) activateWindow();
    w->setFocus(Qt::OtherFocusReason);
}

void CQtDialog::SelectAll(ControlId id) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) edit->selectAll();
}

void CQtDialog::EndDialog(ControlId result) {
    m_result = result;
    if (!m_modeless) {
        m_ended = true;
        done(static_cast<int>(result));
        return;
    }
    if (m_ended) return;
    m_ended = true;
    hide();
    // Reported from the loop, once the handler that ended it has returned.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_detached) return;
            Detach();
            m_events.OnDialogClosed();
            deleteLater();
        },
        Qt::QueuedConnection);
}

ITreeControl* CQtDialog::TreeControl(ControlId id) { return qobject_cast<CQtTreeControl*>(Control(id)); }

void CQtDialog::reject() {
    // A modeless window that has ended waits only to go.
    if (m_detached || (m_modeless && m_ended)) return;
    m_events.OnCommand(*this, DialogId::kCancel);
}

// ---- List boxes, progress bars, grids ----

namespace {
constexpr int kBytesRole = Qt::UserRole;
}  // namespace

void CQtDialog::ResetList(ControlId id) {
    if (auto* list = qobject_cast<QListWidget*>(Control(id))) list->clear();
}

int CQtDialog::AddListEntry(ControlId id, const std::string& text) {
    auto* list = qobject_cast<QListWidget*>(Control(id));
    if (!list) return -1;
    auto* item = new QListWidgetItem(Shown(text));
    // The entry's own bytes, read back as they were given.
    item->setData(kBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    list->addItem(item);
    return list->count() - 1;
}

int CQtDialog::GetListCount(ControlId id) const {
    auto* list = qobject_cast<QListWidget*>(Control(id));
    return list ? list->count() : 0;
}

std::string CQtDialog::GetListEntry(ControlId id, int index) const {
    auto* list = qobject_cast<QListWidget*>(Control(id));
    const QListWidgetItem* item = list ? list->item(index) : nullptr;
    return item ? item->data(kBytesRole).toByteArray().toStdString() : std::string();
}

int CQtDialog::GetListSelection(ControlId id) const {
    auto* list = qobject_cast<QListWidget*>(Control(id));
    if (!list) return -1;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void CQtDialog::SetListSelection(ControlId id, int index) {
    auto* list = qobject_cast<QListWidget*>(Control(id));
    if (!list) return;
    if (index < 0 || index >= list->count()) {
        list->clearSelection();
        list->setCurrentRow(-1);
        return;
    }
    list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(index));
}

void CQtDialog::SetProgressRange(ControlId id, int lower, int upper) {
    // An empty range would turn the bar into a busy indicator.
    if (auto* bar = qobject_cast<QProgressBar*>(Control(id))) bar->setRange(lower, std::max(upper, lower + 1));
}

void CQtDialog::SetProgressPos(ControlId id, int pos) {
    auto* bar = qobject_cast<QProgressBar*>(Control(id));
    if (bar) bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
}

void CQtDialog::AttachGrid(ControlId id, CGridCtrl& grid) {
    QWidget* place = Control(id);
    if (!place || qobject_cast<CQtGridWidget*>(place)) return;
    auto* widget = new CQtGridWidget(grid, place->parentWidget());
    widget->setGeometry(place->geometry());
    widget->setObjectName(place->objectName());
    widget->setAccessibleName(place->accessibleName());
    // The buttons keep the keyboard; the grid only shows.
    widget->setFocusPolicy(Qt::ClickFocus);
    widget->setEnabled(place->isEnabled());
    widget->stackUnder(place);
    delete place;
    m_controls[id] = widget;
    widget->show();
    // A window not yet shown lays out its children only when it appears; the
    // grid sizes its columns to its client area before that.
    QResizeEvent resize(widget->size(), QSize());
    QCoreApplication::sendEvent(widget, &resize);
}

// ---- Modeless ----

CQtDialog::~CQtDialog() { Detach(); }

void CQtDialog::Detach() {
    m_detached = true;
    // A grid belongs to the logic and may go before this window does.
    for (CQtGridWidget* grid : findChildren<CQtGridWidget*>()) delete grid;
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void CQtDialog::BringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void CQtDialog::MoveWindow(Point topLeft) { move(topLeft.x, topLeft.y); }

void CQtDialog::Destroy() {
    Detach();
    hide();
    deleteLater();
}

ControlId CQtDialogHost::RunModal(const DialogTemplate& dialog, IDialogEvents& events) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = m_parent ? m_parent : QApplication::activeWindow();
    CQtDialog window(dialog, events, parent);
    m_current = &window;
    const CAsking asking;
    events.OnInitDialog(window);
    if (!window.Ended()) window.exec();
    m_current = nullptr;
    return window.Result();
}

IModelessDialog* CQtDialogHost::ShowModeless(const DialogTemplate& dialog, IDialogEvents& events) {
    QWidget* parent = m_parent ? m_parent : QApplication::activeWindow();
    auto* window = new CQtDialog(dialog, events, parent);
    window->SetModeless();
    events.OnInitDialog(*window);
    if (!window->Ended()) window->show();
    return window;
}

}  // namespace tabulon::qt
