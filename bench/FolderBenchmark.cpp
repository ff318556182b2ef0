// Items from folders at the sizes users have.
//   size: DirectorySize (read as the program reads folders) of 200,000
//         files in 2,000 folders, beside
//         `du -s --apparent-size -B1` of the same tree, warm cache
//   add:  a folder of 100,000 and of 10,000 files with sizes into an empty
//         'New items' grid in its Qt widget (offscreen), the column fitting
//         with the desktop font's measures included; each add runs in a
//         fresh process with the program's large-page cell memory, as the
//         first add after start-up does, and the best of three counts
// Beside each time the processor time is printed: on a busy machine the
// clock also counts the waiting for a processor.
// The trees are made under $TMPDIR (or /tmp) and removed afterwards.

#include <unistd.h>

#include <QApplication>

#include <ctime>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/Session.h"
#include "batch/BatchHost.h"
#include "grid/CellPool.h"
#include "items/TabulonWnd1.h"
#include "posix/CurlFtpSession.h"
#include "posix/LargePageBlocks.h"
#include "posix/PosixFolderNamespace.h"
#include "qt/QtDesktop.h"
#include "qt/QtGridWidget.h"
#include "tools/DirectoryItems.h"

using namespace tabulon;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }
double CpuSeconds(std::clock_t since) { return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC; }

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
    double fit = 1e9;  // of the wall time, fitting the columns once more
    void Keep(const Timing& run) {
        wall = std::min(wall, run.wall);
        cpu = std::min(cpu, run.cpu);
        fit = std::min(fit, run.fit);
    }
};

// A file of size bytes that takes no room on disk.
void MakeFile(const fs::path& path, std::uintmax_t size) {
    std::ofstream{path};
    if (size) fs::resize_file(path, size);
}

// 40 folders of 49 folders each (2,000 folders), 100 files in each; the
// sum of the files' sizes.
std::uint64_t MakeTree(const fs::path& root) {
    std::uint64_t sum = 0;
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int top = 0; top < 40; ++top) {
        for (int sub = -1; sub < 49; ++sub) {
            const fs::path folder =
                root / ("Top " + std::to_string(top)) / (sub < 0 ? fs::path() : fs::path("Sub " + std::to_string(sub)));
            fs::create_directories(folder);
            for (int f = 0; f < 100; ++f) {
                const std::uintmax_t size = next() % 100000;
                MakeFile(folder / ("file " + std::to_string(f) + ".dat"), size);
                sum += size;
            }
        }
    }
    return sum;
}

void MakeFlatFolder(const fs::path& folder, int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        MakeFile(
            folder / ("Artist " + std::to_string(i % 997) + " - Title of song number " + std::to_string(i) + ".mp3"),
            1000000u + static_cast<std::uintmax_t>(i) * 37u);
}

// du's figure and its time, best of three.
std::pair<std::uint64_t, double> RunDu(const fs::path& root) {
    const std::string command = "du -s --apparent-size -B1 '" + root.string() + "'";
    double best = 1e9;
    std::uint64_t bytes = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        std::FILE* pipe = ::popen(command.c_str(), "r");
        unsigned long long got = 0;
        if (!pipe || std::fscanf(pipe, "%llu", &got) != 1) {
            std::fprintf(stderr, "bench_folders: du failed\n");
            std::exit(1);
        }
        ::pclose(pipe);
        best = std::min(best, Seconds(start));
        bytes = got;
    }
    return {bytes, best};
}

// Adds the folder into a fresh, empty 'New items' pane: the time taken and
// the rows made.
std::pair<Timing, int> AddOnce(const fs::path& folder) {
    AddItemsOptions options;
    options.m_bFiles = 1;
    options.m_bDirectories = 0;
    options.m_bFileSize = 1;
    options.m_nFileUnit = 1;
    options.m_bFileAddUnit = 1;
    options.m_strFileUnit = "kb";
    posix::CCurlFtpSession ftp;
    batch::CBatchHost host(ftp);
    qt::CQtDesktop desktop;
    CSession session(host.Hosts(desktop));
    CTabulonWnd1& pane = session.NewItemsPane();
    qt::CQtGridWidget widget(*pane.GetGrid());
    widget.resize(1280, 400);
    widget.show();
    QApplication::processEvents();
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    posix::CPosixFolderNamespace folders;
    AddDirectoryItems(pane, folder.string() + "/", options, nullptr, folders);
    Timing taken{Seconds(start), CpuSeconds(cpuStart), 0};
    // The grid's own share: fitting the same columns again.
    const auto fitStart = Clock::now();
    pane.FitNewItemsColumns();
    taken.fit = Seconds(fitStart);
    // The rows must hold what they should: 'Artist N', 'Title of ...', 'S kb'.
    const CGridCtrl& grid = *pane.GetGrid();
    for (int row = 1; row < grid.GetRowCount(); ++row) {
        const std::string_view size = grid.GetCellText(row, 3);
        if (grid.GetCellText(row, 1).rfind("Artist ", 0) != 0 || grid.GetCellText(row, 2).rfind("Title ", 0) != 0 ||
            size.size() < 4 || size.compare(size.size() - 3, 3, " kb") != 0)
            return {taken, -row};
    }
    // Fitted to the widest name: wider than the narrowest data column.
    if (grid.GetColumnWidth(2) <= 90) return {taken, -1};
    return {taken, grid.GetRowCount() - 1};
}

// The best of three adds, each in a process of its own.
std::pair<Timing, int> TimeAdd(const char* self, const fs::path& folder) {
    Timing best;
    int rows = 0;
    const std::string command = std::string(self) + " --add-only '" + folder.string() + "'";
    for (int run = 0; run < 3; ++run) {
        std::FILE* pipe = ::popen(command.c_str(), "r");
        Timing taken;
        if (!pipe || std::fscanf(pipe, "%lf %lf %lf %d", &taken.wall, &taken.cpu, &taken.fit, &rows) != 4) {
            std::fprintf(stderr, "bench_folders: the add run failed\n");
            std::exit(1);
        }
        ::pclose(pipe);
        best.Keep(taken);
    }
    return {best, rows};
}

}  // namespace

int main(int argc, char** argv) {
    cellpool::SetBlockSource(&posix::AllocateLargePageBlock);
    if (argc == 3 && std::string(argv[1]) == "--add-only") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
        const auto [taken, rows] = AddOnce(argv[2]);
        std::printf("%f %f %f %d\n", taken.wall, taken.cpu, taken.fit, rows);
        return 0;
    }
    const char* tmp = std::getenv("TMPDIR");
    const fs::path base =
        fs::path(tmp && *tmp ? tmp : "/tmp") / ("tabulon-bench-folders-" + std::to_string(::getpid()));
    fs::remove_all(base);
    int status = 0;

    const fs::path tree = base / "tree";
    const std::uint64_t sum = MakeTree(tree);
    RunDu(tree);                           // warms the cache
    posix::CPosixFolderNamespace folders;  // as the program reads folders
    Timing ours;
    std::uint64_t total = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        total = *DirectorySize(folders, tree.string(), nullptr);
        ours.Keep({Seconds(start), CpuSeconds(cpuStart), 0});
    }
    const auto [duBytes, duSeconds] = RunDu(tree);
    std::printf("DirectorySize, 200,000 files in 2,000 folders: %.3f s (processor %.3f s), %llu bytes\n", ours.wall,
                ours.cpu, static_cast<unsigned long long>(total));
    std::printf("du -s --apparent-size -B1, same tree:          %.3f s, %llu bytes (folders' own sizes included)\n",
                duSeconds, static_cast<unsigned long long>(duBytes));
    std::printf("  ratio %.2f (target at most 1.5); files' sizes sum to %llu bytes: %s\n", ours.wall / duSeconds,
                static_cast<unsigned long long>(sum), total == sum ? "agrees" : "DIFFERS");
    if (total != sum || duBytes < sum) status = 1;
    fs::remove_all(tree);

    const fs::path small = base / "ten-thousand";
    const fs::path large = base / "hundred-thousand";
    MakeFlatFolder(small, 10000);
    MakeFlatFolder(large, 100000);
    TimeAdd(argv[0], large);  // warms the cache
    const auto [smallTime, smallRows] = TimeAdd(argv[0], small);
    const auto [largeTime, largeRows] = TimeAdd(argv[0], large);
    std::printf("Add a folder of  10,000 files with sizes: %.3f s (processor %.3f s; column fitting %.3f s), %d rows\n",
                smallTime.wall, smallTime.cpu, smallTime.fit, smallRows);
    std::printf(
        "Add a folder of 100,000 files with sizes: %.3f s (processor %.3f s; column fitting %.3f s), %d rows; "
        "target at most 1 s\n",
        largeTime.wall, largeTime.cpu, largeTime.fit, largeRows);
    std::printf("  ratio %.1f (processor %.1f; target at most 12)\n", largeTime.wall / smallTime.wall,
                largeTime.cpu / smallTime.cpu);
    if (smallRows != 10000 || largeRows != 100000) status = 1;
    fs::remove_all(base);
    return status;
}
