#include "grid/SortKeys.h"

#include <algorithm>
#include <functional>
#include <new>
#include <utility>

#include "base/TextCompare.h"
#include "grid/SortOrder.h"

namespace tabulon {

namespace {
// A block of keys: large enough to be few, small enough to waste little.
constexpr std::size_t kKeyBlock = std::size_t(1) << 20;
}  // namespace

void CSortKeys::Clear(std::size_t expected) {
    m_keys.clear();
    m_keys.reserve(expected);
    m_keyed = false;
    m_keyBlocks.clear();
    BigVector<Made>().swap(m_made);
    m_expectedKeys = expected;
}

const char* CSortKeys::KeyMadeFor(std::string_view text, std::size_t hash) const {
    const std::size_t mask = m_made.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Made& made = m_made[at];
        if (!made.key) return nullptr;
        if (made.hash != hash) continue;
        KeyedText original;
        std::memcpy(&original, made.key - sizeof original, sizeof original);
        if (std::string_view(original.text, original.size) == text) return made.key;
    }
}

void CSortKeys::AddKeyed(std::string_view text, int row, const CSortOrder& order) {
    if (!m_keyed && m_expectedKeys > kKeptRun) {
        std::size_t slots = 1;
        while (slots < 2 * m_expectedKeys) slots *= 2;
        m_made.resize(slots, Made{0, nullptr});
    }
    m_keyed = true;
    const std::size_t hash = m_made.empty() ? 0 : std::hash<std::string_view>{}(text);
    if (!m_made.empty()) {
        if (const char* key = KeyMadeFor(text, hash)) {
            m_keys.push_back({{KeyPrefix(key, 0), KeyPrefix(key, 8)}, key, 0, row});
            return;
        }
    }
    m_scratch.clear();
    order.AppendKey(text, m_scratch);
    const KeyedText original{text.data(), text.size()};
    const std::size_t needed = sizeof original + m_scratch.size();
    if (m_keyBlocks.empty() || m_keyBlocks.back().capacity() - m_keyBlocks.back().size() < needed) {
        m_keyBlocks.emplace_back();
        m_keyBlocks.back().reserve(std::max(kKeyBlock, needed));
    }
    std::string& block = m_keyBlocks.back();
    block.append(reinterpret_cast<const char*>(&original), sizeof original);
    const char* key = block.data() + block.size();
    block.append(m_scratch);
    if (!m_made.empty()) {
        const std::size_t mask = m_made.size() - 1;
        std::size_t at = hash & mask;
        while (m_made[at].key) at = (at + 1) & mask;
        m_made[at] = {hash, key};
    }
    m_keys.push_back({{KeyPrefix(key, 0), KeyPrefix(key, 8)}, key, 0, row});
}

bool CSortKeys::SameKeyAsPrevious(std::size_t k) const {
    const Key& a = m_keys[k - 1];
    const Key& b = m_keys[k];
    return a.prefix[0] == b.prefix[0] && a.prefix[1] == b.prefix[1] && std::strcmp(a.text, b.text) == 0;
}

// Eight bytes of a zero-ended key from position from, as one number that
// orders like the bytes; past its end a key is padded with zero bytes.
std::uint64_t CSortKeys::KeyPrefix(const char* key, std::size_t from) {
    std::size_t length = 0;
    while (length < from + 8 && key[length]) ++length;
    std::uint64_t prefix = 0;
    for (std::size_t k = from; k < from + 8; ++k)
        prefix = (prefix << 8) | (k < length ? static_cast<unsigned char>(key[k]) : 0u);
    return prefix;
}

void CSortKeys::Add(std::string_view text, int row) {
    // A text of 2 GB or more in one cell cannot be sorted here; nothing
    // the program reads makes one.
    if (text.size() >= kShort) throw std::bad_alloc();
    std::uint32_t folded = 0;
    const std::uint64_t first = FoldedPrefix(text, 0, folded);
    const std::uint64_t second = FoldedPrefix(text, 8, folded);
    const auto size = static_cast<std::uint32_t>(text.size());
    const std::uint32_t shape = size <= 16 ? kShort | (folded << kCaseShift) | size : size;
    m_keys.push_back({{first, second}, text.data(), shape, row});
}

void CSortKeys::ReleaseIfLarge() {
    // A whole-table sort would otherwise keep its scratch for the grid's life.
    if (m_keys.size() <= kKeptRun) return;
    BigVector<Key>().swap(m_keys);
    std::vector<std::string>().swap(m_keyBlocks);
}

// Eight bytes of a text from position from, with A-Z folded, as one number
// that orders like the bytes; past its end a text is padded with zero bytes.
// Two keys whose first sixteen bytes differ so compare as their texts would.
// folded gains bit k for each byte k that was folded.
std::uint64_t CSortKeys::FoldedPrefix(std::string_view text, std::size_t from, std::uint32_t& folded) {
    std::uint64_t prefix = 0;
    for (std::size_t k = from; k < from + 8; ++k) {
        unsigned byte = k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
        if (byte >= 'A' && byte <= 'Z') {
            byte += 'a' - 'A';
            folded |= 1u << k;
        }
        prefix = (prefix << 8) | byte;
    }
    return prefix;
}

int CSortKeys::Compare(const Key& a, const Key& b) const {
    if (a.prefix[0] != b.prefix[0]) return a.prefix[0] < b.prefix[0] ? -1 : 1;
    if (a.prefix[1] != b.prefix[1]) return a.prefix[1] < b.prefix[1] ? -1 : 1;
    if (m_keyed) {
        const int order = std::strcmp(a.text, b.text);
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    // Two short texts of one length with the same folded bytes are equal.
    if ((a.shape & b.shape & kShort) && ((a.shape ^ b.shape) & ((1u << kCaseShift) - 1)) == 0) return 0;
    return CompareNoCase(TextOf(a), TextOf(b));
}

bool CSortKeys::Differ(const Key& a, const Key& b) const {
    if (a.prefix[0] != b.prefix[0] || a.prefix[1] != b.prefix[1]) return true;
    if (m_keyed) return std::strcmp(a.text, b.text) != 0 || CompareWithCase(OriginalOf(a), OriginalOf(b)) != 0;
    // Short texts with the same folded bytes differ where different bytes were folded.
    if (a.shape & b.shape & kShort) return a.shape != b.shape;
    return CompareWithCase(TextOf(a), TextOf(b)) != 0;
}

void CSortKeys::Sort(bool ascending, const std::function<void(unsigned)>& onProgress) {
    BigVector<Made>().swap(m_made);  // every key is made: its room goes first
    if (m_keys.size() < 2) return;
    // Each level of the quicksort visits every key once; about log2(n) levels.
    m_onProgress = onProgress ? &onProgress : nullptr;
    m_visited = 0;
    m_expected = m_keys.size();
    for (std::size_t n = m_keys.size(); n > 1; n /= 2) m_expected += m_keys.size();
    Sort(ascending, 0, static_cast<int>(m_keys.size()) - 1);
    m_onProgress = nullptr;
}

void CSortKeys::Tick(std::size_t keys) {
    if (!m_onProgress) return;
    const std::size_t before = m_visited;
    m_visited += keys;
    // Often enough for a progress window, rarely enough to cost nothing.
    if (before / 65536 != m_visited / 65536)
        (*m_onProgress)(static_cast<unsigned>(std::min<std::size_t>(m_visited * 1000 / m_expected, 1000)));
}

// Quicksort with the middle entry as pivot. Places count from the start of
// the run, so the middle place is the middle row wherever the run starts.
// The smaller part is sorted by recursion and the larger one by the loop, so
// the depth stays logarithmic whatever the input.
void CSortKeys::Sort(bool ascending, int low, int high) {
    BigVector<Key>& keys = m_keys;
    while (low < high) {
        Tick(static_cast<std::size_t>(high - low) + 1);
        const Key pivot = keys[static_cast<std::size_t>(low + (high - low) / 2)];
        int i = low;
        int j = high;
        while (i <= j) {
            if (ascending) {
                while (i < high && Compare(keys[i], pivot) < 0) ++i;
                while (j > low && Compare(keys[j], pivot) > 0) --j;
            } else {
                while (i < high && Compare(keys[i], pivot) > 0) ++i;
                while (j > low && Compare(keys[j], pivot) < 0) --j;
            }
            if (i <= j) {
                if (Differ(keys[i], keys[j])) std::swap(keys[i], keys[j]);
                ++i;
                --j;
            }
        }
        // The two parts are disjoint, so sorting them in either order gives the same result.
        if (j - low < high - i) {
            if (low < j) Sort(ascending, low, j);
            low = i;
        } else {
            if (i < high) Sort(ascending, i, high);
            high = j;
        }
    }
}

}  // namespace tabulon
