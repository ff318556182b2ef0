#pragma once
// The in-place edit box that a text cell opens over itself. The grid's input
// code provides it; a cell only asks it to finish.

namespace tabulon {

class CCellEditBox {
public:
    virtual ~CCellEditBox() = default;
    virtual void EndEdit() = 0;
};

}  // namespace tabulon
