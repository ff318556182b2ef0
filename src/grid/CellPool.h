#pragma once
// Storage for cells. A list of a million items has millions of small cells;
// taking them from large blocks keeps the cells of one row side by side in
// memory and spares the allocator a call for each. Cells are made and freed
// on the user-interface thread only, so the pool takes no locks.

#include <cstddef>
#include <cstdint>

namespace tabulon::cellpool {

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
// The cell's address, halved (it is even): the leak checker sees the cells a
// row holds.
using CellHandle = std::uintptr_t;
#else
constexpr bool kPooled = true;
// The cell's block's number and its place in the block, in 31 bits: half a
// pointer, for millions of cells.
using CellHandle = std::uint32_t;
#endif

// What a block is for. Room that is freed comes back only for the same use:
// a cell's text, a row's table and a cell that lie side by side when a list
// is first read stay in that order when a list is read into their room again,
// where sizes shared between uses would scatter them a little more with each
// list (and a walk over the rows would wait for memory at every cell).
enum class Use : unsigned char { Texts, Tables, Cells };
void* Allocate(std::size_t size, Use use);
void Free(void* block, std::size_t size, Use use) noexcept;

// Cells, named in the rows by a handle (above); a handle is never 0 and
// leaves the top bit clear. The pool holds at most 16 GB of blocks; past
// that, as for a cell class larger than the pool's largest size,
// AllocateCell throws std::bad_alloc.
void* AllocateCell(std::size_t size);
void FreeCell(void* cell, std::size_t size) noexcept;
CellHandle HandleOf(const void* cell) noexcept;

// A handle is a block's number and a place in it, in granules of 8 bytes.
constexpr std::size_t kGranule = 8;
constexpr int kPlaceBits = 18;
namespace detail {
extern char* g_blocks[];
}
inline void* CellAt(CellHandle handle) noexcept {
    if (!kPooled) return reinterpret_cast<void*>(handle << 1);
    return detail::g_blocks[handle >> kPlaceBits] + (handle & ((1u << kPlaceBits) - 1)) * kGranule;
}
// Whether blocks come from the pool at all: under the address sanitizer each
// is an allocation of its own, so that a use after free is still caught.
bool IsPooled();

// Where the pool takes its blocks of kBlockBytes from, aligned to their size
// (a block that is not is replaced by one that is). The default is operator
// new. A host may give memory that the system
// backs with large pages: a big list is walked in sorted order, all over its
// cells, and small pages then cost a translation miss at nearly every row.
constexpr std::size_t kBlockBytes = std::size_t{2} << 20;
using BlockSource = void* (*)(std::size_t bytes);
// How the memory of a block that holds nothing goes back to the system while
// the block stays the pool's (its first page, which names it, is kept); by
// default it does not.
using BlockDiscard = void (*)(void* from, std::size_t bytes) noexcept;
void SetBlockSource(BlockSource source, BlockDiscard discard = nullptr);

// When lists have been replaced or emptied: the blocks that hold nothing any
// more give their memory back, to be used again first when cells are made.
// Nothing to do, and no time spent, unless a block has been emptied since.
// How many blocks went back.
std::size_t GiveBackEmptyBlocks();

}  // namespace tabulon::cellpool
