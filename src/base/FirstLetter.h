#pragma once
// The letter a cell text begins with, when it is a letter beyond the ASCII
// A to Z: Å, É, Ø, ß, Greek, Cyrillic and the like.

#include <string>
#include <string_view>

namespace tabulon {

// The first character of text, upper-cased, in the bytes of the text's own
// encoding: UTF-8 when all of text is valid UTF-8, one Windows-1252 byte
// otherwise. Empty when text does not begin with a letter from beyond ASCII:
// an empty text, ASCII, blanks, control characters, marks, digits,
// punctuation and symbols give "".
std::string UpperInitialBeyondAscii(std::string_view text);

}  // namespace tabulon
