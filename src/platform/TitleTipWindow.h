#pragma once
// The pop-up that shows a cell's whole text over a cell too narrow for it.

#include <string>

#include "platform/DrawingTypes.h"
#include "platform/LogFont.h"

namespace tabulon {

enum class MouseButton { Left, Right, Middle };

// What the pop-up reports while it is shown; points are in the grid window's
// client coordinates.
class ITitleTipEvents {
public:
    virtual ~ITitleTipEvents() = default;
    virtual void OnTipKeyDown(unsigned key, unsigned modifiers) = 0;
    virtual void OnTipMouseDown(MouseButton button, Point point, unsigned modifiers) = 0;
    // The release of a press that began on the tip.
    virtual void OnTipMouseUp(MouseButton button, Point point, unsigned modifiers) = 0;
    virtual void OnTipMouseMove(Point point, unsigned modifiers) = 0;
};

class ITitleTipWindow {
public:
    virtual ~ITitleTipWindow() = default;
    // rect is in the grid window's client coordinates, right and bottom
    // excluded; the window appears there on top, without taking the focus.
    virtual void Show(const Rect& rect, const std::string& text, const LogFont& font) = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    // Width and height of a text in a font, and the font's overhang.
    virtual Size MeasureText(const std::string& text, const LogFont& font) const = 0;
    virtual int GetFontOverhang(const LogFont& font) const = 0;
};

}  // namespace tabulon
