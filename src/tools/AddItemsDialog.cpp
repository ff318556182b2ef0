#include "tools/AddItemsDialog.h"

namespace tabulon {

namespace {

namespace Id = AddItemsDlgId;

// One group of the dialog: files or folders.
struct UnitGroup {
    ControlId radios[3];  // Mb, kb, b
    ControlId addUnit;
    ControlId unitEdit;
    int AddItemsOptions::*unit;
    std::string AddItemsOptions::*unitText;
};
constexpr const char* kUnitCaptions[] = {"Mb", "kb", "b"};
constexpr UnitGroup kFileGroup = {{Id::kFileMb, Id::kFileKb, Id::kFileB},
                                  Id::kFileAddUnit,
                                  Id::kFileUnit,
                                  &AddItemsOptions::m_nFileUnit,
                                  &AddItemsOptions::m_strFileUnit};
constexpr UnitGroup kDirGroup = {{Id::kDirMb, Id::kDirKb, Id::kDirB},
                                 Id::kDirAddUnit,
                                 Id::kDirUnit,
                                 &AddItemsOptions::m_nDirUnit,
                                 &AddItemsOptions::m_strDirUnit};

struct CheckBinding {
    ControlId id;
    int AddItemsOptions::*field;
};
constexpr CheckBinding kChecks[] = {
    {Id::kFiles, &AddItemsOptions::m_bFiles},
    {Id::kFileSize, &AddItemsOptions::m_bFileSize},
    {Id::kExtension, &AddItemsOptions::m_bExtension},
    {Id::kFileAddUnit, &AddItemsOptions::m_bFileAddUnit},
    {Id::kDirectories, &AddItemsOptions::m_bDirectories},
    {Id::kDirSize, &AddItemsOptions::m_bDirSize},
    {Id::kDirAddUnit, &AddItemsOptions::m_bDirAddUnit},
    {Id::kFileTags, &AddItemsOptions::m_bFileTags},
    {Id::kDirTags, &AddItemsOptions::m_bDirTags},
};

// The "Tag fields" entry of each group, with its check box and whether
// the group is on.
struct TagGroup {
    ControlId check;
    ControlId fields;
    int AddItemsOptions::*on;
    int AddItemsOptions::*tags;
    std::string AddItemsOptions::*names;
};
constexpr TagGroup kTagGroups[] = {
    {Id::kFileTags, Id::kFileTagFields, &AddItemsOptions::m_bFiles, &AddItemsOptions::m_bFileTags,
     &AddItemsOptions::m_strFileTagFields},
    {Id::kDirTags, Id::kDirTagFields, &AddItemsOptions::m_bDirectories, &AddItemsOptions::m_bDirTags,
     &AddItemsOptions::m_strDirTagFields},
};

// The radio of group that was clicked, as 0 (Mb), 1 (kb) or 2 (b); -1 for
// any other control.
int RadioIndex(const UnitGroup& group, ControlId id) {
    for (int i = 0; i < 3; ++i)
        if (group.radios[i] == id) return i;
    return -1;
}

}  // namespace

DialogTemplate CAddItemsDlg::Template() {
    using K = ControlKind;
    namespace S = ControlStyle;
    DialogTemplate t;
    t.caption = "Add items";
    t.units = {300, 166};
    t.controls = {
        Spoken(MakeControl(K::TreeView, Id::kFolderTree, "", 2, 3, 130, 160), "Folders"),
        MakeControl(K::DefaultButton, DialogId::kOk, "Add", 138, 3, 50, 14),
        MakeControl(K::Button, DialogId::kCancel, "Cancel", 193, 3, 50, 14),

        // The groups' controls say which group they belong to: a screen
        // reader meets them one by one.
        MakeControl(K::CheckBox, Id::kFiles, "Files", 138, 21, 60, 10),
        Spoken(MakeControl(K::GroupBox, DialogId::kNone, "", 138, 31, 158, 58), "Files"),
        Spoken(MakeControl(K::CheckBox, Id::kFileSize, "Size", 144, 39, 40, 10), "File size"),
        Spoken(MakeControl(K::CheckBox, Id::kExtension, "Extension", 190, 39, 50, 10), "File extension"),
        Spoken(MakeControl(K::RadioButton, Id::kFileMb, "Mb", 144, 51, 26, 10, S::kGroup), "File size in megabytes"),
        Spoken(MakeControl(K::RadioButton, Id::kFileKb, "kb", 172, 51, 24, 10), "File size in kilobytes"),
        Spoken(MakeControl(K::RadioButton, Id::kFileB, "b", 198, 51, 22, 10), "File size in bytes"),
        Spoken(MakeControl(K::CheckBox, Id::kFileAddUnit, "Add unit", 144, 63, 44, 10), "Add a unit to file sizes"),
        Spoken(MakeControl(K::Edit, Id::kFileUnit, "", 190, 62, 40, 12, S::kAutoHScroll), "Unit of file sizes"),
        Spoken(MakeControl(K::CheckBox, Id::kFileTags, "Tags", 144, 75, 34, 10), "File tags"),
        MakeControl(K::Label, DialogId::kNone, "Tag fields:", 180, 76, 40, 10),
        Spoken(MakeControl(K::Edit, Id::kFileTagFields, "", 222, 74, 68, 12, S::kAutoHScroll), "Tag fields of files"),

        MakeControl(K::CheckBox, Id::kDirectories, "Directories", 138, 93, 60, 10),
        Spoken(MakeControl(K::GroupBox, DialogId::kNone, "", 138, 103, 158, 58), "Directories"),
        Spoken(MakeControl(K::CheckBox, Id::kDirSize, "Size", 144, 111, 40, 10), "Directory size"),
        Spoken(MakeControl(K::RadioButton, Id::kDirMb, "Mb", 144, 123, 26, 10, S::kGroup),
               "Directory size in megabytes"),
        Spoken(MakeControl(K::RadioButton, Id::kDirKb, "kb", 172, 123, 24, 10), "Directory size in kilobytes"),
        Spoken(MakeControl(K::RadioButton, Id::kDirB, "b", 198, 123, 22, 10), "Directory size in bytes"),
        Spoken(MakeControl(K::CheckBox, Id::kDirAddUnit, "Add unit", 144, 135, 44, 10),
               "Add a unit to directory sizes"),
        Spoken(MakeControl(K::Edit, Id::kDirUnit, "", 190, 134, 40, 12, S::kAutoHScroll), "Unit of directory sizes"),
        Spoken(MakeControl(K::CheckBox, Id::kDirTags, "Tags", 144, 147, 34, 10), "Directory tags"),
        MakeControl(K::Label, DialogId::kNone, "Tag fields:", 180, 148, 40, 10),
        Spoken(MakeControl(K::Edit, Id::kDirTagFields, "", 222, 146, 68, 12, S::kAutoHScroll),
               "Tag fields of directories"),
    };
    return t;
}

ControlId CAddItemsDlg::DoModal(IDialogHost& host, IFolderNamespace& folders, IMessageBox& messages) {
    m_folders = &folders;
    m_messages = &messages;
    const ControlId result = host.RunModal(Template(), *this);
    // The tree view is gone with the window.
    m_tree.reset();
    m_folders = nullptr;
    m_messages = nullptr;
    return result == DialogId::kOk ? DialogId::kOk : DialogId::kCancel;
}

void CAddItemsDlg::UpdateData(IDialogWindow& dialog, bool take) {
    for (const CheckBinding& b : kChecks) {
        if (take)
            this->*b.field = dialog.GetCheck(b.id) ? 1 : 0;
        else
            dialog.SetCheck(b.id, this->*b.field == 1);
    }
    for (const UnitGroup* group : {&kFileGroup, &kDirGroup}) {
        int& unit = this->*group->unit;
        std::string& text = this->*group->unitText;
        if (take) {
            unit = -1;
            for (int i = 2; i >= 0; --i)
                if (dialog.GetCheck(group->radios[i])) unit = i;
            text = dialog.GetControlText(group->unitEdit);
        } else {
            for (int i = 0; i < 3; ++i) dialog.SetCheck(group->radios[i], unit == i);
            dialog.SetControlText(group->unitEdit, text);
        }
    }
    for (const TagGroup& group : kTagGroups) {
        if (take)
            this->*group.names = dialog.GetControlText(group.fields);
        else
            dialog.SetControlText(group.fields, this->*group.names);
    }
}

void CAddItemsDlg::ApplyEnablingRule(IDialogWindow& dialog) {
    const bool files = m_bFiles == 1;
    const bool fileUnits = files && m_bFileSize == 1;
    dialog.EnableControl(Id::kFileSize, files);
    dialog.EnableControl(Id::kExtension, files);
    const bool dirs = m_bDirectories == 1;
    const bool dirUnits = dirs && m_bDirSize == 1;
    dialog.EnableControl(Id::kDirSize, dirs);
    for (const auto& [group, on] : {std::pair{&kFileGroup, fileUnits}, std::pair{&kDirGroup, dirUnits}}) {
        for (ControlId radio : group->radios) dialog.EnableControl(radio, on);
        dialog.EnableControl(group->addUnit, on);
        // The unit text follows "Size", not "Add unit".
        dialog.EnableControl(group->unitEdit, on);
    }
    for (const TagGroup& group : kTagGroups) {
        dialog.EnableControl(group.check, this->*group.on == 1);
        dialog.EnableControl(group.fields, this->*group.on == 1 && this->*group.tags == 1);
    }
}

void CAddItemsDlg::OnInitDialog(IDialogWindow& dialog) {
    UpdateData(dialog, false);
    ITreeControl* tree = dialog.TreeControl(Id::kFolderTree);
    if (tree && m_folders) {
        m_tree = std::make_unique<CFolderTree>(*tree, *m_folders);
        m_tree->SetSystemImageList();
        m_tree->FillRoot();
    }
    ApplyEnablingRule(dialog);
}

void CAddItemsDlg::OnCommand(IDialogWindow& dialog, ControlId id) {
    switch (id) {
    case DialogId::kOk:
        UpdateData(dialog, true);
        // A unit that goes into the names must be one the file can store.
        for (const auto& [group, used] :
             {std::pair{&kFileGroup, m_bFiles == 1 && m_bFileSize == 1 && m_bFileAddUnit == 1},
              std::pair{&kDirGroup, m_bDirectories == 1 && m_bDirSize == 1 && m_bDirAddUnit == 1}}) {
            const std::string refused = used ? UnstorableUnitText(this->*group->unitText) : std::string();
            if (refused.empty()) continue;
            if (m_messages) m_messages->Show(refused, "Add items", MbIcon::Exclamation, MbButtons::Ok);
            dialog.SetFocus(group->unitEdit);
            return;
        }
        for (const TagGroup& group : kTagGroups) {
            if (this->*group.on != 1 || this->*group.tags != 1) continue;
            const std::string refused = TagFieldsProblemText(this->*group.names);
            if (refused.empty()) continue;
            if (m_messages) m_messages->Show(refused, "Add items", MbIcon::Exclamation, MbButtons::Ok);
            dialog.SetFocus(group.fields);
            return;
        }
        dialog.EndDialog(DialogId::kOk);
        return;
    case DialogId::kCancel: dialog.EndDialog(DialogId::kCancel); return;
    case Id::kFiles:
    case Id::kFileSize:
    case Id::kDirectories:
    case Id::kDirSize:
    case Id::kFileTags:
    case Id::kDirTags:
        UpdateData(dialog, true);
        ApplyEnablingRule(dialog);
        return;
    case Id::kExtension:
    case Id::kFileAddUnit:
    case Id::kDirAddUnit: UpdateData(dialog, true); return;
    default: break;
    }
    for (const UnitGroup* group : {&kFileGroup, &kDirGroup}) {
        const int index = RadioIndex(*group, id);
        if (index < 0) continue;
        UpdateData(dialog, true);
        // The button's caption becomes the unit text; the user may type
        // another one afterwards.
        this->*group->unitText = kUnitCaptions[index];
        UpdateData(dialog, false);
        return;
    }
}

void CAddItemsDlg::OnEditChange(IDialogWindow& dialog, ControlId id) {
    // Taken as typed, so that nothing shown later can lose it.
    if (id == Id::kFileUnit || id == Id::kDirUnit || id == Id::kFileTagFields || id == Id::kDirTagFields)
        UpdateData(dialog, true);
}

int CAddItemsDlg::OnTreeNotify(IDialogWindow& dialog, ControlId id, const TreeNotify& notify) {
    if (id != Id::kFolderTree || !m_tree) return 0;
    switch (notify.code) {
    case TreeNotifyCode::kItemExpanding: return m_tree->OnItemExpanding(notify);
    case TreeNotifyCode::kSelChanged:
        m_tree->OnSelChanged(notify, m_strPath);
        UpdateData(dialog, false);
        return 0;
    case TreeNotifyCode::kDeleteItem: return m_tree->OnDeleteItem(notify);
    default: return 0;
    }
}

}  // namespace tabulon
