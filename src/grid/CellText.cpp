#include "grid/CellText.h"

#include <new>

#include "grid/CellPool.h"

namespace tabulon {

namespace {
// The bytes of the block of a text of size bytes, its length in it or not.
std::size_t BlockBytes(std::size_t size, bool lengthInBlock) {
    return lengthInBlock ? sizeof(std::uint64_t) + size : size;
}
}  // namespace

void CCellText::Assign(std::string_view text) {
    std::uintptr_t word = kInline;
    const bool lengthInBlock = text.size() > kLongestBeside || !cellpool::kPooled;
    if (text.size() <= kInlineBytes) {
        word |= text.size() << 1;
        if (!text.empty()) std::memcpy(reinterpret_cast<char*>(&word) + 1, text.data(), text.size());
    } else if (!(m_word & kInline) && View().size() == text.size()) {
        // A text of the same size (a change of case, or none) takes the
        // place of the old one; it may overlap it.
        std::memmove(const_cast<char*>(View().data()), text.data(), text.size());
        return;
    } else {
        // Made before the old text goes: text may lie inside it.
        const std::size_t bytes = BlockBytes(text.size(), lengthInBlock);
        char* block = static_cast<char*>(cellpool::Allocate(bytes, cellpool::Use::Texts));
        // Linux gives a program addresses of at most six bytes unless it asks
        // for more; one beyond would not fit the word.
        if (reinterpret_cast<std::uintptr_t>(block) > kPointerBits) {
            cellpool::Free(block, bytes, cellpool::Use::Texts);
            throw std::bad_alloc();
        }
        char* chars = block;
        std::uintptr_t length = text.size();
        if (lengthInBlock) {
            const std::uint64_t size = length;
            std::memcpy(block, &size, sizeof size);
            chars += sizeof size;
            length = 0;
        }
        std::memcpy(chars, text.data(), text.size());
        word = reinterpret_cast<std::uintptr_t>(block) | (length << kLengthShift);
    }
    Clear();
    m_word = word;
}

void CCellText::Clear() noexcept {
    if (!(m_word & kInline))
        cellpool::Free(reinterpret_cast<char*>(m_word & kPointerBits),
                       BlockBytes(View().size(), (m_word >> kLengthShift) == 0), cellpool::Use::Texts);
    m_word = kInline;
}

}  // namespace tabulon
