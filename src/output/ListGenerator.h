#pragma once
// Make list: the 'Database' items as one HTML table page between the user's
// head and end files, then uploaded and opened as the configuration asks.

#include <string_view>

#include "output/ListFrame.h"

namespace tabulon {

// Named in the page's second comment line.
constexpr std::string_view kMakerWebAddress = "https://www.korvanex.com";

// Sorts the 'Database' items by all columns, writes the page to the output
// file and then publishes it. The page replaces the old one only when it is
// complete; any failure to read the head or end file or to write the page is
// shown to the user and returns false, and then nothing is published.
bool MakeList(IListFrame& frame);

}  // namespace tabulon
