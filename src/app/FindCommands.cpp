// Find in the main window: the search of a pane from its focus cell, what
// the status bar says of it, and the last search that F3 repeats.

#include <utility>

#include "app/MainFrame.h"

namespace tabulon {

CMainFrame::FindOutcome CMainFrame::FindText(const SearchQuery& query, bool databasePane, bool backwards) {
    // The find bar's searches are commands too: memory running out in one is
    // told, and the program goes on.
    FindOutcome outcome;
    RunCommand(StepNameOf(CommandId::kFind), [&] { outcome = FindFrom(query, databasePane, backwards); });
    return outcome;
}

std::optional<int> CMainFrame::ColumnNow(const CGridCtrl& grid, const SearchQuery& query) {
    if (query.column < 0 || query.columnName.empty()) return query.column;
    if (query.column < grid.GetColumnCount() && grid.GetCellText(0, query.column) == query.columnName)
        return query.column;
    for (int col = 1; col < grid.GetColumnCount(); ++col)
        if (grid.GetCellText(0, col) == query.columnName) return col;
    return std::nullopt;
}

CMainFrame::FindOutcome CMainFrame::FindFrom(const SearchQuery& query, bool databasePane, bool backwards) {
    CGridCtrl* grid = PaneGrid(databasePane);
    if (!grid || query.text.empty()) return {};
    m_lastSearch = query;
    m_lastSearchInDatabase = databasePane;
    const std::string pane = databasePane ? "'Database'" : "'New items'";
    const std::optional<int> column = ColumnNow(*grid, query);
    if (!column) {
        m_hosts.window.SetStatusText("The column \"" + query.columnName + "\" is no longer in " + pane + ".");
        return {};
    }
    SearchQuery here = query;
    here.column = *column;
    const CCellSearch search(here);
    const std::optional<CCellSearch::Found> found = search.Next(*grid, grid->GetFocusCell(), backwards, &m_searchTexts);
    if (!found) {
        m_hosts.window.SetStatusText("\"" + query.text + "\" was not found in " + pane + ".");
        return {};
    }
    grid->SetFocusCell(found->cell.row, found->cell.col);
    grid->EnsureVisible(found->cell.row, found->cell.col);
    grid->Refresh();
    m_hosts.window.SetStatusText(found->wrapped ? "Search wrapped" : "");
    return {true, found->wrapped};
}

CCellSearch::Count CMainFrame::CountFound(const SearchQuery& query, bool databasePane) {
    const CGridCtrl* grid = PaneGrid(databasePane);
    CCellSearch::Count count;
    if (grid)
        RunCommand(StepNameOf(CommandId::kFind), [&] {
            SearchQuery here = query;
            const std::optional<int> column = ColumnNow(*grid, query);
            if (!column) return;
            here.column = *column;
            count = CCellSearch(here).CountMatches(*grid, grid->GetFocusCell(), &m_searchTexts);
        });
    return count;
}

std::vector<std::string> CMainFrame::SearchColumnNames(bool databasePane) const {
    const CGridCtrl* grid = PaneGrid(databasePane);
    std::vector<std::string> names;
    if (!grid) return names;
    for (int col = 1; col < grid->GetColumnCount(); ++col) names.emplace_back(grid->GetCellText(0, col));
    return names;
}

bool CMainFrame::PrepareFind(bool databasePane) {
    // About 5 ms of copying at a time, however the rows lie in memory.
    constexpr std::size_t kCellsAtATime = 50000;
    const CGridCtrl* grid = PaneGrid(databasePane);
    // Long work on the grid lets the window answer while the rows are half
    // moved: nothing is read of them then.
    if (grid && grid->GetProgress()) return false;
    return !grid || m_searchTexts.CopySome(*grid, kCellsAtATime);
}

void CMainFrame::FindAgain(bool backwards) {
    if (m_lastSearch)
        FindFrom(*m_lastSearch, m_lastSearchInDatabase, backwards);
    else
        m_hosts.window.ShowFindBar(m_databaseActive);
}

}  // namespace tabulon
