// A folder's entries as 'New items' rows: which entries, their texts and
// sizes, where they go, and what a long walk may and may not do.

#include <gtest/gtest.h>

#include "RecordingProgress.h"
#include "ToolsTestSupport.h"
#include "Unprivileged.h"
#include "tools/DirectoryItems.h"

namespace tabulon::testing {
namespace {

using Scan = NewItemsFixture;

AddItemsOptions FilesOnly() {
    AddItemsOptions options;
    options.m_bFiles = 1;
    options.m_bDirectories = 0;
    return options;
}

TEST_F(Scan, DefaultsAddOnlyVisibleFoldersInNameOrderAndFitTheColumns) {
    MakeFile("a.txt");
    MakeFile("b.txt");
    MakeFolder("Sub");
    MakeFolder("alpha");
    MakeFolder("Zeta - A rather long folder name");
    MakeFolder(".hidden");
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), AddItemsOptions{}, nullptr));
    EXPECT_EQ(Rows(), (Strings{"alpha|", "Sub|", "Zeta|A rather long folder name"}));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(grid->GetColumnWidth(0), 60);
    EXPECT_EQ(grid->GetColumnWidth(1), 90);
    EXPECT_GT(grid->GetColumnWidth(2), 26 * 7);
}

TEST_F(Scan, FileNamesSplitAtDashesWithOrWithoutExtension) {
    MakeFile("Artist - Title.mp3");
    MakeFile("a-b-c-d.txt");
    MakeFile("  padded.txt");
    AddItemsOptions options = FilesOnly();
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), options, nullptr));
    EXPECT_EQ(Rows(), (Strings{"padded|||", "a|b|c|d", "Artist|Title||"}));
    EXPECT_EQ(grid->GetCellText(0, 4), "Col 4");

    grid->DeleteNonFixedRows();
    options.m_bExtension = 1;
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), options, nullptr));
    EXPECT_EQ(Rows(), (Strings{"padded.txt|||", "a|b|c|d.txt", "Artist|Title.mp3||"}));
}

TEST_F(Scan, SizesInEachUnitWithTheUnitText) {
    MakeFile("x.dat", 4194304);
    MakeFile("empty.dat", 0);
    struct Case {
        int unit;
        int addUnit;
        std::string unitText;
        Strings rows;
    };
    const Case cases[] = {
        {0, 1, "Mb", {"empty|0 Mb", "x|4 Mb"}},
        {1, 0, "kb", {"empty|0", "x|4 194"}},
        {2, 1, "bytes", {"empty|0 bytes", "x|4 194 304 bytes"}},
    };
    for (const Case& c : cases) {
        grid->DeleteNonFixedRows();
        AddItemsOptions options = FilesOnly();
        options.m_bFileSize = 1;
        options.m_nFileUnit = c.unit;
        options.m_bFileAddUnit = c.addUnit;
        options.m_strFileUnit = c.unitText;
        ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), options, nullptr));
        EXPECT_EQ(Rows(), c.rows) << "unit " << c.unit;
    }
}

TEST_F(Scan, FolderSizesCountHiddenFilesAndNeverFollowLinks) {
    MakeFolder("Album/.covers");
    MakeFolder("Album/CD1");
    MakeFile("Album/CD1/01.mp3", 1000);
    MakeFile("Album/.covers/front.jpg", 234);
    MakeFile("Album/.hidden", 1);
    // A link back up and a link to a file: neither counts, nothing loops.
    fs::create_directory_symlink("..", scratch.folder / "Album/CD1/up");
    fs::create_symlink(scratch.folder / "Album/CD1/01.mp3", scratch.folder / "Album/again.mp3");
    EXPECT_EQ(DirectorySize(scratch.PathOf("Album")), 1235u);
    EXPECT_EQ(DirectorySize(scratch.PathOf("missing")), 0u);

    AddItemsOptions options;
    options.m_bDirSize = 1;
    options.m_nDirUnit = 2;
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), options, nullptr));
    EXPECT_EQ(Rows(), (Strings{"Album|1 235"}));
}

TEST_F(Scan, AThreeGigabyteFileHasItsTrueSize) {
    MakeFolder("Disc");
    MakeFile("Disc/image.iso", 3221225472u);  // sparse: takes no room
    MakeFile("image.iso", 3221225472u);
    EXPECT_EQ(DirectorySize(scratch.PathOf("Disc")), 3221225472u);
    AddItemsOptions options;
    options.m_bFiles = 1;
    options.m_bFileSize = 1;
    options.m_nFileUnit = 1;
    options.m_bDirSize = 1;
    options.m_nDirUnit = 0;
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), options, nullptr));
    EXPECT_EQ(Rows(), (Strings{"Disc|3 221", "image|3 221 225"}));
}

TEST_F(Scan, UnreadableFoldersAreToldAndTheSizesTheyLeaveOutMarked) {
    MakeFolder("Top/Locked/Deeper");
    MakeFolder("Top/Open");
    MakeFile("Top/Locked/secret", 500);
    MakeFile("Top/Open/song", 7);
    fs::permissions(scratch.folder / "Top/Locked", fs::perms::none);
    const std::string top = scratch.PathOf("Top");
    // As somebody whom the mode stops: the sizes, the rows and what is said.
    const std::optional<std::string> seen = fakes::RunUnprivileged([&] {
        AddItemsOptions options;
        options.m_bDirSize = 1;
        ScanNotes notes;
        AddDirectoryItems(newItems, top + "/", options, nullptr, StandardFolderReader(), &notes);
        std::string said = std::to_string(DirectorySize(top)) + "\n";
        for (const std::string& row : Rows()) said += row + "\n";
        AddDirectoryItems(newItems, top + "/Locked/", options, nullptr, StandardFolderReader(), &notes);
        return said + ScanNotesText(notes);
    });
    fs::permissions(scratch.folder / "Top/Locked", fs::perms::owner_all);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(*seen,
              "7\nLocked|>= 0\nOpen|7\n2 folders could not be read: what is in them is missing, and a size "
              "that leaves something out reads \">=\". The first:\n" +
                  top + "/Locked");
}

TEST_F(Scan, NewRowsGoAfterTheLastItemAndNeverChangeOne) {
    // An item with an empty first cell, a ticked empty row and an unticked
    // one between items all stay; only the empty rows at the end are used.
    for (const char* text : {"-a", "b", "c - d", "   ", "", "e", "", ""})
        newItems.AddItemFromText(text, "-", grid->GetRowCount());
    for (int row : {5, 6, 7, 8}) dynamic_cast<CGridCellCheckBox*>(grid->GetCell(row, 0))->SetCheck(false);
    EXPECT_EQ(FirstFreeRow(*grid), 6);
    MakeFolder("p");
    MakeFolder("q");
    MakeFolder("r");
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), AddItemsOptions{}, nullptr));
    EXPECT_EQ(Rows(), (Strings{"|a", "b|", "c|d", "   |", "|", "e|", "p|", "q|", "r|"}));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true, true, false, false, true, true, true}));
}

TEST_F(Scan, NamesKeepTheirBytes) {
    const std::string latin1 = "Caf\xe9 - Cr\xe8me";  // not UTF-8
    MakeFolder(latin1);
    MakeFolder("\xc3\x89t\xc3\xa9");
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), AddItemsOptions{}, nullptr));
    EXPECT_EQ(Rows(), (Strings{"Caf\xe9|Cr\xe8me", "\xc3\x89t\xc3\xa9|"}));
}

TEST_F(Scan, AMissingFolderAddsNothing) {
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder() + "gone/", AddItemsOptions{}, nullptr));
    EXPECT_EQ(grid->GetRowCount(), 1);
}

TEST_F(Scan, LongWalkReportsTheFolderMeasuredAndCancelAddsNothing) {
    for (const char* name : {"First", "Second"}) {
        MakeFolder(std::string(name) + "/deep");
        MakeFile(std::string(name) + "/deep/file", 10);
    }
    newItems.AddItemFromText("before", "-", 1);
    AddItemsOptions options;
    options.m_bDirSize = 1;
    fakes::RecordingProgressHost progress;
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), options, &progress));
    ASSERT_EQ(progress.reports.size(), 1u);
    EXPECT_TRUE(progress.reports[0].cancellable);
    EXPECT_TRUE(progress.reports[0].ended);
    EXPECT_EQ(progress.reports[0].texts, (Strings{Folder(), scratch.PathOf("First"), scratch.PathOf("Second")}));
    EXPECT_EQ(Rows(), (Strings{"before|", "First|10", "Second|10"}));

    const std::size_t steps = progress.reports[0].steps.size();
    grid->DeleteNonFixedRows();
    newItems.AddItemFromText("before", "-", 1);
    for (long at : {0L, static_cast<long>(steps) - 1}) {
        progress.cancelAtStep = at;
        EXPECT_FALSE(AddDirectoryItems(newItems, Folder(), options, &progress)) << "cancelled at step " << at;
        EXPECT_EQ(Rows(), (Strings{"before|"}));
    }
}

}  // namespace
}  // namespace tabulon::testing
