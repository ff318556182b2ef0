#include "tools/ReplaceDlg.h"

#include <algorithm>
#include <memory>

#include "grid/GridCtrl.h"
#include "items/FieldText.h"
#include "tools/LetterCase.h"

namespace tabulon {

namespace {

namespace Id = ReplaceId;

// Where the window opens: this far left of the main window's right edge and
// below its top edge.
constexpr int kLeftOfMainRight = 123;
constexpr int kBelowMainTop = 30;

void ShowNoSelection(IMessageBox& messages) {
    messages.Show("No selection made in list", "List selection", MbIcon::None, MbButtons::Ok);
}

}  // namespace

void AppendReplacing(std::string& out, std::string_view text, std::string_view what, std::string_view with) {
    std::size_t found = what.empty() ? std::string::npos : text.find(what);
    std::size_t from = 0;
    for (; found != std::string::npos; found = text.find(what, from)) {
        out.append(text, from, found - from);
        out.append(with);
        from = found + what.size();
    }
    out.append(text, from, std::string::npos);
}

std::string ReplaceOccurrences(std::string_view text, std::string_view what, std::string_view with) {
    std::string out;
    AppendReplacing(out, text, what, with);
    return out;
}

CReplaceDlg::~CReplaceDlg() {
    if (m_window) m_window->Destroy();
}

DialogTemplate CReplaceDlg::Template() {
    using K = ControlKind;
    namespace S = ControlStyle;
    DialogTemplate t;
    t.caption = "Replace";
    t.units = {48, 193};
    t.hasCloseBox = false;
    t.controls = {
        MakeControl(K::Label, DialogId::kNone, "Column to\nreplace in:", 2, 3, 44, 17, S::kCentered),
        MakeControl(K::ListBox, Id::kColumns, "", 4, 22, 40, 50),
        MakeControl(K::Label, DialogId::kNone, "Replace:", 4, 75, 40, 8),
        MakeControl(K::Edit, Id::kReplaceText, "", 4, 84, 40, 12, S::kAutoHScroll),
        MakeControl(K::Label, DialogId::kNone, "With:", 4, 99, 40, 8),
        MakeControl(K::Edit, Id::kWithText, "", 4, 108, 40, 12, S::kAutoHScroll),
        Spoken(MakeControl(K::RadioButton, Id::kNewItems, "New it.", 4, 124, 40, 10), "New items"),
        Spoken(MakeControl(K::RadioButton, Id::kDatabase, "Datab.", 4, 135, 40, 10), "Database"),
        MakeControl(K::Button, Id::kCapitalizeFirst, "capitalize_first", 4, 148, 19, 13, S::kIcon),
        MakeControl(K::Button, Id::kCapitalizeWords, "capitalize_words", 25, 148, 19, 13, S::kIcon),
        MakeControl(K::DefaultButton, Id::kReplace, "Replace", 4, 163, 40, 13),
        MakeControl(K::Button, Id::kClose, "Close", 4, 178, 40, 13),
    };
    return t;
}

bool CReplaceDlg::Create() {
    m_window = m_context.dialogs.ShowModeless(Template(), *this);
    if (!m_window) return false;
    const Rect main = m_context.frame.MainWindowRect();
    // Beside the main window's top, below its bars: the find bar stays in view.
    m_window->MoveWindow(
        {main.right - kLeftOfMainRight, std::max(main.top + kBelowMainTop, m_context.frame.MainWindowBarsBottom())});
    return true;
}

void CReplaceDlg::BringToFront() {
    if (m_window) m_window->BringToFront();
}

void CReplaceDlg::OnInitDialog(IDialogWindow& dialog) {
    m_dialog = &dialog;
    LoadColumnNames(ToolPane::NewItems);
    dialog.SetCheck(Id::kNewItems, true);
    dialog.SetCheck(Id::kDatabase, false);
}

bool CReplaceDlg::IsNewItemsTarget() const { return !m_dialog || m_dialog->GetCheck(Id::kNewItems); }

CGridCtrl* CReplaceDlg::TargetGrid() const {
    return IsNewItemsTarget() ? m_context.frame.GetNewItemsGrid() : m_context.frame.GetDatabaseGrid();
}

void CReplaceDlg::LoadColumnNames(ToolPane pane) {
    if (!m_dialog) return;
    m_dialog->ResetList(Id::kColumns);
    CGridCtrl* grid =
        pane == ToolPane::NewItems ? m_context.frame.GetNewItemsGrid() : m_context.frame.GetDatabaseGrid();
    const int columns = grid ? grid->GetColumnCount() : 0;
    if (columns > 2) {
        m_dialog->AddListEntry(Id::kColumns, "All");
        m_dialog->SetListSelection(Id::kColumns, 0);
    }
    for (int i = 1; i < columns; ++i) m_dialog->AddListEntry(Id::kColumns, std::string(grid->GetCellText(0, i)));
}

void CReplaceDlg::OnCommand(IDialogWindow& dialog, ControlId id) {
    switch (id) {
    case Id::kNewItems: LoadColumnNames(ToolPane::NewItems); break;
    case Id::kDatabase: LoadColumnNames(ToolPane::Database); break;
    case Id::kCapitalizeFirst:
        m_context.frame.RunCommand(StepOfButton(kReplaceSteps, id), [this] { CapitalizeFirstLetter(); });
        break;
    case Id::kCapitalizeWords:
        m_context.frame.RunCommand(StepOfButton(kReplaceSteps, id), [this] { CapitalizeWords(); });
        break;
    case Id::kReplace:
        m_context.frame.RunCommand(StepOfButton(kReplaceSteps, id), [this] { ReplaceInColumns(); });
        break;
    case Id::kClose: dialog.EndDialog(id); break;
    default: break;
    }
}

void CReplaceDlg::OnDialogClosed() {
    m_window = nullptr;
    m_dialog = nullptr;
    // The owner may destroy this object; nothing of it is touched after.
    const std::function<void()> closed = std::move(m_onClosed);
    if (closed) closed();
}

bool CReplaceDlg::EditTargetCells(const std::function<void(std::string_view text, std::string& out)>& edit) {
    const int selected = m_dialog->GetListSelection(Id::kColumns);
    if (selected < 0) {
        ShowNoSelection(m_context.messages);
        return false;
    }
    const bool database = !IsNewItemsTarget();
    CGridCtrl* grid = TargetGrid();
    if (grid) {
        const int rows = grid->GetRowCount();
        const int columns = grid->GetColumnCount();
        // Index 0 is every data column, any other index that column alone.
        const int first = selected == 0 ? 1 : selected;
        const int last = selected == 0 ? columns - 1 : selected;
        const std::unique_ptr<IProgress> progress = m_context.progress.BeginProgress("Replace", false);
        std::string out;
        for (int r = 1; r < rows; ++r) {
            if ((r & 0x3FF) == 0) progress->Step(static_cast<std::uint64_t>(r), static_cast<std::uint64_t>(rows));
            // Rows met again after a sort, or loaded into reused memory, lie
            // all over it: the rows ahead are asked for while this one is edited.
            grid->PrefetchRowsAhead(r, 1, first, last);
            for (int c = first; c <= last; ++c) {
                const std::string_view text = grid->GetCellText(r, c);
                out.clear();
                edit(text, out);
                // Stored back even when nothing changed.
                grid->SetCellText(r, c, out);
            }
        }
    }
    if (database) m_context.frame.MarkDatabaseModified();
    if (grid) grid->Refresh();
    return true;
}

void CReplaceDlg::ReplaceInColumns() {
    if (!m_dialog) return;
    m_strReplace = m_dialog->GetControlText(Id::kReplaceText);
    m_strWith = m_dialog->GetControlText(Id::kWithText);
    m_dialog->SetFocus(Id::kColumns);
    if (m_strReplace.empty()) {
        m_context.messages.Show("Replace field is empty", "Replace", MbIcon::None, MbButtons::Ok);
        return;
    }
    if (HoldsFieldBreak(m_strWith)) {
        m_context.messages.Show(FieldBreakText("The With: text", "Nothing was replaced."), "Replace",
                                MbIcon::Exclamation, MbButtons::Ok);
        m_dialog->SetFocus(Id::kWithText);
        return;
    }
    const std::string& what = m_strReplace;
    const std::string& with = m_strWith;
    EditTargetCells([&](std::string_view text, std::string& out) { AppendReplacing(out, text, what, with); });
}

void CReplaceDlg::CapitalizeFirstLetter() {
    if (!m_dialog) return;
    m_dialog->SetFocus(Id::kColumns);
    EditTargetCells([](std::string_view text, std::string& out) {
        out = text;
        if (!out.empty()) UpperLetterAt(out, 0, IsValidUtf8(out));
    });
}

void CReplaceDlg::CapitalizeWords() {
    if (!m_dialog) return;
    m_dialog->SetFocus(Id::kColumns);
    EditTargetCells([](std::string_view text, std::string& out) {
        out = text;
        CapitalizeEachWordInPlace(out);
    });
}

}  // namespace tabulon
