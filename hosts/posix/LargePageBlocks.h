#pragma once
// Memory blocks for the cell pool that Linux backs with 2 MB pages where it
// can (transparent huge pages in "madvise" or "always" mode).

#include <cstddef>

namespace tabulon::posix {

// A block of the given size aligned to 2 MB and marked for large pages;
// operator new's memory, aligned the same, if the system refuses the
// mapping. A block of 2 MB (the cell pool's) comes ready, its memory touched
// by a helper thread while the caller used the one before; the next is then
// readied, until memory first runs short. Called from one thread at a time.
void* AllocateLargePageBlock(std::size_t bytes);
// The memory of part of such a block (whole pages) goes back to the system;
// the block stays, reading zeros until written again.
void DiscardBlockMemory(void* from, std::size_t bytes) noexcept;

// Arrays of kLargeArray bytes and more (those made with CBigArrayAllocator:
// a big list's table of rows, its sort keys) on mappings of their own, aligned and marked for large pages like
// the blocks: the system then gives them 2 MB at a time instead of a page of
// 4 KB at each first touch, a fault each. nullptr when the system refuses
// the mapping or too many are out; the caller then takes the memory
// elsewhere. Safe from any thread.
constexpr std::size_t kLargeArray = std::size_t{1} << 20;
void* MapLargeArray(std::size_t bytes) noexcept;
// Gives back an array MapLargeArray made, and says so; false for any other
// pointer, which is left alone.
bool UnmapLargeArray(void* array) noexcept;

// While memory is plenty, more is taken than asked for: the next block ready
// ahead, and arrays to a whole number of large pages. When memory has run
// out, that room goes back (the program's new handler asks before
// operator new gives up), and from then on no more is taken than asked for, so that a
// limit on the address space that is enough for some work is enough at any
// higher limit. Whether any room went back. Safe from any thread.
bool GiveBackRoom() noexcept;

}  // namespace tabulon::posix
