#pragma once
// The program's own pictures, drawn at start: one per toolbar command and
// the window's icon.

#include <QIcon>

namespace tabulon::qt {

// The picture of a menu command id (CommandId); a null icon for others.
QIcon CommandIcon(int command);
QIcon ApplicationIcon();

}  // namespace tabulon::qt
