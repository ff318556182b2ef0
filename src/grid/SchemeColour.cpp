#include "grid/SchemeColour.h"

#include <cmath>
#include <utility>

namespace tabulon {

namespace {

double Linear(unsigned component) {
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Colour c) {
    return 0.2126 * Linear(RedOf(c)) + 0.7152 * Linear(GreenOf(c)) + 0.0722 * Linear(BlueOf(c));
}

Colour Mix(Colour from, Colour to, int part, int parts) {
    const auto mix = [&](unsigned a, unsigned b) {
        return static_cast<unsigned>((static_cast<int>(a) * (parts - part) + static_cast<int>(b) * part) / parts);
    };
    return MakeColour(mix(RedOf(from), RedOf(to)), mix(GreenOf(from), GreenOf(to)), mix(BlueOf(from), BlueOf(to)));
}

}  // namespace

double ContrastRatio(Colour a, Colour b) {
    double la = Luminance(a);
    double lb = Luminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

Colour SchemeBackColour(Colour back, Colour text, const IDesktop& desktop) {
    if (ContrastRatio(back, text) >= kReadableContrast) return back;
    const Colour window = desktop.GetSysColour(SysColour::Window);
    // A scheme whose own window colour does not carry its text is left as
    // it is: the program does not repaint the desktop's choices.
    if (ContrastRatio(window, text) < kReadableContrast) return back;
    // White items are what a light scheme's window looks like.
    if (back == MakeColour(255, 255, 255)) return window;
    constexpr int kParts = 8;
    for (int part = 1; part < kParts; ++part) {
        const Colour mixed = Mix(back, window, part, kParts);
        if (ContrastRatio(mixed, text) >= kReadableContrast) return mixed;
    }
    return window;
}

}  // namespace tabulon
