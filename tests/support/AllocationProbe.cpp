// The replaced operator new of the test programs that watch allocations.
// Each block carries its size in a header, so that the bytes held can be
// counted; everything goes through malloc and free, which the sanitizers
// still watch.

#include "AllocationProbe.h"

#include <cstdlib>
#include <new>

namespace tabulon::probe {
namespace {

constexpr std::size_t kHeader = alignof(std::max_align_t);

bool g_counting = false;
std::size_t g_calls = 0;
long long g_held = 0;
long long g_peak = 0;
std::size_t g_failAt = 0;  // 0: no allocation is to fail
bool g_failed = false;
int g_spared = 0;
// The bytes held now, whether counting or not, and, once memory has "run
// out", the most that may be held (-1: no such limit).
long long g_live = 0;
bool g_runOut = false;
long long g_ceiling = -1;
// What a nearly full address space still gives after the failure: room for
// a message, not for a list.
constexpr long long kSlack = 16 << 10;

void* Allocate(std::size_t size) {
    if (g_failAt != 0 && g_spared == 0 && --g_failAt == 0) {
        g_failed = true;
        if (g_runOut) g_ceiling = g_live + kSlack;
        throw std::bad_alloc();
    }
    if (g_ceiling >= 0 && g_spared == 0 && g_live + static_cast<long long>(size) > g_ceiling) throw std::bad_alloc();
    void* block = std::malloc(size + kHeader);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    g_live += static_cast<long long>(size);
    if (g_counting) {
        ++g_calls;
        g_held += static_cast<long long>(size);
        if (g_held > g_peak) g_peak = g_held;
    }
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept {
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    const auto size = static_cast<long long>(*static_cast<std::size_t*>(block));
    g_live -= size;
    if (g_counting) g_held -= size;
    std::free(block);
}

}  // namespace

void StartCounting() {
    g_calls = 0;
    g_held = 0;
    g_peak = 0;
    g_counting = true;
}

AllocationCounts StopCounting() {
    g_counting = false;
    return {g_calls, static_cast<std::size_t>(g_peak)};
}

void FailAllocation(std::size_t nth) {
    g_failAt = nth;
    g_failed = false;
    g_runOut = false;
    g_ceiling = -1;
}

void RunOutAt(std::size_t nth) {
    FailAllocation(nth);
    g_runOut = true;
}

bool AllocationFailed() { return g_failed; }

void StopFailing() {
    g_failAt = 0;
    g_runOut = false;
    g_ceiling = -1;
}

CSparedAllocations::CSparedAllocations() { ++g_spared; }
CSparedAllocations::~CSparedAllocations() { --g_spared; }

}  // namespace tabulon::probe

// Every form of new and delete, so that no block crosses between this
// allocator and another one.
void* operator new(std::size_t size) { return tabulon::probe::Allocate(size); }
void* operator new[](std::size_t size) { return tabulon::probe::Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return tabulon::probe::Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { tabulon::probe::Release(p); }
void operator delete[](void* p) noexcept { tabulon::probe::Release(p); }
void operator delete(void* p, std::size_t) noexcept { tabulon::probe::Release(p); }
void operator delete[](void* p, std::size_t) noexcept { tabulon::probe::Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { tabulon::probe::Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { tabulon::probe::Release(p); }

// Over-aligned blocks are not counted; they only must not meet the others.
void* operator new(std::size_t size, std::align_val_t align) {
    const auto a = static_cast<std::size_t>(align);
    void* p = std::aligned_alloc(a, (size + a - 1) / a * a);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    try {
        return operator new(size, align);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t& tag) noexcept {
    return operator new(size, align, tag);
}
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
