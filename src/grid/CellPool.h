#pragma once
// Storage for cells. A list of a million items has millions of small cells;
// taking them from large blocks keeps the cells of one row side by side in
// memory and spares the allocator a call for each. Cells are made and freed
// on the user-interface thread only, so the pool takes no locks.

#include <cstddef>

namespace tabulon::cellpool {

void* Allocate(std::size_t size);
void Free(void* block, std::size_t size) noexcept;

// For the table of cell pointers of one row, so that it lies beside its cells.
template <typename T>
struct Allocator {
    using value_type = T;
    Allocator() = default;
    template <typename U>
    Allocator(const Allocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(Allocate(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { Free(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const Allocator<U>&) const { return true; }
};

}  // namespace tabulon::cellpool
