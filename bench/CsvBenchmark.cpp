// CSV beside the database file on a generated list of SIZE items (1,000,000
// by default), side by side in one run:
//   - whole process: batch Export CSV beside batch Make list of the same list;
//   - in this process with the scripted hosts: Import CSV (reading, finding
//     the encoding and separator, and the items into 'New items') beside
//     Import database of the same items.
//   bench_csv TABULON [SIZE]

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchLists.h"
#include "HeadlessSession.h"
#include "grid/CellPool.h"
#include "items/CsvImportDialog.h"
#include "posix/LargePageBlocks.h"

namespace fs = std::filesystem;
using namespace tabulon;

namespace {

constexpr int kRounds = 3;

double BestProcess(const std::vector<std::string>& argv, double best) {
    const bench::ProcessFigures f = bench::RunProcess(argv);
    if (f.status != 0) {
        std::fprintf(stderr, "bench_csv: %s %s failed with status %d\n", argv[0].c_str(), argv[1].c_str(), f.status);
        std::exit(1);
    }
    return std::min(best, f.seconds);
}

using Session = fakes::HeadlessSessionWith<fakes::ScriptedDialogHost>;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_csv TABULON [SIZE]\n");
        return 2;
    }
    cellpool::SetBlockSource(&posix::AllocateLargePageBlock);
    const std::string tabulon = fs::absolute(argv[1]).string();
    const std::size_t size = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1000000;
    const fs::path root = fs::temp_directory_path() / ("tabulon-bench-csv-" + std::to_string(::getpid()));
    const fs::path list = bench::PrepareList(root, size);
    const std::string cfg = (list / "list.cfg").string();
    const std::string csv = (list / "items.csv").string();

    double makeList = 1e9, exportCsv = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        makeList = BestProcess({tabulon, "--make-list", cfg}, makeList);
        exportCsv = BestProcess({tabulon, "--export-csv", cfg, csv}, exportCsv);
    }
    std::printf("%zu items, best of %d, taking turns\n", size, kRounds);
    std::printf("  batch Make list  %7.3f s\n  batch Export CSV %7.3f s  = %.2f x Make list (target: at most 1)\n",
                makeList, exportCsv, exportCsv / makeList);

    Session s;
    CMainFrame& frame = s.session.Frame();
    CGridCtrl& grid = *s.session.NewItemsPane().GetGrid();
    double importDatabase = 1e9, importCsv = 1e9;
    const auto emptied = [&] {
        grid.SetRowCount(1);
        grid.SetColumnCount(1);
        cellpool::GiveBackEmptyBlocks();
    };
    for (int round = 0; round < kRounds; ++round) {
        s.picker.Answer((list / "items.db").string());
        importDatabase = std::min(importDatabase, bench::Seconds([&] { frame.OnCommand(CommandId::kImportDatabase); }));
        const int rows = grid.GetRowCount();
        emptied();
        s.picker.Answer(csv);
        s.dialogs.scripts.push_back({fakes::Tick(CsvImportDlgId::kNamesFirst, true), fakes::Press(DialogId::kOk)});
        importCsv = std::min(importCsv, bench::Seconds([&] { frame.OnCommand(CommandId::kImportCsv); }));
        if (grid.GetRowCount() != rows) {
            std::fprintf(stderr, "bench_csv: Import CSV gave %d rows, Import database %d\n", grid.GetRowCount(), rows);
            return 1;
        }
        emptied();
    }
    std::printf(
        "  Import database  %7.3f s\n  Import CSV       %7.3f s  = %.2f x Import database (target: at most 1.5)\n",
        importDatabase, importCsv, importCsv / importDatabase);
    fs::remove_all(root);
    return 0;
}
