#pragma once
// Qt's keys, modifiers and buttons as the grid's key codes and Modifier flags.

#include <Qt>

namespace tabulon::qt {

// The key code of a Qt key, or 0 for keys the grid has no code for. Letters
// and digits keep their upper-case character, as the classic codes do;
// Backtab is Tab (its Shift comes with the modifiers).
unsigned KeyFromQt(int qtKey);

// Shift, Ctrl, and kLeftButton while the left button is held.
unsigned ModifiersFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

}  // namespace tabulon::qt
