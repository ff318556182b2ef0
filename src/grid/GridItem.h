#pragma once
// Several attributes of one cell at once, applied by CGridCtrl::SetGridItem.

#include <cstdint>
#include <string>

#include "platform/DrawingTypes.h"
#include "platform/LogFont.h"

namespace tabulon {

namespace GridItemMask {
constexpr unsigned kText = 0x001;
constexpr unsigned kImage = 0x002;
constexpr unsigned kData = 0x004;
constexpr unsigned kState = 0x008;
constexpr unsigned kBackColour = 0x010;
constexpr unsigned kTextColour = 0x020;
constexpr unsigned kFormat = 0x040;
constexpr unsigned kFont = 0x080;
constexpr unsigned kMargin = 0x100;
}  // namespace GridItemMask

struct GridItem {
    std::int32_t row = -1;
    std::int32_t col = -1;
    unsigned mask = 0;
    CellStates state;
    TextFormats format;
    std::int32_t image = -1;
    Colour backColour = kDefaultColour;
    Colour textColour = kDefaultColour;
    std::uint32_t data = 0;
    LogFont font;
    unsigned margin = 0;
    std::string text;
};

}  // namespace tabulon
