#include "grid/SortOrder.h"

#include "base/ShownText.h"

namespace tabulon {

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

unsigned char Folded(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 'a' - 'A') : c; }

// The key holds no zero byte but its last: bytes 0 and 1 become two bytes
// each, which keeps their order.
void AddKeyByte(unsigned char c, std::string& key) {
    if (c > 1) {
        key.push_back(static_cast<char>(c));
    } else {
        key.push_back('\x01');
        key.push_back(static_cast<char>(c + 1));
    }
}

// text, shown as it is shown, in UTF-16, in utf16.
const std::u16string& Utf16Of(std::string_view text, std::u16string& utf16) {
    utf16.clear();
    std::size_t ascii = 0;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    if (ascii == text.size()) {
        utf16.assign(text.begin(), text.end());
        return utf16;
    }
    ForEachShownCharacter(text, [&utf16](char32_t c) {
        if (c < 0x10000) {
            utf16.push_back(static_cast<char16_t>(c));
        } else {
            c -= 0x10000;
            utf16.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            utf16.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        }
        return true;
    });
    return utf16;
}

}  // namespace

CSortOrder::CSortOrder(std::unique_ptr<ICollator> collator, std::string_view articles, bool numbers)
    : m_collator(std::move(collator)), m_numbers(numbers) {
    while (!articles.empty()) {
        const std::size_t end = articles.find(';');
        std::string_view word = articles.substr(0, end);
        while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
        while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
        if (!word.empty()) m_articles.emplace_back(word);
        articles = end == std::string_view::npos ? std::string_view() : articles.substr(end + 1);
    }
}

std::string_view CSortOrder::WithoutArticle(std::string_view text) const {
    for (const std::string& article : m_articles) {
        if (text.size() <= article.size() + 1 || text[article.size()] != ' ') continue;
        bool same = true;
        for (std::size_t i = 0; i < article.size() && same; ++i)
            same = Folded(static_cast<unsigned char>(text[i])) == Folded(static_cast<unsigned char>(article[i]));
        if (!same) continue;
        std::string_view rest = text.substr(article.size());
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        if (!rest.empty()) return rest;
    }
    return text;
}

void CSortOrder::AppendKey(std::string_view text, std::string& key) const {
    text = WithoutArticle(text);
    if (m_collator)
        m_collator->AppendSortKey(Utf16Of(text, m_scratch), key);
    else
        ByteKey(text, key);
}

CSortOrder::CKeyMaker::CKeyMaker(const CSortOrder& order)
    : m_order(order), m_collator(order.m_collator ? order.m_collator->NewKeyMaker() : nullptr) {}

void CSortOrder::CKeyMaker::AppendKey(std::string_view text, std::string& key) {
    text = m_order.WithoutArticle(text);
    if (m_collator)
        m_collator->AppendSortKey(Utf16Of(text, m_utf16), key);
    else if (m_order.m_collator)
        m_order.m_collator->AppendSortKey(Utf16Of(text, m_utf16), key);
    else
        m_order.ByteKey(text, key);
}

// The byte order, A-Z folded; with numbers, each run of digits as its count
// of digits (leading zeros left out) and then the digits, so that a longer
// number comes later. The count is written as nines, one for every nine
// digits, and one digit below 9 for the rest: it stays among the digits and
// orders as the counts do.
void CSortOrder::ByteKey(std::string_view text, std::string& key) const {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!m_numbers || !IsDigit(c)) {
            AddKeyByte(Folded(c), key);
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && IsDigit(static_cast<unsigned char>(text[i]))) ++i;
        while (start + 1 < i && text[start] == '0') ++start;
        std::size_t count = text[start] == '0' ? 0 : i - start;
        const std::size_t digits = count;
        for (; count >= 9; count -= 9) key.push_back('9');
        key.push_back(static_cast<char>('0' + count));
        if (digits) key.append(text.substr(start, i - start));
    }
    key.push_back('\0');
}

int CSortOrder::LetterOf(std::string_view text) const {
    return m_collator ? m_collator->LetterOf(Utf16Of(WithoutArticle(text), m_scratch)) : -1;
}

std::unique_ptr<CSortOrder> MakeSortOrder(const SortOrderSettings& settings, std::string& reason) {
    if (settings.IsByteOrder()) return nullptr;
    std::unique_ptr<ICollator> collator;
    if (!settings.language.empty()) {
        ICollation* collation = Collation();
        if (!collation) {
            reason = "this program was built without the orders of languages";
            return nullptr;
        }
        collator = collation->Open(settings.language, settings.numbers, reason);
        if (!collator) return nullptr;
    }
    return std::make_unique<CSortOrder>(std::move(collator), settings.articles, settings.numbers);
}

}  // namespace tabulon
