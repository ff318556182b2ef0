#pragma once
// The toolbar's pictures, the same as the menu shows for the same command,
// and the program's icon.

#include <QIcon>

#include "app/CommandTable.h"

namespace tabulon::qt {

// The side of a toolbar button's picture.
constexpr int kToolbarPictureSize = 17;

// The picture of a menu command id (CommandId); a null icon for others.
QIcon CommandIcon(CommandId command);
// The program's icon at every size it is drawn in, the one the desktop's
// application menu shows.
QIcon ApplicationIcon();

}  // namespace tabulon::qt
