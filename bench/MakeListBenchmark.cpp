// Whole-process figures for making the list in batch mode, beside sqlite3
// doing the same job: import the ";"-separated file, order by all five
// columns without case, write HTML.
//   bench_make_list TABULON [SIZE]    (SIZE defaults to 100000; ten times SIZE is run too)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProcessFigures.h"
#include "TableGenerator.h"

namespace fs = std::filesystem;
using tabulon::bench::Figures;
using tabulon::bench::RunProcess;

namespace {

Figures Best(const std::vector<std::string>& argv, const std::string& input, int runs) {
    Figures best;
    best.seconds = 1e9;
    for (int r = 0; r < runs; ++r) {
        const Figures f = RunProcess(argv, input);
        if (f.status != 0) {
            std::fprintf(stderr, "bench_make_list: %s failed with status %d\n", argv[0].c_str(), f.status);
            std::exit(1);
        }
        if (f.seconds < best.seconds) best = f;
    }
    return best;
}

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A folder with a database of count items, its configuration and the sqlite3 script.
fs::path PrepareList(const fs::path& root, std::size_t count) {
    const fs::path dir = root / std::to_string(count);
    fs::create_directories(dir);
    {
        std::ofstream db(dir / "items.db", std::ios::binary);
        tabulon::bench::CTableGenerator generator(7);
        for (std::size_t i = 0; i < count; ++i) db << tabulon::bench::JoinFields(generator.NextItem()) << "\r\n";
    }
    WriteFile(dir / "head.htm", "<html><body>\r\n");
    WriteFile(dir / "end.htm", "</body></html>\r\n");
    WriteFile(dir / "list.cfg",
              "[files]\r\ndatabase = items.db\r\noutput   = list.htm\r\nheadfile = head.htm\r\n"
              "endfile  = end.htm\r\n\r\n[colors]\r\nheadcol  = C0C0C0\r\nindexcol = E0E0E0\r\n"
              "firstcol = FFFFFF\r\nsecondcol= F0F0F0\r\n\r\n[other]\r\naddindex = 3\r\n"
              "columns  = Artist;Title;Year;Size;Genre");
    WriteFile(dir / "sqlite.sql",
              "CREATE TABLE items(artist, title, year, size, genre);\n"
              ".separator \";\" \"\\n\"\n"
              ".import '" + (dir / "items.db").string() + "' items\n"
              ".mode html\n"
              ".output '" + (dir / "sqlite.htm").string() + "'\n"
              "SELECT * FROM items ORDER BY artist COLLATE NOCASE, title COLLATE NOCASE, year COLLATE NOCASE,"
              " size COLLATE NOCASE, genre COLLATE NOCASE;\n");
    return dir;
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

    std::printf("make list, batch mode, index mode 3, 5 fields (best of 5 runs, the two programs taking turns)\n");
    double small = 0;
    for (const std::size_t count : {size, size * 10}) {
        const fs::path dir = PrepareList(root, count);
        const double fileMb = static_cast<double>(fs::file_size(dir / "items.db")) / (1024.0 * 1024.0);
        const std::vector<std::string> ourCommand = {tabulon, "--make-list", (dir / "list.cfg").string()};
        const std::vector<std::string> sqliteCommand = {"sqlite3", "-batch", ":memory:"};
        Figures ours, sqlite;
        ours.seconds = sqlite.seconds = 1e9;
        for (int round = 0; round < 5; ++round) {
            const Figures a = Best(ourCommand, "", 1);
            if (a.seconds < ours.seconds) ours = a;
            if (count == size) {
                const Figures b = Best(sqliteCommand, (dir / "sqlite.sql").string(), 1);
                if (b.seconds < sqlite.seconds) sqlite = b;
            }
        }
        std::printf("  %8zu items (%.1f MB): tabulon %7.3f s, peak %7.1f MB = %.1f x the file (target: under 40)\n",
                    count, fileMb, ours.seconds, ours.peakMb, ours.peakMb / fileMb);
        if (count == size) {
            small = ours.seconds;
            std::printf("  %8zu items: sqlite3 %7.3f s, peak %7.1f MB; tabulon / sqlite3 = %.2f (target: at most 1)\n",
                        count, sqlite.seconds, sqlite.peakMb, ours.seconds / sqlite.seconds);
        } else {
            std::printf("  ratio %zu / %zu items: %.2f (target: at most 12)\n", count, size, ours.seconds / small);
        }
    }
    fs::remove_all(root);
    return 0;
}
