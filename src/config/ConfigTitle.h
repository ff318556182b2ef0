#pragma once
// The main window's title is where the program keeps the state of its
// configuration: exactly "Tabulon" while none is open, "Tabulon - " and the
// path of its .cfg file while one is, with "*" at the end while it holds
// unsaved changes.

#include <string>
#include <string_view>

#include "base/ProgramName.h"

namespace tabulon {

inline std::string ConfigurationTitle(const std::string& cfgfile, bool modified = false) {
    std::string title = kProgramName;
    title += " - ";
    title += cfgfile;
    if (modified) title += '*';
    return title;
}

inline bool IsConfigurationOpenTitle(std::string_view title) { return title != kProgramName; }

inline bool IsModifiedTitle(std::string_view title) { return title.ends_with('*'); }

// Likewise the corner cell of the 'Database' grid keeps whether its items
// hold unsaved changes.
inline constexpr char kDatabaseCorner[] = "Database";
inline constexpr char kModifiedDatabaseCorner[] = "Database*";

}  // namespace tabulon
