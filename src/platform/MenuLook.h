#pragma once
// How the desktop dresses its drop-down menus: colours, the menu-bar line
// height and the menu font.

#include "platform/DrawingTypes.h"
#include "platform/LogFont.h"

namespace tabulon {

enum class MenuColour {
    Menu,  // background
    MenuText,
    Highlight,  // the selected item
    HighlightText,
    GrayText,  // text of disabled items
    ButtonFace,
    ButtonText,
    ButtonShadow,     // dark side of 3-D frames
    ButtonHighlight,  // light side of 3-D frames
    Light3D,          // inside of a pressed picture box
};

class IMenuLook {
public:
    virtual ~IMenuLook() = default;
    virtual Colour GetColour(MenuColour which) const = 0;
    // The height of one line of the menu bar.
    virtual int GetMenuBarHeight() const = 0;
    virtual LogFont GetMenuFont() const = 0;
};

}  // namespace tabulon
