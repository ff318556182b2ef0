#include "platform/FolderNamespace.h"

#include <filesystem>
#include <system_error>

namespace tabulon {

namespace fs = std::filesystem;

bool IFolderReader::ReadFolder(const std::string& path, bool sizes,
                               const std::function<bool(const FolderItem&)>& each) {
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    if (ec) return false;
    FolderItem item;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        item.name = it->path().filename().native();
        item.link = it->is_symlink(entryError);
        item.folder = it->is_directory(entryError);
        item.size = 0;
        if (sizes && !item.folder) {
            const std::uintmax_t size = it->file_size(entryError);
            if (!entryError) item.size = size;
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
