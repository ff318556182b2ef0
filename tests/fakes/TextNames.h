#pragma once
// Texts that name where a cell or row was: "r2c3", "o7", "H1". They are built
// by appending. Putting a literal in front of a temporary string ("r" +
// std::to_string(r)) inserts it at the front, and g++ 12 at -O3 then warns
// (-Wrestrict) of an overlap between the literal and the string's own buffer
// on a path that cannot be taken: a literal never lies inside a string.

#include <string>

namespace tabulon::fakes {

inline std::string Numbered(const char* prefix, long long number) {
    std::string text = prefix;
    text += std::to_string(number);
    return text;
}

// "r2c3" for row 2, column 3.
inline std::string CellName(int row, int col) {
    std::string text = Numbered("r", row);
    text += 'c';
    text += std::to_string(col);
    return text;
}

}  // namespace tabulon::fakes
