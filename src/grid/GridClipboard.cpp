#include "grid/GridClipboard.h"

#include "base/ShownText.h"
#include "grid/GridCtrl.h"

namespace tabulon {

std::string CopiedCellText(const CGridCtrl& grid, int row, int col) {
    std::string text;
    ForEachShownCharacter(grid.GetCellText(row, col), [&text](char32_t c) {
        text += Utf8Of(c);
        return true;
    });
    return text;
}

std::string CopiedRowText(const CGridCtrl& grid, int row, int firstCol) {
    std::string text;
    for (int col = firstCol; col < grid.GetColumnCount(); ++col) {
        if (col > firstCol) text += '\t';
        text += CopiedCellText(grid, row, col);
    }
    return text;
}

PastedRows SplitPastedText(std::string_view text) {
    PastedRows rows;
    std::vector<std::string> row;
    std::string field;
    bool fieldStarted = false;  // the row has a field open, even an empty one
    std::size_t i = 0;
    const auto endRow = [&] {
        row.push_back(std::move(field));
        field.clear();
        rows.push_back(std::move(row));
        row.clear();
        fieldStarted = false;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && field.empty() && !fieldStarted) {
            // A quoted field: up to the quote that is not doubled.
            std::size_t j = i + 1;
            std::string quoted;
            bool closed = false;
            while (j < text.size()) {
                if (text[j] == '"') {
                    if (j + 1 < text.size() && text[j + 1] == '"') {
                        quoted += '"';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                quoted += text[j++];
            }
            // Only a field that is quoted as a whole is taken as quoted.
            if (closed && (j == text.size() || text[j] == '\t' || text[j] == '\n' || text[j] == '\r')) {
                field = std::move(quoted);
                fieldStarted = true;
                i = j;
                continue;
            }
        }
        if (c == '\t') {
            row.push_back(std::move(field));
            field.clear();
            fieldStarted = true;
            ++i;
        } else if (c == '\n' || c == '\r') {
            endRow();
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        } else {
            field += c;
            fieldStarted = true;
            ++i;
        }
    }
    if (fieldStarted || !row.empty() || !field.empty()) endRow();
    return rows;
}

}  // namespace tabulon
