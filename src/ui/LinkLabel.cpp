#include "ui/LinkLabel.h"

#include "output/OpenError.h"
#include "platform/Shell.h"

namespace tabulon {

void CLinkLabel::Attach(ILinkLabelWindow& window) {
    m_window = &window;
    if (m_target.empty()) m_target = window.GetText();
    if (window.GetText().empty()) window.SetText(m_target);
    window.SetUnderline(m_underline);
    window.SetTextColour(kLinkColour);
    FitToText();
    m_handCursor = window.ShowHandCursor();
    window.SetToolTip(m_target);
}

void CLinkLabel::SetTarget(const std::string& target) {
    m_target = target;
    if (!m_window) return;
    FitToText();
    m_window->SetToolTip(m_target);
}

void CLinkLabel::FitToText() {
    if (!m_window || !m_fitToText) return;
    Rect rect = m_window->GetRect();
    const Size text = m_window->TextExtent(m_window->GetText());
    if (m_window->CentredVertically()) {
        const int spare = rect.Height() - text.cy;
        rect.top += spare / 2;
        rect.bottom = rect.top + text.cy;
    } else {
        rect.bottom = rect.top + text.cy;
    }
    switch (m_window->Alignment()) {
    case LabelAlign::Centre: {
        const int spare = rect.Width() - text.cx;
        rect.left += spare / 2;
        rect.right = rect.left + text.cx;
        break;
    }
    case LabelAlign::Right: rect.left = rect.right - text.cx; break;
    case LabelAlign::Left: rect.right = rect.left + text.cx; break;
    }
    m_window->SetRect(rect);
}

void CLinkLabel::OnClick() {
    const int result = m_shell.OpenTarget(m_target, kShowNormal);
    if (OpenResult::Succeeded(result)) return;
    if (m_window) m_window->Beep();
    ShowOpenError(m_messages, result);
}

void CLinkLabel::OnMouseOver(bool over) {
    if (over == m_over) return;
    m_over = over;
    if (m_window) m_window->Redraw();
}

}  // namespace tabulon
