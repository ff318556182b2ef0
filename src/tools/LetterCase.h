#pragma once
// Upper-casing first letters for the 'Replace' window. A cell's text is
// UTF-8 when it is valid UTF-8 (what Tabulon stores when the user types) and
// Windows-1252 otherwise (older database files). Only a-z and the three
// Nordic letters å, ä and ö are upper-cased, in either encoding; a
// multi-byte character is never split.

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

// One Windows-1252 character: a-z become A-Z, å ä ö become Å Ä Ö, every
// other character stays as it is.
char ToUpperLetter(char ch);

bool IsValidUtf8(std::string_view text);

// Upper-cases the character that starts at byte pos of text, read as UTF-8
// when utf8 is set and as Windows-1252 otherwise.
void UpperLetterAt(std::string& text, std::size_t pos, bool utf8);

// text with its first character upper-cased.
std::string UpperFirstLetter(std::string text);

// text with its first character, and every character after a blank,
// upper-cased. Only the blank (0x20) starts a word; nothing is lower-cased.
std::string CapitalizeEachWord(const std::string& text);
void CapitalizeEachWordInPlace(std::string& text);

}  // namespace tabulon
