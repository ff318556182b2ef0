#include "grid/WidestText.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/ShownText.h"

namespace tabulon {

namespace {

// The characters met so far, each with a slot number; the advances of the
// characters and of the pairs that occur are kept by slot. Slots are few:
// one per distinct character of the texts, up to kMaxSlots.
class CAdvances {
public:
    static constexpr int kMaxSlots = 1024;

    explicit CAdvances(IDeviceContext& dc) : m_dc(dc) { m_low.fill(kUnknown); }

    // The slot of ch; -1 when it has no advance of its own.
    int SlotOf(char32_t ch) {
        if (ch < kLow) {
            int& slot = m_low[ch];
            if (slot == kUnknown) slot = NewSlot(ch);
            return slot;
        }
        const auto it = m_high.find(ch);
        if (it != m_high.end()) return it->second;
        const int slot = NewSlot(ch);
        m_high.emplace(ch, slot);
        return slot;
    }

    double Advance(int slot) const { return m_advance[static_cast<std::size_t>(slot)]; }

    void NotePair(int first, int second) {
        const std::size_t bit = static_cast<std::size_t>(first) * kMaxSlots + static_cast<std::size_t>(second);
        m_pairsSeen[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }

    // Measures the pairs noted: what each adds to the advances of its two
    // characters, never counted below nothing. A pair without an advance
    // makes the texts it occurs in be measured. The most any pair adds, or
    // kNoBound when a pair has no advance.
    double MeasurePairs() {
        double most = 0;
        const std::size_t slots = m_chars.size();
        m_pairExtra.assign(slots * slots, 0.0);
        for (std::size_t first = 0; first < slots; ++first) {
            for (std::size_t second = 0; second < slots; ++second) {
                const std::size_t bit = first * kMaxSlots + second;
                if (!(m_pairsSeen[bit / 64] & (std::uint64_t{1} << (bit % 64)))) continue;
                const char32_t pair[2] = {m_chars[first], m_chars[second]};
                const std::optional<double> both = m_dc.GetCharsAdvance(std::u32string_view(pair, 2));
                double& extra = m_pairExtra[first * slots + second];
                if (!both || !std::isfinite(*both)) {
                    extra = kNoBound;
                    most = kNoBound;
                } else {
                    extra = std::max(0.0, *both - m_advance[first] - m_advance[second]);
                    if (most != kNoBound) most = std::max(most, extra);
                }
            }
        }
        return most;
    }

    // After MeasurePairs; kNoBound for a pair without an advance.
    double PairExtra(int first, int second) const {
        return m_pairExtra[static_cast<std::size_t>(first) * m_chars.size() + static_cast<std::size_t>(second)];
    }

    static constexpr double kNoBound = -1.0;

private:
    static constexpr char32_t kLow = 0x300;
    static constexpr int kUnknown = -2;

    int NewSlot(char32_t ch) {
        if (m_chars.size() >= static_cast<std::size_t>(kMaxSlots)) return -1;
        const std::optional<double> advance = m_dc.GetCharsAdvance(std::u32string_view(&ch, 1));
        if (!advance || !std::isfinite(*advance) || *advance < 0) return -1;
        m_chars.push_back(ch);
        m_advance.push_back(*advance);
        return static_cast<int>(m_chars.size()) - 1;
    }

    IDeviceContext& m_dc;
    std::array<int, kLow> m_low;
    std::unordered_map<char32_t, int> m_high;
    std::vector<char32_t> m_chars;
    std::vector<double> m_advance;
    std::vector<std::uint64_t> m_pairsSeen =
        std::vector<std::uint64_t>(static_cast<std::size_t>(kMaxSlots) * kMaxSlots / 64, 0);
    std::vector<double> m_pairExtra;
};

// What the first look at a text found: the advances of its characters
// added up, and how many neighbouring pairs it has; pairs = kUnbounded for
// a text with a character that has no advance.
struct FirstLook {
    double advances = 0;
    std::uint32_t pairs = 0;
};
constexpr std::uint32_t kUnbounded = UINT32_MAX;

FirstLook LookAt(std::string_view text, CAdvances& advances) {
    FirstLook look;
    int previous = -1;
    ForEachShownCharacter(text, [&](char32_t ch) {
        const int slot = advances.SlotOf(ch);
        if (slot < 0) {
            look.pairs = kUnbounded;
            return false;
        }
        look.advances += advances.Advance(slot);
        if (previous >= 0) {
            advances.NotePair(previous, slot);
            ++look.pairs;
        }
        previous = slot;
        return true;
    });
    return look;
}

// The advances of the characters of text plus what each of its pairs adds,
// as measured; none when a pair has no advance.
std::optional<double> PairedAdvances(std::string_view text, CAdvances& advances) {
    double sum = 0;
    bool bounded = true;
    int previous = -1;
    ForEachShownCharacter(text, [&](char32_t ch) {
        const int slot = advances.SlotOf(ch);  // every character got its slot on the first look
        sum += advances.Advance(slot);
        if (previous >= 0) {
            const double extra = advances.PairExtra(previous, slot);
            if (extra == CAdvances::kNoBound) return bounded = false;
            sum += extra;
        }
        previous = slot;
        return true;
    });
    if (!bounded) return std::nullopt;
    return sum;
}

// The most a text of these advances can measure. Rounded up, and one pixel
// more, so that rounding never makes a bound too low.
int Bound(double advances) {
    const double bound = std::ceil(advances) + 1;
    return bound >= INT_MAX ? INT_MAX : static_cast<int>(bound);
}

}  // namespace

std::optional<WidestText> FindWidestText(std::size_t count,
                                         const std::function<const std::string&(std::size_t)>& textAt,
                                         IDeviceContext& dc) {
    if (count == 0) return std::nullopt;
    CAdvances advances(dc);
    std::vector<FirstLook> looks(count);
    for (std::size_t i = 0; i < count; ++i) looks[i] = LookAt(textAt(i), advances);
    const double widestPair = advances.MeasurePairs();

    WidestText widest{0, -1};
    // Texts recur (a genre, a year): each distinct one is measured once.
    std::unordered_set<std::string_view> measured;
    const auto measure = [&](std::size_t i) {
        if (!measured.insert(textAt(i)).second) return;
        const int width = dc.GetTextExtent(textAt(i)).cx;
        if (width > widest.width) widest = {i, width};
    };

    // Every text without a bound.
    for (std::size_t i = 0; i < count; ++i)
        if (looks[i].pairs == kUnbounded) measure(i);

    // A first bound for every other text: each pair counted as the one that
    // adds most. The text with the highest goes first, as it is likely the
    // widest.
    std::vector<int> bounds(count, -1);
    std::size_t highest = count;
    for (std::size_t i = 0; i < count; ++i) {
        if (looks[i].pairs == kUnbounded) continue;
        bounds[i] = widestPair == CAdvances::kNoBound
                        ? INT_MAX
                        : Bound(looks[i].advances + widestPair * looks[i].pairs);
        if (highest == count || bounds[i] > bounds[highest]) highest = i;
    }
    std::vector<FirstLook>().swap(looks);
    if (highest < count) measure(highest);

    // Then the texts whose bound beats the widest so far, highest first (a
    // counting sort: bounds are pixels, their range is small), until none
    // does. Where pairs add anything, a text's own pairs tell it more closely.
    int top = widest.width;
    for (int bound : bounds) top = std::max(top, bound);
    const int lowest = widest.width + 1;
    if (top >= lowest) {
        std::vector<std::size_t> order;
        if (static_cast<std::size_t>(top - lowest) < 4 * count) {
            std::vector<std::uint32_t> start(static_cast<std::size_t>(top - lowest) + 2, 0);
            for (int bound : bounds)
                if (bound >= lowest) ++start[static_cast<std::size_t>(top - bound) + 1];
            for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
            order.resize(start.back());
            for (std::size_t i = 0; i < count; ++i)
                if (bounds[i] >= lowest) order[start[static_cast<std::size_t>(top - bounds[i])]++] = i;
        } else {
            for (std::size_t i = 0; i < count; ++i)
                if (bounds[i] >= lowest) order.push_back(i);
            std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return bounds[a] > bounds[b]; });
        }
        for (std::size_t i : order) {
            if (bounds[i] <= widest.width) break;
            if (widestPair != 0) {
                const std::optional<double> paired = PairedAdvances(textAt(i), advances);
                if (paired && Bound(*paired) <= widest.width) continue;
            }
            measure(i);
        }
    }
    return widest;
}

}  // namespace tabulon
