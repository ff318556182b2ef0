// The two tool windows as windows: each exists once, opens beside the main
// window, comes to the front on its next command, goes when closed, and
// follows the columns of the grid it describes.

#include "ToolTestSupport.h"

namespace tabulon::testing {
namespace {

namespace Find = FindDuplicateId;
namespace Rep = ReplaceId;

using ToolWindows = ToolFixture;

TEST_F(ToolWindows, EachOpensOnceBesideTheMainWindow) {
    struct Case {
        void (CToolWindows::*command)();
        const char* caption;
        Point topLeft;  // left of the main window's right edge, below its top
    };
    const Case cases[] = {
        {&CToolWindows::OnFindDuplicate, "Find dublicate", {1000 - 153, 100 + 60}},
        {&CToolWindows::OnReplace, "Replace", {1000 - 123, 100 + 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        const std::size_t before = dialogs.modeless.size();
        (tools.*c.command)();
        (tools.*c.command)();
        ASSERT_EQ(dialogs.modeless.size(), before + 1);
        fakes::ToolDialog& window = *dialogs.modeless.back();
        EXPECT_EQ(window.dialogTemplate.caption, c.caption);
        EXPECT_FALSE(window.dialogTemplate.hasCloseBox);
        EXPECT_EQ(window.broughtToFront, 1);
        EXPECT_EQ(window.rect.left, c.topLeft.x);
        EXPECT_EQ(window.rect.top, c.topLeft.y);
        EXPECT_EQ(window.rect.Width(), 100);  // its size kept
    }
}

TEST_F(ToolWindows, BothOpenBelowTheMainWindowsBarsSoTheFindBarStaysInView) {
    barsBottom = 100 + 95;
    for (void (CToolWindows::*command)() : {&CToolWindows::OnFindDuplicate, &CToolWindows::OnReplace}) {
        (tools.*command)();
        EXPECT_EQ(dialogs.modeless.back()->rect.top, barsBottom);
    }
}

TEST_F(ToolWindows, CloseClearsTheWindowAndTheNextCommandOpensAFreshOne) {
    fakes::ToolDialog& find = OpenFindDuplicate();
    fakes::ToolDialog& replace = OpenReplace();
    dialogs.Click(find, Find::kClose);
    EXPECT_EQ(tools.FindDuplicateDlg(), nullptr);
    ASSERT_NE(tools.ReplaceDlg(), nullptr);
    replace.SetControlText(Rep::kReplaceText, "typed");
    dialogs.Click(replace, DialogId::kCancel);  // Escape
    EXPECT_EQ(tools.ReplaceDlg(), nullptr);

    fakes::ToolDialog& again = OpenReplace();
    EXPECT_EQ(dialogs.modeless.size(), 3u);
    EXPECT_EQ(again.GetControlText(Rep::kReplaceText), "");  // the typed text went with the old window
    EXPECT_TRUE(again.GetCheck(Rep::kNewItems));
}

TEST_F(ToolWindows, FindWindowListsColumnCountsWithCaseSensitivityFixed) {
    FillDatabase({"Artist", "Title"}, {});
    fakes::ToolDialog& window = OpenFindDuplicate();
    EXPECT_EQ(window.lists[Find::kColumns], (Strings{"All", "1", "2"}));
    EXPECT_EQ(window.GetListSelection(Find::kColumns), 0);
    EXPECT_TRUE(window.GetCheck(Find::kCaseSensitive));
    EXPECT_FALSE(window.IsControlEnabled(Find::kCaseSensitive));
}

TEST_F(ToolWindows, OpenWindowsFollowTheColumnsOfTheGridTheyDescribe) {
    FillDatabase({"Artist", "Title"}, {});
    Fill(newItems, {"Col 1", "Col 2"}, {});
    fakes::ToolDialog& find = OpenFindDuplicate();
    fakes::ToolDialog& replace = OpenReplace();

    // A configuration closed: 'Database' cleared to its number column.
    database.SetColumnCount(1);
    tools.OnDatabaseColumnsChanged();
    EXPECT_TRUE(find.lists[Find::kColumns].empty());
    EXPECT_EQ(replace.lists[Rep::kColumns], (Strings{"All", "Col 1", "Col 2"}));  // describes 'New items'

    // Another opened, with one column.
    FillDatabase({"Name"}, {{"x"}});
    tools.OnDatabaseColumnsChanged();
    EXPECT_EQ(find.lists[Find::kColumns], (Strings{"All", "1"}));
    replace.ChooseRadio(Rep::kDatabase);
    EXPECT_EQ(replace.lists[Rep::kColumns], (Strings{"Name"}));
    FillDatabase({"Name", "Year"}, {});
    tools.OnNewItemsColumnsChanged();
    EXPECT_EQ(replace.lists[Rep::kColumns], (Strings{"Name"}));  // not its target
    tools.OnDatabaseColumnsChanged();
    EXPECT_EQ(replace.lists[Rep::kColumns], (Strings{"All", "Name", "Year"}));
}

TEST_F(ToolWindows, OpenWindowsGoWithTheirOwner) {
    fakes::ScriptedToolDialogHost host;
    std::vector<fakes::ToolDialog*> shown;
    {
        CToolWindows owner(*this, messages, host, progress);
        owner.OnFindDuplicate();
        owner.OnReplace();
        for (auto& w : host.modeless) shown.push_back(w.get());
    }
    ASSERT_EQ(shown.size(), 2u);
    for (fakes::ToolDialog* w : shown) EXPECT_TRUE(w->destroyed);
    host.Pump();  // nothing is reported to logic that is gone
    for (fakes::ToolDialog* w : shown) EXPECT_FALSE(w->closedReported);
}

}  // namespace
}  // namespace tabulon::testing
