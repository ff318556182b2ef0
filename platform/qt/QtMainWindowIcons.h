#pragma once
// The program's own pictures: one per toolbar command, drawn at start, and
// the program's icon.

#include <QIcon>

namespace tabulon::qt {

// The picture of a menu command id (CommandId); a null icon for others.
QIcon CommandIcon(int command);
// The program's icon at every size it is drawn in, the one the desktop's
// application menu shows.
QIcon ApplicationIcon();

}  // namespace tabulon::qt
