#include "qt/QtColourPicker.h"

#include <QApplication>
#include <QColorDialog>

#include "qt/QtAsking.h"

namespace tabulon::qt {

std::optional<PickedColour> CQtColourPicker::PickColour(const PickedColour& initial) {
    const QColor start(static_cast<int>(initial.red & 0xFF), static_cast<int>(initial.green & 0xFF),
                       static_cast<int>(initial.blue & 0xFF));
    QWidget* modal = QApplication::activeModalWidget();
    const CAsking asking;
    const QColor chosen = QColorDialog::getColor(start, modal ? modal : m_parent, QStringLiteral("Color"));
    if (!chosen.isValid()) return std::nullopt;
    return PickedColour{static_cast<unsigned>(chosen.red()), static_cast<unsigned>(chosen.green()),
                        static_cast<unsigned>(chosen.blue())};
}

}  // namespace tabulon::qt
