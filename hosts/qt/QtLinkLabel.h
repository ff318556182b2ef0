#pragma once
// The link label as a QLabel: the label draws itself, the system's
// CLinkLabel decides how it looks and what a click does.

#include <QLabel>

#include "ui/LinkLabel.h"

namespace tabulon::qt {

class CQtLinkLabel final : public QLabel, public ILinkLabelWindow {
public:
    // The label's text and place are set before Attach, as a dialog's
    // static control has them before it becomes a link.
    CQtLinkLabel(IShell& shell, IMessageBox& messages, QWidget* parent = nullptr);

    CLinkLabel& Link() { return m_link; }
    void Attach() { m_link.Attach(*this); }

    // ILinkLabelWindow
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    LabelAlign Alignment() const override;
    bool CentredVertically() const override;
    Rect GetRect() const override;
    void SetRect(const Rect& rect) override;
    Size TextExtent(const std::string& text) const override;
    void SetUnderline(bool underline) override;
    void SetTextColour(Colour colour) override;
    bool ShowHandCursor() override;
    void SetToolTip(const std::string& text) override;
    void Redraw() override { update(); }
    void Beep() override;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CLinkLabel m_link;
};

}  // namespace tabulon::qt
