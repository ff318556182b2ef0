// The program's operator new and delete: large arrays (a big list's table of
// rows, its sort keys, the rows a sort gathers) on large pages, from mappings
// of their own; everything else from malloc, as the library's would.

#include <cstdlib>
#include <new>

#include "grid/CellPool.h"
#include "posix/LargePageBlocks.h"

// The address sanitizer keeps its own operator new, which checks each use.
#if !defined(TABULON_ADDRESS_SANITIZER)

void* operator new(std::size_t size) {
    if (size >= tabulon::posix::kLargeArray) {
        if (void* array = tabulon::posix::MapLargeArray(size)) return array;
    }
    for (;;) {
        if (void* block = std::malloc(size ? size : 1)) return block;
        // Room taken ahead of need goes to the work first.
        if (tabulon::posix::GiveBackRoom()) continue;
        const std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* block) noexcept {
    if (!tabulon::posix::UnmapLargeArray(block)) std::free(block);
}

void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

#endif
