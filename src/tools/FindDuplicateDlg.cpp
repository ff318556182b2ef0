#include "tools/FindDuplicateDlg.h"

#include <algorithm>
#include <memory>
#include <string>

#include "grid/GridCtrl.h"
#include "tools/DuplicatesDlg.h"

namespace tabulon {

namespace {

namespace Id = FindDuplicateId;

// Where the window opens: this far left of the main window's right edge and
// below its top edge.
constexpr int kLeftOfMainRight = 153;
constexpr int kBelowMainTop = 60;
// While rows are walked without a pair, the bar and the progress host hear
// of it once every so many rows.
constexpr int kWalkReportRows = 4096;

// Whether rows a and b hold the same texts in data columns 1 ... columns;
// a column past the last one is empty in both.
bool RowsAgree(const CGridCtrl& grid, int a, int b, int columns) {
    for (int i = 1; i <= columns; ++i)
        if (grid.GetCellText(a, i) != grid.GetCellText(b, i)) return false;
    return true;
}

}  // namespace

CFindDuplicateDlg::~CFindDuplicateDlg() {
    if (m_window) m_window->Destroy();
}

DialogTemplate CFindDuplicateDlg::Template() {
    using K = ControlKind;
    namespace S = ControlStyle;
    DialogTemplate t;
    t.caption = "Find dublicate";
    t.units = {48, 132};
    t.hasCloseBox = false;
    t.controls = {
        MakeControl(K::Label, DialogId::kNone, "Number of columns\nto compare", 2, 3, 44, 17, S::kCentered),
        MakeControl(K::ListBox, Id::kColumns, "", 4, 22, 40, 46),
        Spoken(MakeControl(K::CheckBox, Id::kCaseSensitive, "Case s.", 4, 71, 40, 10, S::kDisabled), "Case sensitive"),
        MakeControl(K::DefaultButton, Id::kFind, "Find", 4, 85, 40, 14),
        MakeControl(K::Button, Id::kClose, "Close", 4, 103, 40, 14),
        MakeControl(K::ProgressBar, Id::kProgress, "", 4, 121, 40, 7),
    };
    return t;
}

bool CFindDuplicateDlg::Create() {
    m_window = m_context.dialogs.ShowModeless(Template(), *this);
    if (!m_window) return false;
    const Rect main = m_context.frame.MainWindowRect();
    // Beside the main window's top, below its bars: the find bar stays in view.
    m_window->MoveWindow(
        {main.right - kLeftOfMainRight, std::max(main.top + kBelowMainTop, m_context.frame.MainWindowBarsBottom())});
    return true;
}

void CFindDuplicateDlg::BringToFront() {
    if (m_window) m_window->BringToFront();
}

void CFindDuplicateDlg::OnInitDialog(IDialogWindow& dialog) {
    m_dialog = &dialog;
    CGridCtrl* database = m_context.frame.GetDatabaseGrid();
    FillColumnList(database ? database->GetColumnCount() : 0);
    dialog.SetListSelection(Id::kColumns, 0);
    dialog.SetCheck(Id::kCaseSensitive, true);
}

void CFindDuplicateDlg::FillColumnList(int count) {
    if (!m_dialog) return;
    m_dialog->ResetList(Id::kColumns);
    if (count < 2) return;
    m_dialog->AddListEntry(Id::kColumns, "All");
    for (int i = 1; i < count; ++i) m_dialog->AddListEntry(Id::kColumns, std::to_string(i));
}

void CFindDuplicateDlg::OnCommand(IDialogWindow& dialog, ControlId id) {
    switch (id) {
    // Each pair changed is a step of its own; the numbers written again at
    // the end are the search's.
    case Id::kFind:
        m_context.frame.RunCommand(StepOfButton(kFindDuplicateSteps, id), [this] { FindDuplicates(); });
        break;
    case Id::kClose: dialog.EndDialog(id); break;
    default: break;
    }
}

void CFindDuplicateDlg::OnDialogClosed() {
    m_window = nullptr;
    m_dialog = nullptr;
    // The owner may destroy this object; nothing of it is touched after.
    const std::function<void()> closed = std::move(m_onClosed);
    if (closed) closed();
}

void CFindDuplicateDlg::FindDuplicates() {
    if (!m_dialog || m_searching) return;
    IDialogWindow& dialog = *m_dialog;
    const int selected = dialog.GetListSelection(Id::kColumns);
    if (selected < 0) {
        m_context.messages.Show("Nothing selected", "Find", MbIcon::None, MbButtons::Ok);
        return;
    }
    CGridCtrl* grid = m_context.frame.GetDatabaseGrid();
    if (!grid) return;
    m_searching = true;
    // Also when memory runs out on the way, so that Find works again.
    struct Searched {
        bool& searching;
        ~Searched() { searching = false; }
    } searched{m_searching};

    int rows = grid->GetRowCount();
    dialog.SetProgressRange(Id::kProgress, 0, rows);
    // "All": every data column the grid has now (and one past the last,
    // empty in both rows), whatever columns the list was filled for.
    m_nCompareColumns = selected == 0 ? grid->GetColumnCount() : selected;

    std::unique_ptr<IProgress> walk;
    int nextReport = kWalkReportRows;
    bool stopped = false;
    for (int d = 2; !stopped;) {
        // Read again at every step: only rows that are still there are compared.
        rows = grid->GetRowCount();
        if (d >= rows) break;
        if (!RowsAgree(*grid, d - 1, d, m_nCompareColumns)) {
            if (d >= nextReport) {
                nextReport = d + kWalkReportRows;
                dialog.SetProgressPos(Id::kProgress, d);
                if (!walk) {
                    walk = m_context.progress.BeginProgress("Find dublicate", true);
                    walk->SetText("Comparing neighbouring items");
                }
                // Stopping the walk is as safe as "Stop find".
                if (!walk->Step(static_cast<std::uint64_t>(d), static_cast<std::uint64_t>(rows))) break;
            }
            ++d;
            continue;
        }
        // The pair stands alone on the screen; a later walk reports afresh.
        walk.reset();
        CDuplicatesDlg pair(m_context.frame, *grid, d);
        switch (pair.DoModal(m_context.dialogs)) {
        case DuplicateAction::kFindNext:
            dialog.SetProgressPos(Id::kProgress, d);
            ++d;
            break;
        case DuplicateAction::kDeleteFirst:
        case DuplicateAction::kDeleteSecond:
        case DuplicateAction::kMixDuplicates:
            // One row fewer; the kept row now meets the one after the pair.
            rows = grid->GetRowCount();
            dialog.SetProgressRange(Id::kProgress, 0, rows);
            dialog.SetProgressPos(Id::kProgress, d - 1);
            break;
        case DuplicateAction::kStopFind: stopped = true; break;
        default: ++d; break;  // closed: on to the next pair, the bar stays
        }
        grid->Refresh();
        nextReport = d + kWalkReportRows;
    }
    walk.reset();

    rows = grid->GetRowCount();
    dialog.SetProgressPos(Id::kProgress, rows);
    m_context.messages.Show("Done", "Find", MbIcon::Exclamation, MbButtons::Ok);
    dialog.SetFocus(Id::kColumns);
    dialog.SetProgressPos(Id::kProgress, 0);
    // Numbered before the redraw, so the numbers on screen are the new ones.
    m_context.frame.NumberDatabaseItemRows();
    grid->Refresh();
}

}  // namespace tabulon
