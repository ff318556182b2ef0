// The program's memory policy, in one place: the arrays known to grow big
// (made with CBigArrayAllocator) on mappings of their own marked for large
// pages, the cell pool's blocks likewise; everything else from malloc. When
// malloc finds no memory, the room taken ahead of need goes back first.

#include "Allocation.h"

#include <new>

#include "base/BigArray.h"
#include "grid/CellPool.h"
#include "posix/LargePageBlocks.h"

namespace tabulon {

namespace {
void GiveBackRoomOrFail() {
    if (!posix::GiveBackRoom()) throw std::bad_alloc();
}
}  // namespace

void SetMemoryPolicy() {
    cellpool::SetBlockSource(&posix::AllocateLargePageBlock, &posix::DiscardBlockMemory);
    // The address sanitizer checks each use of what operator new gives:
    // its big arrays stay there.
#if !defined(TABULON_ADDRESS_SANITIZER)
    bigarray::SetSource({.map = &posix::MapLargeArray, .unmap = &posix::UnmapLargeArray});
#endif
    std::set_new_handler(&GiveBackRoomOrFail);
}

}  // namespace tabulon
