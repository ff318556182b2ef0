#pragma once
// Cells to and from the clipboard, as spreadsheets and other grid programs
// exchange them: a cell is its text as shown (UTF-8), cells of a row are
// separated by tabs and rows end with a line break.

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

class CGridCtrl;

// The text of cell (row, col) as the grid shows it, in UTF-8 (a text in the
// older code page is converted); a check box gives "X" or "".
std::string CopiedCellText(const CGridCtrl& grid, int row, int col);

// The cells of row from firstCol to the last column, separated by tabs.
std::string CopiedRowText(const CGridCtrl& grid, int row, int firstCol);

// The texts of a pasted text, row by row. Lines end at LF, CR LF or CR; the
// line break at the very end makes no empty row. A field that begins with a
// double quote runs to the closing one (a doubled quote stands for itself),
// as spreadsheets quote a cell holding a tab or a line break: such a field
// keeps its line break, for the caller to refuse.
using PastedRows = std::vector<std::vector<std::string>>;
PastedRows SplitPastedText(std::string_view text);

}  // namespace tabulon
