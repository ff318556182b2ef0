// Commands that run long on a big list (opening it, sorting by a heading,
// Move items, saving, Make list, an import) report their progress while they run,
// and the panes can be painted at every report, as the host does meanwhile.

#include "AppTestSupport.h"
#include "FakeDesktop.h"
#include "FakeGridWindow.h"
#include "RecordingProgress.h"
#include "items/MoveItems.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon::testing {
namespace {

class LongWork : public AppTest {
protected:
    LongWork() {
        // Columns are fitted only in a window.
        newItemsGrid->AttachWindow(&newItemsWindow);
        databaseGrid->AttachWindow(&databaseWindow);
        progress.onStep = [this] {
            for (CGridCtrl* grid : {newItemsGrid, databaseGrid}) {
                fakes::RecordingDeviceContext dc;
                grid->OnPaint(dc, {0, 0, 800, 600});
            }
        };
    }
    // The one piece of work the last command began: its caption, the phases
    // it named, and that every step lay within its total and it ended.
    void ExpectWork(const std::string& caption, const std::vector<std::string>& phases) {
        ASSERT_EQ(progress.reports.size(), 1u) << caption;
        const auto& report = progress.reports[0];
        EXPECT_EQ(report.caption, caption);
        for (const std::string& phase : phases)
            EXPECT_NE(std::find(report.texts.begin(), report.texts.end(), phase), report.texts.end()) << phase;
        EXPECT_FALSE(report.steps.empty()) << caption;
        for (const auto& [done, total] : report.steps) EXPECT_LE(done, total) << caption;
        EXPECT_TRUE(report.ended);
        progress.reports.clear();
    }

    fakes::RecordingProgressHost progress;
    fakes::FakeDesktop desktop;
    CSession longSession{{.window = window,
                          .messages = messages,
                          .filePicker = picker,
                          .colourPicker = idle.colours,
                          .dialogs = dialogs,
                          .popupMenus = idle.menus,
                          .shell = idle.shell,
                          .publisher = publisher,
                          .progress = progress,
                          .folders = idle.folders,
                          .desktop = desktop}};
    CGridCtrl* newItemsGrid = longSession.NewItemsPane().GetGrid();
    CGridCtrl* databaseGrid = longSession.DatabasePane().GetGrid();
    fakes::FakeGridWindow newItemsWindow;
    fakes::FakeGridWindow databaseWindow;
};

TEST_F(LongWork, OpeningSortingMovingAndMakingTheListReportProgressAndLeaveThePanesPaintable) {
    std::string items;
    for (int i = 0; i < 3000; ++i)
        items += "Item " + std::to_string((i * 7919) % 3000) + ";" + std::to_string(i % 13) + "\r\n";
    WriteConfiguration(items);
    CMainFrame& big = longSession.Frame();
    ASSERT_TRUE(big.OpenConfiguration(PathOf("list.cfg")));
    ASSERT_EQ(databaseGrid->GetRowCount(), 3001);
    ExpectWork("Opening the configuration", {"Reading items", kFittingPhase});

    // A click on the heading of column 1 sorts the 'Database' by all columns.
    big.SetActivePane(true);
    const int x = databaseGrid->GetColumnWidth(0) + 5;
    databaseGrid->OnLButtonDown({x, 3}, 0);
    databaseGrid->OnLButtonUp({x, 3}, 0);
    EXPECT_EQ(databaseGrid->GetCellText(1, 1), "Item 0");
    ExpectWork("Sorting", {kSortingPhase});

    for (int i = 0; i < 2000; ++i)
        longSession.NewItemsPane().AddItemFromText("New " + std::to_string(i) + ";x", ";", newItemsGrid->GetRowCount());
    MoveItems(big);
    EXPECT_EQ(databaseGrid->GetRowCount(), 5001);
    ExpectWork("Moving items", {"Copying items", kSortingPhase, kFittingPhase});

    // Saved by the command: the window is busy while the items are written,
    // and the status bar says where they went.
    int busyWhileWriting = 0;
    progress.onStep = [&] { busyWhileWriting = window.busy; };
    big.OnCommand(CommandId::kSaveDatabase);
    ExpectWork("Saving the database", {"Writing the items"});
    EXPECT_EQ(busyWhileWriting, 1);
    EXPECT_EQ(window.busy, 0);
    EXPECT_EQ(window.status, "Database saved to " + PathOf("items.db"));

    big.OnMakeList();
    EXPECT_TRUE(fs::exists(PathOf("page.htm")));
    ExpectWork("Making the list", {kSortingPhase});

    picker.Answer(PathOf("items.db"));
    big.OnImportDatabase();
    EXPECT_EQ(newItemsGrid->GetRowCount(), 2001 + 5000);  // the moved items were saved too
    ExpectWork("Importing items", {"Reading items", kFittingPhase});
}

// One line of very many fields: the bar moves while their columns are
// fitted, rather than waiting at the start of each one-cell column.
TEST_F(LongWork, AWideLineMovesTheBarWhileItsColumnsAreFitted) {
    std::string line = "wide";
    for (int f = 1; f < 20000; ++f) line += ";f" + std::to_string(f);
    WriteConfiguration(line + "\r\n");
    ASSERT_TRUE(longSession.Frame().OpenConfiguration(PathOf("list.cfg")));
    ASSERT_EQ(databaseGrid->GetColumnCount(), 20001);
    ASSERT_EQ(progress.reports.size(), 1u);
    std::uint64_t furthest = 0, total = 0;
    for (const auto& [done, of] : progress.reports[0].steps)
        if (of > 1) furthest = std::max(furthest, done), total = of;
    EXPECT_GT(furthest, total / 2);
    EXPECT_EQ(databaseGrid->GetColumnWidth(20000), 90);
}

}  // namespace
}  // namespace tabulon::testing
