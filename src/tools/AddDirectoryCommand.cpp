#include "tools/AddDirectoryCommand.h"

#include "tools/AddItemsDialog.h"
#include "tools/DirectoryItems.h"

namespace tabulon {

void OnAddDirectory(IAddItemsFrame& frame, CAddItemsDlg& dialog, std::string& lastDirectory) {
    IDialogHost* host = frame.DialogHost();
    IFolderNamespace* folders = frame.FolderNamespace();
    if (!host || !folders || dialog.DoModal(*host, *folders) != DialogId::kOk) return;
    lastDirectory = dialog.m_strPath;
    if (!lastDirectory.empty() && lastDirectory.back() != '/') lastDirectory += '/';
    CTabulonWnd1* pane = frame.GetNewItemsPane();
    if (lastDirectory.empty() || !pane) return;
    if (AddDirectoryItems(*pane, lastDirectory, dialog, frame.ProgressHost())) frame.OnNewItemsColumnsChanged();
}

}  // namespace tabulon
