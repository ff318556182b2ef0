#pragma once
// The blanks that surround fields, lines and typed numbers: blank, tab, CR,
// LF, vertical tab and form feed. Every trim in the program uses this one set.

#include <string_view>

namespace tabulon {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

constexpr std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

constexpr std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

constexpr std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

}  // namespace tabulon
