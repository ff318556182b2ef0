// Whole-process figures for making the list in batch mode, beside sqlite3
// doing the same job: import the ";"-separated file, order by all five
// columns without case, write HTML.
//   bench_make_list TABULON [SIZE]    (SIZE defaults to 100000; ten times SIZE is run too)

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchLists.h"

namespace fs = std::filesystem;

namespace {

using tabulon::bench::ProcessFigures;

ProcessFigures Best(const std::vector<std::string>& argv, const std::string& input, int runs) {
    ProcessFigures best;
    best.seconds = 1e9;
    for (int r = 0; r < runs; ++r) {
        const ProcessFigures f = tabulon::bench::RunProcess(argv, input);
        if (f.status != 0) {
            std::fprintf(stderr, "bench_make_list: %s failed with status %d\n", argv[0].c_str(), f.status);
            std::exit(1);
        }
        if (f.seconds < best.seconds) best = f;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_make_list TABULON [SIZE]\n");
        return 2;
    }
    const std::string tabulon = fs::absolute(argv[1]).string();
    const std::size_t size = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100000;
    const fs::path root = fs::temp_directory_path() / ("tabulon-bench-" + std::to_string(::getpid()));
    fs::create_directories(root);

    const bool haveSqlite = std::system("sqlite3 -version > /dev/null 2>&1") == 0;
    if (!haveSqlite) std::printf("sqlite3 is not installed: tabulon alone\n");
    std::printf("make list, batch mode, index mode 3, 5 fields (best of 5 runs, the two programs taking turns)\n");
    double small = 0;
    for (const std::size_t count : {size, size * 10}) {
        const fs::path dir = tabulon::bench::PrepareList(root, count);
        const double fileMb = static_cast<double>(fs::file_size(dir / "items.db")) / (1024.0 * 1024.0);
        const std::vector<std::string> ourCommand = {tabulon, "--make-list", (dir / "list.cfg").string()};
        const std::vector<std::string> sqliteCommand = {"sqlite3", "-batch", ":memory:"};
        ProcessFigures ours, sqlite;
        ours.seconds = sqlite.seconds = 1e9;
        for (int round = 0; round < 5; ++round) {
            const ProcessFigures a = Best(ourCommand, "", 1);
            if (a.seconds < ours.seconds) ours = a;
            if (!haveSqlite) continue;
            const ProcessFigures b = Best(sqliteCommand, (dir / "sqlite.sql").string(), 1);
            if (b.seconds < sqlite.seconds) sqlite = b;
        }
        // "before": the peak before the cells were made smaller, on the
        // 2-core test machine with the same generated list.
        const bool million = count == 1000000;
        std::printf("  %8zu items (%.1f MB): tabulon %7.3f s, peak %7.1f MB = %.1f x the file%s\n", count, fileMb,
                    ours.seconds, ours.peakMb, ours.peakMb / fileMb,
                    million ? " (target: at most 6; before: 719.6 MB = 15.4 x)" : "");
        if (haveSqlite)
            std::printf("  %8zu items: sqlite3 %7.3f s, peak %7.1f MB; tabulon / sqlite3 = %.2f (target: at most %s)\n",
                        count, sqlite.seconds, sqlite.peakMb, ours.seconds / sqlite.seconds,
                        count == size ? "0.5" : "0.6");
        if (count == size)
            small = ours.seconds;
        else
            std::printf("  ratio %zu / %zu items: %.2f (target: at most 12)\n", count, size, ours.seconds / small);
    }
    fs::remove_all(root);
    return 0;
}
