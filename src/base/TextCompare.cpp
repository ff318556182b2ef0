#include "base/TextCompare.h"

#include <algorithm>
#include <cstring>

namespace tabulon {

int CompareWithCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    if (n != 0) {
        if (int r = std::memcmp(a.data(), b.data(), n); r != 0) return r < 0 ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    if (a.size() == b.size() && (n == 0 || std::memcmp(a.data(), b.data(), n) == 0)) return 0;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned ca = static_cast<unsigned char>(a[i]);
        unsigned cb = static_cast<unsigned char>(b[i]);
        if (ca == cb) continue;
        if (ca >= 'A' && ca <= 'Z') ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z') cb += 'a' - 'A';
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace tabulon
