#include "posix/LargePageBlocks.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace tabulon::posix {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t RoundedUp(std::size_t size, std::size_t step) { return (size + step - 1) / step * step; }

}  // namespace

void* AllocateLargePageBlock(std::size_t bytes) {
    const std::size_t size = RoundedUp(bytes, kLargePage);
    // Map one large page more than needed and cut the ends off, so that the
    // block starts on a large-page boundary.
    const std::size_t mapped = size + kLargePage;
    void* map = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) return ::operator new(bytes);
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

}  // namespace tabulon::posix
