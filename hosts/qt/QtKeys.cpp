#include "qt/QtKeys.h"

#include "platform/Keys.h"

namespace tabulon::qt {

unsigned KeyFromQt(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Backspace: return Key::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Key::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::kReturn;
    case Qt::Key_Shift: return Key::kShift;
    case Qt::Key_Control: return Key::kControl;
    case Qt::Key_Escape: return Key::kEscape;
    case Qt::Key_Space: return Key::kSpace;
    case Qt::Key_PageUp: return Key::kPrior;
    case Qt::Key_PageDown: return Key::kNext;
    case Qt::Key_End: return Key::kEnd;
    case Qt::Key_Home: return Key::kHome;
    case Qt::Key_Left: return Key::kLeft;
    case Qt::Key_Up: return Key::kUp;
    case Qt::Key_Right: return Key::kRight;
    case Qt::Key_Down: return Key::kDown;
    case Qt::Key_Delete: return Key::kDelete;
    case Qt::Key_F2: return Key::kF2;
    default: break;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<unsigned>(qtKey);
    return 0;
}

unsigned ModifiersFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    unsigned flags = Modifier::kNone;
    if (modifiers & Qt::ShiftModifier) flags |= Modifier::kShift;
    if (modifiers & Qt::ControlModifier) flags |= Modifier::kControl;
    if (buttons & Qt::LeftButton) flags |= Modifier::kLeftButton;
    return flags;
}

}  // namespace tabulon::qt
