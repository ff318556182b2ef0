// Texts to and from the clipboard: what a spreadsheet's copy looks like
// split into rows and cells, and a cell's text as it is shown.

#include <gtest/gtest.h>

#include "grid/GridClipboard.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

TEST(GridClipboard, PastedTextSplitsIntoRowsAndCellsAsSpreadsheetsCopyThem) {
    struct Case {
        const char* text;
        PastedRows rows;
    };
    const Case cases[] = {
        {"", {}},
        {"Abba", {{"Abba"}}},
        {"Abba\n", {{"Abba"}}},
        {"a\tb\r\nc\td\r\n", {{"a", "b"}, {"c", "d"}}},
        {"a\t\tc\nd", {{"a", "", "c"}, {"d"}}},
        {"a\rb", {{"a"}, {"b"}}},
        {"\"two\nlines\"\tx", {{"two\nlines", "x"}}},
        {"\"say \"\"hi\"\"\"", {{"say \"hi\""}}},
        {"\"half\" quoted", {{"\"half\" quoted"}}},
        {"\n", {{""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitPastedText(c.text), c.rows);
    }
}

TEST(GridClipboard, CopiedTextsAreShownTextsInUtf8SeparatedByTabs) {
    CGridCtrl grid(2, 3, 1, 0);
    grid.SetCellText(1, 0, "7");
    grid.SetCellText(1, 1, "Caf\xE9");  // the older code page
    grid.SetCellText(1, 2, "Caf\xC3\xA9");
    EXPECT_EQ(CopiedCellText(grid, 1, 1), "Caf\xC3\xA9");
    EXPECT_EQ(CopiedRowText(grid, 1, 1), "Caf\xC3\xA9\tCaf\xC3\xA9");
}
