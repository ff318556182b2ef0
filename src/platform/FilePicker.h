#pragma once
// The desktop's file pickers.

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
};

class IFilePicker {
public:
    virtual ~IFilePicker() = default;
    // The chosen path (absolute), or none when the user cancels.
    virtual std::optional<std::string> PickOpenFile(const FilePickerOptions& options) = 0;
    virtual std::optional<std::string> PickSaveFile(const FilePickerOptions& options) = 0;
};

}  // namespace tabulon
