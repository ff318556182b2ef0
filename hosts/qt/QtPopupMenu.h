#pragma once
// Right-button menus: a QMenu at the mouse pointer, built from the system's
// items each time it opens. An item's text may mark its access key with "&",
// as menu texts do; its prompt goes to the status bar of the window the owner
// lives in while the item is highlighted.

#include <QPointer>
#include <QWidget>
#include <vector>

#include "platform/PopupMenu.h"

class QMenu;

namespace tabulon::qt {

class CQtPopupMenu final : public IPopupMenuHost {
public:
    // owner: the widget the menu belongs to (a pane's grid); may be null.
    explicit CQtPopupMenu(QWidget* owner = nullptr) : m_owner(owner) {}

    int ShowPopupMenu(const std::vector<MenuItem>& items) override;

    // Puts items into menu as actions whose data is the command id and whose
    // status tip is the prompt; greyed items are disabled.
    static void FillMenu(QMenu& menu, const std::vector<MenuItem>& items);

    // The next menu opens at global (the top left corner of a cell), not at
    // the mouse pointer: it was asked for from the keyboard.
    static void PlaceNextMenu(const QPoint& global);

private:
    QPointer<QWidget> m_owner;
};

}  // namespace tabulon::qt
