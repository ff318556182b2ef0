#pragma once
// 'Dublicates found': one pair of neighbouring 'Database' rows that agree in
// the compared columns, shown with a merged row in a grid of its own, and
// what to do with them. Modal; it lives for one pair.

#include <memory>

#include "grid/GridCtrl.h"
#include "platform/Dialog.h"
#include "tools/ToolFrame.h"

namespace tabulon {

namespace DuplicatesId {
constexpr ControlId kGrid{1000};
constexpr ControlId kFindNext = DialogId::kOk;
constexpr ControlId kDeleteFirst{1001};
constexpr ControlId kDeleteSecond{1002};
constexpr ControlId kMixDuplicates{1003};
constexpr ControlId kStopFind{1004};
}  // namespace DuplicatesId

// The buttons that change 'Database', each a step named by its caption.
inline constexpr ToolButtonStep kDuplicatesSteps[] = {
    {DuplicatesId::kDeleteFirst, "Delete first"},
    {DuplicatesId::kDeleteSecond, "Delete second"},
    {DuplicatesId::kMixDuplicates, "Mix dublicates"},
};

// What the user chose (m_nAction).
namespace DuplicateAction {
constexpr int kNone = 0;  // closed with Escape or the close box
constexpr int kFindNext = 1;
constexpr int kDeleteFirst = 2;
constexpr int kDeleteSecond = 3;
constexpr int kMixDuplicates = 4;
constexpr int kStopFind = 5;
}  // namespace DuplicateAction

class CDuplicatesDlg : public IDialogEvents {
public:
    // The pair is rows row - 1 and row of database.
    CDuplicatesDlg(IToolFrame& frame, CGridCtrl& database, int row)
        : m_frame(frame), m_database(database), m_nRow(row) {}

    static DialogTemplate Template();
    // Shows the pair until the user chooses; the action chosen.
    int DoModal(IDialogHost& dialogs);

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, ControlId id) override;

    // The dialog's own grid: headings, "First", "Second" and "Mixed".
    const CGridCtrl* Grid() const { return m_grid.get(); }
    int Action() const { return m_nAction; }

private:
    void SetUpGrid();
    // Makes change to 'Database' as the step of button, which ends the
    // dialog with action.
    void ChangeDatabase(ControlId button, int action, CWorkRef change);

    IToolFrame& m_frame;
    CGridCtrl& m_database;
    int m_nRow;
    int m_nAction = DuplicateAction::kNone;
    std::unique_ptr<CGridCtrl> m_grid;
};

}  // namespace tabulon
