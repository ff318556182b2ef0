#include "grid/SortKeys.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "base/TextCompare.h"
#include "grid/MemoryHint.h"

namespace tabulon {

namespace {
// A block of keys: large enough to be few, small enough to waste little.
constexpr std::size_t kKeyBlock = std::size_t(1) << 20;
// The texts two threads make keys for at a time.
constexpr std::size_t kKeyChunk = 1024;
}  // namespace

void CSortKeys::Clear(std::size_t expected) {
    m_keys.clear();
    m_keys.reserve(expected);
    m_keyed = false;
    m_keysToMake = false;
    m_texts.clear();
    m_keyStore.Clear(true);
    m_expectedKeys = expected;
}

const char* CSortKeys::CKeyStore::Add(std::string_view key) {
    if (m_blocks.empty() || m_blocks.back().size - m_used < key.size()) {
        const std::size_t size = std::max(kKeyBlock, key.size());
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(size), size});
        m_used = 0;
    }
    char* at = m_blocks.back().bytes.get() + m_used;
    std::memcpy(at, key.data(), key.size());
    m_used += key.size();
    return at;
}

void CSortKeys::CKeyStore::Clear(bool keepOne) {
    if (keepOne && !m_blocks.empty() && m_blocks.front().size == kKeyBlock) {
        m_blocks.resize(1);
    } else {
        m_blocks.clear();
        m_blocks.shrink_to_fit();
    }
    m_used = 0;
}

void CSortKeys::CKeyStore::Take(CKeyStore& other) {
    if (m_blocks.empty()) {
        m_blocks = std::move(other.m_blocks);
        m_used = other.m_used;
    } else {
        // The last block stays the one written into.
        for (Block& block : other.m_blocks) m_blocks.insert(m_blocks.end() - 1, std::move(block));
    }
    other.m_blocks.clear();
    other.m_used = 0;
}

void CSortKeys::AddKeyed(std::string_view text, int row, const CSortOrder& order) {
    if (text.size() >= kShort) throw std::bad_alloc();  // as Add
    if (!m_keyed) {
        m_keyed = true;
        m_order = &order;
        m_keysToMake = m_expectedKeys > kKeptRun;
    }
    if (m_keysToMake) {
        // The texts are gathered with their hash now, while they are at
        // hand; their keys are made together once all are in.
        const std::uint64_t hash = std::hash<std::string_view>{}(text);
        m_keys.push_back({{hash, 0}, text.data(), static_cast<std::uint32_t>(text.size()), row});
        return;
    }
    // A short run: each text's key is made as it comes.
    m_scratch.clear();
    m_order->AppendKey(text, m_scratch);
    const char* key = m_keyStore.Add(m_scratch);
    const auto place = static_cast<std::uint32_t>(m_texts.size());
    m_texts.push_back({{KeyPrefix(key, 0), KeyPrefix(key, 8)}, key, text.data(), text.size()});
    m_keys.push_back({{m_texts.back().prefix[0], m_texts.back().prefix[1]}, key, place, row});
}

void CSortKeys::MakeKeysNow() {
    if (!m_keysToMake) return;
    m_keysToMake = false;
    FindTextsAndMakeKeys();
}

bool CSortKeys::AddPrepared(const CSortKeys& prepared, std::size_t& at, int row, const CSortOrder& order) {
    if (m_keysToMake || prepared.m_keysToMake || !prepared.m_keyed) return false;
    while (at < prepared.m_keys.size() && prepared.m_keys[at].row < row) ++at;
    if (at == prepared.m_keys.size() || prepared.m_keys[at].row != row) return false;
    if (!m_keyed) {
        m_keyed = true;
        m_order = &order;
    }
    const Key& made = prepared.m_keys[at];
    const auto place = static_cast<std::uint32_t>(m_texts.size());
    m_texts.push_back(prepared.m_texts[made.shape]);
    m_keys.push_back({{made.prefix[0], made.prefix[1]}, made.text, place, row});
    return true;
}

// A long run's texts are looked up in a table by their hash; the table is
// read some keys ahead of its use, and so are the texts a slot names, since
// each would otherwise be a wait for memory. Each key then holds the place
// of its distinct text in shape.
void CSortKeys::FindDistinctTexts(const std::function<void(std::size_t)>& found) {
    std::size_t slots = 2;
    while (slots < m_keys.size() + m_keys.size() / 2) slots *= 2;
    const std::size_t mask = slots - 1;
    // A slot: the upper half of a text's hash, and its place plus one (0
    // for an empty slot).
    BigVector<std::uint64_t> table(slots, 0);
    auto slotOf = [&](const Key& key) { return static_cast<std::size_t>(key.prefix[0]) & mask; };
    // Three stages ahead: the slot, the distinct text it names, its bytes.
    auto metAt = [&](std::size_t k) -> const KeyedText* {
        const std::uint64_t slot = table[slotOf(m_keys[k])];
        return slot ? &m_texts[static_cast<std::uint32_t>(slot) - 1] : nullptr;
    };
    for (std::size_t k = 0; k < m_keys.size(); ++k) {
        if (k + 12 < m_keys.size()) Prefetch(&table[slotOf(m_keys[k + 12])]);
        if (k + 8 < m_keys.size())
            if (const KeyedText* met = metAt(k + 8)) Prefetch(met);
        if (k + 4 < m_keys.size())
            if (const KeyedText* met = metAt(k + 4)) Prefetch(met->text);
        Key& key = m_keys[k];
        const std::uint64_t hash = key.prefix[0];
        const std::string_view text(key.text, key.shape);
        const auto upper = static_cast<std::uint32_t>(hash >> 32);
        std::size_t at = slotOf(key);
        for (;; at = (at + 1) & mask) {
            const std::uint64_t slot = table[at];
            if (!slot) break;
            if (static_cast<std::uint32_t>(slot >> 32) != upper) continue;
            const KeyedText& met = m_texts[static_cast<std::uint32_t>(slot) - 1];
            if (std::string_view(met.text, met.size) == text) break;
        }
        if (!table[at]) {
            table[at] = (std::uint64_t{upper} << 32) | (m_texts.size() + 1);
            m_texts.push_back({{0, 0}, nullptr, key.text, key.shape});
            if (m_texts.size() % kKeyChunk == 0) found(m_texts.size());
        }
        key.shape = static_cast<std::uint32_t>(table[at]) - 1;
    }
}

void CSortKeys::MakeKeys(std::size_t from, std::size_t to, CSortOrder::CKeyMaker& maker, CKeyStore& store,
                         std::string& scratch) {
    for (std::size_t t = from; t < to; ++t) {
        if (t + 8 < to) Prefetch(m_texts[t + 8].text);
        KeyedText& text = m_texts[t];
        scratch.clear();
        maker.AppendKey({text.text, text.size}, scratch);
        text.key = store.Add(scratch);
        text.prefix[0] = KeyPrefix(text.key, 0);
        text.prefix[1] = KeyPrefix(text.key, 8);
    }
}

// Making a language's keys is most of a long keyed sort. With two cores or
// more a second thread makes them, with a collator of its own, from the
// first distinct texts found while this one still looks for the rest; then
// both take the texts left in chunks. Where no thread can be had, this
// thread makes them all.
void CSortKeys::FindTextsAndMakeKeys() {
    // The texts never move while the other thread reads them.
    m_texts.reserve(m_keys.size());
    std::atomic<std::size_t> found{0};
    std::atomic<bool> allFound{false};
    std::atomic<std::size_t> nextChunk{0};
    // Makes keys for chunks of texts until none is left, waiting for texts
    // still being found.
    auto makeChunks = [&](CSortOrder::CKeyMaker& maker, CKeyStore& store, std::string& scratch) {
        for (;;) {
            const std::size_t from = nextChunk.fetch_add(1) * kKeyChunk;
            std::size_t to = from + kKeyChunk;
            for (;;) {
                const bool all = allFound.load(std::memory_order_acquire);
                const std::size_t ready = found.load(std::memory_order_acquire);
                if (ready >= to) break;
                if (all) {
                    to = ready;
                    break;
                }
                std::this_thread::yield();
            }
            if (from >= to) return;
            MakeKeys(from, to, maker, store, scratch);
        }
    };
    CKeyStore otherStore;
    std::exception_ptr otherFailure;
    std::thread other;
    if (m_keys.size() >= 2 * kKeptRun && std::thread::hardware_concurrency() > 1) {
        auto otherMaker = std::make_unique<CSortOrder::CKeyMaker>(*m_order);
        if (otherMaker->OwnsItsCollator()) {
            try {
                other = std::thread([&, otherMaker = std::move(otherMaker)] {
                    try {
                        std::string scratch;
                        makeChunks(*otherMaker, otherStore, scratch);
                    } catch (...) {
                        otherFailure = std::current_exception();
                    }
                });
            } catch (const std::system_error&) {
                // no thread: all made here
            }
        }
    }
    std::exception_ptr failure;
    try {
        FindDistinctTexts([&found](std::size_t count) { found.store(count, std::memory_order_release); });
        found.store(m_texts.size(), std::memory_order_release);
    } catch (...) {
        failure = std::current_exception();
    }
    allFound.store(true, std::memory_order_release);
    if (!failure) {
        try {
            CSortOrder::CKeyMaker maker(*m_order);
            makeChunks(maker, m_keyStore, m_scratch);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (other.joinable()) other.join();
    if (!failure) failure = otherFailure;
    if (failure) std::rethrow_exception(failure);
    m_keyStore.Take(otherStore);
    constexpr std::size_t kAhead = 8;
    for (std::size_t k = 0; k < m_keys.size(); ++k) {
        if (k + kAhead < m_keys.size()) Prefetch(&m_texts[m_keys[k + kAhead].shape]);
        Key& key = m_keys[k];
        const KeyedText& text = m_texts[key.shape];
        key.prefix[0] = text.prefix[0];
        key.prefix[1] = text.prefix[1];
        key.text = text.key;
    }
}

bool CSortKeys::SameKeyAsPrevious(std::size_t k) const {
    const Key& a = m_keys[k - 1];
    const Key& b = m_keys[k];
    if (a.shape == b.shape) return true;  // one text
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
    BigVector<KeyedText>().swap(m_texts);
    m_keyStore.Clear(false);
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
        if (a.shape == b.shape) return 0;  // one text
        const int order = std::strcmp(a.text, b.text);
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    // Two short texts of one length with the same folded bytes are equal.
    if ((a.shape & b.shape & kShort) && ((a.shape ^ b.shape) & ((1u << kCaseShift) - 1)) == 0) return 0;
    return CompareNoCase(TextOf(a), TextOf(b));
}

bool CSortKeys::Differ(const Key& a, const Key& b) const {
    if (a.prefix[0] != b.prefix[0] || a.prefix[1] != b.prefix[1]) return true;
    if (m_keyed)
        return a.shape != b.shape &&
               (std::strcmp(a.text, b.text) != 0 || CompareWithCase(OriginalOf(a), OriginalOf(b)) != 0);
    // Short texts with the same folded bytes differ where different bytes were folded.
    if (a.shape & b.shape & kShort) return a.shape != b.shape;
    return CompareWithCase(TextOf(a), TextOf(b)) != 0;
}

void CSortKeys::Sort(bool ascending, const std::function<void(unsigned)>& onProgress) {
    MakeKeysNow();
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
