#pragma once
// The folders a user can pick from: a few top-level places (home, the
// desktop, the whole file system, mounted volumes) and, below each, its
// sub-folders. Files never appear here.

#include <string>
#include <vector>

namespace tabulon {

// Which picture a folder shows in a tree.
enum class FolderIcon { Folder, Home, Desktop, Drive };

struct FolderEntry {
    // What the tree shows: the folder's name as bytes, or a place's title.
    std::string name;
    // The namespace's own key for the folder; SubFolders takes it back.
    std::string id;
    // Its file-system path; empty for a virtual folder that has none.
    std::string path;
    FolderIcon icon = FolderIcon::Folder;
    // Whether SubFolders may give something, so a tree shows an expand
    // button before it has asked.
    bool hasSubFolders = false;
};

class IFolderNamespace {
public:
    virtual ~IFolderNamespace() = default;
    // The top-level places, in the order they are shown.
    virtual std::vector<FolderEntry> TopLevel() = 0;
    // The folders directly inside the folder with this id, in no particular
    // order; none when it cannot be read.
    virtual std::vector<FolderEntry> SubFolders(const std::string& id) = 0;
};

}  // namespace tabulon
