#pragma once
// One place of a row of the table. It owns its cell, or, until the cell is
// first needed, holds only the format the cell is to have: a list with one
// very long item gives every other item as many empty places, and a whole
// cell for each of them would cost a hundred bytes where these cost eight.

#include <cstdint>
#include <memory>

#include "grid/GridCellBase.h"

namespace tabulon {

class CCellSlot {
public:
    // No cell and nothing pending: what a slot is after its cell has gone.
    CCellSlot() noexcept = default;
    explicit CCellSlot(std::unique_ptr<CGridCellBase> cell) noexcept
        : m_bits(reinterpret_cast<std::uintptr_t>(cell.release())) {}
    // A cell not made yet, which is to have this format when it is.
    static CCellSlot Pending(unsigned format) noexcept {
        CCellSlot slot;
        slot.m_bits = (static_cast<std::uintptr_t>(format) << kFormatShift) | kPendingBit;
        return slot;
    }
    CCellSlot(CCellSlot&& other) noexcept : m_bits(other.m_bits) { other.m_bits = 0; }
    CCellSlot& operator=(CCellSlot&& other) noexcept {
        if (this != &other) {
            reset();
            m_bits = other.m_bits;
            other.m_bits = 0;
        }
        return *this;
    }
    CCellSlot(const CCellSlot&) = delete;
    CCellSlot& operator=(const CCellSlot&) = delete;
    ~CCellSlot() { reset(); }

    // The cell, or none while it is pending or gone.
    CGridCellBase* get() const noexcept {
        return (m_bits & kPendingBit) ? nullptr : reinterpret_cast<CGridCellBase*>(m_bits);
    }
    CGridCellBase* operator->() const noexcept { return get(); }
    bool IsPending() const noexcept { return (m_bits & kPendingBit) != 0; }
    unsigned PendingFormat() const noexcept { return static_cast<unsigned>(m_bits >> kFormatShift); }
    void SetPendingFormat(unsigned format) noexcept { *this = Pending(format); }
    // Deletes the cell, if any; the slot is then empty.
    void reset() noexcept {
        delete get();
        m_bits = 0;
    }

private:
    // Cells are aligned, so the lowest bit of a pointer to one is free.
    static constexpr std::uintptr_t kPendingBit = 1;
    static constexpr int kFormatShift = 32;
    static_assert(sizeof(std::uintptr_t) >= 8, "the format needs the upper half of the slot");
    static_assert(alignof(CGridCellBase) >= 2, "the pending mark needs a free pointer bit");

    std::uintptr_t m_bits = 0;
};

}  // namespace tabulon
