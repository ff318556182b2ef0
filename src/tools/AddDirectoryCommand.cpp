#include "tools/AddDirectoryCommand.h"

#include <new>

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

}  // namespace tabulon
