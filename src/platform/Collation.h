#pragma once
// The order and the alphabet of a language, as the host knows them. The
// system asks for them only when a configuration names a language; without
// one it sorts by bytes and needs nothing of this.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// Makes the sort keys of one language's order for one thread at a time.
class ISortKeyMaker {
public:
    virtual ~ISortKeyMaker() = default;
    // As ICollator::AppendSortKey.
    virtual void AppendSortKey(std::u16string_view text, std::string& key) = 0;
};

// One language's order, case ignored, and its letters.
class ICollator {
public:
    virtual ~ICollator() = default;
    // Appends the sort key of text: bytes that compare (as unsigned, up to
    // the first zero byte) as the texts compare. The key ends with one zero
    // byte and holds no other.
    virtual void AppendSortKey(std::u16string_view text, std::string& key) const = 0;
    // A maker of the same keys that another thread may use while this
    // collator is in use; nullptr when none can be made.
    virtual std::unique_ptr<ISortKeyMaker> NewKeyMaker() const = 0;
    // The letters of the language's alphabet, in its order, in UTF-8.
    virtual const std::vector<std::string>& Letters() const = 0;
    // The letter of Letters() that text is filed under; -1 when it falls
    // under none (a letter of another script, a sign).
    virtual int LetterOf(std::u16string_view text) const = 0;
};

struct CollationLanguage {
    std::string tag;      // "sv"
    std::string ownName;  // "svenska", in UTF-8
};

class ICollation {
public:
    virtual ~ICollation() = default;
    // The collator of language, digits by value when numbers is true;
    // nullptr, with why in reason, when the language is not known.
    virtual std::unique_ptr<ICollator> Open(const std::string& language, bool numbers, std::string& reason) = 0;
    // Every language that can be named, by tag.
    virtual std::vector<CollationLanguage> Languages() = 0;
};

// The host's collation, set once at start; nullptr when the host has none.
void SetCollation(ICollation* collation);
ICollation* Collation();

}  // namespace tabulon
