#pragma once
// Comparisons of cell texts. Both compare bytes as unsigned; the one without
// case folds only the ASCII letters A-Z, so UTF-8 and Windows-1252 texts sort
// the same way.

#include <string_view>

namespace tabulon {

int CompareWithCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);

}  // namespace tabulon
