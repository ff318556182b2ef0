#include "qt/QtPopupMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QStatusTipEvent>
#include <optional>
#include <string>

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

namespace {

// Where the next menu opens, when not at the pointer.
std::optional<QPoint>& NextMenuPlace() {
    static std::optional<QPoint> place;
    return place;
}

// The item's text with "&" before its letter for the keyboard.
QString TextWithMnemonic(const MenuItem& item) {
    if (item.mnemonic == 0) return TextFromBytes(item.text);
    std::string text;
    bool marked = false;
    for (const char c : item.text) {
        if (c == '&') text += '&';
        if (!marked && c == item.mnemonic) {
            text += '&';
            marked = true;
        }
        text += c;
    }
    return TextFromBytes(text);
}

}  // namespace

void CQtPopupMenu::PlaceNextMenu(const QPoint& global) { NextMenuPlace() = global; }

void CQtPopupMenu::FillMenu(QMenu& menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(TextWithMnemonic(item));
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
        const QPoint at = NextMenuPlace().value_or(QCursor::pos());
        NextMenuPlace().reset();
        chosen = menu.exec(at);
    }
    // The last highlighted prompt would otherwise stay up.
    ShowStatusTip(m_owner.data(), QString());
    return chosen && chosen->isEnabled() ? chosen->data().toInt() : 0;
}

}  // namespace tabulon::qt
