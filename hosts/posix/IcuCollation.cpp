#include "posix/IcuCollation.h"

#include <unicode/alphaindex.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <set>

namespace tabulon::posix {

namespace {

const UChar* Chars(std::u16string_view text) { return reinterpret_cast<const UChar*>(text.data()); }

std::string Utf8(const icu::UnicodeString& text) {
    std::string bytes;
    text.toUTF8String(bytes);
    return bytes;
}

// The languages ICU has data for, as bare language codes ("sv", "nb").
const std::set<std::string>& KnownLanguages() {
    static const std::set<std::string> known = [] {
        std::set<std::string> tags;
        for (int32_t i = 0; i < uloc_countAvailable(); ++i) {
            char language[ULOC_LANG_CAPACITY] = {};
            UErrorCode status = U_ZERO_ERROR;
            uloc_getLanguage(uloc_getAvailable(i), language, sizeof language, &status);
            if (U_SUCCESS(status) && language[0]) tags.insert(language);
        }
        return tags;
    }();
    return known;
}

void AppendIcuSortKey(const UCollator* collator, std::u16string_view text, std::string& key) {
    const std::size_t start = key.size();
    const auto length = static_cast<int32_t>(text.size());
    std::size_t room = text.size() * 2 + 16;
    for (;;) {
        key.resize(start + room);
        const int32_t needed = ucol_getSortKey(
            collator, Chars(text), length, reinterpret_cast<uint8_t*>(key.data() + start), static_cast<int32_t>(room));
        if (needed <= 0) {  // no key can be made: the text sorts first
            key.resize(start);
            key.push_back('\0');
            return;
        }
        if (static_cast<std::size_t>(needed) <= room) {
            key.resize(start + static_cast<std::size_t>(needed));
            return;
        }
        room = static_cast<std::size_t>(needed);
    }
}

// A collator of its own for another thread.
class CIcuKeyMaker final : public ISortKeyMaker {
public:
    explicit CIcuKeyMaker(UCollator* collator) : m_collator(collator) {}
    ~CIcuKeyMaker() override { ucol_close(m_collator); }
    CIcuKeyMaker(const CIcuKeyMaker&) = delete;
    CIcuKeyMaker& operator=(const CIcuKeyMaker&) = delete;
    void AppendSortKey(std::u16string_view text, std::string& key) override { AppendIcuSortKey(m_collator, text, key); }

private:
    UCollator* m_collator;
};

class CIcuCollator final : public ICollator {
public:
    CIcuCollator(UCollator* collator, icu::AlphabeticIndex::ImmutableIndex* index)
        : m_collator(collator), m_index(index) {
        for (int32_t b = 0; b < m_index->getBucketCount(); ++b) {
            const icu::AlphabeticIndex::Bucket* bucket = m_index->getBucket(b);
            if (bucket->getLabelType() == U_ALPHAINDEX_NORMAL) {
                m_letterOfBucket.push_back(static_cast<int>(m_letters.size()));
                m_letters.push_back(Utf8(bucket->getLabel()));
            } else {
                m_letterOfBucket.push_back(-1);
            }
        }
    }
    ~CIcuCollator() override { ucol_close(m_collator); }
    CIcuCollator(const CIcuCollator&) = delete;
    CIcuCollator& operator=(const CIcuCollator&) = delete;

    void AppendSortKey(std::u16string_view text, std::string& key) const override {
        AppendIcuSortKey(m_collator, text, key);
    }
    std::unique_ptr<ISortKeyMaker> NewKeyMaker() const override {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* clone = ucol_clone(m_collator, &status);
        if (U_FAILURE(status)) {
            ucol_close(clone);
            return nullptr;
        }
        return std::make_unique<CIcuKeyMaker>(clone);
    }
    const std::vector<std::string>& Letters() const override { return m_letters; }
    int LetterOf(std::u16string_view text) const override {
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString name(false, Chars(text), static_cast<int32_t>(text.size()));
        const int32_t bucket = m_index->getBucketIndex(name, status);
        if (U_FAILURE(status) || bucket < 0 || bucket >= static_cast<int32_t>(m_letterOfBucket.size())) return -1;
        return m_letterOfBucket[static_cast<std::size_t>(bucket)];
    }

private:
    UCollator* m_collator;
    std::unique_ptr<icu::AlphabeticIndex::ImmutableIndex> m_index;
    std::vector<std::string> m_letters;
    std::vector<int> m_letterOfBucket;
};

}  // namespace

std::unique_ptr<ICollator> CIcuCollation::Open(const std::string& language, bool numbers, std::string& reason) {
    // "sv", "sv-SE" and "sv_SE" alike.
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_forLanguageTag(language.c_str(), locale, sizeof locale, nullptr, &status);
    if (U_FAILURE(status) || !locale[0]) {
        status = U_ZERO_ERROR;
        uloc_canonicalize(language.c_str(), locale, sizeof locale, &status);
    }
    char bare[ULOC_LANG_CAPACITY] = {};
    if (U_SUCCESS(status)) uloc_getLanguage(locale, bare, sizeof bare, &status);
    if (U_FAILURE(status) || !KnownLanguages().contains(bare)) {
        reason = "\"" + language + "\" is no language this program knows";
        return nullptr;
    }
    status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale, &status);
    if (U_FAILURE(status)) {
        reason = std::string("its order could not be loaded (") + u_errorName(status) + ")";
        return nullptr;
    }
    ucol_setStrength(collator, UCOL_SECONDARY);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, numbers ? UCOL_ON : UCOL_OFF, &status);
    icu::AlphabeticIndex builder{icu::Locale(locale), status};
    std::unique_ptr<icu::AlphabeticIndex::ImmutableIndex> index(U_SUCCESS(status) ? builder.buildImmutableIndex(status)
                                                                                  : nullptr);
    if (U_FAILURE(status) || !index) {
        ucol_close(collator);
        reason = std::string("its alphabet could not be loaded (") + u_errorName(status) + ")";
        return nullptr;
    }
    return std::make_unique<CIcuCollator>(collator, index.release());
}

std::vector<CollationLanguage> CIcuCollation::Languages() {
    std::vector<CollationLanguage> languages;
    for (const std::string& tag : KnownLanguages()) {
        UChar name[128];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = uloc_getDisplayName(tag.c_str(), tag.c_str(), name, 128, &status);
        if (U_FAILURE(status) || length <= 0) continue;
        languages.push_back({tag, Utf8(icu::UnicodeString(name, std::min<int32_t>(length, 128)))});
    }
    return languages;
}

}  // namespace tabulon::posix
