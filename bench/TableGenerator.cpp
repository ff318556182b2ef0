#include "TableGenerator.h"

#include <array>

namespace tabulon::bench {

namespace {

constexpr std::array<const char*, 48> kWords = {"Blue",
                                                "Night",
                                                "River",
                                                "Golden",
                                                "Silver",
                                                "Moon",
                                                "Dance",
                                                "Stone",
                                                "Fire",
                                                "Summer",
                                                "Winter",
                                                "Eagle",
                                                "Garden",
                                                "Shadow",
                                                "Heart",
                                                "Rain",
                                                "Electric",
                                                "Velvet",
                                                "Broken",
                                                "Wild",
                                                "Paper",
                                                "Ocean",
                                                "Crystal",
                                                "Morning",
                                                "Johnny",
                                                "Mary",
                                                "Miles",
                                                "Ella",
                                                "Lou",
                                                "Nina",
                                                "Ray",
                                                "Joni",
                                                "Brothers",
                                                "Band",
                                                "Orchestra",
                                                "Trio",
                                                "Quartet",
                                                "Sisters",
                                                "Club",
                                                "Kings",
                                                "de",
                                                "la",
                                                "van",
                                                "the",
                                                "of",
                                                "and",
                                                "\xC3\xA9t\xC3\xA9",
                                                "Caf\xC3\xA9"};

constexpr std::array<const char*, 12> kGenres = {"Jazz",      "Rock", "Pop",  "Blues",       "Soul",    "Folk",
                                                 "Classical", "Film", "Book", "Documentary", "Country", "Reggae"};

}  // namespace

std::uint64_t CTableGenerator::Next() {
    // xorshift64*: fast and the same on every machine.
    m_state ^= m_state >> 12;
    m_state ^= m_state << 25;
    m_state ^= m_state >> 27;
    return m_state * 0x2545F4914F6CDD1Dull;
}

std::string CTableGenerator::Name(int minWords, int maxWords) {
    const int words = minWords + static_cast<int>(Below(static_cast<std::size_t>(maxWords - minWords + 1)));
    std::string name;
    for (int w = 0; w < words; ++w) {
        if (w) name += ' ';
        name += kWords[Below(kWords.size())];
    }
    return name;
}

Item CTableGenerator::NextItem() {
    Item item;
    item.push_back(Name(1, 4));
    item.push_back(Name(1, 4));
    item.push_back(std::to_string(1930 + Below(96)));
    const std::size_t kb = 200 + Below(900000);
    item.push_back(kb >= 1024 ? std::to_string(kb / 1024) + " Mb" : std::to_string(kb) + " kb");
    item.push_back(kGenres[Below(kGenres.size())]);
    return item;
}

std::vector<Item> CTableGenerator::Items(std::size_t count) {
    std::vector<Item> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) items.push_back(NextItem());
    return items;
}

std::string JoinFields(const Item& item) {
    std::string line;
    for (std::size_t f = 0; f < item.size(); ++f) {
        if (f) line += ';';
        line += item[f];
    }
    return line;
}

}  // namespace tabulon::bench
