#pragma once
// The lock lights of the X keyboard extension, without X's headers (their
// macros clash with Qt's names). Only on X11 builds.

#include <array>
#include <cstdint>
#include <optional>

namespace tabulon::qt::xkb {

struct Indicators {
    int eventBase = 0;
    // The bit of each light in the indicator state, -1 when the keyboard
    // has no such light; Caps, Num, Scroll.
    std::array<int, 3> bit{-1, -1, -1};
    std::uint32_t state = 0;
};

// Looks up the three lights and asks the server to report their changes;
// none when the display has no keyboard extension.
std::optional<Indicators> Open(void* display);

// The new indicator state when the event is a change of the lights.
std::optional<std::uint32_t> StateFromEvent(const Indicators& indicators, const void* xcbEvent);

}  // namespace tabulon::qt::xkb
