#include "qt/QtPopupMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QStatusTipEvent>

#include "qt/QtAsking.h"
#include "qt/QtText.h"

namespace tabulon::qt {

namespace {

void ShowStatusTip(QWidget* owner, const QString& text) {
    if (!owner) return;
    QStatusTipEvent tip(text);
    QCoreApplication::sendEvent(owner, &tip);
}

}  // namespace

void CQtPopupMenu::FillMenu(QMenu& menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(TextFromBytes(item.text));
        action->setData(item.id);
        action->setStatusTip(TextFromBytes(item.prompt));
        action->setEnabled(!item.grayed);
        if (item.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

int CQtPopupMenu::ShowPopupMenu(const std::vector<MenuItem>& items) {
    QMenu menu(m_owner.data());
    FillMenu(menu, items);
    // The menu is a window of its own, where a status tip would stop; the
    // owner passes it on to the main window's status bar.
    QObject::connect(&menu, &QMenu::hovered, &menu,
                     [owner = m_owner](QAction* action) { ShowStatusTip(owner.data(), action->statusTip()); });
    QAction* chosen = nullptr;
    {
        const CAsking asking;
        chosen = menu.exec(QCursor::pos());
    }
    // The last highlighted prompt would otherwise stay up.
    ShowStatusTip(m_owner.data(), QString());
    return chosen && chosen->isEnabled() ? chosen->data().toInt() : 0;
}

}  // namespace tabulon::qt
