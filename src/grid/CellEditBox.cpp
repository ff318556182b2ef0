#include "grid/CellEditBox.h"

#include <algorithm>

#include "base/ShownText.h"
#include "grid/GridCtrl.h"
#include "platform/Keys.h"

namespace tabulon {

CCellEditBox::CCellEditBox(CGridCtrl& grid, const Rect& rect, EditAlignment alignment, unsigned id, int row, int col,
                           const std::string& text, unsigned firstChar)
    : m_grid(grid),
      m_row(row),
      m_col(col),
      m_initialText(text),
      m_exitOnArrows(firstChar != kEditByMouse),
      m_rect(rect),
      m_id(id) {
    IGridWindow* window = grid.GetWindow();
    if (!window) return;
    m_control = window->CreateEditControl(*this, rect, alignment, grid.GetFont());
    if (!m_control) return;
    m_control->SetText(text);
    m_control->SetFocus();
    const bool replayed = firstChar & kReplayedKey;
    const unsigned key = firstChar & ~kReplayedKey;
    if (firstChar == kEditByMouse || firstChar == Key::kReturn) {
        m_control->SetSelection(-1, -1);
    } else if (firstChar == Key::kBack) {
        m_control->SetSelection(-1, -1);
        m_control->Backspace();
    } else if (firstChar == Key::kTab || firstChar == Key::kSpace || (replayed && Key::IsNavigation(key))) {
        m_control->SetSelection(0, -1);
    } else {
        m_control->SetSelection(0, -1);
        m_control->ReplaceSelection(Utf8Of(static_cast<char32_t>(key)));
        OnEditTextChanged();
    }
}

CCellEditBox::~CCellEditBox() {
    // Taking the control away may cost it the focus; that is no end of an edit.
    m_ended = true;
    m_control.reset();
}

std::string CCellEditBox::GetText() const { return m_control ? m_control->GetText() : m_initialText; }

void CCellEditBox::EndEdit() {
    if (m_ended) return;
    if (IGridWindow* window = m_grid.GetWindow()) window->SetFocus();
    // A platform that reports the lost focus has ended the edit by now.
    End();
}

void CCellEditBox::FinishWithKey(unsigned key, unsigned modifiers) {
    // The message may take the focus away; that does not end the edit.
    m_asking = true;
    const bool taken = m_grid.MayTakeTypedText(m_row, m_col, GetText(), true);
    m_asking = false;
    if (m_ended) return;
    if (!taken) {
        if (m_control) m_control->SetFocus();
        return;
    }
    m_lastKey = key;
    m_lastModifiers = modifiers;
    EndEdit();
}

bool CCellEditBox::OnEditKeyDown(unsigned key, unsigned modifiers) {
    if (m_ended) return true;
    switch (key) {
    case Key::kTab:
    case Key::kReturn: FinishWithKey(key, modifiers); return true;
    case Key::kEscape:
        if (m_control) m_control->SetText(m_initialText);
        FinishWithKey(key, modifiers);
        return true;
    case Key::kPrior:
    case Key::kNext:
    case Key::kLeft:
    case Key::kUp:
    case Key::kRight:
    case Key::kDown:
        if (m_exitOnArrows || (modifiers & Modifier::kControl)) {
            FinishWithKey(key, modifiers);
            return true;
        }
        return false;
    default: return false;
    }
}

void CCellEditBox::OnEditTextChanged() {
    if (!m_control || m_ended) return;
    // Room for the text and two blanks; the box grows to the right, but not
    // out of the grid's window.
    const int needed = m_control->GetTextWidth(m_control->GetText() + "  ");
    Rect rect = m_control->GetRect();
    if (needed <= rect.Width()) return;
    const IGridWindow* window = m_grid.GetWindow();
    const int limit = window ? window->GetClientSize().cx : rect.right;
    const int right = std::min(rect.left + needed, std::max(limit, rect.right));
    if (right <= rect.right) return;
    rect.right = right;
    m_control->SetRect(rect);
}

void CCellEditBox::OnEditKillFocus() {
    if (!m_asking) End();
}

void CCellEditBox::End() {
    if (m_ended) return;
    m_ended = true;
    const std::string text = GetText();
    // The grid may open the next edit from here; this box is closed after.
    m_grid.OnEditBoxEnded(m_row, m_col, text, m_lastKey, m_lastModifiers);
    m_control.reset();
}

}  // namespace tabulon
