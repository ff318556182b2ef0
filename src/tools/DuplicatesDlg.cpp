#include "tools/DuplicatesDlg.h"

#include "tools/ToolFrame.h"

namespace tabulon {

namespace {

namespace Id = DuplicatesId;

constexpr TextFormats kHeadingFormat = TextFormat::kSingleLine | TextFormat::kVCenter;
constexpr Colour kHeadingBackColour = MakeColour(230, 230, 230);
constexpr Colour kCornerBackColour = MakeColour(0, 85, 144);
constexpr Colour kCornerTextColour = MakeColour(255, 255, 255);
constexpr int kFirstRow = 1;
constexpr int kSecondRow = 2;
constexpr int kMixedRow = 3;

// Two cells merged: their text once when they agree or one of them is
// empty (an empty side would leave a stray ", "), else both.
std::string MixedText(std::string_view first, std::string_view second) {
    if (first == second || second.empty()) return std::string(first);
    if (first.empty()) return std::string(second);
    return std::string(first).append(", ").append(second);
}

std::string Caption(ControlId button) { return std::string(StepOfButton(kDuplicatesSteps, button)); }

}  // namespace

DialogTemplate CDuplicatesDlg::Template() {
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "Dublicates found";
    t.units = {290, 86};
    t.hasCloseBox = true;
    t.controls = {
        MakeControl(K::Grid, Id::kGrid, "", 5, 5, 280, 56),
        MakeControl(K::DefaultButton, Id::kFindNext, "Find next", 5, 66, 52, 14),
        MakeControl(K::Button, Id::kDeleteFirst, Caption(Id::kDeleteFirst), 62, 66, 52, 14),
        MakeControl(K::Button, Id::kDeleteSecond, Caption(Id::kDeleteSecond), 119, 66, 52, 14),
        MakeControl(K::Button, Id::kMixDuplicates, Caption(Id::kMixDuplicates), 176, 66, 52, 14),
        MakeControl(K::Button, Id::kStopFind, "Stop find", 233, 66, 52, 14),
    };
    return t;
}

int CDuplicatesDlg::DoModal(IDialogHost& dialogs) {
    m_nAction = DuplicateAction::kNone;
    dialogs.RunModal(Template(), *this);
    return m_nAction;
}

void CDuplicatesDlg::SetUpGrid() {
    const int columns = m_database.GetColumnCount();
    m_grid = std::make_unique<CGridCtrl>(0, 0, 0, 0, &m_database.GetDesktop());
    CGridCtrl& grid = *m_grid;
    // A pair shown in part would mix in part: memory running out here ends
    // the search instead.
    const CStrictGrid strict(grid);
    grid.SetEditable(false);
    grid.EnableSelection(false);
    grid.SetRowCount(1);
    grid.SetColumnCount(1);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int i = 1; i < columns; ++i) grid.InsertColumn("");

    for (int i = 0; i < grid.GetColumnCount(); ++i) {
        grid.SetCellText(0, i, m_database.GetCellText(0, i));
        grid.SetCellFormat(0, i, kHeadingFormat);
        grid.SetCellBackColour(0, i, kHeadingBackColour);
    }
    grid.SetCellTextColour(0, 0, kCornerTextColour);
    grid.SetCellBackColour(0, 0, kCornerBackColour);

    for (const char* caption : {"First", "Second", "Mixed"}) {
        const int row = grid.InsertRow(caption);
        grid.SetCellBackColour(row, 0, kHeadingBackColour);
    }
    for (int j = 1; j < grid.GetColumnCount(); ++j) {
        const std::string_view first = m_database.GetCellText(m_nRow - 1, j);
        const std::string_view second = m_database.GetCellText(m_nRow, j);
        grid.SetCellText(kFirstRow, j, first);
        grid.SetCellText(kSecondRow, j, second);
        grid.SetCellText(kMixedRow, j, MixedText(first, second));
    }
}

void CDuplicatesDlg::OnInitDialog(IDialogWindow& dialog) {
    SetUpGrid();
    dialog.AttachGrid(Id::kGrid, *m_grid);
    // Measured once the grid has its window.
    m_grid->AutoSizeColumns();
    m_grid->ExpandLastColumn();
    m_nAction = DuplicateAction::kNone;
}

void CDuplicatesDlg::OnCommand(IDialogWindow& dialog, ControlId id) {
    const int first = m_nRow - 1;
    switch (id) {
    case Id::kFindNext: m_nAction = DuplicateAction::kFindNext; break;
    case Id::kDeleteFirst:
        ChangeDatabase(id, DuplicateAction::kDeleteFirst, [&] { m_database.DeleteRow(first); });
        break;
    case Id::kDeleteSecond:
        ChangeDatabase(id, DuplicateAction::kDeleteSecond, [&] { m_database.DeleteRow(m_nRow); });
        break;
    case Id::kMixDuplicates:
        ChangeDatabase(id, DuplicateAction::kMixDuplicates, [&] {
            // Column 0 too: the kept row reads "Mixed" until the search renumbers.
            for (int i = 0; i < m_grid->GetColumnCount(); ++i)
                m_database.SetCellText(first, i, m_grid->GetCellText(kMixedRow, i));
            m_database.DeleteRow(m_nRow);
        });
        break;
    case Id::kStopFind: m_nAction = DuplicateAction::kStopFind; break;
    case DialogId::kCancel: m_nAction = DuplicateAction::kNone; break;
    default: return;
    }
    dialog.EndDialog(id);
}

void CDuplicatesDlg::ChangeDatabase(ControlId button, int action, CWorkRef change) {
    // Each change to 'Database' is a step of its own, by its button's name.
    const bool done = m_frame.RunCommand(StepOfButton(kDuplicatesSteps, button), [&] {
        change();
        m_frame.MarkDatabaseModified();
    });
    // Taken back, the pair is still there: the search goes on past it.
    m_nAction = done ? action : DuplicateAction::kNone;
}

}  // namespace tabulon
