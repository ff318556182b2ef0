#pragma once
// A question asked in the middle of a command (a message, a dialog, a menu,
// a file or colour chooser). The command shows the wait cursor; over the
// question the ordinary one shows. Once it is answered the keyboard goes
// back where it was, and the window under it is painted at once, so that
// the question's image is gone before the command works on.

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace tabulon::qt {

// Gives the keyboard back to focus, which had it before another window
// took it, if focus is still there to take it; true when it did.
inline bool ReturnKeyboardTo(QWidget* focus) {
    if (!focus || !focus->isVisible()) return false;
    focus->window()->activateWindow();
    focus->setFocus(Qt::OtherFocusReason);
    return true;
}

class CAsking {
public:
    CAsking() : m_focus(QApplication::focusWidget()) {
        if (QApplication::overrideCursor()) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
            m_cursor = true;
        }
    }
    ~CAsking() {
        if (m_cursor) QApplication::restoreOverrideCursor();
        if (ReturnKeyboardTo(m_focus.data())) m_focus->window()->repaint();
    }
    CAsking(const CAsking&) = delete;
    CAsking& operator=(const CAsking&) = delete;

private:
    QPointer<QWidget> m_focus;
    bool m_cursor = false;
};

}  // namespace tabulon::qt
