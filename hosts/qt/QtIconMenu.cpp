#include "qt/QtIconMenu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <vector>

#include "qt/QtDeviceContext.h"
#include "qt/QtFont.h"

namespace tabulon::qt {

// ---- The desktop's menu look ----

Colour CQtMenuLook::GetColour(MenuColour which) const {
    const QPalette palette = QApplication::palette("QMenu");
    const auto active = [&](QPalette::ColorRole role) {
        return ColourFromQColor(palette.color(QPalette::Active, role));
    };
    switch (which) {
    case MenuColour::Menu: return active(QPalette::Window);
    case MenuColour::MenuText: return active(QPalette::WindowText);
    case MenuColour::Highlight: return active(QPalette::Highlight);
    case MenuColour::HighlightText: return active(QPalette::HighlightedText);
    case MenuColour::GrayText: return ColourFromQColor(palette.color(QPalette::Disabled, QPalette::WindowText));
    case MenuColour::ButtonFace: return active(QPalette::Button);
    case MenuColour::ButtonText: return active(QPalette::ButtonText);
    case MenuColour::ButtonShadow: return active(QPalette::Dark);
    case MenuColour::ButtonHighlight: return active(QPalette::Light);
    case MenuColour::Light3D: return active(QPalette::Midlight);
    }
    return active(QPalette::Window);
}

int CQtMenuLook::GetMenuBarHeight() const {
    const QFontMetrics metrics(QApplication::font("QMenuBar"));
    QStyleOptionMenuItem option;
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = QStringLiteral("File");
    option.fontMetrics = metrics;
    const QSize text(metrics.horizontalAdvance(option.text), metrics.height());
    return QApplication::style()->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, nullptr).height();
}

LogFont CQtMenuLook::GetMenuFont() const { return LogFontFromFont(QApplication::font("QMenu")); }

// ---- One drop-down menu ----

CQtIconMenu::CQtIconMenu(CIconMenu& model, const IMenuLook& look, QWidget* parent)
    : QMenu(parent), m_model(model), m_look(look) {}

const MenuItemData* CQtIconMenu::DataOf(const QAction* action) const {
    if (!action) return nullptr;
    const CIconMenu::Item* item = m_model.GetItem(static_cast<int>(actions().indexOf(action)));
    return item ? item->data : nullptr;
}

void CQtIconMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    option->styleObject = const_cast<QAction*>(action);
}

void CQtIconMenu::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (plain && !typed.isEmpty() && typed.front().isPrint() && !typed.front().isSpace()) {
        const QList<uint> characters = typed.toUcs4();
        const MenuHandle handle = m_model.GetHandle();
        const std::uint32_t answer = CIconMenu::IsIconMenu(handle)
                                         ? CIconMenu::FindMnemonic(characters.front(), MenuFlag::kPopup, handle)
                                         : MenuChar::kIgnore;
        QAction* chosen =
            MenuChar::CodeOf(answer) == MenuChar::kExecute ? actions().value(MenuChar::PositionOf(answer)) : nullptr;
        if (chosen && chosen->isEnabled() && chosen->isVisible()) {
            // Chosen as Return would choose it: a command runs and every
            // menu closes, a popup entry opens its popup.
            setActiveAction(chosen);
            QKeyEvent choose(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QMenu::keyPressEvent(&choose);
            return;
        }
    }
    QMenu::keyPressEvent(event);
}

// ---- The style that hands items to the model ----

namespace {

struct Styled {
    const CQtIconMenu* menu = nullptr;
    const QStyleOptionMenuItem* option = nullptr;
    const MenuItemData* data = nullptr;
};

Styled StyledItem(const QStyleOption* option, const QWidget* widget) {
    Styled styled;
    styled.menu = qobject_cast<const CQtIconMenu*>(widget);
    styled.option = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (styled.menu && styled.option)
        styled.data = styled.menu->DataOf(qobject_cast<const QAction*>(styled.option->styleObject));
    return styled;
}

}  // namespace

QSize CQtIconMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                         const QWidget* widget) const {
    if (type == CT_MenuItem) {
        if (const Styled item = StyledItem(option, widget); item.data) {
            CQtMeasuringContext dc(m_desktop);
            MeasureItemRequest request{&dc, item.data->commandId, item.data, 0, 0};
            item.menu->Model().MeasureMenuItem(request);
            // An item without width would be left out of the menu altogether.
            return QSize(std::max(1, request.itemWidth), request.itemHeight);
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void CQtIconMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
    if (element == CE_MenuItem) {
        if (const Styled item = StyledItem(option, widget); item.data) {
            const QStyleOptionMenuItem& o = *item.option;
            unsigned state = 0;
            if (o.state & State_Selected) state |= MenuItemState::kSelected;
            if (!(o.state & State_Enabled)) state |= MenuItemState::kGrayed;
            if (o.checkType != QStyleOptionMenuItem::NotCheckable && o.checked) state |= MenuItemState::kChecked;
            if (!styleHint(SH_UnderlineShortcut, option, widget)) state |= MenuItemState::kNoAccel;
            painter->save();
            {
                CQtDeviceContext dc(*painter, m_desktop);
                item.menu->Model().DrawMenuItem({&dc, RectFromQRect(o.rect), state, item.data->commandId, item.data});
            }
            painter->restore();
            if (o.menuItemType == QStyleOptionMenuItem::SubMenu) {
                // The arrow of a popup entry is the desktop's, in the item's
                // text colour.
                const IMenuLook& look = item.menu->Look();
                const MenuColour ink = !(o.state & State_Enabled)   ? MenuColour::GrayText
                                       : (o.state & State_Selected) ? MenuColour::HighlightText
                                                                    : MenuColour::MenuText;
                QStyleOptionMenuItem arrow = o;
                const int side = std::max(5, o.rect.height() / 2 - 2);
                arrow.rect = QRect(o.rect.right() - side - 4, o.rect.top() + (o.rect.height() - side) / 2, side, side);
                arrow.state &= ~State_Selected;
                for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
                    arrow.palette.setColor(role, QColorFromColour(look.GetColour(ink)));
                QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
            }
            return;
        }
    } else if (element == CE_MenuEmptyArea) {
        if (const auto* menu = qobject_cast<const CQtIconMenu*>(widget)) {
            painter->fillRect(option->rect, QColorFromColour(menu->Look().GetColour(MenuColour::Menu)));
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void CQtIconMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const {
    // The panel behind the items in the items' own colour, so the margins
    // match them; a plain frame around it.
    if (const auto* menu = qobject_cast<const CQtIconMenu*>(widget)) {
        if (element == PE_PanelMenu) {
            painter->fillRect(option->rect, QColorFromColour(menu->Look().GetColour(MenuColour::Menu)));
            return;
        }
        if (element == PE_FrameMenu) {
            const QRect r = option->rect;
            const QColor frame = QColorFromColour(menu->Look().GetColour(MenuColour::ButtonShadow));
            const int w = std::max(1, pixelMetric(PM_MenuPanelWidth, option, widget));
            painter->fillRect(QRect(r.left(), r.top(), r.width(), w), frame);
            painter->fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), frame);
            painter->fillRect(QRect(r.left(), r.top(), w, r.height()), frame);
            painter->fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), frame);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

// ---- Building the menu bar ----

QString PlainMenuText(const std::string& text) {
    const QString whole = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QString label = whole.left(whole.indexOf(QLatin1Char('\t')));
    QString plain;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == QLatin1Char('&') && i + 1 < label.size()) ++i;
        plain += label[i];
    }
    return plain;
}

void BuildIconMenuBar(QMenuBar& bar, CIconMenu& model, const IMenuLook& look,
                      const std::function<void(QMenu*, bool topLevel)>& onMenu,
                      const std::function<void(QAction*, int id)>& onItem) {
    std::vector<CQtIconMenu*> made;
    const auto textOf = [](const CIconMenu::Item& item) { return item.data ? item.data->text : item.text; };
    std::function<void(CQtIconMenu&)> fill = [&](CQtIconMenu& into) {
        CIconMenu& popup = into.Model();
        for (int i = 0; i < popup.GetMenuItemCount(); ++i) {
            const CIconMenu::Item& item = *popup.GetItem(i);
            if (item.flags & MenuFlag::kSeparator) {
                into.addSeparator();
            } else if (item.popup) {
                auto* sub = new CQtIconMenu(*item.popup, look, &into);
                sub->setTitle(PlainMenuText(textOf(item)));
                into.addMenu(sub);
                made.push_back(sub);
                onMenu(sub, false);
                fill(*sub);
            } else {
                QAction* action = into.addAction(PlainMenuText(textOf(item)));
                action->setMenuRole(QAction::NoRole);
                action->setEnabled(!(item.flags & (MenuFlag::kGrayed | MenuFlag::kDisabled)));
                // The model knows no other check state than the one it was
                // built with, so the items that start checked are the
                // checkable ones.
                if (item.flags & MenuFlag::kChecked) {
                    action->setCheckable(true);
                    action->setChecked(true);
                }
                onItem(action, static_cast<int>(item.id));
            }
        }
    };
    for (int i = 0; i < model.GetMenuItemCount(); ++i) {
        const CIconMenu::Item& item = *model.GetItem(i);
        if (!item.popup) continue;  // the menu bar holds drop-downs only
        // The menu bar keeps the mark: Qt underlines it and opens the menu on Alt and the letter.
        auto* menu = new CQtIconMenu(*item.popup, look, &bar);
        menu->setTitle(QString::fromUtf8(textOf(item).c_str()));
        bar.addMenu(menu);
        made.push_back(menu);
        onMenu(menu, true);
        fill(*menu);
    }
    // Made after the menus, so it goes after them when the bar is deleted.
    auto* style = new CQtIconMenuStyle;
    style->setParent(&bar);
    for (CQtIconMenu* menu : made) menu->setStyle(style);
}

}  // namespace tabulon::qt
