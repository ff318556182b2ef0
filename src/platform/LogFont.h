#pragma once
// A logical font: what a cell asks for. The host turns it into a real font.

#include <string>

namespace tabulon {

struct LogFont {
    int height = 0;  // negative: character height in pixels
    int width = 0;
    int escapement = 0;  // tenths of a degree; 900 is text running upwards
    int orientation = 0;
    int weight = 400;  // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    unsigned char charSet = 0;
    std::string faceName;
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

}  // namespace tabulon
