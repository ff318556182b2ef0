#pragma once
// 'Replace': a narrow modeless window beside the main window. It replaces a
// text by another in one data column or all data columns of 'New items' or
// 'Database', or upper-cases the first letter of each cell, or of each word
// of each cell.

#include <functional>
#include <string>
#include <string_view>

#include "platform/Dialog.h"
#include "tools/ToolFrame.h"

namespace tabulon {

namespace ReplaceId {
constexpr ControlId kColumns{1000};  // "All" (index 0) and the column names
constexpr ControlId kReplaceText{1001};
constexpr ControlId kWithText{1002};
constexpr ControlId kNewItems{1003};  // radio "New it."
constexpr ControlId kDatabase{1004};  // radio "Datab."
constexpr ControlId kCapitalizeFirst{1005};
constexpr ControlId kCapitalizeWords{1006};
constexpr ControlId kReplace{1007};
constexpr ControlId kClose = DialogId::kCancel;  // Escape closes too
}  // namespace ReplaceId

// The buttons that change the lists, each a step of its own.
inline constexpr ToolButtonStep kReplaceSteps[] = {
    {ReplaceId::kCapitalizeFirst, "Capitalize first letter"},
    {ReplaceId::kCapitalizeWords, "Capitalize words"},
    {ReplaceId::kReplace, "Replace"},
};

enum class ToolPane { NewItems, Database };

// text with every occurrence of what replaced by with, in one pass from the
// left: the search goes on behind each inserted text and never looks at it
// again, so occurrences do not overlap. An empty what finds nothing.
std::string ReplaceOccurrences(std::string_view text, std::string_view what, std::string_view with);
// The same, appended to out.
void AppendReplacing(std::string& out, std::string_view text, std::string_view what, std::string_view with);

class CReplaceDlg : public IDialogEvents {
public:
    // onClosed runs once the window is gone; the owner may then destroy this.
    CReplaceDlg(ToolContext& context, std::function<void()> onClosed)
        : m_context(context), m_onClosed(std::move(onClosed)) {}
    ~CReplaceDlg() override;
    CReplaceDlg(const CReplaceDlg&) = delete;
    CReplaceDlg& operator=(const CReplaceDlg&) = delete;

    static DialogTemplate Template();
    // Opens the window beside the main window; false where the host shows none.
    bool Create();
    void BringToFront();

    // "New it." is set: the window works on 'New items'.
    bool IsNewItemsTarget() const;
    // Fills the list with the column names of pane: "All" first (and
    // selected) when it has two or more data columns.
    void LoadColumnNames(ToolPane pane);

    // The button handlers.
    void ReplaceInColumns();
    void CapitalizeFirstLetter();
    void CapitalizeWords();

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, ControlId id) override;
    void OnDialogClosed() override;

private:
    CGridCtrl* TargetGrid() const;
    // Calls edit for every cell the list's selection names in the target
    // grid; edit gets the text and gives the text to store. Then "Database*"
    // for 'Database' and a redraw. False, with the message shown, when no
    // entry is selected.
    bool EditTargetCells(const std::function<void(std::string_view text, std::string& out)>& edit);

    ToolContext& m_context;
    std::function<void()> m_onClosed;
    IModelessDialog* m_window = nullptr;
    IDialogWindow* m_dialog = nullptr;
    std::string m_strReplace;
    std::string m_strWith;
};

}  // namespace tabulon
