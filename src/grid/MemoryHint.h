#pragma once
// A sorted list lies all over memory, and a pass over its rows would wait
// for memory at nearly every row; asking for the rows ahead early overlaps
// those waits.

namespace tabulon {

// Asks for the memory at address ahead of its use; a hint only.
inline void Prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

}  // namespace tabulon
