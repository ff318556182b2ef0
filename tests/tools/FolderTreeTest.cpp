// The folder tree over a namespace: what it shows in which order, that each
// level is asked for once, and which path a selection reports.

#include <gtest/gtest.h>

#include "FakeFolderNamespace.h"
#include "FakeTreeControl.h"
#include "tools/FolderTree.h"

namespace tabulon {
namespace {

using fakes::FakeFolderNamespace;
using Strings = std::vector<std::string>;

struct FolderTreeTest : ::testing::Test {
    FakeFolderNamespace folders;
    fakes::FakeTreeControl tree;
    CFolderTree folderTree{tree, folders};
    std::string path = "unchanged";
    int selections = 0;

    void SetUp() override {
        folders.top = {FakeFolderNamespace::Folder("Home", "/home/ann", true, FolderIcon::Home),
                       FakeFolderNamespace::Folder("Desktop", "/home/ann/Desktop", false, FolderIcon::Desktop),
                       FakeFolderNamespace::Folder("File System", "/", true, FolderIcon::Drive),
                       FakeFolderNamespace::Folder("Network", "", true)};
        folders.children["/home/ann"] = {FakeFolderNamespace::Folder("music", "/home/ann/music", true),
                                         FakeFolderNamespace::Folder("Books", "/home/ann/Books"),
                                         FakeFolderNamespace::Folder("Music", "/home/ann/Music"),
                                         FakeFolderNamespace::Folder("apps", "/home/ann/apps")};
        folders.children["/home/ann/music"] = {FakeFolderNamespace::Folder("Rock", "/home/ann/music/Rock")};
        folders.children["Network"] = {FakeFolderNamespace::Folder("share", "/net/share")};
        tree.onNotify = [this](const TreeNotify& n) {
            switch (n.code) {
            case TreeNotifyCode::kItemExpanding: return folderTree.OnItemExpanding(n);
            case TreeNotifyCode::kSelChanged:
                ++selections;
                folderTree.OnSelChanged(n, path);
                return 0;
            case TreeNotifyCode::kDeleteItem: return folderTree.OnDeleteItem(n);
            default: return 0;
            }
        };
        folderTree.SetSystemImageList();
        folderTree.FillRoot();
    }
    TreeItem Item(const Strings& texts) { return tree.Find(texts); }
};

TEST_F(FolderTreeTest, OpensOnTheFirstPlaceWithItsPathAndSortedChildren) {
    EXPECT_EQ(tree.Texts(kTreeRoot), (Strings{"Home", "Desktop", "File System", "Network"}));
    EXPECT_EQ(tree.selected, Item({"Home"}));
    EXPECT_TRUE(tree.nodes[Item({"Home"})].expanded);
    EXPECT_EQ(path, "/home/ann");
    EXPECT_EQ(tree.Texts(Item({"Home"})), (Strings{"apps", "Books", "Music", "music"}));
    EXPECT_EQ(folders.asked["/home/ann"], 1);
    // Pictures: the place's own, and a folder that opens when selected.
    const TreeInsert& home = tree.nodes[Item({"Home"})].insert;
    EXPECT_EQ(home.image, static_cast<int>(TreeImage::Home));
    const TreeInsert& music = tree.nodes[Item({"Home", "music"})].insert;
    EXPECT_EQ(music.image, static_cast<int>(TreeImage::Folder));
    EXPECT_EQ(music.selectedImage, static_cast<int>(TreeImage::FolderOpen));
    EXPECT_TRUE(music.hasChildren);
    EXPECT_FALSE(tree.nodes[Item({"Home", "Books"})].insert.hasChildren);
}

TEST_F(FolderTreeTest, EachLevelIsFilledOnceWhicheverWayItIsOpened) {
    tree.SelectItem(Item({"Home", "music"}));
    EXPECT_EQ(path, "/home/ann/music");
    tree.Expand(Item({"Home", "music"}));
    tree.nodes[Item({"Home", "music"})].expanded = false;  // closed by the user
    tree.Expand(Item({"Home", "music"}));
    EXPECT_EQ(tree.Texts(Item({"Home", "music"})), (Strings{"Rock"}));
    EXPECT_EQ(folders.asked["/home/ann/music"], 1);

    tree.Expand(Item({"File System"}));
    tree.SelectItem(Item({"File System"}));
    EXPECT_EQ(folders.asked["/"], 1);
    EXPECT_EQ(path, "/");
}

TEST_F(FolderTreeTest, AVirtualFolderLeavesThePathAlone) {
    tree.SelectItem(Item({"Home", "Books"}));
    tree.SelectItem(Item({"Network"}));
    EXPECT_EQ(path, "/home/ann/Books");
    EXPECT_EQ(tree.Texts(Item({"Network"})), (Strings{"share"}));
    tree.SelectItem(Item({"Network", "share"}));
    EXPECT_EQ(path, "/net/share");
}

TEST_F(FolderTreeTest, FillingAgainStartsFromAnEmptyTree) {
    tree.SelectItem(Item({"File System"}));
    folderTree.FillRoot();
    EXPECT_EQ(tree.Texts(kTreeRoot), (Strings{"Home", "Desktop", "File System", "Network"}));
    EXPECT_EQ(tree.nodes.size(), 8u);  // the places and Home's four folders
    EXPECT_EQ(path, "/home/ann");
    // The records of the first filling went with their items.
    EXPECT_EQ(folderTree.CompareItems(1, 2), 0);
}

TEST_F(FolderTreeTest, WithoutPicturesNoItemAsksForOne) {
    fakes::FakeTreeControl bare;
    bare.hasImages = false;
    CFolderTree plain(bare, folders);
    plain.SetSystemImageList();
    plain.FillRoot();
    ASSERT_FALSE(bare.nodes.empty());
    for (const auto& [handle, node] : bare.nodes) EXPECT_EQ(node.insert.image, -1);
}

}  // namespace
}  // namespace tabulon
