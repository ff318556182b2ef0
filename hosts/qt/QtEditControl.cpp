#include "qt/QtEditControl.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/Keys.h"
#include "qt/QtDeviceContext.h"
#include "qt/QtFont.h"
#include "qt/QtKeys.h"
#include "qt/QtText.h"

namespace tabulon::qt {

CQtCellLineEdit::CQtCellLineEdit(QWidget* parent, IEditControlEvents& events) : QLineEdit(parent), m_events(&events) {
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (m_events) m_events->OnEditTextChanged();
    });
}

bool CQtCellLineEdit::event(QEvent* event) {
    // Tab and Shift+Tab would move the focus on; in a cell they end the edit.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CQtCellLineEdit::keyPressEvent(QKeyEvent* event) {
    const unsigned key = KeyFromQt(event->key());
    if (m_events && key != 0 && m_events->OnEditKeyDown(key, ModifiersFromQt(event->modifiers()))) {
        // This control may be on its way out now; it is deleted later, so
        // returning through it is safe.
        event->accept();
        return;
    }
    if (key != Key::kTab && key != Key::kReturn && key != Key::kEscape) QLineEdit::keyPressEvent(event);
    // What the box does not use goes nowhere else: an arrow it ignores must
    // not move the grid's focus under the open edit.
    event->accept();
}

void CQtCellLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu of the box itself takes the focus only for a moment.
    if (event->reason() == Qt::PopupFocusReason) return;
    if (m_events) m_events->OnEditKillFocus();
}

CQtEditControl::CQtEditControl(QWidget* viewport, QWidget* focusHome, IEditControlEvents& events, const Rect& rect,
                               EditAlignment alignment, const LogFont& font)
    : m_edit(new CQtCellLineEdit(viewport, events)), m_focusHome(focusHome) {
    // A cell may hold far more than the control's default limit of 32767
    // characters; a limit would cut the text off on its way back.
    m_edit->setMaxLength(std::numeric_limits<int>::max());
    m_edit->setFrame(true);
    m_edit->setFont(FontFromLogFont(font));
    Qt::Alignment align = Qt::AlignVCenter;
    switch (alignment) {
    case EditAlignment::Left: align |= Qt::AlignLeft; break;
    case EditAlignment::Centre: align |= Qt::AlignHCenter; break;
    case EditAlignment::Right: align |= Qt::AlignRight; break;
    }
    m_edit->setAlignment(align);
    m_edit->setGeometry(QRectFromRect(rect));
    // For a screen reader; the grid names it after the column where it can.
    m_edit->setAccessibleName(QStringLiteral("Edit cell"));
    m_edit->show();
}

CQtEditControl::~CQtEditControl() {
    if (!m_edit) return;
    CQtCellLineEdit* edit = m_edit.data();
    edit->DetachEvents();
    // Hiding a focused control would hand the focus to whatever comes next
    // in the window; it belongs to the grid.
    if (edit->hasFocus() && m_focusHome) m_focusHome->setFocus(Qt::OtherFocusReason);
    edit->hide();
    // The control may be inside one of its own event handlers right now.
    edit->deleteLater();
}

void CQtEditControl::SetText(const std::string& text) {
    m_setBytes = text;
    m_setText = TextFromBytes(text);
    if (m_edit) m_edit->setText(m_setText);
}

std::string CQtEditControl::GetText() const {
    if (!m_edit) return m_setBytes;
    const QString text = m_edit->text();
    if (text == m_setText) return m_setBytes;
    return Utf8FromText(text);
}

void CQtEditControl::SetSelection(int start, int end) {
    if (!m_edit) return;
    const std::string bytes = GetText();
    const int length = static_cast<int>(m_edit->text().size());
    const auto position = [&](int offset) {
        if (offset < 0) return length;
        return std::min(TextIndexOfByteOffset(bytes, static_cast<std::size_t>(offset)), length);
    };
    const int from = position(start);
    const int to = position(end);
    if (from == to) {
        m_edit->setCursorPosition(from);
    } else {
        // The caret ends up at the end of the selection, as with the classic control.
        m_edit->setSelection(std::min(from, to), std::abs(to - from));
    }
}

void CQtEditControl::ReplaceSelection(const std::string& text) {
    if (m_edit) m_edit->insert(TextFromBytes(text));
}

void CQtEditControl::Backspace() {
    if (m_edit) m_edit->backspace();
}

void CQtEditControl::SetFocus() {
    if (m_edit) m_edit->setFocus(Qt::OtherFocusReason);
}

Rect CQtEditControl::GetRect() const { return m_edit ? RectFromQRect(m_edit->geometry()) : Rect{}; }

void CQtEditControl::SetRect(const Rect& rect) {
    if (m_edit) m_edit->setGeometry(QRectFromRect(rect));
}

int CQtEditControl::GetTextWidth(const std::string& text) const {
    if (!m_edit) return 0;
    return m_edit->fontMetrics().horizontalAdvance(TextFromBytes(text));
}

}  // namespace tabulon::qt
