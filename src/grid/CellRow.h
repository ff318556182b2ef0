#pragma once
// The table of cells of one row: a vector that takes 16 bytes instead of 24
// (its size and room as 32-bit counts), its slots from the cell pool so that
// they lie beside the cells. A list of a million items has as many.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <utility>

#include "grid/CellPool.h"
#include "grid/CellSlot.h"

namespace tabulon {

class CCellRow {
public:
    using value_type = CCellSlot;
    using iterator = CCellSlot*;
    using const_iterator = const CCellSlot*;

    CCellRow() noexcept = default;
    CCellRow(CCellRow&& other) noexcept
        : m_slots(std::exchange(other.m_slots, nullptr)),
          m_size(std::exchange(other.m_size, 0)),
          m_room(std::exchange(other.m_room, 0)) {}
    CCellRow& operator=(CCellRow&& other) noexcept {
        if (this != &other) {
            Release();
            m_slots = std::exchange(other.m_slots, nullptr);
            m_size = std::exchange(other.m_size, 0);
            m_room = std::exchange(other.m_room, 0);
        }
        return *this;
    }
    CCellRow(const CCellRow&) = delete;
    CCellRow& operator=(const CCellRow&) = delete;
    ~CCellRow() { Release(); }

    std::size_t size() const noexcept { return m_size; }
    std::size_t capacity() const noexcept { return m_room; }
    bool empty() const noexcept { return m_size == 0; }
    CCellSlot* data() noexcept { return m_slots; }
    const CCellSlot* data() const noexcept { return m_slots; }
    CCellSlot& operator[](std::size_t i) noexcept { return m_slots[i]; }
    const CCellSlot& operator[](std::size_t i) const noexcept { return m_slots[i]; }
    iterator begin() noexcept { return m_slots; }
    iterator end() noexcept { return m_slots + m_size; }
    const_iterator begin() const noexcept { return m_slots; }
    const_iterator end() const noexcept { return m_slots + m_size; }

    // Throws std::bad_alloc, the row as it was, when there is no memory.
    void reserve(std::size_t room) {
        if (room <= m_room) return;
        if (room > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
        auto* table = static_cast<CCellSlot*>(cellpool::Allocate(room * sizeof(CCellSlot), cellpool::Use::Tables));
        std::uninitialized_move(begin(), end(), table);
        std::destroy(begin(), end());
        if (m_slots) cellpool::Free(m_slots, m_room * sizeof(CCellSlot), cellpool::Use::Tables);
        m_slots = table;
        m_room = static_cast<std::uint32_t>(room);
    }
    void push_back(CCellSlot&& slot) {
        if (m_size == m_room) reserve(std::max<std::size_t>(4, 2 * std::size_t{m_room}));
        new (m_slots + m_size) CCellSlot(std::move(slot));
        ++m_size;
    }
    iterator insert(const_iterator at, CCellSlot&& slot) {
        const std::size_t i = static_cast<std::size_t>(at - m_slots);
        push_back(std::move(slot));
        std::rotate(m_slots + i, m_slots + m_size - 1, m_slots + m_size);
        return m_slots + i;
    }
    iterator erase(const_iterator at) {
        const std::size_t i = static_cast<std::size_t>(at - m_slots);
        std::move(m_slots + i + 1, end(), m_slots + i);
        std::destroy_at(m_slots + --m_size);
        return m_slots + i;
    }
    // Fewer slots only, or more empty ones.
    void resize(std::size_t size) {
        reserve(size);
        while (m_size > size) std::destroy_at(m_slots + --m_size);
        while (m_size < size) new (m_slots + m_size++) CCellSlot();
    }
    void clear() noexcept {
        std::destroy(begin(), end());
        m_size = 0;
    }

private:
    void Release() noexcept {
        clear();
        if (m_slots) cellpool::Free(m_slots, m_room * sizeof(CCellSlot), cellpool::Use::Tables);
        m_slots = nullptr;
        m_room = 0;
    }

    CCellSlot* m_slots = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_room = 0;
};

}  // namespace tabulon
