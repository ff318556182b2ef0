#pragma once
// The few arrays known to grow big with a list (the table of rows, the sort
// keys, the rows a sort gathers, the find bar's copy of the texts, the rows
// of a column being fitted, the blocks files are read and written in) are
// made with CBigArrayAllocator, by name where they are declared. The host may give
// arrays of kBigArray bytes and more memory of their own (mappings the system
// backs with large pages: such an array is walked all over in sorted order,
// and small pages then cost a translation miss at nearly every row); smaller
// ones, and all of them without such a source, come from operator new.

#include <cstddef>
#include <new>
#include <string>
#include <vector>

namespace tabulon::bigarray {

constexpr std::size_t kBigArray = std::size_t{1} << 20;

// map: memory for bytes (at least kBigArray), nullptr when it has none;
// unmap: gives back an array map gave and says so, false for any other.
struct Source {
    void* (*map)(std::size_t bytes) noexcept = nullptr;
    bool (*unmap)(void* array) noexcept = nullptr;
};
// Set once, before the first big array is made; an empty source is none.
void SetSource(Source source);

void* Allocate(std::size_t bytes);
void Free(void* array, std::size_t bytes) noexcept;

}  // namespace tabulon::bigarray

namespace tabulon {

template <typename T>
struct CBigArrayAllocator {
    using value_type = T;
    CBigArrayAllocator() noexcept = default;
    template <typename U>
    CBigArrayAllocator(const CBigArrayAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(bigarray::Allocate(n * sizeof(T)));
    }
    void deallocate(T* array, std::size_t n) noexcept { bigarray::Free(array, n * sizeof(T)); }
    template <typename U>
    bool operator==(const CBigArrayAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using BigVector = std::vector<T, CBigArrayAllocator<T>>;
using BigString = std::basic_string<char, std::char_traits<char>, CBigArrayAllocator<char>>;

}  // namespace tabulon

namespace tabulon {

// Bytes to read a file into, left as they come.
class CBigBlock {
public:
    explicit CBigBlock(std::size_t bytes) : m_bytes(bytes), m_data(static_cast<char*>(bigarray::Allocate(bytes))) {}
    ~CBigBlock() { bigarray::Free(m_data, m_bytes); }
    CBigBlock(const CBigBlock&) = delete;
    CBigBlock& operator=(const CBigBlock&) = delete;
    char* get() const noexcept { return m_data; }

private:
    std::size_t m_bytes;
    char* m_data;
};

}  // namespace tabulon
