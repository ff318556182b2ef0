// A folder of COUNT tagged music files (10,000 by default; MP3 and FLAC in
// turn, copies of two files tagged through TagLib) added as items with and
// without tags, on a warm cache: the scan with tags beside the same scan
// without (target: at most twice as long). Both scans are the same command
// with the same options (Size off), Tags off and on. Beside them the floor
// of any scan that reads tags: opening, reading the first block of and
// closing every file, with nothing else done, on one thread and on the two
// a scan reads tags on.
//   bench_tags [COUNT]

#include <fcntl.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchLists.h"
#include "HeadlessSession.h"
#include "items/TabulonWnd1.h"
#include "tags/TagLibReader.h"
#include "tools/DirectoryItems.h"

namespace fs = std::filesystem;
using namespace tabulon;

namespace {

constexpr int kRounds = 5;

struct NoPlaces : IFolderNamespace {
    std::vector<FolderEntry> TopLevel() override { return {}; }
    std::vector<FolderEntry> SubFolders(const std::string&) override { return {}; }
};

// A tagged file: silent MPEG frames, or a second of FLAC silence from sox.
bool MakeTagged(const fs::path& path) {
    if (path.extension() == ".mp3") {
        std::string frame(417, '\0');
        frame.replace(0, 4, "\xFF\xFB\x90\x00", 4);
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 40; ++i) out << frame;
    } else if (std::system(("sox -n -r 8000 -c 1 '" + path.string() + "' trim 0 1").c_str()) != 0) {
        return false;
    }
    TagLib::FileRef file(path.c_str());
    if (file.isNull()) return false;
    file.tag()->setArtist("Some Artist");
    file.tag()->setTitle("A Title Of Some Length");
    file.tag()->setAlbum("The Album");
    file.tag()->setYear(1999);
    return file.save();
}

// Opens, reads the first block of and closes every threads-th of paths from
// first on; false when one could not be read.
bool OpenReadClose(const std::vector<std::string>& paths, std::size_t first, std::size_t threads) {
    char block[4096];
    bool read = true;
    for (std::size_t i = first; i < paths.size(); i += threads) {
        const int fd = ::open(paths[i].c_str(), O_RDONLY | O_CLOEXEC);
        read = fd >= 0 && ::pread(fd, block, sizeof block, 0) > 0 && read;
        if (fd >= 0) ::close(fd);
    }
    return read;
}

// The floor on threads threads: every file opened, read and closed alone.
double Floor(const std::vector<std::string>& paths, std::size_t threads) {
    bool read = true;
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        best = std::min(best, bench::Seconds([&] {
                            std::vector<std::thread> others;
                            std::vector<char> done(threads, 1);
                            for (std::size_t t = 1; t < threads; ++t)
                                others.emplace_back([&, t] { done[t] = OpenReadClose(paths, t, threads); });
                            done[0] = OpenReadClose(paths, 0, threads);
                            for (std::thread& other : others) other.join();
                            read = read && std::all_of(done.begin(), done.end(), [](char d) { return d != 0; });
                        }));
    }
    if (!read) std::fprintf(stderr, "bench_tags: a file could not be read alone\n");
    return read ? best : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000;
    const fs::path root = fs::temp_directory_path() / ("tabulon-bench-tags-" + std::to_string(::getpid()));
    const fs::path folder = root / "music";
    fs::create_directories(folder);
    if (!MakeTagged(root / "seed.mp3") || !MakeTagged(root / "seed.flac")) {
        std::fprintf(stderr, "bench_tags: the tagged files could not be made\n");
        return 1;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const char* extension = i % 2 ? ".flac" : ".mp3";
        fs::copy_file(root / (std::string("seed") + extension),
                      folder / ("Artist " + std::to_string(i) + " - Title" + extension));
    }

    fakes::HeadlessSession s;
    CTabulonWnd1& pane = s.session.NewItemsPane();
    NoPlaces places;
    tags::CFoldersWithTags folders(places);
    AddItemsOptions options;
    options.m_bFiles = 1;
    options.m_bDirectories = 0;
    double plain = 1e9, tagged = 1e9;
    const std::string path = folder.string() + "/";
    for (int round = 0; round <= kRounds; ++round) {
        for (const int tags : {0, 1}) {
            options.m_bFileTags = tags;
            pane.GetGrid()->SetRowCount(1);
            const double seconds =
                bench::Seconds([&] { AddDirectoryItems(pane, path, options, nullptr, folders, nullptr); });
            if (pane.GetGrid()->GetRowCount() != static_cast<int>(count) + 1) {
                std::fprintf(stderr, "bench_tags: %d rows for %zu files\n", pane.GetGrid()->GetRowCount() - 1, count);
                return 1;
            }
            if (round == 0) continue;  // the first round warms the cache
            (tags ? tagged : plain) = std::min(tags ? tagged : plain, seconds);
        }
    }
    std::vector<std::string> paths;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    const double alone = Floor(paths, 1);
    const double aloneOnTwo = Floor(paths, 2);
    fs::remove_all(root);
    if (alone < 0 || aloneOnTwo < 0) return 1;

    const double ratio = tagged / plain;
    std::printf("Add items, %zu tagged files (MP3 and FLAC), warm cache, best of %d\n", count, kRounds);
    std::printf("  without tags %7.3f s\n  with tags    %7.3f s  = %.2f x without (target: at most 2", plain, tagged,
                ratio);
    if (ratio <= 2)
        std::printf(": met)\n");
    else
        std::printf(": missed, %.2f x the time allowed)\n", ratio / 2);
    std::printf("  open+read+close of every file alone: %.3f s on one thread = %.2f x without tags,\n", alone,
                alone / plain);
    std::printf("                                       %.3f s on two threads = %.2f x without tags\n", aloneOnTwo,
                aloneOnTwo / plain);
    std::printf("  reading the tags beyond that floor: %.3f s (with tags - without - floor on two threads)\n",
                tagged - plain - aloneOnTwo);
    return 0;
}
