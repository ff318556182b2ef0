#pragma once
// The menu with pictures on Qt: the menu bar stays Qt's own, every
// drop-down item is measured and drawn by CIconMenu in the desktop's menu
// font and colours, and a letter typed in an open drop-down runs the item
// it marks.

#include <QMenu>
#include <QProxyStyle>
#include <functional>

#include "platform/MenuLook.h"
#include "qt/QtDesktop.h"
#include "ui/IconMenu.h"

class QMenuBar;

namespace tabulon::qt {

// The desktop's menu colours from the palette menus use, its menu font, and
// the height of a menu-bar line in the present style.
class CQtMenuLook final : public IMenuLook {
public:
    Colour GetColour(MenuColour which) const override;
    int GetMenuBarHeight() const override;
    LogFont GetMenuFont() const override;
};

// One drop-down menu (or a popup inside one), standing for a popup of the
// model; its actions are the popup's items in order.
class CQtIconMenu final : public QMenu {
    Q_OBJECT
public:
    CQtIconMenu(CIconMenu& model, const IMenuLook& look, QWidget* parent);

    CIconMenu& Model() const { return m_model; }
    const IMenuLook& Look() const { return m_look; }
    // The model's record of one of this menu's actions.
    const MenuItemData* DataOf(const QAction* action) const;

protected:
    // Tells the style which action it is drawing or measuring.
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CIconMenu& m_model;
    const IMenuLook& m_look;
};

// Hands the items of CQtIconMenus to their model; everything else, and the
// arrow of a popup entry, to the desktop's style.
class CQtIconMenuStyle final : public QProxyStyle {
    Q_OBJECT
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;

private:
    CQtDesktop m_desktop;
};

// Fills the menu bar from the model's top level: one CQtIconMenu for each
// drop-down and each popup inside one. onMenu sees every menu made (the
// drop-downs with topLevel true), onItem every command item with its id.
// Checked items of the model become checkable actions, checked.
void BuildIconMenuBar(QMenuBar& bar, CIconMenu& model, const IMenuLook& look,
                      const std::function<void(QMenu*, bool topLevel)>& onMenu,
                      const std::function<void(QAction*, int id)>& onItem);

// An item's text as the desktop names it: without the mnemonic mark and
// without the shortcut after the tab.
QString PlainMenuText(const std::string& text);

}  // namespace tabulon::qt
