#include "tools/AddDirectoryCommand.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <utility>

#include "base/TextFile.h"
#include "platform/MessageBox.h"
#include "tools/AddItemsDialog.h"
#include "tools/DirectoryItems.h"

namespace tabulon {

namespace {
constexpr char kCaption[] = "Add items";
}  // namespace

void OnAddDirectory(IAddItemsFrame& frame, CAddItemsDlg& dialog, std::string& lastDirectory) {
    if (dialog.DoModal(frame.DialogHost(), frame.FolderNamespace(), frame.Messages()) != DialogId::kOk) return;
    lastDirectory = dialog.m_strPath;
    if (!lastDirectory.empty() && lastDirectory.back() != '/') lastDirectory += '/';
    if (!lastDirectory.empty()) AddFolderItems(frame, lastDirectory, dialog);
}

void AddFolderItems(IAddItemsFrame& frame, const std::string& folder, const AddItemsOptions& options) {
    ScanNotes notes;
    try {
        if (!AddDirectoryItems(frame.NewItemsPane(), folder, options, &frame.Progress(), frame.FolderNamespace(),
                               &notes))
            return;
    } catch (const std::bad_alloc&) {
        frame.Messages().Show(OutOfMemoryText("add the items of", folder, "Nothing was added."), kCaption,
                              MbIcon::Exclamation, MbButtons::Ok);
        return;
    }
    if (!notes.message.empty()) frame.Messages().Show(notes.message, kCaption, MbIcon::Exclamation, MbButtons::Ok);
}

void AddDroppedItems(IAddItemsFrame& frame, const std::vector<std::string>& paths, const AddItemsOptions& options) {
    // The files by their folder, in the order the folders came first.
    std::vector<std::pair<std::string, std::vector<std::string>>> files;
    std::vector<std::string> folders;
    const auto withSlash = [](std::string folder) { return folder.ends_with('/') ? folder : folder + '/'; };
    for (const std::string& path : paths) {
        std::error_code error;
        const std::filesystem::path dropped(path);
        if (path.empty()) continue;
        if (std::filesystem::is_directory(dropped, error)) {
            folders.push_back(withSlash(path));
            continue;
        }
        const std::string folder = withSlash(dropped.parent_path().string());
        auto same = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.first == folder; });
        if (same == files.end()) same = files.insert(files.end(), {folder, {}});
        same->second.push_back(dropped.filename().string());
    }
    ScanNotes notes;
    for (const std::string& folder : folders)
        if (!AddDirectoryItems(frame.NewItemsPane(), folder, options, &frame.Progress(), frame.FolderNamespace(),
                               &notes))
            return;
    for (const auto& [folder, names] : files)
        if (!AddDirectoryItems(frame.NewItemsPane(), folder, options, &frame.Progress(), frame.FolderNamespace(),
                               &notes, &names))
            return;
    if (!notes.message.empty()) frame.Messages().Show(notes.message, kCaption, MbIcon::Exclamation, MbButtons::Ok);
}

}  // namespace tabulon
