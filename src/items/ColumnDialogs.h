#pragma once
// The two small dialogs of the column commands: 'Rename column' and
// 'Fill column'. Each is a control table for the host plus the logic that
// answers its buttons.

#include <string>

#include "platform/Dialog.h"
#include "platform/MessageBox.h"

namespace tabulon {

// The edit box of both dialogs.
constexpr ControlId kColumnTextEditId{1004};

DialogTemplate RenameColumnTemplate();
DialogTemplate FillColumnTemplate();

// 'Rename column': the edit box starts with the current name. "Rename" takes
// the text as typed; an empty one must be confirmed, and a ";" or a line
// break is refused, since the configuration keeps all names in one line
// separated by ";".
class CRenameColumnDlg : public IDialogEvents {
public:
    CRenameColumnDlg(IMessageBox& messages, std::string name) : m_messages(messages), m_name(std::move(name)) {}

    // DialogId::kOk once renamed, DialogId::kCancel otherwise.
    ControlId DoModal(IDialogHost& host);
    // The name typed when "Rename" closed the dialog; the first name otherwise.
    const std::string& GetName() const { return m_name; }

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, ControlId id) override;

private:
    IMessageBox& m_messages;
    std::string m_name;
};

// 'Fill column': one edit box and "OK". Closing the dialog or Esc cancels.
// A ";" or a line break is refused, as in Rename: no item's field holds one.
class CFillColumnDlg : public IDialogEvents {
public:
    explicit CFillColumnDlg(IMessageBox& messages) : m_messages(messages) {}

    ControlId DoModal(IDialogHost& host);
    const std::string& GetFillText() const { return m_text; }

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, ControlId id) override;

private:
    IMessageBox& m_messages;
    std::string m_text;
};

}  // namespace tabulon
