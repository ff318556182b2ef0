#include "tools/AddDirectoryCommand.h"

#include "tools/AddItemsDialog.h"
#include "tools/DirectoryItems.h"

namespace tabulon {

void OnAddDirectory(IAddItemsFrame& frame, CAddItemsDlg& dialog, std::string& lastDirectory) {
    if (dialog.DoModal(frame.DialogHost(), frame.FolderNamespace()) != DialogId::kOk) return;
    lastDirectory = dialog.m_strPath;
    if (!lastDirectory.empty() && lastDirectory.back() != '/') lastDirectory += '/';
    if (lastDirectory.empty()) return;
    if (AddDirectoryItems(frame.NewItemsPane(), lastDirectory, dialog, &frame.Progress(), frame.FolderNamespace()))
        frame.OnNewItemsColumnsChanged();
}

}  // namespace tabulon
