#pragma once
// Memory blocks for the cell pool that Linux backs with 2 MB pages where it
// can (transparent huge pages in "madvise" or "always" mode).

#include <cstddef>

namespace tabulon::posix {

// A block of the given size aligned to 2 MB and marked for large pages;
// operator new's memory if the system refuses the mapping. A block of 2 MB
// (the cell pool's) comes ready, its memory touched by a helper thread while
// the caller used the one before; the next is then readied. Called from one
// thread at a time.
void* AllocateLargePageBlock(std::size_t bytes);

}  // namespace tabulon::posix
