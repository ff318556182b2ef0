#pragma once
// The colour picker as QColorDialog.

#include "platform/ColourPicker.h"

class QWidget;

namespace tabulon::qt {

class CQtColourPicker final : public IColourPicker {
public:
    explicit CQtColourPicker(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<PickedColour> PickColour(const PickedColour& initial) override;

private:
    QWidget* m_parent;
};

}  // namespace tabulon::qt
