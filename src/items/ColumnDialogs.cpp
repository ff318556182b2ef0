#include "items/ColumnDialogs.h"

#include "items/FieldText.h"

namespace tabulon {

DialogTemplate RenameColumnTemplate() {
    DialogTemplate t;
    t.caption = "Rename column";
    // Wide enough for its title beside the close box, and the field says
    // what it holds.
    t.units = {160, 52};
    t.controls = {
        {ControlKind::Label, DialogId::kNone, "Column name:", {7, 4, 153, 12}, ControlStyle::kNone},
        {ControlKind::Edit, kColumnTextEditId, "", {7, 14, 153, 28}, ControlStyle::kAutoHScroll},
        {ControlKind::DefaultButton, DialogId::kOk, "Rename", {46, 33, 98, 47}, ControlStyle::kNone},
        {ControlKind::Button, DialogId::kCancel, "Cancel", {101, 33, 153, 47}, ControlStyle::kNone},
    };
    return t;
}

DialogTemplate FillColumnTemplate() {
    DialogTemplate t;
    t.caption = "Fill column";
    t.units = {133, 33};
    t.controls = {
        {ControlKind::Label, DialogId::kNone, "Fill selected column with:", {7, 4, 126, 12}, ControlStyle::kNone},
        {ControlKind::Edit, kColumnTextEditId, "", {7, 14, 90, 27}, ControlStyle::kAutoHScroll},
        {ControlKind::DefaultButton, DialogId::kOk, "OK", {95, 13, 126, 27}, ControlStyle::kNone},
    };
    return t;
}

ControlId CRenameColumnDlg::DoModal(IDialogHost& host) { return host.RunModal(RenameColumnTemplate(), *this); }

void CRenameColumnDlg::OnInitDialog(IDialogWindow& dialog) {
    dialog.SetControlText(kColumnTextEditId, m_name);
    dialog.SetFocus(kColumnTextEditId);
    dialog.SelectAll(kColumnTextEditId);
}

void CRenameColumnDlg::OnCommand(IDialogWindow& dialog, ControlId id) {
    if (id == DialogId::kCancel) {
        dialog.EndDialog(DialogId::kCancel);
        return;
    }
    if (id != DialogId::kOk) return;
    const std::string text = dialog.GetControlText(kColumnTextEditId);
    if (HoldsFieldBreak(text)) {
        // Saved, such a name would come back as two names, or break the
        // configuration's line: the user picks another while the dialog waits.
        m_messages.Show(
            "A column name cannot contain \";\" or a line break.\n\n"
            "The configuration keeps the column names in one line, separated by \";\".",
            "Rename column", MbIcon::Exclamation, MbButtons::Ok);
        dialog.SetFocus(kColumnTextEditId);
        dialog.SelectAll(kColumnTextEditId);
        return;
    }
    if (text.empty() &&
        m_messages.Show("Empty column name?", "", MbIcon::Question, MbButtons::YesNo) != MbResult::Yes) {
        dialog.SetFocus(kColumnTextEditId);
        return;
    }
    m_name = text;
    dialog.EndDialog(DialogId::kOk);
}

ControlId CFillColumnDlg::DoModal(IDialogHost& host) { return host.RunModal(FillColumnTemplate(), *this); }

void CFillColumnDlg::OnInitDialog(IDialogWindow& dialog) {
    dialog.SetControlText(kColumnTextEditId, m_text);
    dialog.SetFocus(kColumnTextEditId);
}

void CFillColumnDlg::OnCommand(IDialogWindow& dialog, ControlId id) {
    if (id == DialogId::kOk) {
        const std::string text = dialog.GetControlText(kColumnTextEditId);
        if (HoldsFieldBreak(text)) {
            // The dialog waits for another text, as Rename does.
            m_messages.Show(FieldBreakText("The text", "Nothing was filled."), "Fill column", MbIcon::Exclamation,
                            MbButtons::Ok);
            dialog.SetFocus(kColumnTextEditId);
            dialog.SelectAll(kColumnTextEditId);
            return;
        }
        m_text = text;
        dialog.EndDialog(DialogId::kOk);
    } else if (id == DialogId::kCancel) {
        dialog.EndDialog(DialogId::kCancel);
    }
}

}  // namespace tabulon
