#include "grid/CellText.h"

#include <new>

#include "grid/CellPool.h"

namespace tabulon {

void CCellText::Assign(std::string_view text) {
    std::uintptr_t word = kInline;
    if (text.size() <= kInlineBytes) {
        word |= text.size() << 1;
        if (!text.empty()) std::memcpy(reinterpret_cast<char*>(&word) + 1, text.data(), text.size());
    } else if (!(m_word & kInline) && BlockBytesFor(View().size()) == BlockBytesFor(text.size())) {
        // A text of the same size (a change of case, or none) takes the
        // place of the old one; it may overlap it.
        const std::string_view old = View();
        std::memmove(const_cast<char*>(old.data()), text.data(), text.size());
        return;
    } else {
        // Made before the old text goes: text may lie inside it.
        const std::size_t bytes = BlockBytesFor(text.size());
        char* block = static_cast<char*>(cellpool::Allocate(bytes));
        // Linux gives a program addresses of at most six bytes unless it asks
        // for more; one beyond would not fit the word.
        if (reinterpret_cast<std::uintptr_t>(block) > kPointerBits) {
            cellpool::Free(block, bytes);
            throw std::bad_alloc();
        }
        std::size_t length = text.size();
        char* chars = block;
        if (length >= kLengthInBlock) {
            const std::uint64_t size = length;
            std::memcpy(block, &size, sizeof size);
            chars += sizeof size;
            length = kLengthInBlock;
        }
        std::memcpy(chars, text.data(), text.size());
        word = reinterpret_cast<std::uintptr_t>(block) | (static_cast<std::uintptr_t>(length) << kLengthShift);
    }
    Clear();
    m_word = word;
}

void CCellText::Clear() noexcept {
    if (!(m_word & kInline))
        cellpool::Free(reinterpret_cast<char*>(m_word & kPointerBits), BlockBytesFor(View().size()));
    m_word = kInline;
}

}  // namespace tabulon
