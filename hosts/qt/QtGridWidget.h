#pragma once
// The window of a grid: a scroll area whose viewport shows a CGridCtrl and
// hands it every event (painting, size, scroll bars, mouse, wheel, keys,
// timers), and which gives the grid its edit box, title tip and cursors.
// The grid must outlive the widget.

#include <QAbstractScrollArea>
#include <QPointer>
#include <map>

#include "grid/GridCtrl.h"
#include "platform/GridWindow.h"

namespace tabulon::qt {

class CQtGridAccessible;

class CQtGridWidget : public QAbstractScrollArea, public IGridWindow {
    Q_OBJECT
public:
    explicit CQtGridWidget(CGridCtrl& grid, QWidget* parent = nullptr);
    ~CQtGridWidget() override;

    CGridCtrl& Grid() const { return m_grid; }
    // The edit box while one is open, for whoever needs to look at it.
    QWidget* EditWidget() const { return m_edit.data(); }
    QWidget* TitleTipWidget() const { return m_tip.data(); }
    QWidget* TrackingLineWidget() const { return m_trackingLine; }
    GridCursor CurrentGridCursor() const { return m_cursor; }
    // The table a screen reader sees, once one has asked for it.
    CQtGridAccessible* Accessible() const { return m_accessible; }
    void SetAccessible(CQtGridAccessible* table) { m_accessible = table; }
    bool IsGoing() const { return m_going; }

    // IGridWindow
    Size GetClientSize() const override;
    void InvalidateAll() override;
    void InvalidateRect(const Rect& rect) override;
    void UpdateWindow() override;
    std::unique_ptr<IDeviceContext> GetDC() override;
    void ShowScrollBar(ScrollBar bar, bool show) override;
    void SetScrollRange(ScrollBar bar, int maximum, int page) override;
    int GetScrollPos(ScrollBar bar) const override;
    void SetScrollPos(ScrollBar bar, int pos) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    void SetCursor(GridCursor cursor) override;
    void SetFocus() override;
    bool IsApplicationActive() const override;
    void StartTimer(int id, int milliseconds) override;
    void StopTimer(int id) override;
    Point GetCursorPos() const override;
    int GetDoubleClickTime() const override;
    long long GetTickCount() const override;
    void ShowTrackingLine(const Rect& rect) override;
    void PlaceNextMenu(const Rect& rect) override;
    std::unique_ptr<IEditControl> CreateEditControl(IEditControlEvents& events, const Rect& rect,
                                                    EditAlignment alignment, const LogFont& font) override;
    std::unique_ptr<ITitleTipWindow> CreateTitleTip(ITitleTipEvents& events) override;
    void FocusCellChanged(int row, int col) override;
    void CellChanged(int row, int col) override;
    void TableChanged() override;

protected:
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QScrollBar* Bar(ScrollBar bar) const;
    void OnBarAction(ScrollBar bar, int action);
    void OnBarReleased(ScrollBar bar);
    Point Track(const QPoint& position);
    void LoseCapture();
    // Tells a screen reader, once the event loop turns, that the table was
    // made anew (reset) and where the focus cell is now.
    void PostAccessibleUpdate(bool reset);
    void SendAccessibleUpdate();

    CGridCtrl& m_grid;
    bool m_changingScrollBars = false;
    bool m_captured = false;
    Point m_lastMouse;
    GridCursor m_cursor = GridCursor::Arrow;
    std::map<int, int> m_timers;  // the grid's timer id -> Qt's
    QWidget* m_trackingLine = nullptr;
    QPointer<QWidget> m_edit;
    QPointer<QWidget> m_tip;
    int m_wheelRest = 0;  // wheel turns of less than a notch, kept till they add up
    CQtGridAccessible* m_accessible = nullptr;
    bool m_accessibleReset = false;
    bool m_accessiblePosted = false;
    bool m_going = false;  // being destroyed
};

}  // namespace tabulon::qt
