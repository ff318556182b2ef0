// The desktop's folders on real scratch folders: the places and their
// order, what a folder shows, links that lead back up, and the two files
// the places are read from.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

#include "ScratchFolder.h"
#include "Unprivileged.h"
#include "posix/PosixFolderNamespace.h"
#include "tools/DirectoryItems.h"

namespace tabulon::posix {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

struct PosixFolders : ::testing::Test {
    fakes::ScratchFolder scratch{"tabulon-folders"};
    std::string Path(const std::string& name) const { return scratch.PathOf(name); }
    void MakeFolder(const std::string& name) const { fs::create_directories(scratch.folder / name); }

    CPosixFolderNamespace Namespace(const std::string& desktop) const {
        FolderPlaces places;
        places.home = Path("home") + "/";
        places.desktop = desktop;
        places.root = Path("root");
        places.mountTable = scratch.MakeFile("mounts", "proc /proc proc rw 0 0\n");
        return CPosixFolderNamespace(places);
    }
    static Strings Names(const std::vector<FolderEntry>& entries) {
        Strings names;
        for (const FolderEntry& e : entries) names.push_back(e.name);
        std::sort(names.begin(), names.end());
        return names;
    }
    static const FolderEntry& Named(const std::vector<FolderEntry>& entries, const std::string& name) {
        return *std::find_if(entries.begin(), entries.end(), [&](const FolderEntry& e) { return e.name == name; });
    }
};

TEST_F(PosixFolders, PlacesComeHomeFirstThenDesktopAndFileSystem) {
    MakeFolder("home/Schreibtisch");
    MakeFolder("root/usr");
    std::vector<FolderEntry> top = Namespace(Path("home/Schreibtisch")).TopLevel();
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[0].name, "Home");
    EXPECT_EQ(top[0].path, Path("home"));
    EXPECT_EQ(top[0].icon, FolderIcon::Home);
    EXPECT_TRUE(top[0].hasSubFolders);
    EXPECT_EQ(top[1].name, "Schreibtisch");
    EXPECT_EQ(top[1].icon, FolderIcon::Desktop);
    EXPECT_FALSE(top[1].hasSubFolders);
    EXPECT_EQ(top[2].name, "File System");
    EXPECT_EQ(top[2].path, Path("root"));
    EXPECT_EQ(top[2].icon, FolderIcon::Drive);

    // A desktop that is home itself, or missing, is not shown twice or at all.
    EXPECT_EQ(Namespace(Path("home")).TopLevel().size(), 2u);
    EXPECT_EQ(Namespace(Path("home/Desktop")).TopLevel().size(), 2u);
}

TEST_F(PosixFolders, FoldersShowVisibleFoldersAndLinksThatDoNotLeadBack) {
    MakeFolder("home/Music/Rock");
    MakeFolder("home/.cache/x");
    MakeFolder("home/Empty");
    MakeFolder("elsewhere/Films/New");
    scratch.MakeFile("home/notes.txt", "x");
    fs::create_directory_symlink(Path("elsewhere/Films"), Path("home/Films"));
    fs::create_directory_symlink("..", Path("home/Music/up"));
    fs::create_directory_symlink(Path("home"), Path("elsewhere/Films/home"));
    CPosixFolderNamespace folders = Namespace("");

    const std::vector<FolderEntry> home = folders.SubFolders(Path("home"));
    EXPECT_EQ(Names(home), (Strings{"Empty", "Films", "Music"}));
    EXPECT_FALSE(Named(home, "Empty").hasSubFolders);
    EXPECT_TRUE(Named(home, "Music").hasSubFolders);
    EXPECT_EQ(Named(home, "Films").path, Path("home/Films"));

    // The link up is shown but leads nowhere, even when asked directly.
    const std::vector<FolderEntry> music = folders.SubFolders(Path("home/Music"));
    EXPECT_EQ(Names(music), (Strings{"Rock", "up"}));
    EXPECT_FALSE(Named(music, "up").hasSubFolders);
    EXPECT_TRUE(folders.SubFolders(Path("home/Music/up")).empty());

    // A linked folder opens; a link in it back to home, reached through it, does not.
    const std::vector<FolderEntry> films = folders.SubFolders(Path("home/Films"));
    EXPECT_EQ(Names(films), (Strings{"New", "home"}));
    EXPECT_FALSE(Named(films, "home").hasSubFolders);
    EXPECT_TRUE(folders.SubFolders(Path("home/Films/home")).empty());
}

TEST_F(PosixFolders, AnUnreadableFolderIsShownWithoutChildren) {
    MakeFolder("home/Locked/Inside");
    fs::permissions(Path("home/Locked"), fs::perms::none);
    CPosixFolderNamespace folders = Namespace("");
    // Each folder as "name:has sub-folders", then how many Locked shows.
    const std::optional<std::string> seen = fakes::RunUnprivileged([&] {
        std::string out;
        for (const FolderEntry& e : folders.SubFolders(Path("home")))
            out += e.name + ":" + (e.hasSubFolders ? "1 " : "0 ");
        return out + std::to_string(folders.SubFolders(Path("home/Locked")).size());
    });
    fs::permissions(Path("home/Locked"), fs::perms::owner_all);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(*seen, "Locked:0 0");
}

// Each entry as "name:link folder size", in name order.
std::string Listed(IFolderReader& reader, const std::string& folder, bool sizes) {
    std::vector<std::string> items;
    const bool read = reader.ReadFolder(folder, sizes, [&](const FolderItem& item) {
        items.push_back(item.name + ":" + (item.link ? "L" : "-") + (item.folder ? "F " : "- ") +
                        std::to_string(item.size));
        return true;
    });
    std::sort(items.begin(), items.end());
    std::string out = read ? "" : "unread";
    for (const std::string& item : items) out += item + " ";
    return out;
}

TEST_F(PosixFolders, AFolderReadsWithWhatEachEntryIsAndItsSize) {
    MakeFolder("f/Sub/Deep");
    MakeFolder("f/Locked");
    scratch.MakeFile("f/Sub/Deep/song.mp3", std::string(1000, 'x'));
    scratch.MakeFile("f/.hidden", "12345");
    scratch.MakeFile("f/Locked/secret", "500");
    fs::resize_file(scratch.MakeFile("f/image.iso", ""), 3221225472u);  // sparse: takes no room
    fs::create_symlink(Path("f/image.iso"), Path("f/to file"));
    fs::create_directory_symlink(Path("f/Sub"), Path("f/to folder"));
    fs::create_symlink(Path("f/gone"), Path("f/broken"));
    fs::create_symlink(Path("f/loop"), Path("f/loop"));
    fs::create_directory_symlink("..", Path("f/Sub/Deep/up"));
    ASSERT_EQ(::mkfifo(Path("f/pipe").c_str(), 0600), 0);
    fs::permissions(Path("f/Locked"), fs::perms::none);

    CPosixFolderNamespace folders = Namespace("");
    const std::optional<std::string> seen = fakes::RunUnprivileged([&] {
        std::string out;
        for (const char* folder : {"f", "f/Locked", "f/missing"})
            for (bool sizes : {false, true}) out += Listed(folders, Path(folder), sizes) + "|";
        return out + std::to_string(*DirectorySize(folders, Path("f"), nullptr));
    });
    fs::permissions(Path("f/Locked"), fs::perms::owner_all);
    ASSERT_TRUE(seen.has_value());
    const std::string names =
        ".hidden:-- 0 Locked:-F 0 Sub:-F 0 broken:L- 0 image.iso:-- 0 loop:L- 0 pipe:-- 0 "
        "to file:L- 0 to folder:LF 0 |";
    const std::string sized =
        ".hidden:-- 5 Locked:-F 0 Sub:-F 0 broken:L- 0 image.iso:-- 3221225472 loop:L- 0 "
        "pipe:-- 0 to file:L- 3221225472 to folder:LF 0 |";
    // Links count nothing in a folder's size, and the locked folder is passed over.
    EXPECT_EQ(*seen, names + sized + "unread|unread|unread|unread|3221226477");
}

TEST(MountTable, VolumesUnderMediaRunMediaAndMntOnceEach) {
    const std::string table =
        "/dev/sda1 / ext4 rw 0 0\n"
        "/dev/sdb1 /media/ann/USB\\040STICK vfat rw 0 0\n"
        "tmpfs /mnt tmpfs rw 0 0\n"
        "/dev/sdc1 /run/media/bob/Disk ext4 rw 0 0\n"
        "/dev/sdd1 /mnt/data ext4 rw 0 0\n"
        "/dev/sdd1 /mnt/data ext4 rw 0 0\n"
        "/dev/sde1 /mediastore ext4 rw 0 0\n"
        "broken\n";
    EXPECT_EQ(VolumeMountPoints(table), (Strings{"/media/ann/USB STICK", "/run/media/bob/Disk", "/mnt/data"}));
}

TEST(UserDirs, TheDesktopLineNamesTheDesktop) {
    EXPECT_EQ(DesktopFromUserDirs("# comment\nXDG_MUSIC_DIR=\"$HOME/Music\"\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n",
                                  "/home/ann"),
              "/home/ann/Bureau");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"/data/desk\"\n", "/home/ann"), "/data/desk");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"$HOME/\"\n", "/home/ann"), "/home/ann/");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"relative\"\n", "/home/ann"), "");
    EXPECT_EQ(DesktopFromUserDirs("", "/home/ann"), "");
}

}  // namespace
}  // namespace tabulon::posix
