#pragma once
// A folder namespace from a table: its top-level places and, by id, the
// sub-folders of each folder. It counts how often each level was asked for.

#include <map>
#include <string>
#include <vector>

#include "platform/FolderNamespace.h"

namespace tabulon::fakes {

class FakeFolderNamespace : public IFolderNamespace {
public:
    // A folder entry whose id is its path (or its name, for a virtual one).
    static FolderEntry Folder(const std::string& name, const std::string& path, bool hasSubFolders = false,
                              FolderIcon icon = FolderIcon::Folder) {
        return FolderEntry{name, path.empty() ? name : path, path, icon, hasSubFolders};
    }

    std::vector<FolderEntry> TopLevel() override {
        ++topLevelAsked;
        return top;
    }
    std::vector<FolderEntry> SubFolders(const std::string& id) override {
        ++asked[id];
        auto it = children.find(id);
        return it == children.end() ? std::vector<FolderEntry>{} : it->second;
    }

    std::vector<FolderEntry> top;
    std::map<std::string, std::vector<FolderEntry>> children;
    int topLevelAsked = 0;
    std::map<std::string, int> asked;
};

}  // namespace tabulon::fakes
