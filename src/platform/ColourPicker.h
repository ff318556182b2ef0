#pragma once
// The desktop's colour picker.

#include <optional>

namespace tabulon {

struct PickedColour {
    unsigned red = 0;  // 0..255 each
    unsigned green = 0;
    unsigned blue = 0;
};

class IColourPicker {
public:
    virtual ~IColourPicker() = default;
    // Shows the picker starting at initial; the colour chosen, or none when
    // the user cancels.
    virtual std::optional<PickedColour> PickColour(const PickedColour& initial) = 0;
};

}  // namespace tabulon
