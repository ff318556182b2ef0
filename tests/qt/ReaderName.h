#pragma once
// What a screen reader says a widget is called: the text of the label that
// names it where there is one (as for a drop-down list on Linux), else its
// own name; a label's colon is not said.

#include <QAccessible>
#include <QWidget>

namespace tabulon::testing {

inline QString ReaderName(QWidget* widget) {
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
    if (!control) return {};
    const auto labels = control->relations(QAccessible::Label);
    if (!labels.isEmpty()) {
        QString label = labels.front().first->text(QAccessible::Name).trimmed();
        if (label.endsWith(':')) label.chop(1);
        return label.trimmed();
    }
    return control->text(QAccessible::Name);
}

}  // namespace tabulon::testing
