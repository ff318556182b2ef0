#include "grid/CellPool.h"

#include <cstddef>
#include <new>

namespace tabulon::cellpool {

namespace {

// Under the address sanitizer every cell is its own allocation, so that a
// use after free is still caught. g++ says so with __SANITIZE_ADDRESS__,
// clang through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define TABULON_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TABULON_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(TABULON_ADDRESS_SANITIZER)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif

constexpr std::size_t kGranule = alignof(std::max_align_t) < 8 ? alignof(std::max_align_t) : 8;
constexpr std::size_t kLargestPooled = 256;

struct FreeBlock {
    FreeBlock* next;
};

// Freed blocks wait in a list per size; new ones are cut from one running
// block whatever their size, so a row's cell table and its cells, made one
// after the other, lie next to each other.
FreeBlock* g_freeLists[kLargestPooled / kGranule + 1];
char* g_next = nullptr;
char* g_end = nullptr;

void* NewBlock(std::size_t bytes) { return ::operator new(bytes); }
BlockSource g_blockSource = &NewBlock;

std::size_t Rounded(std::size_t size) { return (size + kGranule - 1) / kGranule * kGranule; }

}  // namespace

void* Allocate(std::size_t size) {
    if (!kPooled || size > kLargestPooled) return ::operator new(size);
    const std::size_t rounded = Rounded(size == 0 ? 1 : size);
    FreeBlock*& freeList = g_freeLists[rounded / kGranule];
    if (FreeBlock* block = freeList) {
        freeList = block->next;
        return block;
    }
    if (g_next == nullptr || g_next + rounded > g_end) {
        // Blocks are kept for the life of the process and reused through the free lists.
        g_next = static_cast<char*>(g_blockSource(kBlockBytes));
        g_end = g_next + kBlockBytes;
    }
    void* cell = g_next;
    g_next += rounded;
    return cell;
}

bool IsPooled() { return kPooled; }

void SetBlockSource(BlockSource source) { g_blockSource = source ? source : &NewBlock; }

void Free(void* block, std::size_t size) noexcept {
    if (!block) return;
    if (!kPooled || size > kLargestPooled) {
        ::operator delete(block);
        return;
    }
    auto* free = static_cast<FreeBlock*>(block);
    FreeBlock*& freeList = g_freeLists[Rounded(size == 0 ? 1 : size) / kGranule];
    free->next = freeList;
    freeList = free;
}

}  // namespace tabulon::cellpool
