#pragma once
// Made-up but realistic lists for benchmarks: artist, title, year, size and
// genre, the way a music or film list looks.

#include <cstdint>
#include <string>
#include <vector>

namespace tabulon::bench {

using Item = std::vector<std::string>;

class CTableGenerator {
public:
    explicit CTableGenerator(std::uint64_t seed = 1) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    // One item of five fields.
    Item NextItem();
    std::vector<Item> Items(std::size_t count);

private:
    std::uint64_t Next();
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
    std::string Name(int minWords, int maxWords);

    std::uint64_t m_state;
};

// The item as a database line: fields joined by ";".
std::string JoinFields(const Item& item);

}  // namespace tabulon::bench
