#include "posix/LargePageBlocks.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <future>
#include <mutex>
#include <new>
#include <system_error>

namespace tabulon::posix {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t RoundedUp(std::size_t size, std::size_t step) { return (size + step - 1) / step * step; }

// size bytes (a multiple of kLargePage) starting on a large-page boundary,
// marked for large pages; nullptr when the system refuses.
void* MapAligned(std::size_t size) noexcept {
    // Map one large page more than needed and cut the ends off, so that the
    // block starts on a large-page boundary.
    const std::size_t mapped = size + kLargePage;
    void* map = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(map);
    const std::uintptr_t aligned = RoundedUp(start, kLargePage);
    if (aligned > start) ::munmap(map, aligned - start);
    const std::uintptr_t end = start + mapped;
    if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    void* block = reinterpret_cast<void*>(aligned);
    // Only advice: without large pages the block works the same, only slower.
    ::madvise(block, size, MADV_HUGEPAGE);
    return block;
}

void* MapBlock(std::size_t bytes) {
    void* block = MapAligned(RoundedUp(bytes, kLargePage));
    return block ? block : ::operator new(bytes);
}

// The arrays out, by start and mapped size; a large list has a handful.
struct MappedArray {
    void* start = nullptr;
    std::size_t size = 0;
};
std::mutex g_arraysLock;
std::array<MappedArray, 256> g_arrays;

// A block of kLargePage whose memory the system has already given: the first
// write to each page is when it finds and clears one.
void* MapTouchedBlock() {
    auto* block = static_cast<volatile char*>(MapBlock(kLargePage));
    for (std::size_t at = 0; at < kLargePage; at += 4096) block[at] = 0;
    return const_cast<char*>(block);
}

// The next block of kLargePage, made ready by a helper thread while the
// program fills the one it has: clearing new memory, a sixth of the time
// of reading a big list, then happens beside that work instead of in it.
// Blocks are taken on one thread (the cell pool's); the helper touches only
// the block it maps.
std::future<void*> g_nextBlock;

}  // namespace

void* MapLargeArray(std::size_t bytes) noexcept {
    if (bytes < kLargeArray || bytes > std::size_t{1} << 46) return nullptr;
    const std::lock_guard<std::mutex> lock(g_arraysLock);
    const auto free = std::find_if(g_arrays.begin(), g_arrays.end(), [](const MappedArray& a) { return !a.start; });
    if (free == g_arrays.end()) return nullptr;
    const std::size_t size = RoundedUp(bytes, kLargePage);
    void* array = MapAligned(size);
    if (array) *free = {array, size};
    return array;
}

bool UnmapLargeArray(void* array) noexcept {
    // Every mapped array starts on a large-page boundary; little else does.
    if (!array || reinterpret_cast<std::uintptr_t>(array) % kLargePage != 0) return false;
    const std::lock_guard<std::mutex> lock(g_arraysLock);
    const auto it =
        std::find_if(g_arrays.begin(), g_arrays.end(), [array](const MappedArray& a) { return a.start == array; });
    if (it == g_arrays.end()) return false;
    ::munmap(it->start, it->size);
    *it = {};
    return true;
}

void* AllocateLargePageBlock(std::size_t bytes) {
    if (bytes != kLargePage) return MapBlock(bytes);
    void* block = g_nextBlock.valid() ? g_nextBlock.get() : MapBlock(kLargePage);
    try {
        g_nextBlock = std::async(std::launch::async, &MapTouchedBlock);
    } catch (const std::system_error&) {
        // No thread to be had: the next block is mapped when it is needed.
    }
    return block;
}

}  // namespace tabulon::posix
