// A database file loaded and saved back: whatever loads can be saved, and
// the saved file loads as the same items.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "grid/GridCtrl.h"
#include "items/DatabaseFile.h"

using namespace tabulon;

namespace {

// The items of the grid as one text: each cell's length and bytes, so that
// two grids give the same text only when every cell is the same.
std::string ItemsOf(const CGridCtrl& grid) {
    std::string items = std::to_string(grid.GetColumnCount()) + ":";
    for (int r = 1; r < grid.GetRowCount(); ++r) {
        for (int c = 0; c < grid.GetColumnCount(); ++c) {
            const std::string_view text = grid.GetCellText(r, c);
            items += std::to_string(text.size());
            items += ':';
            items += text;
        }
        items += '\n';
    }
    return items;
}

// Loads path into an emptied 'Database'.
void Load(fuzz::World& world, const std::string& path) {
    world.session.DatabasePane().ClearDatabase();
    world.session.Frame().Config().database = path;
    world.messages.shown.clear();
    if (!LoadDatabaseFile(world.session.Frame())) fuzz::Finding("a regular file did not load");
}

void Save(fuzz::World& world, const std::string& path) {
    world.session.Frame().Config().database = path;
    if (!WriteDatabaseFile(world.session.Frame())) fuzz::Finding("what was loaded could not be saved");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchFiles files;
    static fuzz::World world;
    const fuzz::EmptiedAfter emptied(world);
    world.session.Frame().Config().cfgfile = files.Path("list.cfg");
    world.window.title = "Tabulon - " + files.Path("list.cfg");

    const std::string in = files.Write("in.db", std::string_view(reinterpret_cast<const char*>(data), size));
    Load(world, in);
    const std::string loaded = ItemsOf(*world.session.DatabasePane().GetGrid());
    const std::string out = files.Path("out.db");
    Save(world, out);
    // Saving is a matter of the items alone: the same items, the same bytes.
    Load(world, out);
    if (ItemsOf(*world.session.DatabasePane().GetGrid()) != loaded) fuzz::Finding("the saved file loads differently");
    return 0;
}
