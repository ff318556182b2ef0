#pragma once
// The one-line edit box of in-place editing: a QLineEdit on the grid's
// viewport whose keys go to the edit logic first.

#include <QLineEdit>
#include <QPointer>
#include <memory>

#include "platform/EditControl.h"

namespace tabulon::qt {

class CQtCellLineEdit final : public QLineEdit {
    Q_OBJECT
public:
    CQtCellLineEdit(QWidget* parent, IEditControlEvents& events);
    // After this the control reports nothing more.
    void DetachEvents() { m_events = nullptr; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    IEditControlEvents* m_events;
};

class CQtEditControl final : public IEditControl {
public:
    // rect is in the viewport's coordinates, right and bottom excluded.
    // focusHome takes the focus back should the control still hold it when
    // it goes.
    CQtEditControl(QWidget* viewport, QWidget* focusHome, IEditControlEvents& events, const Rect& rect,
                   EditAlignment alignment, const LogFont& font);
    ~CQtEditControl() override;
    CQtEditControl(const CQtEditControl&) = delete;
    CQtEditControl& operator=(const CQtEditControl&) = delete;

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void SetSelection(int start, int end) override;
    void ReplaceSelection(const std::string& text) override;
    void Backspace() override;
    void SetFocus() override;
    Rect GetRect() const override;
    void SetRect(const Rect& rect) override;
    int GetTextWidth(const std::string& text) const override;

    CQtCellLineEdit* Widget() const { return m_edit.data(); }

private:
    QPointer<CQtCellLineEdit> m_edit;
    QPointer<QWidget> m_focusHome;
    // The bytes last set and the text they showed as: an edit that leaves the
    // text as it was gives back the very bytes it got, whatever their code page.
    std::string m_setBytes;
    QString m_setText;
};

}  // namespace tabulon::qt
