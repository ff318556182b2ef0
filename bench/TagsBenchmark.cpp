// A folder of COUNT tagged music files (10,000 by default; MP3 and FLAC in
// turn, copies of two files tagged through TagLib) added as items with and
// without tags, on a warm cache: the scan with tags beside the same scan
// without (target: at most twice as long).
//   bench_tags [COUNT]

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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
    std::printf("Add items, %zu tagged files (MP3 and FLAC), warm cache, best of %d\n", count, kRounds);
    std::printf("  without tags %7.3f s\n  with tags    %7.3f s  = %.2f x without (target: at most 2)\n", plain, tagged,
                tagged / plain);
    fs::remove_all(root);
    return 0;
}
