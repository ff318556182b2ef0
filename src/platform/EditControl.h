#pragma once
// The one-line edit control a cell is edited in, a child of the grid window.

#include <memory>
#include <string>

#include "platform/DrawingTypes.h"
#include "platform/LogFont.h"

namespace tabulon {

// What the control reports to the logic that runs it.
class IEditControlEvents {
public:
    virtual ~IEditControlEvents() = default;
    // A key press in the control; true when it was dealt with, false lets the
    // control do its usual (caret moves, typing, deleting).
    virtual bool OnEditKeyDown(unsigned key, unsigned modifiers) = 0;
    // The text changed by typing.
    virtual void OnEditTextChanged() = 0;
    // The control lost the keyboard focus.
    virtual void OnEditKillFocus() = 0;
};

enum class EditAlignment { Left, Centre, Right };

class IEditControl {
public:
    // Destroying the control takes it off the screen.
    virtual ~IEditControl() = default;
    virtual void SetText(const std::string& text) = 0;
    virtual std::string GetText() const = 0;
    // Selects the characters [start, end); end -1 means up to the end. A
    // selection of nothing at the end puts the caret there.
    virtual void SetSelection(int start, int end) = 0;
    // Replaces the selection with text, as typing does.
    virtual void ReplaceSelection(const std::string& text) = 0;
    // Deletes the character before the caret, or the selection.
    virtual void Backspace() = 0;
    virtual void SetFocus() = 0;
    // Rectangles in the grid window's client coordinates, right and bottom
    // excluded.
    virtual Rect GetRect() const = 0;
    virtual void SetRect(const Rect& rect) = 0;
    // Width of a text in the control's font.
    virtual int GetTextWidth(const std::string& text) const = 0;
};

}  // namespace tabulon
