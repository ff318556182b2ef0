#pragma once
// The command "Add directory..": the 'Add items' dialog, then the chosen
// folder's entries into 'New items'.

#include <string>
#include <vector>

namespace tabulon {

class CAddItemsDlg;
struct AddItemsOptions;
class CTabulonWnd1;
class IDialogHost;
class IFolderNamespace;
class IMessageBox;
class IProgressHost;

// What the command needs of the main window.
class IAddItemsFrame {
public:
    virtual ~IAddItemsFrame() = default;
    virtual IDialogHost& DialogHost() = 0;
    virtual IFolderNamespace& FolderNamespace() = 0;
    virtual IProgressHost& Progress() = 0;
    virtual IMessageBox& Messages() = 0;
    virtual CTabulonWnd1& NewItemsPane() = 0;
};

// Runs the dialog; after "Add", lastDirectory becomes the chosen folder with
// a trailing "/" and its entries are added. Cancel changes nothing. What the
// scan met (names the page reads as markup, names made storable, folders
// that could not be read) is told in one message afterwards.
void OnAddDirectory(IAddItemsFrame& frame, CAddItemsDlg& dialog, std::string& lastDirectory);

// What follows "Add": the entries of folder (ending in "/") into 'New items'
// with progress, then what the scan met, or that memory ran out and nothing
// was added.
void AddFolderItems(IAddItemsFrame& frame, const std::string& folder, const AddItemsOptions& options);

// Folders and files dropped on the window, added with options (the
// dialog's last) without asking: each folder's entries as if it were chosen
// in the dialog, each file as an entry of its folder whatever the options
// say of files. What the scans met is told in one message; a scan the user
// cancels ends the rest. Running out of memory reaches the caller, with
// the folder being added taken back.
void AddDroppedItems(IAddItemsFrame& frame, const std::vector<std::string>& paths, const AddItemsOptions& options);

}  // namespace tabulon
