#pragma once
// The order a configuration asks for beyond the byte order: a language's
// collation, leading words (articles) that sorting and the letter index
// pass over, and runs of digits compared by their value. Every comparison
// that ignores case goes by the keys made here, one key per text.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Collation.h"

namespace tabulon {

struct SortOrderSettings {
    std::string language;  // "" for the byte order A-Z
    std::string articles;  // "The;A;An"
    bool numbers = false;

    friend bool operator==(const SortOrderSettings&, const SortOrderSettings&) = default;
    bool IsByteOrder() const { return language.empty() && articles.empty() && !numbers; }
};

class CSortOrder {
public:
    // collator may be nullptr: the byte order, with the articles and numbers.
    CSortOrder(std::unique_ptr<ICollator> collator, std::string_view articles, bool numbers);

    const ICollator* Collator() const { return m_collator.get(); }
    // text without its leading article and the blanks after it, when it
    // starts with one and something follows.
    std::string_view WithoutArticle(std::string_view text) const;
    // Appends the key of text: bytes that compare, as unsigned up to their
    // one zero byte at the end, as the texts compare without case.
    void AppendKey(std::string_view text, std::string& key) const;
    // The letter text is filed under, of Collator()->Letters(); -1 for none.
    int LetterOf(std::string_view text) const;

    // Makes the keys AppendKey makes, for one thread while others make
    // theirs with makers of their own.
    class CKeyMaker {
    public:
        explicit CKeyMaker(const CSortOrder& order);
        // Whether another thread may make keys with this maker while the
        // order is in use elsewhere.
        bool OwnsItsCollator() const { return m_collator != nullptr || !m_order.m_collator; }
        void AppendKey(std::string_view text, std::string& key);

    private:
        const CSortOrder& m_order;
        std::unique_ptr<ISortKeyMaker> m_collator;
        std::u16string m_utf16;
    };

private:
    void ByteKey(std::string_view text, std::string& key) const;

    std::unique_ptr<ICollator> m_collator;
    std::vector<std::string> m_articles;
    bool m_numbers;
    mutable std::u16string m_scratch;
};

// Where a grid finds the order its sorts ignoring case follow: the
// configuration's, which may change between sorts.
class ISortOrderSource {
public:
    virtual ~ISortOrderSource() = default;
    // nullptr for the byte order.
    virtual const CSortOrder* SortOrder() = 0;
};

// The order settings ask for, from the host's collation; nullptr for the
// byte order, and nullptr with why in reason when the language cannot be had.
std::unique_ptr<CSortOrder> MakeSortOrder(const SortOrderSettings& settings, std::string& reason);

}  // namespace tabulon
