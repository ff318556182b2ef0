#pragma once
// One place of a row of the table. It owns its cell, or, until the cell is
// first needed, holds only the format the cell is to have: a list with one
// very long item gives every other item as many empty places, and a whole
// cell for each of them would cost tens of bytes where these cost four (eight
// under the address sanitizer).

#include <cstdint>
#include <memory>

#include "grid/GridCellBase.h"

namespace tabulon {

class CCellSlot {
public:
    // No cell and nothing pending: what a slot is after its cell has gone.
    CCellSlot() noexcept = default;
    // cell comes from the cell pool, as every cell does.
    explicit CCellSlot(std::unique_ptr<CGridCellBase> cell) noexcept
        : m_bits(cell ? cellpool::HandleOf(cell.release()) << 1 : 0) {}
    // Whether a cell not made yet can wait with this format: all but a few
    // bit patterns no format has.
    static bool CanPend(unsigned format) noexcept { return format + 1u < 0x80000000u; }
    using Bits = cellpool::CellHandle;
    // A cell not made yet, which is to have this format when it is.
    static CCellSlot Pending(unsigned format) noexcept {
        CCellSlot slot;
        slot.m_bits = (Bits{format + 1u} << 1) | kPendingBit;
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
        if (m_bits == 0 || (m_bits & kPendingBit)) return nullptr;
        return static_cast<CGridCellBase*>(cellpool::CellAt(m_bits >> 1));
    }
    CGridCellBase* operator->() const noexcept { return get(); }
    bool IsPending() const noexcept { return (m_bits & kPendingBit) != 0; }
    unsigned PendingFormat() const noexcept { return static_cast<unsigned>(m_bits >> 1) - 1u; }
    void SetPendingFormat(unsigned format) noexcept { *this = Pending(format); }
    // Deletes the cell, if any; the slot is then empty.
    void reset() noexcept {
        delete get();
        m_bits = 0;
    }

private:
    // The cell's handle in the pool above the lowest bit, or, with that bit
    // set, the pending format plus one (so that the unset format is 0).
    static constexpr Bits kPendingBit = 1;

    Bits m_bits = 0;
};

}  // namespace tabulon
