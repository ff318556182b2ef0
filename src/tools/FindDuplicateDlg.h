#pragma once
// 'Find dublicate': a small modeless window beside the main window. The user
// picks how many leading data columns must agree, and "Find" walks the
// 'Database' grid from the top, comparing each item row with the one above
// it; every pair that agrees is shown in 'Dublicates found'.

#include <functional>

#include "platform/Dialog.h"
#include "tools/ToolFrame.h"

namespace tabulon {

namespace FindDuplicateId {
constexpr ControlId kColumns{1000};        // the list: "All", "1", "2", ...
constexpr ControlId kCaseSensitive{1001};  // "Case s.", always ticked
constexpr ControlId kFind{1002};
constexpr ControlId kProgress{1003};
constexpr ControlId kClose = DialogId::kCancel;  // Escape closes too
}  // namespace FindDuplicateId

// "Find" is a step of its own: the numbers it writes again at the end.
inline constexpr ToolButtonStep kFindDuplicateSteps[] = {{FindDuplicateId::kFind, "Find dublicate"}};

class CFindDuplicateDlg : public IDialogEvents {
public:
    // onClosed runs once the window is gone; the owner may then destroy this.
    CFindDuplicateDlg(ToolContext& context, std::function<void()> onClosed)
        : m_context(context), m_onClosed(std::move(onClosed)) {}
    ~CFindDuplicateDlg() override;
    CFindDuplicateDlg(const CFindDuplicateDlg&) = delete;
    CFindDuplicateDlg& operator=(const CFindDuplicateDlg&) = delete;

    static DialogTemplate Template();
    // Opens the window beside the main window; false where the host shows none.
    bool Create();
    void BringToFront();

    // Empty for fewer than two columns, else "All" and 1 ... count - 1.
    void FillColumnList(int count);
    // The handler of "Find".
    void FindDuplicates();
    int CompareColumns() const { return m_nCompareColumns; }

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, ControlId id) override;
    void OnDialogClosed() override;

private:
    ToolContext& m_context;
    std::function<void()> m_onClosed;
    IModelessDialog* m_window = nullptr;
    IDialogWindow* m_dialog = nullptr;
    int m_nCompareColumns = 0;
    bool m_searching = false;
};

}  // namespace tabulon
