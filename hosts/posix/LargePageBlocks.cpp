#include "posix/LargePageBlocks.h"

#include <pthread.h>
#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>

namespace tabulon::posix {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;

std::size_t RoundedUp(std::size_t size, std::size_t step) { return (size + step - 1) / step * step; }

// Set once the system refused a mapping: from then on nothing is mapped
// ahead of need or beyond it (see GiveBackRoom).
std::atomic<bool> g_memoryShort{false};

void* MapAt(std::uintptr_t hint, std::size_t size) noexcept {
    void* map = ::mmap(reinterpret_cast<void*>(hint), size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return map == MAP_FAILED ? nullptr : map;
}

// size bytes (a multiple of kPage) starting on a large-page boundary.
void* MapOnBoundary(std::size_t size) noexcept {
    // Just the size first: the system puts a mapping right below the one
    // before, which for a block after a block is on a boundary already, and
    // otherwise the boundary below where it went is mostly free. Mapping a
    // large page more than needed and cutting the ends off always works,
    // but near a limit on the address space it is refused where the size
    // alone would not be.
    const auto start = reinterpret_cast<std::uintptr_t>(MapAt(0, size));
    if (!start || start % kLargePage == 0) return reinterpret_cast<void*>(start);
    ::munmap(reinterpret_cast<void*>(start), size);
    const std::uintptr_t below = start / kLargePage * kLargePage;
    const auto hinted = reinterpret_cast<std::uintptr_t>(MapAt(below, size));
    if (hinted == below) return reinterpret_cast<void*>(below);
    if (hinted) ::munmap(reinterpret_cast<void*>(hinted), size);
    const std::size_t mapped = size + kLargePage;
    const auto wide = reinterpret_cast<std::uintptr_t>(MapAt(0, mapped));
    if (!wide) return nullptr;
    const std::uintptr_t aligned = RoundedUp(wide, kLargePage);
    if (aligned > wide) ::munmap(reinterpret_cast<void*>(wide), aligned - wide);
    const std::uintptr_t end = wide + mapped;
    if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    return reinterpret_cast<void*>(aligned);
}

// size bytes (a multiple of kPage) starting on a large-page boundary,
// marked for large pages; nullptr when the system refuses. Only system
// calls: the helper thread below calls it too.
void* MapAligned(std::size_t size) noexcept {
    void* block = MapOnBoundary(size);
    if (!block) {
        g_memoryShort.store(true, std::memory_order_relaxed);
        return nullptr;
    }
    // Only advice: without large pages the block works the same, only slower.
    ::madvise(block, size, MADV_HUGEPAGE);
    return block;
}

// When the system refuses a mapping: the allocator's memory, which may
// still have room that was given back to it, aligned as a mapping would be
// (the cell pool needs its blocks aligned to their size).
void* AllocatedBlock(std::size_t bytes) { return ::operator new (bytes, std::align_val_t{kLargePage}); }

// The arrays out, by start, mapped size and the size asked for (to the
// page); a large list has a handful.
struct MappedArray {
    void* start = nullptr;
    std::size_t size = 0;
    std::size_t used = 0;
};
std::mutex g_arraysLock;
std::array<MappedArray, 256> g_arrays;

// The next block of kLargePage, made ready by a helper thread while the
// program fills the one it has: clearing new memory, a sixth of the time
// of reading a big list, then happens beside that work instead of in it.
// The helper makes only system calls: a thread that calls malloc or free
// gets an allocator arena of its own, 64 MB of address space, which under
// a limit on the address space made a limit that was enough fail at a
// higher one. Its stack is small for the same reason.
constexpr std::size_t kHelperStack = std::size_t{64} << 10;
std::mutex g_helperLock;
pthread_t g_helper;
bool g_helperRunning = false;

void* ReadyBlock(void*) noexcept {
    auto* block = static_cast<volatile char*>(MapAligned(kLargePage));
    if (block) {
        // The first write to each page is when the system finds and clears one.
        for (std::size_t at = 0; at < kLargePage; at += kPage) block[at] = 0;
    }
    return const_cast<char*>(block);
}

// The block the helper readied (nullptr when there is none, or it could not
// be mapped), once the helper is done. With g_helperLock held.
void* TakeReadiedBlock() noexcept {
    if (!g_helperRunning) return nullptr;
    g_helperRunning = false;
    void* block = nullptr;
    return ::pthread_join(g_helper, &block) == 0 ? block : nullptr;
}

// With g_helperLock held. Without a thread to be had, the next block is
// mapped when it is needed.
void StartHelper() noexcept {
    pthread_attr_t attributes;
    if (::pthread_attr_init(&attributes) != 0) return;
    ::pthread_attr_setstacksize(&attributes, kHelperStack);
    g_helperRunning = ::pthread_create(&g_helper, &attributes, &ReadyBlock, nullptr) == 0;
    ::pthread_attr_destroy(&attributes);
}

}  // namespace

void* MapLargeArray(std::size_t bytes) noexcept {
    if (bytes < kLargeArray || bytes > std::size_t{1} << 46) return nullptr;
    // To the large page while memory is plenty, so that the end of the
    // array is on large pages too; to the page once it is short.
    const std::size_t used = RoundedUp(bytes, kPage);
    std::size_t size = g_memoryShort.load(std::memory_order_relaxed) ? used : RoundedUp(bytes, kLargePage);
    void* array = MapAligned(size);
    if (!array && size != used) array = MapAligned(size = used);
    if (!array) return nullptr;
    const std::lock_guard<std::mutex> lock(g_arraysLock);
    const auto free = std::find_if(g_arrays.begin(), g_arrays.end(), [](const MappedArray& a) { return !a.start; });
    if (free == g_arrays.end()) {
        ::munmap(array, size);
        return nullptr;
    }
    *free = {array, size, used};
    return array;
}

bool UnmapLargeArray(void* array) noexcept {
    // Every mapped array starts on a large-page boundary; little else does.
    if (!array || reinterpret_cast<std::uintptr_t>(array) % kLargePage != 0) return false;
    std::unique_lock<std::mutex> lock(g_arraysLock);
    const auto it =
        std::find_if(g_arrays.begin(), g_arrays.end(), [array](const MappedArray& a) { return a.start == array; });
    if (it == g_arrays.end()) return false;
    const MappedArray gone = *it;
    *it = {};
    lock.unlock();  // no system call under the lock
    ::munmap(gone.start, gone.size);
    return true;
}

void* AllocateLargePageBlock(std::size_t bytes) {
    const std::size_t size = RoundedUp(bytes, kLargePage);
    void* block = nullptr;
    if (bytes == kLargePage) {
        const std::lock_guard<std::mutex> lock(g_helperLock);
        block = TakeReadiedBlock();
    }
    if (!block) block = MapAligned(size);
    if (!block && GiveBackRoom()) block = MapAligned(size);
    if (bytes == kLargePage && !g_memoryShort.load(std::memory_order_relaxed)) {
        const std::lock_guard<std::mutex> lock(g_helperLock);
        StartHelper();
    }
    return block ? block : AllocatedBlock(bytes);
}

void DiscardBlockMemory(void* from, std::size_t bytes) noexcept { ::madvise(from, bytes, MADV_DONTNEED); }

bool GiveBackRoom() noexcept {
    g_memoryShort.store(true, std::memory_order_relaxed);
    bool gave = false;
    {
        const std::lock_guard<std::mutex> lock(g_helperLock);
        if (void* block = TakeReadiedBlock()) {
            ::munmap(block, kLargePage);
            gave = true;
        }
    }
    const std::lock_guard<std::mutex> lock(g_arraysLock);
    for (MappedArray& array : g_arrays) {
        if (array.size > array.used) {
            ::munmap(static_cast<char*>(array.start) + array.used, array.size - array.used);
            array.size = array.used;
            gave = true;
        }
    }
    return gave;
}

}  // namespace tabulon::posix
