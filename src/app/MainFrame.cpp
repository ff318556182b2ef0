#include "app/MainFrame.h"

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

#include "config/ConfigTitle.h"
#include "grid/GridWork.h"
#include "items/ColumnCommands.h"
#include "items/FieldText.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon {

bool CMainFrame::IsConfigurationOpen() const { return IsConfigurationOpenTitle(GetWindowText()); }

void CMainFrame::MarkConfigurationModified() {
    if (!IsConfigurationOpen()) return;
    m_undo.NoteConfigurationChanged();
    // Rebuilt from the file name each time, so the mark never doubles.
    SetWindowText(ConfigurationTitle(m_config.cfgfile, true));
}

void CMainFrame::SetWindowText(const std::string& title) {
    m_hosts.window.SetTitle(title);
    if (!IsModifiedTitle(title)) m_undo.MarkConfigurationSaved();
}

void CMainFrame::ApplyGridLines(bool vertical, bool horizontal) {
    m_hosts.window.SetGridLineChecked(false, vertical);
    m_hosts.window.SetGridLineChecked(true, horizontal);
    const int mode = (horizontal ? 1 : 0) + (vertical ? 2 : 0);
    for (CGridCtrl* grid : {GetNewItemsGrid(), GetDatabaseGrid()})
        if (grid) grid->SetGridLines(mode);
}

void CMainFrame::OnGridLinesHorizontal() {
    const bool horizontal = IsGridLineChecked(true);
    const bool vertical = IsGridLineChecked(false);
    MarkConfigurationModified();
    ApplyGridLines(vertical, !horizontal);
}

void CMainFrame::OnGridLinesVertical() {
    const bool horizontal = IsGridLineChecked(true);
    const bool vertical = IsGridLineChecked(false);
    MarkConfigurationModified();
    ApplyGridLines(!vertical, horizontal);
}

void CMainFrame::OnMenuOpening() {
    // Only one grid edits at a time; asking both never misses it.
    for (CGridCtrl* grid : {GetNewItemsGrid(), GetDatabaseGrid()})
        if (grid && grid->IsEditing()) grid->EndEditing();
}

CGridCtrl* CMainFrame::GetDatabaseGrid() const { return m_database.GetGrid(); }

CGridCtrl* CMainFrame::GetNewItemsGrid() const { return m_newItems.GetGrid(); }

void CMainFrame::SortActivePaneByAllColumns() {
    CGridCtrl* grid = PaneGrid(m_databaseActive);
    if (!grid) return;
    try {
        CStrictGrid strict(*grid);
        if (m_databaseActive)
            m_database.SortByAllColumns();
        else
            m_newItems.SortByAllColumns();
    } catch (const std::bad_alloc&) {
        // Every row is still there; only the order may be half done.
        Messages().Show("Not enough memory to sort the items.", "Sort", MbIcon::Exclamation, MbButtons::Ok);
    }
}

void CMainFrame::NumberDatabaseItemRows() {
    if (CGridCtrl* grid = GetDatabaseGrid()) m_database.NumberItemRows(1, grid->GetRowCount() - 1);
}

void CMainFrame::OnDatabaseEditEnded(CGridCtrl&, CellId focus) {
    CGridCtrl* database = GetDatabaseGrid();
    if (!database) return;
    // The mark is OnGridChanged's: an edit that ends with the text it
    // began with changed nothing, however long the text.
    NumberDatabaseItemRows();
    database->SetFocusCell(focus);
    database->Refresh();
}

bool CMainFrame::MayTypeIntoCell(CGridCtrl& grid, int, int, const std::string& text, bool editing) {
    // Refused where it is typed, not item by item at the next save.
    if (!HoldsFieldBreak(text)) return true;
    Messages().Show(FieldBreakText("The text", editing ? "Type another text, or press Esc for the old one."
                                                       : "The cell keeps its old text."),
                    &grid == GetDatabaseGrid() ? "Database" : "New items", MbIcon::Exclamation, MbButtons::Ok);
    return false;
}

void CMainFrame::MoveColumnInActivePane(int from, int to) { MoveColumnInPane(*this, m_databaseActive, from, to); }

void CMainFrame::OnGridContextMenu(int row, int col) {
    // The command chosen names its own step; running out of memory even for
    // the menu itself is said, and the program goes on.
    RunCommand({}, [&] {
        tabulon::OnGridContextMenu(*this, m_hosts.popupMenus, m_hosts.dialogs, m_databaseActive, row, col);
    });
}

void CMainFrame::ResetNumberColumnWidths() {
    for (CGridCtrl* grid : {GetNewItemsGrid(), GetDatabaseGrid()}) {
        if (!grid || grid->GetColumnCount() == 0) continue;
        // Measured once: it takes a screen context, and this runs after every click.
        const int width = pane::NumberColumnWidth(*grid);
        if (grid->GetColumnWidth(0) == width) continue;
        grid->SetColumnWidth(0, width);
        grid->ResetScrollBars();
        grid->Refresh();
    }
}

void CMainFrame::OnGridChanged(CGridCtrl& grid, const TableChange& change) {
    const bool database = &grid == GetDatabaseGrid();
    // A heading is a column's name.
    const bool heading = change.kind == GridChange::Cells && change.row < grid.GetFixedRowCount() && change.col > 0;
    if (change.kind == GridChange::Columns || heading) ColumnsChanged(database);
    // Any change of the user's to the items of 'Database' or their columns
    // is an unsaved change; their order is none, nor are the numbers and the
    // mark in column 0, which are never recorded. Taking steps back and doing
    // them again sets the mark from what was saved (AfterSteps).
    if (database && change.recorded && !change.takingBack && change.kind != GridChange::Order &&
        (change.kind != GridChange::Cells || change.col > 0))
        m_database.SetDatabaseModified(true);
}

void CMainFrame::ColumnsChanged(bool databasePane) {
    m_columnsChanged[databasePane] = true;
    if (m_commandDepth == 0) TellColumnsChanged();
}

void CMainFrame::TellColumnsChanged() {
    for (const bool database : {false, true}) {
        if (!std::exchange(m_columnsChanged[database], false)) continue;
        try {
            if (database)
                m_tools.OnDatabaseColumnsChanged();
            else
                m_tools.OnNewItemsColumnsChanged();
            m_hosts.window.ColumnsChanged(database);
        } catch (const std::bad_alloc&) {
            // The lists keep the names they showed; the next change renews them.
        }
    }
}

const CSortOrder* CMainFrame::SortOrder() {
    const SortOrderSettings wanted{m_config.language, m_config.articles, m_config.numbers == 1};
    if (wanted == m_sortSettings) return m_sortOrder.get();
    m_sortSettings = wanted;
    m_sortOrder.reset();
    std::string reason;
    m_sortOrder = MakeSortOrder(wanted, reason);
    if (!m_sortOrder && !wanted.IsByteOrder())
        Messages().Show("The configuration asks to sort as \"" + wanted.language + "\", but " + reason +
                            ".\n\nThe items are sorted in byte order A-Z.",
                        "Sort", MbIcon::Exclamation, MbButtons::Ok);
    return m_sortOrder.get();
}

void CMainFrame::SayDone(const std::string& text) noexcept {
    try {
        m_hosts.window.SetStatusText(text);
    } catch (const std::bad_alloc&) {
        // The bar keeps what it showed.
    }
}

void CMainFrame::SetActivePane(bool database) {
    if (const CGridCtrl* leaving = PaneGrid(m_databaseActive); leaving && database != m_databaseActive) {
        const CellId focus = leaving->GetFocusCell();
        if (leaving->IsValidCell(focus.row, focus.col)) m_lastFocus[m_databaseActive] = focus;
    }
    m_databaseActive = database;
}

void CMainFrame::EnterPane(bool databasePane) {
    CGridCtrl* grid = PaneGrid(databasePane);
    if (!grid) return;
    const auto isItemCell = [grid](CellId cell) {
        return grid->IsValidCell(cell.row, cell.col) && cell.row >= grid->GetFixedRowCount();
    };
    if (isItemCell(grid->GetFocusCell())) return;
    // The first item's first text, past its number.
    const CellId last = m_lastFocus[databasePane];
    const CellId cell = isItemCell(last) ? last : CellId(grid->GetFixedRowCount(), 1);
    if (!isItemCell(cell)) return;
    grid->SetFocusCell(cell);
    grid->EnsureVisible(cell.row, cell.col);
    grid->Refresh();
}

void CMainFrame::MarkDatabaseModified() { m_database.SetDatabaseModified(true); }

void CMainFrame::AttachUndoStack() {
    if (GetNewItemsGrid() && GetDatabaseGrid()) m_undo.Attach(*GetNewItemsGrid(), *GetDatabaseGrid());
}

void CMainFrame::CommitStep(std::string_view name) {
    if (m_undo.Commit(name)) {
        if (m_undo.TakeStepsLetGo()) SayDone("Older steps can no longer be undone: they were let go to save memory");
        return;
    }
    AfterSteps();
    Messages().Show("Not enough memory to keep \"" + std::string(name) +
                        "\" so that it could be undone.\n\nIt was taken back: the lists are as they were before.",
                    kProgramName, MbIcon::Exclamation, MbButtons::Ok);
}

CMainFrame::CommandState CMainFrame::StateOf(CommandId id) const {
    const bool undo = id == CommandId::kUndo;
    const std::string name = undo ? m_undo.UndoName() : m_undo.RedoName();
    std::string caption = undo ? "Undo" : "Redo";
    if (!name.empty()) caption += " " + name;
    const bool enabled = undo ? m_undo.CanUndo() : m_undo.CanRedo();
    return {enabled, caption, enabled ? caption : std::string(PromptOf(id))};
}

void CMainFrame::OnUndo() {
    if (m_undo.CanUndo()) TakeStep(true);
}

void CMainFrame::OnRedo() {
    if (m_undo.CanRedo()) TakeStep(false);
}

void CMainFrame::TakeStep(bool undo) {
    bool whole = false;
    {
        // A big step shows its progress, and it is gone before any message.
        const CGridWork work(this, StateOf(undo ? CommandId::kUndo : CommandId::kRedo).caption,
                             {GetNewItemsGrid(), GetDatabaseGrid()});
        whole = undo ? m_undo.Undo() : m_undo.Redo();
        AfterSteps();
    }
    if (!whole)
        Messages().Show(
            "Not enough memory to take the whole step back or do it again.\n\nThe lists are as far as "
            "it got, and there is nothing more to undo.",
            kProgramName, MbIcon::Exclamation, MbButtons::Ok);
}

void CMainFrame::AfterSteps() {
    NumberDatabaseItemRows();
    m_database.SetDatabaseModified(m_undo.DatabaseChangedSinceSaved());
    if (IsConfigurationOpen())
        m_hosts.window.SetTitle(ConfigurationTitle(m_config.cfgfile, m_undo.ConfigurationChangedSinceSaved()));
    ResetNumberColumnWidths();
    for (CGridCtrl* grid : {GetNewItemsGrid(), GetDatabaseGrid()}) {
        if (!grid) continue;
        // The focus goes to the changed place: among the cells in view, which
        // stay there, or else the first, brought into view.
        if (const auto place = m_undo.LastPlace(*grid); place && grid->GetRowCount() > 1) {
            const int row = std::clamp(place->cell.row, grid->GetFixedRowCount(), grid->GetRowCount() - 1);
            const int last = grid->GetColumnCount() - 1;
            const int col =
                place->cell.col >= 0 ? std::clamp(place->cell.col, std::min(1, last), last) : std::min(1, last);
            grid->SetFocusCell(row, col);
            if (place->bringIntoView) grid->EnsureVisible(row, col);
        }
        grid->Refresh();
    }
}

}  // namespace tabulon
