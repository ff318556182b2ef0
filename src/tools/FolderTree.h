#pragma once
// The folder tree of the 'Add items' dialog: the folder namespace in a tree
// view, each level filled once, when its folder is first expanded or
// selected, and the file-system path of the folder the user selects.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/FolderNamespace.h"
#include "platform/TreeControl.h"

namespace tabulon {

class CFolderTree {
public:
    CFolderTree(ITreeControl& tree, IFolderNamespace& folders) : m_tree(tree), m_folders(folders) {}

    void SetSystemImageList();
    // Empties the tree, shows the top-level places, then expands and
    // selects the first of them.
    void FillRoot();
    // Inserts the sub-folders of the folder with this id under parentItem.
    void FillChildren(const std::string& folderId, TreeItem parentItem);
    // Siblings by name, ASCII case aside; the top-level places keep their order.
    int CompareItems(std::uint64_t a, std::uint64_t b) const;

    int OnItemExpanding(const TreeNotify& notify);
    // Sets path to the selected folder's file-system path and answers true;
    // a folder without one leaves path alone.
    bool OnSelChanged(const TreeNotify& notify, std::string& path);
    int OnDeleteItem(const TreeNotify& notify);

private:
    // What the tree keeps for each item, reached through its data number.
    struct FolderItemData {
        FolderEntry folder;
        int place = -1;  // position among the top-level places, else -1
        bool filled = false;
    };

    TreeItem Insert(const FolderEntry& folder, TreeItem parent, int place);
    const FolderItemData* DataOf(std::uint64_t key) const;
    void SortChildrenOf(TreeItem parent);

    ITreeControl& m_tree;
    IFolderNamespace& m_folders;
    bool m_images = false;
    std::unordered_map<std::uint64_t, FolderItemData> m_items;
    std::uint64_t m_nextKey = 1;
};

}  // namespace tabulon
