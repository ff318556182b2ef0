#pragma once
// The title tip: a frameless pop-up over a cell that shows its whole text.
// It never takes the focus; what the mouse and keys do on it is reported in
// the grid viewport's coordinates.

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "platform/TitleTipWindow.h"

namespace tabulon::qt {

class CQtTitleTipWidget final : public QWidget {
    Q_OBJECT
public:
    // owner: the grid widget (the tip goes with it); viewport: whose
    // coordinates events are given in.
    CQtTitleTipWidget(QWidget* owner, QWidget* viewport, ITitleTipEvents& events);
    void SetContent(const QString& text, const QFont& font);
    const QString& Text() const { return m_text; }
    // Where a wheel turned over the tip goes: the grid below scrolls.
    void SetWheelHandler(std::function<void(QWheelEvent*)> handler) { m_wheel = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    Point InViewport(const QMouseEvent* event) const;

    QPointer<QWidget> m_viewport;
    ITitleTipEvents& m_events;
    QString m_text;
    QFont m_textFont;
    std::function<void(QWheelEvent*)> m_wheel;
};

class CQtTitleTip final : public ITitleTipWindow {
public:
    CQtTitleTip(QWidget* owner, QWidget* viewport, ITitleTipEvents& events);
    ~CQtTitleTip() override;
    CQtTitleTip(const CQtTitleTip&) = delete;
    CQtTitleTip& operator=(const CQtTitleTip&) = delete;

    void Show(const Rect& rect, const std::string& text, const LogFont& font) override;
    void Hide() override;
    bool IsVisible() const override;
    Size MeasureText(const std::string& text, const LogFont& font) const override;
    int GetFontOverhang(const LogFont&) const override { return 0; }

    CQtTitleTipWidget* Widget() const { return m_widget.data(); }

private:
    QPointer<QWidget> m_viewport;
    QPointer<CQtTitleTipWidget> m_widget;
};

}  // namespace tabulon::qt
