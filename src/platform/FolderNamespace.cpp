#include "platform/FolderNamespace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tabulon {

namespace {

// Closes the folder however the reading ends, a full memory included.
struct FolderHandle {
    DIR* entries = nullptr;
    ~FolderHandle() {
        if (entries) ::closedir(entries);
    }
};

}  // namespace

// Entries are looked up in the folder it opened, not by their whole paths:
// the system then finds each in one step, however deep the folder. The
// system's calls, not the standard library's folder walk: that one ends the
// program when memory runs out under it.
bool IFolderReader::ReadFolder(const std::string& path, bool sizes,
                               const std::function<bool(const FolderItem&)>& each) {
    const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return false;
    FolderHandle handle{::fdopendir(folder)};
    if (!handle.entries) {
        ::close(folder);
        return false;
    }
    FolderItem item;
    while (const dirent* entry = ::readdir(handle.entries)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        unsigned char type = entry->d_type;
        struct stat status {};
        if (type == DT_UNKNOWN && ::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0)
            type = static_cast<unsigned char>(IFTODT(status.st_mode));
        item.name = name;
        item.link = type == DT_LNK;
        item.folder = type == DT_DIR;
        item.size = 0;
        // A link is followed to learn what it leads to; a file only for its size.
        if (item.link || (sizes && type != DT_DIR)) {
            if (::fstatat(folder, name, &status, 0) == 0) {
                item.folder = S_ISDIR(status.st_mode);
                if (sizes && S_ISREG(status.st_mode)) item.size = static_cast<std::uint64_t>(status.st_size);
            }
        }
        if (!each(item)) return false;
    }
    return true;
}

IFolderReader& StandardFolderReader() {
    static IFolderReader reader;
    return reader;
}

}  // namespace tabulon
