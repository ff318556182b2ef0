#pragma once
// Make list: the 'Database' items as one HTML table page between the user's
// head and end files, then uploaded and opened as the configuration asks.

#include <string>
#include <string_view>

#include "output/ListFrame.h"

namespace tabulon {

// Named in the page's second comment line.
constexpr std::string_view kMakerWebAddress = "https://www.korvanex.com";

// Sorts the 'Database' items by all columns, writes the page to the output
// file and then publishes it. The page replaces the old one only when it is
// complete; any failure to read the head or end file or to write the page is
// shown to the user and returns false, and then nothing is published.
// summary, where given, says what became of the items.
struct ListSummary {
    int listed = 0;   // items on the page
    int leftOut = 0;  // items the page leaves out (their first column)
    bool uploaded = false;
};
bool MakeList(IListFrame& frame, ListSummary* summary = nullptr);

// What the status bar says of a list written to path: "List written to
// PATH: 34,210 items", with ", 3 left out" and ", uploaded to HOST" where
// they apply.
std::string ListWrittenText(const std::string& path, const ListSummary& summary, const std::string& host);

}  // namespace tabulon
