#include "qt/QtGridWidget.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <new>
#include <utility>

#include "platform/Keys.h"
#include "qt/QtDeviceContext.h"
#include "qt/QtEditControl.h"
#include "qt/QtFont.h"
#include "qt/QtGridAccessible.h"
#include "qt/QtKeys.h"
#include "qt/QtPopupMenu.h"
#include "qt/QtText.h"
#include "qt/QtTitleTip.h"

// Resources of a static library have to be brought in by name, outside any
// namespace.
static void LoadGridCursorResources() { Q_INIT_RESOURCE(cursors); }

namespace tabulon::qt {

namespace {

// The program's own cursors for moving a column by its heading.
const QCursor& MoveColumnCursor() {
    static const QCursor cursor(QPixmap(QStringLiteral(":/cursors/move_column.png")), 0, 0);
    return cursor;
}

const QCursor& MoveColumnDividerCursor() {
    static const QCursor cursor(QPixmap(QStringLiteral(":/cursors/move_column_divider.png")), 15, 15);
    return cursor;
}

// The character a key types, for the keys the grid knows by name; other
// keys type the text Qt gives them.
QString TypedText(const QKeyEvent& event, unsigned key) {
    switch (key) {
    case Key::kReturn: return QStringLiteral("\r");
    case Key::kEscape: return QStringLiteral("\x1b");
    case Key::kBack: return QStringLiteral("\b");
    case Key::kTab: return QStringLiteral("\t");
    case Key::kSpace: return QStringLiteral(" ");
    case Key::kShift:
    case Key::kControl:
    case Key::kPrior:
    case Key::kNext:
    case Key::kEnd:
    case Key::kHome:
    case Key::kLeft:
    case Key::kUp:
    case Key::kRight:
    case Key::kDown:
    case Key::kDelete:
    case Key::kF2: return {};
    default: return event.text();
    }
}

}  // namespace

CQtGridWidget::CQtGridWidget(CGridCtrl& grid, QWidget* parent) : QAbstractScrollArea(parent), m_grid(grid) {
    LoadGridCursorResources();
    CQtGridAccessible::InstallFactory();
    setFocusPolicy(Qt::StrongFocus);
    // The grid fills its pane edge to edge; the scroll area's sunken frame
    // would take a pixel all round.
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    // Every paint covers its whole rectangle, so Qt need not clear it first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // The right button belongs to the grid, which asks its frame for a menu.
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);

    for (ScrollBar bar : {ScrollBar::Horizontal, ScrollBar::Vertical}) {
        QScrollBar* scrollBar = Bar(bar);
        connect(scrollBar, &QAbstractSlider::actionTriggered, this,
                [this, bar](int action) { OnBarAction(bar, action); });
        connect(scrollBar, &QAbstractSlider::sliderReleased, this, [this, bar] { OnBarReleased(bar); });
    }

    m_trackingLine = new QWidget(viewport());
    m_trackingLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_trackingLine->setAutoFillBackground(true);
    QPalette linePalette = m_trackingLine->palette();
    linePalette.setColor(QPalette::Window, palette().color(QPalette::WindowText));
    m_trackingLine->setPalette(linePalette);
    m_trackingLine->hide();

    m_grid.AttachWindow(this);
}

CQtGridWidget::~CQtGridWidget() {
    // The table a reader sees reads the grid through this widget: it goes
    // while the widget is still whole, its cells with it, and no new one is
    // made for what is left (ending an edit below moves the focus, which Qt
    // tells assistive technology about).
    m_going = true;
    if (m_accessible) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_accessible));
    for (const auto& [id, timer] : m_timers) killTimer(timer);
    m_timers.clear();
    // The grid may have moved on to another window meanwhile.
    if (m_grid.GetWindow() != this) return;
    // An open edit keeps what was typed, as when the box loses the focus.
    m_grid.EndEditing();
    m_grid.AttachWindow(nullptr);
}

QScrollBar* CQtGridWidget::Bar(ScrollBar bar) const {
    return bar == ScrollBar::Vertical ? verticalScrollBar() : horizontalScrollBar();
}

// ---- IGridWindow ----

Size CQtGridWidget::GetClientSize() const {
    const QSize size = viewport()->size();
    return {size.width(), size.height()};
}

void CQtGridWidget::InvalidateAll() { viewport()->update(); }

void CQtGridWidget::InvalidateRect(const Rect& rect) {
    if (rect.Width() > 0 && rect.Height() > 0) viewport()->update(QRectFromRect(rect));
}

// Qt paints what was invalidated as soon as the event loop turns; painting
// here and now would run the grid's drawing inside whatever changed it.
void CQtGridWidget::UpdateWindow() {}

// Qt draws on a widget only inside its paint event, so there is no context
// at hand outside it: the grid invalidates instead, and measures on the
// desktop's screen context.
std::unique_ptr<IDeviceContext> CQtGridWidget::GetDC() { return nullptr; }

void CQtGridWidget::ShowScrollBar(ScrollBar bar, bool show) {
    const Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    const bool vertical = bar == ScrollBar::Vertical;
    if ((vertical ? verticalScrollBarPolicy() : horizontalScrollBarPolicy()) == policy) return;
    // The viewport changes size at once. The grid is laying out its bars
    // for the size without any right now, so it must not be told of the
    // change in the middle of that.
    m_changingScrollBars = true;
    if (vertical)
        setVerticalScrollBarPolicy(policy);
    else
        setHorizontalScrollBarPolicy(policy);
    m_changingScrollBars = false;
}

void CQtGridWidget::SetScrollRange(ScrollBar bar, int maximum, int page) {
    QScrollBar* scrollBar = Bar(bar);
    // Classic arithmetic: the thumb covers a page, so the position runs from
    // 0 to maximum - page + 1.
    const int page1 = std::max(page, 0);
    const int highest = std::max(0, maximum - std::max(page1 - 1, 0));
    scrollBar->setRange(0, highest);
    scrollBar->setPageStep(std::max(page1, 1));
}

int CQtGridWidget::GetScrollPos(ScrollBar bar) const { return Bar(bar)->value(); }

void CQtGridWidget::SetScrollPos(ScrollBar bar, int pos) { Bar(bar)->setValue(pos); }

void CQtGridWidget::SetCapture() { m_captured = true; }

void CQtGridWidget::ReleaseCapture() { m_captured = false; }

void CQtGridWidget::SetCursor(GridCursor cursor) {
    m_cursor = cursor;
    switch (cursor) {
    case GridCursor::Arrow: viewport()->unsetCursor(); break;
    case GridCursor::SizeColumns: viewport()->setCursor(Qt::SplitHCursor); break;
    case GridCursor::SizeRows: viewport()->setCursor(Qt::SplitVCursor); break;
    case GridCursor::MoveColumn: viewport()->setCursor(MoveColumnCursor()); break;
    case GridCursor::MoveColumnDivider: viewport()->setCursor(MoveColumnDividerCursor()); break;
    }
}

void CQtGridWidget::SetFocus() { setFocus(Qt::OtherFocusReason); }

bool CQtGridWidget::IsApplicationActive() const {
    if (QApplication::activeWindow() || QGuiApplication::applicationState() == Qt::ApplicationActive) return true;
    // Without a window system nothing is ever activated; a focused widget is
    // as close as it gets.
    return QGuiApplication::platformName() == QLatin1String("offscreen") && QApplication::focusWidget();
}

void CQtGridWidget::StartTimer(int id, int milliseconds) {
    StopTimer(id);
    const int timer = startTimer(std::max(milliseconds, 0));
    if (timer != 0) m_timers[id] = timer;
}

void CQtGridWidget::StopTimer(int id) {
    const auto it = m_timers.find(id);
    if (it == m_timers.end()) return;
    killTimer(it->second);
    m_timers.erase(it);
}

Point CQtGridWidget::GetCursorPos() const {
    // While the grid holds the mouse every move comes here, so the last one
    // is where the mouse is; otherwise ask the desktop.
    if (m_captured) return m_lastMouse;
    const QPoint local = viewport()->mapFromGlobal(QCursor::pos());
    return {local.x(), local.y()};
}

int CQtGridWidget::GetDoubleClickTime() const { return QApplication::doubleClickInterval(); }

long long CQtGridWidget::GetTickCount() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void CQtGridWidget::PlaceNextMenu(const Rect& rect) {
    // Just inside the cell's lower part, where a menu covers it least.
    const QPoint corner(rect.left + 4, rect.top + (rect.bottom - rect.top) / 2);
    CQtPopupMenu::PlaceNextMenu(viewport()->mapToGlobal(corner));
}

void CQtGridWidget::ShowTrackingLine(const Rect& rect) {
    if (rect.Width() <= 0 || rect.Height() <= 0) {
        m_trackingLine->hide();
        return;
    }
    m_trackingLine->setGeometry(QRectFromRect(rect));
    m_trackingLine->show();
    m_trackingLine->raise();
}

std::unique_ptr<IEditControl> CQtGridWidget::CreateEditControl(IEditControlEvents& events, const Rect& rect,
                                                               EditAlignment alignment, const LogFont& font) {
    auto control = std::make_unique<CQtEditControl>(viewport(), this, events, rect, alignment, font);
    m_edit = control->Widget();
    // A reader names the box after the column it edits.
    const CellId cell = m_grid.GetCellFromPt({rect.left + 1, rect.top + 1});
    if (m_grid.GetFixedRowCount() > 0 && cell.col >= 0 && cell.col < m_grid.GetColumnCount()) {
        const QString heading = TextFromBytes(m_grid.GetCellText(0, cell.col)).trimmed();
        if (!heading.isEmpty()) m_edit->setAccessibleName(heading);
    }
    return control;
}

std::unique_ptr<ITitleTipWindow> CQtGridWidget::CreateTitleTip(ITitleTipEvents& events) {
    auto tip = std::make_unique<CQtTitleTip>(this, viewport(), events);
    tip->Widget()->SetWheelHandler([this](QWheelEvent* event) { wheelEvent(event); });
    m_tip = tip->Widget();
    return tip;
}

// ---- what a screen reader hears ----
// Nothing here does any work unless a reader is listening. Changes of the
// rows and columns, which a load makes by the million, and moves of the focus
// are told once the event loop turns, each kind once. Memory running out
// here costs the reader one piece of news, never the grid its change.

void CQtGridWidget::FocusCellChanged(int, int) {
    if (QAccessible::isActive() && hasFocus()) PostAccessibleUpdate(false);
}

void CQtGridWidget::CellChanged(int row, int col) {
    if (!m_accessible || m_accessibleReset || !QAccessible::isActive()) return;
    try {
        m_accessible->OnCellChanged(row, col);
    } catch (const std::bad_alloc&) {
    }
}

void CQtGridWidget::TableChanged() {
    if (m_accessible && QAccessible::isActive()) PostAccessibleUpdate(true);
}

void CQtGridWidget::PostAccessibleUpdate(bool reset) {
    m_accessibleReset = m_accessibleReset || reset;
    if (m_accessiblePosted) return;
    try {
        QMetaObject::invokeMethod(
            this, [this] { SendAccessibleUpdate(); }, Qt::QueuedConnection);
        m_accessiblePosted = true;
    } catch (const std::bad_alloc&) {
    }
}

void CQtGridWidget::SendAccessibleUpdate() {
    m_accessiblePosted = false;
    const bool reset = std::exchange(m_accessibleReset, false);
    if (!QAccessible::isActive()) return;
    if (reset) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
    }
    // The edit box, while open, has the focus and says so itself.
    if (!hasFocus() || m_grid.IsEditing()) return;
    auto* table = dynamic_cast<CQtGridAccessible*>(QAccessible::queryAccessibleInterface(this));
    const CellId focus = m_grid.GetFocusCell();
    if (QAccessibleInterface* cell = table ? table->Cell(focus.row, focus.col) : nullptr) {
        QAccessibleEvent event(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

// ---- Qt's events ----

bool CQtGridWidget::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Tab would move the focus on before the grid sees it.
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            m_grid.WantsKey(Key::kTab, ModifiersFromQt(key->modifiers()))) {
            keyPressEvent(key);
            return true;
        }
        // Shift+F10 and the Menu key: the focus cell's menu.
        if (key->key() == Qt::Key_Menu ||
            (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier)) {
            m_grid.OnContextMenuKey();
            return true;
        }
    } else if (event->type() == QEvent::ShortcutOverride) {
        // The keys the grid moves and edits with come to it, not to a menu
        // shortcut of the window; anything with Ctrl or Alt stays a shortcut.
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const unsigned code = KeyFromQt(key->key());
        const bool named = code != 0 && code != Key::kShift && code != Key::kControl;
        const bool typed = !key->text().isEmpty() && key->text().front().isPrint();
        if (plain && (named || typed)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

bool CQtGridWidget::focusNextPrevChild(bool next) {
    if (m_grid.WantsKey(Key::kTab, ModifiersFromQt(QGuiApplication::keyboardModifiers()))) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void CQtGridWidget::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect();
    if (area.isEmpty()) return;
    const Rect clip = RectFromQRect(area);
    const QColor background = viewport()->palette().color(QPalette::Base);
    if (m_grid.GetDoubleBuffering()) {
        // Drawn off screen and shown in one step, so nothing flickers.
        const qreal ratio = viewport()->devicePixelRatioF();
        QImage buffer(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        buffer.setDevicePixelRatio(ratio);
        buffer.fill(background);
        {
            QPainter painter(&buffer);
            painter.translate(-area.topLeft());
            CQtDeviceContext dc(painter, m_grid.GetDesktop());
            m_grid.OnPaint(dc, clip);
        }
        QPainter(viewport()).drawImage(area.topLeft(), buffer);
    } else {
        QPainter painter(viewport());
        painter.setClipRect(area);
        painter.fillRect(area, background);
        CQtDeviceContext dc(painter, m_grid.GetDesktop());
        m_grid.OnPaint(dc, clip);
    }
}

void CQtGridWidget::resizeEvent(QResizeEvent*) {
    if (m_changingScrollBars) return;
    m_grid.OnSize();
}

// The grid invalidates what its scrolling moves; Qt need not repaint more.
void CQtGridWidget::scrollContentsBy(int, int) {}

void CQtGridWidget::OnBarAction(ScrollBar bar, int action) {
    QScrollBar* scrollBar = Bar(bar);
    ScrollCode code;
    int thumb = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = ScrollCode::LineDown; break;
    case QAbstractSlider::SliderSingleStepSub: code = ScrollCode::LineUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = ScrollCode::PageDown; break;
    case QAbstractSlider::SliderPageStepSub: code = ScrollCode::PageUp; break;
    case QAbstractSlider::SliderToMinimum: code = ScrollCode::Top; break;
    case QAbstractSlider::SliderToMaximum: code = ScrollCode::Bottom; break;
    case QAbstractSlider::SliderMove:
        code = ScrollCode::ThumbTrack;
        thumb = scrollBar->sliderPosition();
        break;
    default: return;
    }
    if (bar == ScrollBar::Vertical)
        m_grid.OnVScroll(code, thumb);
    else
        m_grid.OnHScroll(code, thumb);
    // Qt moves the slider by its own step once this returns; the grid's
    // position is the one that counts.
    scrollBar->setSliderPosition(scrollBar->value());
}

void CQtGridWidget::OnBarReleased(ScrollBar bar) {
    const int pos = Bar(bar)->value();
    if (bar == ScrollBar::Vertical)
        m_grid.OnVScroll(ScrollCode::ThumbPosition, pos);
    else
        m_grid.OnHScroll(ScrollCode::ThumbPosition, pos);
}

Point CQtGridWidget::Track(const QPoint& position) {
    m_lastMouse = {position.x(), position.y()};
    return m_lastMouse;
}

void CQtGridWidget::mousePressEvent(QMouseEvent* event) {
    const Point point = Track(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_grid.OnLButtonDown(point, ModifiersFromQt(event->modifiers(), event->buttons()));
    event->accept();
}

void CQtGridWidget::mouseReleaseEvent(QMouseEvent* event) {
    const Point point = Track(event->position().toPoint());
    const unsigned modifiers = ModifiersFromQt(event->modifiers(), event->buttons());
    if (event->button() == Qt::LeftButton)
        m_grid.OnLButtonUp(point, modifiers);
    else if (event->button() == Qt::RightButton)
        m_grid.OnRButtonUp(point, modifiers);
    event->accept();
}

void CQtGridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const Point point = Track(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_grid.OnLButtonDblClk(point, ModifiersFromQt(event->modifiers(), event->buttons()));
    event->accept();
}

void CQtGridWidget::mouseMoveEvent(QMouseEvent* event) {
    const Point point = Track(event->position().toPoint());
    m_grid.OnMouseMove(point, ModifiersFromQt(event->modifiers(), event->buttons()));
    event->accept();
}

void CQtGridWidget::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    // Touchpads turn the wheel in small pieces: they count once they make a
    // whole notch, in either direction.
    if ((delta > 0) != (m_wheelRest > 0)) m_wheelRest = 0;
    m_wheelRest += delta;
    const int whole = m_wheelRest / 120 * 120;
    if (whole == 0) return;
    m_wheelRest -= whole;
    m_grid.OnMouseWheel(whole, ModifiersFromQt(event->modifiers(), event->buttons()));
}

void CQtGridWidget::keyPressEvent(QKeyEvent* event) {
    const unsigned key = KeyFromQt(event->key());
    const unsigned modifiers = ModifiersFromQt(event->modifiers());
    if (key != 0 && m_grid.OnKeyDown(key, modifiers)) {
        event->accept();
        return;
    }
    if (key == Key::kTab && !(modifiers & Modifier::kControl)) {
        // The grid passes Tab on at its very end: the focus moves on.
        QAbstractScrollArea::focusNextPrevChild(!(modifiers & Modifier::kShift));
        event->accept();
        return;
    }
    const QString text = TypedText(*event, key);
    if (text.isEmpty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    for (char32_t ch : text.toUcs4()) m_grid.OnChar(ch, modifiers);
    // The grid never takes Escape; a dialog around it may.
    if (text == QLatin1String("\x1b"))
        event->ignore();
    else
        event->accept();
}

void CQtGridWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    // Qt tells of the grid getting the focus after this; the cell follows.
    if (QAccessible::isActive()) PostAccessibleUpdate(false);
}

void CQtGridWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    // Another window or a pop-up took over: whatever the mouse was doing in
    // the grid is over.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) LoseCapture();
}

void CQtGridWidget::hideEvent(QHideEvent* event) {
    LoseCapture();
    QAbstractScrollArea::hideEvent(event);
}

void CQtGridWidget::LoseCapture() {
    if (!m_captured) return;
    m_captured = false;
    m_grid.OnCaptureLost();
}

void CQtGridWidget::timerEvent(QTimerEvent* event) {
    for (const auto& [id, timer] : m_timers) {
        if (timer == event->timerId()) {
            m_grid.OnTimer(id);
            return;
        }
    }
    QAbstractScrollArea::timerEvent(event);
}

void CQtGridWidget::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange: m_grid.SetFont(LogFontFromFont(font())); break;
    case QEvent::PaletteChange:
        m_grid.OnSysColourChange();
        viewport()->update();
        break;
    default: break;
    }
}

}  // namespace tabulon::qt
