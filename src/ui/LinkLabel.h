#pragma once
// A text label that behaves like a web link: underlined, in the link colour,
// a pointing-hand cursor, its target in a tooltip, and a click that opens the
// target with the desktop's default program.

#include <string>

#include "platform/DrawingTypes.h"

namespace tabulon {

class IMessageBox;
class IShell;

enum class LabelAlign { Left, Centre, Right };

// The label's window, as the host shows it.
class ILinkLabelWindow {
public:
    virtual ~ILinkLabelWindow() = default;
    virtual std::string GetText() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual LabelAlign Alignment() const = 0;
    // Whether the text stands centred from top to bottom.
    virtual bool CentredVertically() const = 0;
    // The label's place in its parent; right and bottom are one past it.
    virtual Rect GetRect() const = 0;
    virtual void SetRect(const Rect& rect) = 0;
    // The size of text in the label's font.
    virtual Size TextExtent(const std::string& text) const = 0;
    virtual void SetUnderline(bool underline) = 0;
    // The text colour; the parent's background shows through the label.
    virtual void SetTextColour(Colour colour) = 0;
    // Shows the desktop's pointing hand over the label; false when the
    // desktop has none, and the normal pointer stays.
    virtual bool ShowHandCursor() = 0;
    virtual void SetToolTip(const std::string& text) = 0;
    virtual void Redraw() = 0;
    virtual void Beep() = 0;
};

class CLinkLabel {
public:
    static constexpr Colour kLinkColour = MakeColour(0, 0, 238);
    static constexpr int kShowNormal = 5;

    CLinkLabel(IShell& shell, IMessageBox& messages) : m_shell(shell), m_messages(messages) {}

    // Makes window the link. An empty target takes the window's text; an
    // empty text shows the target.
    void Attach(ILinkLabelWindow& window);
    void SetTarget(const std::string& target);
    const std::string& Target() const { return m_target; }
    // Before Attach: whether the text is underlined, and whether the label
    // shrinks to its text.
    void SetUnderline(bool underline) { m_underline = underline; }
    void SetFitToText(bool fit) { m_fitToText = fit; }

    // Shrinks the label to its text, keeping its left edge, its centre or its
    // right edge as its alignment says.
    void FitToText();
    // Opens the target; a failure beeps and says why.
    void OnClick();
    // The pointer is over the label (true) or has left it.
    void OnMouseOver(bool over);
    bool IsOver() const { return m_over; }
    bool HasHandCursor() const { return m_handCursor; }

private:
    IShell& m_shell;
    IMessageBox& m_messages;
    ILinkLabelWindow* m_window = nullptr;
    std::string m_target;
    bool m_over = false;
    bool m_underline = true;
    bool m_fitToText = true;
    bool m_handCursor = false;
};

}  // namespace tabulon
