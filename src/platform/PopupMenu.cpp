#include "platform/PopupMenu.h"

#include <cctype>
#include <string>

namespace tabulon {

void GiveMnemonics(std::vector<MenuItem>& items) {
    std::string taken;
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    const auto isFree = [&](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) && taken.find(lower(c)) == std::string::npos;
    };
    const auto take = [&](MenuItem& item, char c) {
        item.mnemonic = c;
        taken += lower(c);
    };
    for (MenuItem& item : items) {
        if (item.IsSeparator()) continue;
        if (item.mnemonic != 0) taken += lower(item.mnemonic);
    }
    for (const bool wordStartsOnly : {true, false}) {
        for (MenuItem& item : items) {
            if (item.IsSeparator() || item.mnemonic != 0) continue;
            for (std::size_t i = 0; i < item.text.size(); ++i) {
                const bool wordStart = i == 0 || item.text[i - 1] == ' ';
                if ((wordStart || !wordStartsOnly) && isFree(item.text[i])) {
                    take(item, item.text[i]);
                    break;
                }
            }
        }
    }
}

}  // namespace tabulon
