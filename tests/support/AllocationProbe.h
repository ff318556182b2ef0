#pragma once
// Watches the test program's own allocations: how many and how many bytes a
// piece of code asks for, and a failure of one chosen allocation, as when
// memory runs out there. The program's operator new is replaced for this
// (AllocationProbe.cpp); unless asked, it only passes the calls on.

#include <cstddef>

namespace tabulon::probe {

struct AllocationCounts {
    std::size_t calls = 0;
    // The most bytes held at once above what was held when counting began.
    std::size_t peakBytes = 0;
};

void StartCounting();
AllocationCounts StopCounting();

// The nth allocation from now on (1 for the next) throws std::bad_alloc,
// once; the later ones succeed again.
void FailAllocation(std::size_t nth);
// As a full address space does: the nth allocation from now on throws, and
// from then on so does every one that would hold more than a few kilobytes
// above what was held at that moment, until memory is given back.
void RunOutAt(std::size_t nth);
// Whether the chosen allocation has failed; a run that ends before it did
// never reached it.
bool AllocationFailed();
// No allocation fails any more.
void StopFailing();

// Allocations made while one exists do not count towards the chosen one:
// what the test itself records (a message shown, say) never fails.
class CSparedAllocations {
public:
    CSparedAllocations();
    ~CSparedAllocations();
    CSparedAllocations(const CSparedAllocations&) = delete;
    CSparedAllocations& operator=(const CSparedAllocations&) = delete;
};

}  // namespace tabulon::probe
