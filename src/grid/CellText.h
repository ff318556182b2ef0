#pragma once
// A cell's text in one word. A text of up to seven bytes lies in the word
// itself; a longer one has a block of exactly its size from the cell pool,
// its length beside the pointer in the word (or, past 65,534 bytes and
// whenever the pool is off, in front of the text, so that the address
// sanitizer's leak checker sees a plain pointer). A list of a million items
// has millions of texts, most of them a few bytes, and a std::string would
// spend 32 bytes on each and round a long one up.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tabulon {

class CCellText {
public:
    static constexpr std::size_t kInlineBytes = 7;

    CCellText() noexcept = default;
    ~CCellText() { Clear(); }
    CCellText(const CCellText&) = delete;
    CCellText& operator=(const CCellText&) = delete;

    std::string_view View() const noexcept {
        if (m_word & kInline) return {reinterpret_cast<const char*>(&m_word) + 1, (m_word >> 1) & 7};
        const char* block = reinterpret_cast<const char*>(m_word & kPointerBits);
        if (const std::size_t length = m_word >> kLengthShift) return {block, length};
        std::uint64_t size;
        std::memcpy(&size, block, sizeof size);
        return {block + sizeof size, static_cast<std::size_t>(size)};
    }
    bool Empty() const noexcept { return m_word == kInline; }
    // Throws std::bad_alloc when there is no memory for it; the text is then
    // as before.
    void Assign(std::string_view text);
    void Clear() noexcept;
    // About the memory a text of size bytes takes beside the word.
    static constexpr std::size_t BlockBytesFor(std::size_t size) noexcept {
        return size <= kInlineBytes ? 0 : size <= kLongestBeside ? size : sizeof(std::uint64_t) + size;
    }

private:
    // The low bit of the word marks a text held in it, with its length in
    // the next three bits and its bytes in the seven upper bytes. Otherwise
    // the lower six bytes point to the block (blocks are aligned, so that bit
    // is clear) and the upper two hold the length, or 0 when it is in the
    // block.
    static constexpr std::uintptr_t kInline = 1;
    static constexpr int kLengthShift = 48;
    static constexpr std::uintptr_t kPointerBits = (std::uintptr_t{1} << kLengthShift) - 1;
    static constexpr std::size_t kLongestBeside = 0xFFFF;
    static_assert(std::endian::native == std::endian::little, "the bytes of a short text follow the mark");
    static_assert(sizeof(std::uintptr_t) == 8, "a short text needs a word of eight bytes");

    std::uintptr_t m_word = kInline;
};

}  // namespace tabulon
