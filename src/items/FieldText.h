#pragma once
// What an item's field can hold: the database file ends a field at ";" and
// an item at its line end, and the configuration keeps the column names in
// one line separated by ";". Whatever the user types for a field or a name
// is checked here, where it is typed, rather than refused item by item at
// the next save.

#include <string>
#include <string_view>

namespace tabulon {

// Whether text holds a ";", a line feed or a carriage return.
inline bool HoldsFieldBreak(std::string_view text) { return text.find_first_of(";\r\n") != std::string_view::npos; }

// Makes text fit a field: ";" becomes "," and a line break a blank. True
// when something changed.
inline bool MakeFieldStorable(std::string& text) {
    bool changed = false;
    for (char& c : text) {
        if (c == ';') {
            c = ',';
            changed = true;
        } else if (c == '\r' || c == '\n') {
            c = ' ';
            changed = true;
        }
    }
    return changed;
}

// What refuses such a text for an item's field: "WHAT holds a ";" or a line
// break,\nwhich an item's field cannot hold.\n\nOUTCOME".
inline std::string FieldBreakText(std::string_view what, std::string_view outcome) {
    std::string text(what);
    text += " holds a \";\" or a line break,\nwhich an item's field cannot hold.\n\n";
    text += outcome;
    return text;
}

}  // namespace tabulon
