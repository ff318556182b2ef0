#include "base/BigArray.h"

#include <atomic>

namespace tabulon::bigarray {

namespace {
// Both parts at once, so that an array is never given back to another source.
std::atomic<void* (*)(std::size_t) noexcept> g_map{nullptr};
std::atomic<bool (*)(void*) noexcept> g_unmap{nullptr};
}  // namespace

void SetSource(Source source) {
    const bool whole = source.map && source.unmap;
    g_unmap.store(whole ? source.unmap : nullptr);
    g_map.store(whole ? source.map : nullptr);
}

void* Allocate(std::size_t bytes) {
    if (bytes >= kBigArray) {
        if (const auto map = g_map.load(std::memory_order_relaxed))
            if (void* array = map(bytes)) return array;
    }
    return ::operator new(bytes);
}

void Free(void* array, std::size_t bytes) noexcept {
    if (!array) return;
    if (bytes >= kBigArray) {
        // What came from operator new because the source had none goes back
        // there: the source knows its own.
        const auto unmap = g_unmap.load(std::memory_order_relaxed);
        if (unmap && unmap(array)) return;
    }
    ::operator delete(array);
}

}  // namespace tabulon::bigarray
