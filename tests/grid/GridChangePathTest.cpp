// Every public operation of the grid that changes its table passes the one
// path of changes: it moves the version of the texts, the frame hears of it
// as a change of cells, rows, their order or columns, and, while a record is
// kept, taking the record back gives the table as it was. The operations are
// read from the grid's header, so that one added without a case here fails.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "grid/GridCtrl.h"

namespace tabulon::testing {
namespace {

// The public member functions of CGridCtrl that are not const, by name,
// read from its header: statements at the level of the class body between
// its first "public:" and its "private:".
std::set<std::string> PublicMutatorsOfTheGrid() {
    std::ifstream header(std::string(TABULON_SOURCE_DIR) + "/src/grid/GridCtrl.h");
    std::stringstream all;
    all << header.rdbuf();
    std::string text = all.str();
    // Comments go first: they hold parentheses and braces of their own.
    for (std::size_t at = text.find("//"); at != std::string::npos; at = text.find("//", at))
        text.erase(at, text.find('\n', at) - at);
    const std::size_t start = text.find("public:", text.find("class CGridCtrl "));
    const std::size_t end = text.find("\nprivate:", start);
    std::set<std::string> names;
    std::string statement;
    int depth = 0;
    for (std::size_t at = start + 7; at < end; ++at) {
        const char c = text[at];
        if (c == '{' && depth++ == 0) {
            // An inline body (or a nested class): the declaration before it counts.
        } else if (c == '}') {
            if (--depth == 0) statement.clear();
            continue;
        }
        if (depth > 1 || (depth == 1 && c != '{')) continue;
        if (c != ';' && c != '{') {
            statement += c;
            continue;
        }
        const std::size_t open = statement.find('(');
        const std::size_t close = statement.rfind(')');
        const bool type = statement.find("class ") != std::string::npos || statement.find("enum ") != std::string::npos;
        if (open != std::string::npos && close != std::string::npos && !type &&
            statement.find("operator") == std::string::npos && statement.find("const", close) == std::string::npos) {
            std::size_t nameEnd = open;
            while (nameEnd > 0 && statement[nameEnd - 1] == ' ') --nameEnd;
            std::size_t nameStart = nameEnd;
            while (nameStart > 0 && (std::isalnum(static_cast<unsigned char>(statement[nameStart - 1])) ||
                                     statement[nameStart - 1] == '_' || statement[nameStart - 1] == '~'))
                --nameStart;
            const std::string name = statement.substr(nameStart, nameEnd - nameStart);
            if (name != "CGridCtrl" && name != "~CGridCtrl") names.insert(name);
        }
        statement.clear();
    }
    return names;
}

// Records what the grid tells its frame.
class ChangeCounter : public IGridFrame {
public:
    bool IsDatabasePaneActive() const override { return false; }
    void SortActivePaneByAllColumns() override {}
    void NumberDatabaseItemRows() override {}
    void MoveColumnInActivePane(int, int) override {}
    void OnDatabaseEditEnded(CGridCtrl&, CellId) override {}
    void ResetNumberColumnWidths() override {}
    void OnGridContextMenu(int, int) override {}
    void OnGridChanged(CGridCtrl&, const TableChange& change) override { kinds.insert(change.kind); }
    std::set<GridChange> kinds;
};

// A heading row, a number column and three items of two columns.
void Fill(CGridCtrl& grid) {
    grid.SetColumnCount(3);
    grid.SetRowCount(4);
    grid.SetFixedRowCount(1);
    const char* texts[4][3] = {{"", "Name", "Size"}, {"1", "b", "2"}, {"2", "a", "3"}, {"3", "c", "1"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) grid.SetCellText(r, c, texts[r][c]);
}

// The table as its texts, row by row.
std::string Texts(const CGridCtrl& grid) {
    std::string texts = std::to_string(grid.GetFixedRowCount()) + "/" + std::to_string(grid.GetFixedColumnCount());
    for (int r = 0; r < grid.GetRowCount(); ++r) {
        texts += "\n";
        for (int c = 0; c < grid.GetColumnCount(); ++c) texts.append(grid.GetCellText(r, c)).append("|");
    }
    return texts;
}

struct Case {
    std::function<void(CGridCtrl&, CGridChanges& log)> change;
    std::set<GridChange> kinds;  // what the frame hears of
    bool recorded = true;        // taken back by the record
};

TEST(GridChangePath, EveryPublicMutatorMovesTheVersionTellsTheFrameAndIsRecorded) {
    using K = GridChange;
    CGridChanges scratch;
    const std::map<std::string, Case> changes = {
        {"SetRowCount", {[](CGridCtrl& g, CGridChanges&) { g.SetRowCount(6); }, {K::Rows}}},
        {"SetColumnCount", {[](CGridCtrl& g, CGridChanges&) { g.SetColumnCount(2); }, {K::Columns}}},
        {"SetFixedRowCount", {[](CGridCtrl& g, CGridChanges&) { g.SetFixedRowCount(2); }, {K::Rows}, false}},
        {"SetFixedColumnCount", {[](CGridCtrl& g, CGridChanges&) { g.SetFixedColumnCount(1); }, {K::Columns}, false}},
        {"InsertColumn",
         {[](CGridCtrl& g, CGridChanges&) { g.InsertColumn("New", kDefaultColumnFormat, 1); }, {K::Columns, K::Cells}}},
        {"InsertRow", {[](CGridCtrl& g, CGridChanges&) { g.InsertRow("4", 2); }, {K::Rows, K::Cells}}},
        {"DeleteColumn", {[](CGridCtrl& g, CGridChanges&) { g.DeleteColumn(1); }, {K::Columns}}},
        {"DeleteRow", {[](CGridCtrl& g, CGridChanges&) { g.DeleteRow(2); }, {K::Rows}}},
        {"DeleteRows",
         {[](CGridCtrl& g, CGridChanges&) {
              g.DeleteRows({0, 1, 0, 1});
          },
          {K::Rows}}},
        {"DeleteNonFixedRows", {[](CGridCtrl& g, CGridChanges&) { g.DeleteNonFixedRows(); }, {K::Rows}}},
        {"DeleteAllCells", {[](CGridCtrl& g, CGridChanges&) { g.DeleteAllCells(); }, {K::Columns}, false}},
        {"SetCellType",
         {[](CGridCtrl& g, CGridChanges&) { g.SetCellType(1, 0, CGridCellCheckBox::Class()); }, {K::Cells}}},
        {"DestroyCell", {[](CGridCtrl& g, CGridChanges&) { g.DestroyCell(1, 1); }, {K::Cells}}},
        {"SetCellText", {[](CGridCtrl& g, CGridChanges&) { g.SetCellText(2, 2, "typed"); }, {K::Cells}}},
        {"OnEndEditCell", {[](CGridCtrl& g, CGridChanges&) { g.OnEndEditCell(2, 2, "typed"); }, {K::Cells}}},
        {"NumberRows", {[](CGridCtrl& g, CGridChanges&) { g.NumberRows(2, 1, 3); }, {K::Cells}}},
        {"SetGridItem",
         {[](CGridCtrl& g, CGridChanges&) {
              GridItem item;
              item.mask = GridItemMask::kText;
              item.row = 3;
              item.col = 1;
              item.text = "set";
              g.SetGridItem(item);
          },
          {K::Cells}}},
        {"ChangeCheck",
         {[](CGridCtrl& g, CGridChanges&) {
              g.SetCellType(1, 0, CGridCellCheckBox::Class());
              dynamic_cast<CGridCellCheckBox*>(g.GetCell(1, 0))->SetCheck(true);
          },
          {K::Cells}}},
        {"SortByColumn", {[](CGridCtrl& g, CGridChanges&) { g.SortByColumn(1, true); }, {K::Order}}},
        {"SortRowRange", {[](CGridCtrl& g, CGridChanges&) { g.SortRowRange(2, true, 1, 3); }, {K::Order}}},
        {"OnHeaderClickSort", {[](CGridCtrl& g, CGridChanges&) { g.OnHeaderClickSort(1); }, {K::Order}}},
        {"TakeBack",
         {[&scratch](CGridCtrl& g, CGridChanges& log) {
              // What was recorded before this case is taken back, and how to
              // do it again recorded in its stead.
              g.TakeBack(scratch, log);
          },
          {K::Cells}}},
    };
    // The rest change nothing of the table: the view, the settings, the
    // input (which changes the table only through the operations above).
    const std::set<std::string> others = {"AllowRedrawLater",
                                          "AttachWindow",
                                          "AutoSizeColumn",
                                          "AutoSizeColumnRange",
                                          "AutoSizeColumns",
                                          "AutoSizeRow",
                                          "CreateCell",
                                          "CreateCellEditBox",
                                          "DropPreparedSortKeys",
                                          "EnableDragAndDrop",
                                          "EnableSelection",
                                          "EndEditing",
                                          "EnsureVisible",
                                          "ExpandLastColumn",
                                          "GetCellFromPt",
                                          "GetCellOrigin",
                                          "GetCellRect",
                                          "GetTopLeftNonFixedCell",
                                          "GetVisibleNonFixedCellRange",
                                          "MayTakeTypedText",
                                          "OnCaptureLost",
                                          "OnChar",
                                          "OnContextMenuKey",
                                          "OnDraw",
                                          "OnEditBoxEnded",
                                          "OnEditCell",
                                          "OnFixedColumnClick",
                                          "OnFixedRowClick",
                                          "OnHScroll",
                                          "OnKeyDown",
                                          "OnLButtonDblClk",
                                          "OnLButtonDown",
                                          "OnLButtonUp",
                                          "OnMouseMove",
                                          "OnMouseWheel",
                                          "OnPaint",
                                          "OnRButtonUp",
                                          "OnSize",
                                          "OnSysColourChange",
                                          "OnTimer",
                                          "OnVScroll",
                                          "PrepareSortKeys",
                                          "RedrawCell",
                                          "Refresh",
                                          "ReportProgress",
                                          "ResetScrollBars",
                                          "ResetSelection",
                                          "RunGesture",
                                          "SelectAllCells",
                                          "SelectCells",
                                          "SelectColumns",
                                          "SelectRows",
                                          "SendMessageToParent",
                                          "SetCellBackColour",
                                          "SetCellFormat",
                                          "SetCellState",
                                          "SetCellTextColour",
                                          "SetChangeLog",
                                          "SetColumnWidth",
                                          "SetDefaultCellType",
                                          "SetDoubleBuffering",
                                          "SetEditable",
                                          "SetFixedColumnSelection",
                                          "SetFixedRowSelection",
                                          "SetFocusCell",
                                          "SetFont",
                                          "SetFrame",
                                          "SetFrameFocusCell",
                                          "SetGridBkColour",
                                          "SetGridLineColour",
                                          "SetGridLines",
                                          "SetHandleTabKey",
                                          "SetImageList",
                                          "SetListMode",
                                          "SetModified",
                                          "SetMouseWheelLines",
                                          "SetOutOfMemoryThrows",
                                          "SetOwner",
                                          "SetProgress",
                                          "SetRedraw",
                                          "SetRowHeight",
                                          "SetSelectedRange",
                                          "SetSelectionAnchor",
                                          "SetSingleColumnSelection",
                                          "SetSingleRowSelection",
                                          "SetSortColumn",
                                          "SetSortOnClick",
                                          "SetSortOrderSource",
                                          "SetTrackFocusCell",
                                          "StorePreviousSelection"};
    for (const std::string& name : PublicMutatorsOfTheGrid())
        EXPECT_TRUE(changes.count(name) + others.count(name) == 1) << name << ": a change of the table, or not?";

    for (const auto& [name, c] : changes) {
        SCOPED_TRACE(name);
        CGridCtrl grid;
        Fill(grid);
        ChangeCounter frame;
        grid.SetFrame(&frame);
        CGridChanges log;
        if (name == "TakeBack") {
            grid.SetChangeLog(&scratch);
            grid.SetCellText(1, 1, "before");
            grid.SetChangeLog(nullptr);
        }
        const std::string before = Texts(grid);
        const std::uint64_t version = grid.GetTextsVersion();
        grid.SetChangeLog(&log);
        c.change(grid, log);
        grid.SetChangeLog(nullptr);
        EXPECT_NE(grid.GetTextsVersion(), version);
        EXPECT_EQ(frame.kinds, c.kinds);
        ASSERT_NE(Texts(grid), before);
        EXPECT_EQ(!log.Empty(), c.recorded);
        if (!c.recorded) continue;
        grid.TakeBack(log);
        EXPECT_EQ(Texts(grid), before);
    }
}

}  // namespace
}  // namespace tabulon::testing
