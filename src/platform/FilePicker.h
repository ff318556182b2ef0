#pragma once
// The desktop's file pickers.

#include <filesystem>
#include <optional>
#include <string>

namespace tabulon {

struct FilePickerOptions {
    std::string defaultExtension;  // without the dot: "db"
    std::string initialName;       // "database.db"
    // Pairs of description and pattern, each followed by "|", the list ending
    // in "||": "Database files (*.db)|*.db|All Files (*.*)|*.*||".
    std::string filter;
    bool mustExist = false;  // the file and its folder must exist
    bool hideReadOnly = false;
    // The folder the picker opens in; empty: where the last pick ended, else
    // the user's home folder.
    std::string initialFolder;
    // When set, receives which pair of the filter was chosen as the picker
    // closed (0 the first); the picker opens on the pair it holds.
    int* chosenFilter = nullptr;
};

// The picker starts in the folder of file, and with chooseFile with file's
// name chosen. An empty or bare name changes nothing.
inline void StartPickerAt(FilePickerOptions& options, const std::string& file, bool chooseFile = false) {
    const std::filesystem::path path(file);
    if (file.empty() || !path.has_parent_path()) return;
    options.initialFolder = path.parent_path().string();
    if (chooseFile && path.has_filename()) options.initialName = path.filename().string();
}

class IFilePicker {
public:
    virtual ~IFilePicker() = default;
    // The chosen path (absolute), or none when the user cancels.
    virtual std::optional<std::string> PickOpenFile(const FilePickerOptions& options) = 0;
    virtual std::optional<std::string> PickSaveFile(const FilePickerOptions& options) = 0;
};

}  // namespace tabulon
