// AddItemFromText, as the folder scan and the import use it: the row gets one
// trimmed field per piece of the text, the grid is wide enough for them, and
// the headings stay numbered.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "base/TextTrim.h"
#include "grid/GridCtrl.h"
#include "items/TabulonWnd1.h"

using namespace tabulon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::World world;
    const fuzz::EmptiedAfter emptied(world);
    CTabulonWnd1& pane = world.session.NewItemsPane();
    CGridCtrl& grid = *pane.GetGrid();
    grid.DeleteNonFixedRows();
    while (grid.GetColumnCount() > 1) grid.DeleteColumn(1);

    FuzzedDataProvider input(data, size);
    const std::string separator = input.ConsumeRandomLengthString(2);
    const bool intoExisting = input.ConsumeBool();
    const std::string text = input.ConsumeRemainingBytesAsString();
    if (intoExisting) pane.AddItemFromText("earlier", ";", 1);
    const int row = intoExisting ? 1 : grid.GetRowCount();
    pane.AddItemFromText(text, separator, row);

    if (grid.GetRowCount() != 2) fuzz::Finding("the item is not in its one row");
    if (grid.GetCellText(1, 0) != "X") fuzz::Finding("the item is not checked");
    const bool splits = separator.size() == 1;
    const auto k = splits ? static_cast<int>(std::count(text.begin(), text.end(), separator[0])) : 0;
    if (grid.GetColumnCount() < k + 2) fuzz::Finding("too few columns for the fields");
    for (int c = 1; c < grid.GetColumnCount(); ++c)
        if (grid.GetCellText(0, c) != "Col " + std::to_string(c)) fuzz::Finding("a heading is not numbered");
    if (k == 0) {
        if (grid.GetCellText(1, 1) != text) fuzz::Finding("a text without separators is not kept whole");
        return 0;
    }
    std::size_t start = 0;
    for (int field = 0; field <= k; ++field) {
        const std::size_t stop = field < k ? text.find(separator[0], start) : text.size();
        if (grid.GetCellText(1, field + 1) != Trim(std::string_view(text).substr(start, stop - start)))
            fuzz::Finding("a field is not its trimmed piece");
        start = stop + 1;
    }
    return 0;
}
