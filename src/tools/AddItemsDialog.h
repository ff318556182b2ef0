#pragma once
// The 'Add items' dialog: a folder tree on the left, on the right whether
// files and/or folders become items, with or without their sizes and in
// which unit. Its options (the fields of AddItemsOptions) and the folder
// last chosen live as long as the main window; nothing of them is saved.

#include <memory>
#include <string>

#include "platform/Dialog.h"
#include "platform/FolderNamespace.h"
#include "platform/MessageBox.h"
#include "tools/DirectoryItems.h"
#include "tools/FolderTree.h"

namespace tabulon {

namespace AddItemsDlgId {
constexpr ControlId kFolderTree{1040};
constexpr ControlId kFiles{1041};
constexpr ControlId kFileSize{1042};
constexpr ControlId kFileMb{1043};
constexpr ControlId kFileKb{1044};
constexpr ControlId kFileB{1045};
constexpr ControlId kExtension{1046};
constexpr ControlId kFileAddUnit{1047};
constexpr ControlId kFileUnit{1048};
constexpr ControlId kDirectories{1049};
constexpr ControlId kDirSize{1050};
constexpr ControlId kDirMb{1051};
constexpr ControlId kDirKb{1052};
constexpr ControlId kDirB{1053};
constexpr ControlId kDirAddUnit{1054};
constexpr ControlId kDirUnit{1055};
constexpr ControlId kFileTags{1056};
constexpr ControlId kFileTagFields{1057};
constexpr ControlId kDirTags{1058};
constexpr ControlId kDirTagFields{1059};
}  // namespace AddItemsDlgId

class CAddItemsDlg : public AddItemsOptions, public IDialogEvents {
public:
    // The folder chosen in the tree; kept from one showing to the next.
    std::string m_strPath;

    // The dialog's control table, in dialog units.
    static DialogTemplate Template();

    // Shows the dialog with the folders of folders; DialogId::kOk when "Add"
    // ended it, DialogId::kCancel otherwise.
    // A unit text that names could not carry is refused through messages.
    ControlId DoModal(IDialogHost& host, IFolderNamespace& folders, IMessageBox& messages);

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, ControlId id) override;
    void OnEditChange(IDialogWindow& dialog, ControlId id) override;
    int OnTreeNotify(IDialogWindow& dialog, ControlId id, const TreeNotify& notify) override;

    // Takes the controls into the fields (take true) or shows the fields in
    // the controls (take false).
    void UpdateData(IDialogWindow& dialog, bool take);

private:
    // Disables what cannot apply; nothing is ever unchecked by it.
    void ApplyEnablingRule(IDialogWindow& dialog);

    IFolderNamespace* m_folders = nullptr;
    IMessageBox* m_messages = nullptr;
    // The tree of the dialog while it is shown.
    std::unique_ptr<CFolderTree> m_tree;
};

}  // namespace tabulon
