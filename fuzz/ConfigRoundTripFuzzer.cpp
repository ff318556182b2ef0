// A .cfg file read and written back: whatever the writer accepts reads back
// as the same record, grid-line switches and column names.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FakeConfigFrame.h"
#include "FuzzSupport.h"
#include "config/ConfigFile.h"
#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

// What the configuration knows, as the main window would hold it.
struct Holder {
    Holder() {
        grid.SetRowCount(1);
        grid.SetColumnCount(1);
        grid.SetFixedRowCount(1);
        grid.SetCellText(0, 0, "Database");
        frame.SetDatabaseGrid(&grid);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int col = 1; col < grid.GetColumnCount(); ++col) names.emplace_back(grid.GetCellText(0, col));
        // One nameless column is written as the bare key, which names none.
        if (names.size() == 1 && names[0].empty()) names.clear();
        return names;
    }
    fakes::FakeMainWindow window;
    fakes::ScriptedMessageBox messages;
    fakes::FakeConfigFrame frame{window, messages};
    CGridCtrl grid;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchFiles files;
    const std::string in = files.Write("in.cfg", std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string out = files.Write("out.cfg", "");

    Holder first;
    ParsedConfig parsed;
    std::string reason;
    if (!ParseConfigFile(in, parsed, reason)) fuzz::Finding("a regular file could not be read: " + reason);
    first.frame.Config() = parsed.record;
    first.frame.Config().cfgfile = out;
    for (const std::string& names : parsed.columns) ApplyColumnNames(first.grid, names);
    first.window.horizontalChecked = parsed.gridLines.horizontal;
    first.window.verticalChecked = parsed.gridLines.vertical;
    if (!WriteConfigFile(first.frame, true)) {
        if (first.messages.shown.size() != 1) fuzz::Finding("a refused save said nothing, or more than once");
        return 0;  // refused, with a message: nothing to read back
    }

    Holder second;
    second.frame.Config().cfgfile = out;
    const ConfigGridLines lines = ReadConfigFile(second.frame, out);
    if (!(second.frame.Config() == first.frame.Config())) fuzz::Finding("the record read back differs");
    if (lines.horizontal != parsed.gridLines.horizontal || lines.vertical != parsed.gridLines.vertical)
        fuzz::Finding("the grid lines read back differ");
    if (second.Names() != first.Names()) fuzz::Finding("the column names read back differ");
    return 0;
}
