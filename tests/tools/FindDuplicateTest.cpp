// 'Find dublicate' and 'Dublicates found': which neighbours make a pair, what
// each answer does to 'Database', the search and its progress bar, and the
// messages at its end.

#include "ToolTestSupport.h"
#include "tools/DuplicatesDlg.h"

namespace tabulon::testing {
namespace {

namespace Id = FindDuplicateId;
namespace Pair = DuplicatesId;
using Call = fakes::ToolDialog::ProgressCall;
using fakes::PressTool;
using fakes::ToolDialog;
using fakes::ToolStep;

struct FindDuplicate : ToolFixture {
    // Every pair shown: the texts of its dialog's grid, row by row.
    std::vector<Rows> pairs;

    // Answers a pair with button, after noting what it showed.
    ToolStep Answer(ControlId button) {
        return [this, button](ToolDialog& d, IDialogEvents& e) {
            Rows shown;
            const CGridCtrl& grid = *d.grids.at(Pair::kGrid);
            for (int r = 0; r < grid.GetRowCount(); ++r) {
                Strings row;
                for (int c = 0; c < grid.GetColumnCount(); ++c) row.emplace_back(grid.GetCellText(r, c));
                shown.push_back(row);
            }
            pairs.push_back(shown);
            e.OnCommand(d, button);
        };
    }
    // Runs "Find" with list entry index selected (-1: none).
    ToolDialog& Find(int index) {
        ToolDialog& window = OpenFindDuplicate();
        window.SetListSelection(Id::kColumns, index);
        dialogs.Click(window, Id::kFind);
        return window;
    }
    int DoneShown() const {
        int done = 0;
        for (const auto& m : messages.shown)
            if (m.text == "Done" && m.caption == "Find" && m.icon == MbIcon::Exclamation) ++done;
        return done;
    }
};

TEST_F(FindDuplicate, OneLeadingColumnPairsNeighboursAndMergesTheRest) {
    FillDatabase({"Artist", "Title", "Note", "Year"},
                 {{"A", "x", "", "1999"}, {"A", "y", "p", ""}, {"B", "z", "", ""}, {"a", "z", "", ""}});
    dialogs.whenScriptsEnd = Answer(Pair::kFindNext);
    Find(1);
    ASSERT_EQ(pairs.size(), 1u);  // exact comparison: ‘B’ and ‘a’ differ
    // An empty side adds nothing to the mix: the filled text stands alone.
    EXPECT_EQ(pairs[0], (Rows{{"Database", "Artist", "Title", "Note", "Year"},
                              {"First", "A", "x", "", "1999"},
                              {"Second", "A", "y", "p", ""},
                              {"Mixed", "A", "x, y", "p", "1999"}}));
    EXPECT_EQ(dialogs.shownModal[0].caption, "Dublicates found");
    EXPECT_EQ(DoneShown(), 1);
    EXPECT_FALSE(DatabaseMarked());

    pairs.clear();
    messages.shown.clear();
    dialogs.modeless.back()->SetListSelection(Id::kColumns, 0);  // "All"
    dialogs.Click(*dialogs.modeless.back(), Id::kFind);
    EXPECT_TRUE(pairs.empty());
    EXPECT_EQ(DoneShown(), 1);
}

TEST_F(FindDuplicate, PairGridShowsHeadingsCaptionsAndColoursAndFillsItsPlace) {
    FillDatabase({"Artist", "Title"}, {{"A", "x"}, {"A", "x"}});
    const CGridCtrl* shown = nullptr;
    int clientWidth = 0;
    long long totalWidth = 0;
    dialogs.scripts = {{[&](ToolDialog& d, IDialogEvents& e) {
        shown = d.grids.at(Pair::kGrid);
        clientWidth = d.gridWindows[0]->clientSize.cx;
        totalWidth = shown->GetTotalWidth();
        const CGridCtrl& g = *shown;
        EXPECT_FALSE(g.IsEditable());
        EXPECT_FALSE(g.IsSelectable());
        EXPECT_EQ(g.GetFixedRowCount(), 1);
        EXPECT_EQ(g.GetFixedColumnCount(), 1);
        EXPECT_EQ(g.GetCell(0, 0)->GetBackColour(), MakeColour(0, 85, 144));
        EXPECT_EQ(g.GetCell(0, 0)->GetTextColour(), MakeColour(255, 255, 255));
        for (int c = 1; c < 3; ++c) {
            EXPECT_EQ(g.GetCell(0, c)->GetBackColour(), MakeColour(230, 230, 230));
            EXPECT_EQ(g.GetCellFormat(0, c).ToBits(), 0x24u);
        }
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(g.GetCell(r, 0)->GetBackColour(), MakeColour(230, 230, 230));
        // "Mixed" keeps a text both rows share as it is.
        EXPECT_EQ(g.GetCellText(3, 2), "x");
        e.OnCommand(d, Pair::kStopFind);
    }}};
    Find(0);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(totalWidth, clientWidth);  // the last column stretched to the grid's width
}

TEST_F(FindDuplicate, DeletingShrinksTheRangeAndComparesTheSamePlaceAgain) {
    FillDatabase({"Name"}, {{"same"}, {"same"}, {"same"}});
    dialogs.whenScriptsEnd = Answer(Pair::kDeleteSecond);
    ToolDialog& window = Find(0);
    EXPECT_EQ(pairs.size(), 2u);
    EXPECT_EQ(Items(database), (Rows{{"same"}}));
    EXPECT_TRUE(DatabaseMarked());
    EXPECT_EQ(
        window.progress[Id::kProgress],
        (std::vector<Call>{{'r', 0, 4}, {'r', 0, 3}, {'p', 1, 0}, {'r', 0, 2}, {'p', 1, 0}, {'p', 2, 0}, {'p', 0, 0}}));
    EXPECT_EQ(window.focus, Id::kColumns);
}

TEST_F(FindDuplicate, DeleteFirstKeepsTheSecondRow) {
    FillDatabase({"Name", "Note"}, {{"a", "1"}, {"a", "2"}, {"b", "3"}});
    dialogs.whenScriptsEnd = Answer(Pair::kDeleteFirst);
    Find(1);
    EXPECT_EQ(Items(database), (Rows{{"a", "2"}, {"b", "3"}}));
    EXPECT_EQ(Column(database, 0), (Strings{"Database*", "1", "2"}));
}

TEST_F(FindDuplicate, MixedRowIsComparedWithTheRowAfterThePair) {
    FillDatabase({"Name", "Note"}, {{"a", ""}, {"b", ""}, {"c", ""}, {"d", "x"}, {"d", "y"}, {"d", "z"}, {"e", ""}});
    dialogs.scripts = {{Answer(Pair::kMixDuplicates)}, {Answer(Pair::kFindNext)}};
    std::string numberWhileSearching;
    messages.onShow = [&] { numberWhileSearching = database.GetCellText(4, 0); };
    Find(1);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[1][1], (Strings{"First", "d", "x, y"}));
    EXPECT_EQ(pairs[1][2], (Strings{"Second", "d", "z"}));
    EXPECT_EQ(numberWhileSearching, "Mixed");  // until the search renumbers
    EXPECT_EQ(Items(database), (Rows{{"a", ""}, {"b", ""}, {"c", ""}, {"d", "x, y"}, {"d", "z"}, {"e", ""}}));
    EXPECT_EQ(Column(database, 0), (Strings{"Database*", "1", "2", "3", "4", "5", "6"}));
}

TEST_F(FindDuplicate, CloseBoxGoesOnWithoutMovingTheBarAndStopStillEndsWithDone) {
    FillDatabase({"Name"}, {{"a"}, {"a"}, {"b"}, {"b"}, {"c"}, {"c"}});
    dialogs.scripts = {{}, {Answer(Pair::kFindNext)}, {Answer(Pair::kStopFind)}};
    ToolDialog& window = Find(0);
    EXPECT_EQ(pairs.size(), 2u);  // the closed first pair, "Find next" on the second, then "Stop find"
    EXPECT_EQ(window.progress[Id::kProgress], (std::vector<Call>{{'r', 0, 7}, {'p', 4, 0}, {'p', 7, 0}, {'p', 0, 0}}));
    EXPECT_EQ(DoneShown(), 1);
    EXPECT_EQ(renumbered, 1);
    EXPECT_EQ(Items(database).size(), 6u);
}

TEST_F(FindDuplicate, NothingSelectedStopsBeforeTheSearch) {
    FillDatabase({}, {});
    ToolDialog& window = OpenFindDuplicate();
    EXPECT_EQ(window.GetListCount(Id::kColumns), 0);
    dialogs.Click(window, Id::kFind);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Nothing selected");
    EXPECT_EQ(messages.shown[0].caption, "Find");
    EXPECT_EQ(messages.shown[0].buttons, MbButtons::Ok);
    EXPECT_TRUE(window.progress.empty());
    EXPECT_EQ(renumbered, 0);
}

TEST_F(FindDuplicate, RowsGoneUnderTheSearchAreNeverCompared) {
    FillDatabase({"Name"}, {{"a"}, {"a"}, {"b"}, {"c"}, {"d"}});
    dialogs.scripts = {{[&](ToolDialog& d, IDialogEvents& e) {
        // Something else takes the rows after the pair away meanwhile.
        while (database.GetRowCount() > 3) database.DeleteRow(3);
        e.OnCommand(d, Pair::kFindNext);
    }}};
    dialogs.whenScriptsEnd = Answer(Pair::kFindNext);
    Find(0);
    EXPECT_EQ(dialogs.shownModal.size(), 1u);  // no pair of rows that are no longer there
    EXPECT_EQ(DoneShown(), 1);
}

TEST_F(FindDuplicate, LongWalkMovesTheBarAndStopsWhenCancelled) {
    Rows rows;
    for (int i = 0; i < 10000; ++i) rows.push_back({std::to_string(100000 + i)});
    FillDatabase({"Name"}, rows);
    ToolDialog& window = Find(0);
    const auto& calls = window.progress[Id::kProgress];
    EXPECT_NE(std::find(calls.begin(), calls.end(), Call{'p', 4096, 0}), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), Call{'p', 8192, 0}), calls.end());
    ASSERT_EQ(progress.reports.size(), 1u);
    EXPECT_TRUE(progress.reports[0].cancellable);
    EXPECT_TRUE(progress.reports[0].ended);

    progress.cancelAtStep = 0;
    messages.shown.clear();
    dialogs.Click(window, Id::kFind);
    ASSERT_EQ(progress.reports.size(), 2u);
    EXPECT_EQ(progress.reports[1].steps.size(), 1u);  // nothing walked after Cancel
    EXPECT_EQ(DoneShown(), 1);
    EXPECT_EQ(renumbered, 2);
}

}  // namespace
}  // namespace tabulon::testing
