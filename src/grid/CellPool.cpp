#include "grid/CellPool.h"

#include <cstddef>
#include <new>
#include <utility>

namespace tabulon::cellpool {

namespace detail {
// Each block by its number; a handle's upper bits.
char* g_blocks[std::size_t{1} << (31 - kPlaceBits)];
}  // namespace detail

namespace {

using detail::g_blocks;
static_assert(alignof(std::max_align_t) >= kGranule, "a granule keeps any alignment a cell needs");
constexpr std::size_t kLargestPooled = 256;

struct FreeBlock {
    FreeBlock* next;
};

// Freed blocks wait in a list per use and size; new ones are cut from one
// running block whatever their use and size, so a row's cell table, its
// cells and their texts, made one after the other, lie next to each other.
FreeBlock* g_freeLists[3][kLargestPooled / kGranule + 1];
char* g_next = nullptr;
char* g_end = nullptr;

void* NewBlock(std::size_t bytes) { return ::operator new (bytes, std::align_val_t{kBlockBytes}); }
BlockSource g_blockSource = &NewBlock;
BlockDiscard g_blockDiscard = nullptr;

// A cell's handle is its block's number and its place in the block in
// granules; each block begins with its number, and blocks are aligned to
// their size, so a cell finds its block by its address.
static_assert((std::size_t{1} << kPlaceBits) * kGranule == kBlockBytes, "a place for every granule of a block");
constexpr std::size_t kMostBlocks = std::size_t{1} << (31 - kPlaceBits);
std::size_t g_blockCount = 0;
// Granules in use in each block, the granule naming it included; blocks
// given back wait for use again.
std::uint32_t g_used[kMostBlocks];
std::uint32_t g_spare[kMostBlocks];
std::size_t g_spareCount = 0;
bool g_someEmptied = false;

std::uint32_t NumberOf(const void* place) {
    return *reinterpret_cast<const std::uint32_t*>(reinterpret_cast<std::uintptr_t>(place) & ~(kBlockBytes - 1));
}

char* TakeBlock() {
    if (g_spareCount > 0) {
        const std::uint32_t number = g_spare[--g_spareCount];
        g_used[number] = 1;
        return g_blocks[number];
    }
    if (g_blockCount == kMostBlocks) throw std::bad_alloc();
    auto* block = static_cast<char*>(g_blockSource(kBlockBytes));
    if (reinterpret_cast<std::uintptr_t>(block) % kBlockBytes != 0) block = static_cast<char*>(NewBlock(kBlockBytes));
    const auto number = static_cast<std::uint32_t>(g_blockCount);
    *reinterpret_cast<std::uint32_t*>(block) = number;
    g_used[number] = 1;
    g_blocks[g_blockCount++] = block;
    return block;
}

// The page that names a block is kept when its memory goes back.
constexpr std::size_t kFirstPage = 4096;

std::size_t Rounded(std::size_t size) { return (size + kGranule - 1) / kGranule * kGranule; }

}  // namespace

void* Allocate(std::size_t size, Use use) {
    if (!kPooled || size > kLargestPooled) return ::operator new(size);
    const std::size_t rounded = Rounded(size == 0 ? 1 : size);
    FreeBlock*& freeList = g_freeLists[static_cast<int>(use)][rounded / kGranule];
    if (FreeBlock* block = freeList) {
        freeList = block->next;
        g_used[NumberOf(block)] += static_cast<std::uint32_t>(rounded / kGranule);
        return block;
    }
    if (g_next == nullptr || g_next + rounded > g_end) {
        // Blocks are kept for the life of the process and reused through the
        // free lists. The first granule holds the block's number.
        char* block = TakeBlock();
        g_next = block + kGranule;
        g_end = block + kBlockBytes;
    }
    void* cell = g_next;
    g_next += rounded;
    g_used[NumberOf(cell)] += static_cast<std::uint32_t>(rounded / kGranule);
    return cell;
}

bool IsPooled() { return kPooled; }

void SetBlockSource(BlockSource source, BlockDiscard discard) {
    g_blockSource = source ? source : &NewBlock;
    g_blockDiscard = discard;
}

std::size_t GiveBackEmptyBlocks() {
    if (!kPooled || !std::exchange(g_someEmptied, false)) return 0;
    // The block being cut from counts as empty when all it gave is free.
    const bool runningEmpty = g_next && g_used[NumberOf(g_next - kGranule)] == 1;
    // Free room in an empty block leaves the lists, which keep their order.
    for (auto& lists : g_freeLists)
        for (FreeBlock*& list : lists) {
            FreeBlock** link = &list;
            while (FreeBlock* block = *link) {
                if (g_used[NumberOf(block)] == 1)
                    *link = block->next;
                else
                    link = &block->next;
            }
        }
    if (runningEmpty) g_next = g_end = nullptr;
    std::size_t given = 0;
    for (std::uint32_t number = 0; number < g_blockCount; ++number) {
        if (g_used[number] != 1) continue;
        g_used[number] = 0;  // neither in use nor running: spare
        g_spare[g_spareCount++] = number;
        if (g_blockDiscard) g_blockDiscard(g_blocks[number] + kFirstPage, kBlockBytes - kFirstPage);
        ++given;
    }
    return given;
}

void Free(void* block, std::size_t size, Use use) noexcept {
    if (!block) return;
    if (!kPooled || size > kLargestPooled) {
        ::operator delete(block);
        return;
    }
    auto* free = static_cast<FreeBlock*>(block);
    const std::size_t rounded = Rounded(size == 0 ? 1 : size);
    std::uint32_t& used = g_used[NumberOf(block)];
    used -= static_cast<std::uint32_t>(rounded / kGranule);
    if (used == 1) g_someEmptied = true;
    FreeBlock*& freeList = g_freeLists[static_cast<int>(use)][rounded / kGranule];
    free->next = freeList;
    freeList = free;
}

void* AllocateCell(std::size_t size) {
    if (kPooled && size > kLargestPooled) throw std::bad_alloc();
    return Allocate(size, Use::Cells);
}

void FreeCell(void* cell, std::size_t size) noexcept { Free(cell, size, Use::Cells); }

CellHandle HandleOf(const void* cell) noexcept {
    const auto address = reinterpret_cast<std::uintptr_t>(cell);
    if (!kPooled) return address >> 1;
    const std::uintptr_t block = address & ~(kBlockBytes - 1);
    const std::uint32_t number = *reinterpret_cast<const std::uint32_t*>(block);
    return (number << kPlaceBits) | static_cast<std::uint32_t>((address - block) / kGranule);
}

}  // namespace tabulon::cellpool
