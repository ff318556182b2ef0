// Find on a generated list of SIZE items of 5 columns (1,000,000 by
// default), loaded and sorted as 'Database' keeps it, with the program's
// cell memory: the next match when the only one is the last cell, with and
// without case, whole cell, in one column; and the count of the matches of a
// frequent word, which the find bar makes after typing pauses; each walking
// the cells and reading the copy of their texts that the find bar makes.
//   bench_find [SIZE]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "BenchLists.h"
#include "TableGenerator.h"
#include "grid/CellPool.h"
#include "grid/GridCtrl.h"
#include "items/PaneLayout.h"
#include "posix/LargePageBlocks.h"
#include "tools/CellSearch.h"

using namespace tabulon;
using bench::Seconds;

int main(int argc, char** argv) {
    cellpool::SetBlockSource(&posix::AllocateLargePageBlock);
    const int items = argc > 1 ? std::atoi(argv[1]) : 1000000;
    CGridCtrl grid(1, 6, 1, 1);
    bench::CTableGenerator generator(5);
    grid.SetRedraw(false);
    grid.SetRowCount(items + 1);
    for (int r = 1; r <= items; ++r) {
        const bench::Item item = generator.NextItem();
        for (int f = 0; f < 5; ++f) grid.SetCellText(r, f + 1, item[static_cast<std::size_t>(f)]);
    }
    pane::SortByAllColumns(grid, true);
    grid.SetCellText(items, 5, "Zydeco Unique Zoë");  // the only one, in the last cell
    std::printf("%d items x 5 columns\n", items);

    const struct {
        const char* name;
        SearchQuery query;
    } searches[] = {
        {"next, no case", {"zydeco unique", false, false, -1}},
        {"next, match case", {"Zydeco Unique", true, false, -1}},
        {"next, whole cell", {"zydeco unique zoë", false, true, -1}},
        {"next, beyond ASCII", {"ZOË", false, false, -1}},
        {"next, column 5", {"zydeco unique", false, false, 5}},
    };
    // The find bar copies the texts while the user types; until the copy
    // is whole a search walks the cells themselves.
    CSearchTexts copy;
    const long heldBefore = bench::StatusKilobytes("VmRSS:");
    const double copying = Seconds([&] {
        while (!copy.CopySome(grid, 50000)) {
        }
    });
    const long held = bench::StatusKilobytes("VmRSS:");
    for (const bool withCopy : {false, true}) {
        std::printf("%s\n", withCopy ? "with the copy of the texts:" : "walking the cells:");
        for (const auto& s : searches) {
            const CCellSearch search(s.query);
            std::optional<CCellSearch::Found> found;
            const double seconds =
                Seconds([&] { found = search.Next(grid, CellId(1, 1), false, withCopy ? &copy : nullptr); });
            const bool right = found && found->cell == CellId(items, 5);
            std::printf("  %-18s %6.3f s%s\n", s.name, seconds, right ? "" : "  (WRONG CELL)");
        }
        const CCellSearch frequent({"the", false, false, -1});
        CCellSearch::Count count;
        const double counting =
            Seconds([&] { count = frequent.CountMatches(grid, CellId(1, 1), withCopy ? &copy : nullptr); });
        std::printf("  %-18s %6.3f s  (%zu cells hold \"the\")\n", "count", counting, count.total);
    }
    std::printf("copying the texts  %6.3f s, in parts of 50,000 cells; the copy holds %ld MB\n", copying,
                (held - heldBefore) / 1024);
    return 0;
}
