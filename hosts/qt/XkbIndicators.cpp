#include "qt/XkbIndicators.h"

#ifdef TABULON_HAVE_XKB

#include <X11/XKBlib.h>

#include <cstring>

namespace tabulon::qt::xkb {

std::optional<Indicators> Open(void* display) {
    auto* dpy = static_cast<Display*>(display);
    if (!dpy) return std::nullopt;
    int opcode = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    Indicators indicators;
    if (!XkbQueryExtension(dpy, &opcode, &indicators.eventBase, &errorBase, &major, &minor)) return std::nullopt;
    const char* const names[3] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    for (int i = 0; i < 3; ++i) {
        const Atom name = XInternAtom(dpy, names[i], True);
        int index = -1;
        Bool on = False;
        if (name != None && XkbGetNamedIndicator(dpy, name, &index, &on, nullptr, nullptr) && index >= 0 &&
            index < 32) {
            indicators.bit[static_cast<std::size_t>(i)] = index;
            if (on) indicators.state |= 1u << index;
        }
    }
    XkbSelectEvents(dpy, XkbUseCoreKbd, XkbIndicatorStateNotifyMask, XkbIndicatorStateNotifyMask);
    XFlush(dpy);
    return indicators;
}

std::optional<std::uint32_t> StateFromEvent(const Indicators& indicators, const void* xcbEvent) {
    // An extension event: its type, then the extension's own event kind;
    // the light state follows the time and the device.
    const auto* bytes = static_cast<const unsigned char*>(xcbEvent);
    if ((bytes[0] & 0x7F) != indicators.eventBase || bytes[1] != XkbIndicatorStateNotify) return std::nullopt;
    std::uint32_t state = 0;
    std::memcpy(&state, bytes + 12, sizeof state);
    return state;
}

}  // namespace tabulon::qt::xkb

#else

namespace tabulon::qt::xkb {

std::optional<Indicators> Open(void*) { return std::nullopt; }
std::optional<std::uint32_t> StateFromEvent(const Indicators&, const void*) { return std::nullopt; }

}  // namespace tabulon::qt::xkb

#endif
