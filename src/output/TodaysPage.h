#pragma once
// Today's page: the same items and letter groups as the page of old, in a
// table a screen reader can read, coloured by style rules rather than row by
// row, in UTF-8 throughout, with a small script of its own that adds a
// search field and sorting by any column.

#include "config/ListConfig.h"
#include "output/LetterGroups.h"
#include "output/PageWriting.h"

namespace tabulon {

class CGridCtrl;

// Where a head or end file holds them, these markers are replaced by the
// table's style rules and by links to its letter groups.
constexpr std::string_view kStyleMarker = "<!--tabulon:style-->";
constexpr std::string_view kIndexMarker = "<!--tabulon:index-->";

// The markers with what replaces them for this configuration and grid.
PageMarkers TodaysPageMarkers(const CListConfig& config, const CGridCtrl* grid);

// The table in its box, and the script after it.
void WriteTodaysTable(PageBuffer& page, const CListConfig& config, const CGridCtrl* grid, LeftOut& leftOut);

}  // namespace tabulon
