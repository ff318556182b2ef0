#pragma once
// The folders a user can pick from: a few top-level places (home, the
// desktop, the whole file system, mounted volumes) and, below each, its
// sub-folders. Files never appear here.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/TagReader.h"

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

// One entry of a folder, as ReadFolder gives it.
struct FolderItem {
    std::string name;     // as bytes
    bool link = false;    // a symbolic link
    bool folder = false;  // a folder, or a link to one
    // When sizes are asked for: the size of a regular file, or of the one a
    // link leads to; 0 for anything else.
    std::uint64_t size = 0;
};

// Reads folders: the names of their entries, what each is and, when asked,
// the sizes of files. This one asks the system, entry by entry within the
// folder it opened; a host may read folders otherwise.
class IFolderReader {
public:
    virtual ~IFolderReader() = default;
    // Gives each entry of the folder at path ("." and ".." aside) to each, in
    // no particular order, until each says stop. False when the folder
    // cannot be read or each said stop; an entry that vanishes meanwhile
    // may be given without its size.
    virtual bool ReadFolder(const std::string& path, bool sizes, const std::function<bool(const FolderItem&)>& each);
    // What reads the tags of the files in these folders; none where the
    // host reads no tags.
    virtual ITagReader* Tags() { return nullptr; }
};

// The system's reader, for callers with no host at hand.
IFolderReader& StandardFolderReader();

class IFolderNamespace : public IFolderReader {
public:
    // The top-level places, in the order they are shown.
    virtual std::vector<FolderEntry> TopLevel() = 0;
    // The folders directly inside the folder with this id, in no particular
    // order; none when it cannot be read.
    virtual std::vector<FolderEntry> SubFolders(const std::string& id) = 0;
};

}  // namespace tabulon
