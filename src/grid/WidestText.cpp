#include "grid/WidestText.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/ShownText.h"

namespace tabulon {

// The characters met so far, each with a slot number; the advances of the
// characters and of the pairs that occur are kept by slot. Slots are few:
// one per distinct character of the texts, up to kMaxSlots.
class CCharAdvances {
public:
    static constexpr int kMaxSlots = 1024;

    CCharAdvances(IDeviceContext& dc, const LogFont* font) : m_dc(dc), m_font(font) { m_low.fill(kUnknown); }

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
    // characters, or takes away from them. A pair without an advance makes
    // the texts it occurs in be measured. The most any pair adds (nothing
    // at least), or kNoBound when a pair has no advance.
    double MeasurePairs() {
        double most = 0;
        const std::size_t slots = m_chars.size();
        m_pairExtra.assign(slots * slots, 0.0);
        m_keepsGlyphs.assign(slots * slots, kNotAsked);
        m_pairsTakeAway = false;
        for (std::size_t first = 0; first < slots; ++first) {
            for (std::size_t second = 0; second < slots; ++second) {
                const std::size_t bit = first * kMaxSlots + second;
                if (!(m_pairsSeen[bit / 64] & (std::uint64_t{1} << (bit % 64)))) continue;
                const char32_t pair[2] = {m_chars[first], m_chars[second]};
                const std::optional<double> both = Measure(std::u32string_view(pair, 2));
                double& extra = m_pairExtra[first * slots + second];
                if (!both || !std::isfinite(*both)) {
                    extra = kUnmeasured;
                    most = kNoBound;
                } else {
                    extra = *both - m_advance[first] - m_advance[second];
                    if (extra < 0) m_pairsTakeAway = true;
                    if (most != kNoBound) most = std::max(most, extra);
                }
            }
        }
        return most;
    }

    // After MeasurePairs: what a pair adds (less than nothing where it
    // takes away); none for a pair without an advance.
    std::optional<double> PairExtra(int first, int second) const {
        const double extra = m_pairExtra[Pair(first, second)];
        if (std::isnan(extra)) return std::nullopt;
        return extra;
    }

    // Whether some pair takes anything away.
    bool PairsTakeAway() const { return m_pairsTakeAway; }

    // Whether the pair keeps the glyphs of its characters; asked once.
    bool KeepsGlyphs(int first, int second) {
        signed char& keeps = m_keepsGlyphs[Pair(first, second)];
        if (keeps == kNotAsked) {
            m_dc.SaveState();
            if (m_font) m_dc.SelectFont(*m_font);
            keeps = m_dc.PairKeepsGlyphs(m_chars[static_cast<std::size_t>(first)],
                                         m_chars[static_cast<std::size_t>(second)])
                        ? 1
                        : 0;
            m_dc.RestoreState();
        }
        return keeps == 1;
    }

    static constexpr double kNoBound = -1.0;

private:
    static constexpr char32_t kLow = 0x300;
    static constexpr int kUnknown = -2;
    static constexpr signed char kNotAsked = -1;
    static constexpr double kUnmeasured = std::numeric_limits<double>::quiet_NaN();

    std::size_t Pair(int first, int second) const {
        return static_cast<std::size_t>(first) * m_chars.size() + static_cast<std::size_t>(second);
    }

    int NewSlot(char32_t ch) {
        if (m_chars.size() >= static_cast<std::size_t>(kMaxSlots)) return -1;
        const std::optional<double> advance = Measure(std::u32string_view(&ch, 1));
        if (!advance || !std::isfinite(*advance) || *advance < 0) return -1;
        m_chars.push_back(ch);
        m_advance.push_back(*advance);
        return static_cast<int>(m_chars.size()) - 1;
    }

    std::optional<double> Measure(std::u32string_view chars) {
        m_dc.SaveState();
        if (m_font) m_dc.SelectFont(*m_font);
        const std::optional<double> advance = m_dc.GetCharsAdvance(chars);
        m_dc.RestoreState();
        return advance;
    }

    IDeviceContext& m_dc;
    const LogFont* m_font;
    std::array<int, kLow> m_low;
    std::unordered_map<char32_t, int> m_high;
    std::vector<char32_t> m_chars;
    std::vector<double> m_advance;
    std::vector<std::uint64_t> m_pairsSeen =
        std::vector<std::uint64_t>(static_cast<std::size_t>(kMaxSlots) * kMaxSlots / 64, 0);
    std::vector<double> m_pairExtra;         // kUnmeasured: a pair without an advance
    std::vector<signed char> m_keepsGlyphs;  // 1, 0 or kNotAsked
    bool m_pairsTakeAway = false;
};

namespace {

constexpr std::uint32_t kUnbounded = UINT32_MAX;

// The advances of the characters of text plus what each of its pairs adds,
// as measured, and what a pair takes away where it and the pairs on either
// side keep their glyphs; none when a pair has no advance.
std::optional<double> PairedAdvances(std::string_view text, CCharAdvances& advances) {
    double sum = 0;
    bool bounded = true;
    int before = -1;    // the slot of the character before previous
    int previous = -1;  // the slot of the last character
    // What the last pair takes away, counted once the pair after it is
    // known to keep its glyphs too; nothing when it cannot count.
    double takenAway = 0;
    ForEachShownCharacter(text, [&](char32_t ch) {
        const int slot = advances.SlotOf(ch);  // every character got its slot when the text was added
        sum += advances.Advance(slot);
        if (previous >= 0) {
            const std::optional<double> extra = advances.PairExtra(previous, slot);
            if (!extra) return bounded = false;
            const bool keeps = (takenAway < 0 || *extra < 0) && advances.KeepsGlyphs(previous, slot);
            if (takenAway < 0 && keeps) sum += takenAway;
            takenAway = 0;
            if (*extra >= 0)
                sum += *extra;
            else if (keeps && (before < 0 || advances.KeepsGlyphs(before, previous)))
                takenAway = *extra;
        }
        before = previous;
        previous = slot;
        return true;
    });
    if (!bounded) return std::nullopt;
    return sum + takenAway;  // the last pair has none after it
}

// The most a text of these advances can measure: the host rounds to the
// nearest pixel, and so does the bound (a hair up, against the last bit of
// a sum).
int Bound(double advances) {
    const double bound = std::floor(advances + 0.5 + 1e-9);
    return bound >= INT_MAX ? INT_MAX : static_cast<int>(bound);
}

}  // namespace

// 24 bytes: a column of a million texts has as many.
struct CWidestText::Entry {
    const char* chars;
    double advances;      // of its characters
    std::uint32_t size;   // of the text; one over 4 GB is measured by its first 4 GB
    std::uint32_t pairs;  // of neighbours; kUnbounded: a character without an advance
    std::string_view Text() const { return {chars, size}; }
};

CWidestText::CWidestText(IDeviceContext& dc, const LogFont* font)
    : m_dc(dc), m_font(font), m_advances(std::make_unique<CCharAdvances>(dc, font)) {}

CWidestText::~CWidestText() = default;

void CWidestText::Reserve(std::size_t count) { m_entries.reserve(count); }

void CWidestText::Add(std::string_view text) {
    Entry entry{text.data(), 0, static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), UINT32_MAX)), 0};
    CCharAdvances& advances = *m_advances;
    int previous = -1;
    ForEachShownCharacter(text, [&](char32_t ch) {
        const int slot = advances.SlotOf(ch);
        if (slot < 0) {
            entry.pairs = kUnbounded;
            return false;
        }
        entry.advances += advances.Advance(slot);
        if (previous >= 0) {
            advances.NotePair(previous, slot);
            ++entry.pairs;
        }
        previous = slot;
        return true;
    });
    m_entries.push_back(entry);
}

std::optional<WidestText> CWidestText::Find() {
    const std::size_t count = m_entries.size();
    if (count == 0) return std::nullopt;
    CCharAdvances& advances = *m_advances;
    const double widestPair = advances.MeasurePairs();
    m_dc.SaveState();
    if (m_font) m_dc.SelectFont(*m_font);

    WidestText widest{0, -1};
    // Texts recur (a genre, a year): each distinct one is measured once.
    std::unordered_set<std::string_view> measured;
    const auto measure = [&](std::size_t i) {
        std::string_view text = m_entries[i].Text();
        if (!measured.insert(text).second) return;
        const int width = m_dc.GetTextExtent(text).cx;
        if (width > widest.width) widest = {i, width};
    };

    // Every text without a bound.
    for (std::size_t i = 0; i < count; ++i)
        if (m_entries[i].pairs == kUnbounded) measure(i);

    // A first bound for every other text, each pair counted as the one that
    // adds most. The text with the highest goes first, as it is likely the
    // widest.
    BigVector<int> bounds(count, -1);
    std::size_t highest = count;
    for (std::size_t i = 0; i < count; ++i) {
        const Entry& entry = m_entries[i];
        if (entry.pairs == kUnbounded) continue;
        bounds[i] = widestPair == CCharAdvances::kNoBound ? INT_MAX : Bound(entry.advances + widestPair * entry.pairs);
        if (highest == count || bounds[i] > bounds[highest]) highest = i;
    }
    if (highest < count) measure(highest);

    // Then the texts whose bound beats the widest so far, highest first (a
    // counting sort: bounds are pixels, their range is small), until none
    // does. Where pairs add or take away anything, a text's own pairs tell it
    // more closely.
    int top = widest.width;
    for (int bound : bounds) top = std::max(top, bound);
    const int lowest = widest.width + 1;
    if (top >= lowest) {
        BigVector<std::size_t> order;
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
            if (widestPair != 0 || advances.PairsTakeAway()) {
                const std::optional<double> paired = PairedAdvances(m_entries[i].Text(), advances);
                if (paired && Bound(*paired) <= widest.width) continue;
            }
            measure(i);
        }
    }
    m_dc.RestoreState();
    return widest;
}

std::optional<WidestText> FindWidestText(std::size_t count, const std::function<std::string_view(std::size_t)>& textAt,
                                         IDeviceContext& dc) {
    CWidestText finder(dc, nullptr);
    for (std::size_t i = 0; i < count; ++i) finder.Add(textAt(i));
    return finder.Find();
}

}  // namespace tabulon
