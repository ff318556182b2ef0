// Memory running out in the middle of the commands that handle a whole
// list: each allocation of a command fails in turn, once, and then again as
// a full address space fails, every later one that asks for more than the
// little left until memory is given back. The command must say so and leave
// everything as it was, whichever allocation it was, or, when its work was
// already done, be done and say nothing of it.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <new>

#include "AllocationProbe.h"
#include "AppTestSupport.h"
#include "FakeGridWindow.h"
#include "ScriptedToolDialogs.h"
#include "app/BatchMakeList.h"
#include "app/CommandTable.h"
#include "items/ColumnCommands.h"
#include "tools/AddDirectoryCommand.h"
#include "tools/DuplicatesDlg.h"
#include "tools/FindDuplicateDlg.h"

namespace tabulon::testing {
namespace {

// Records what is shown without ever failing itself: the test's own bookkeeping.
class SparedMessages : public fakes::ScriptedMessageBox {
public:
    MbResult Show(const std::string& text, const std::string& caption, MbIcon icon, MbButtons buttons) override {
        probe::CSparedAllocations spared;
        return ScriptedMessageBox::Show(text, caption, icon, buttons);
    }
};

// A session with a configuration of three items ready beside it.
struct World {
    World() {
        scratch.MakeFile("items.db", kItems);
        scratch.MakeFile("head.htm", "<html>\r\n");
        scratch.MakeFile("end.htm", "</html>\r\n");
        scratch.MakeFile("other.db", "x;1\r\ny;2\r\nz;3;4\r\n");
        for (const char* folder : {"scan/p - 1 - a", "scan/q", "scan/r;s"})
            std::filesystem::create_directories(scratch.folder / folder);
        scratch.MakeFile("list.cfg",
                         "[files]\r\ndatabase = items.db\r\noutput   = page.htm\r\nheadfile = head.htm\r\n"
                         "endfile  = end.htm\r\n[colors]\r\nheadcol  = AAAAAA\r\nindexcol = BBBBBB\r\n"
                         "firstcol = 111111\r\nsecondcol= 222222\r\n[other]\r\naddindex = 3\r\ncolumns  = Name;Size");
        // On screen, as in the window: a bulk change ends with a redraw
        // that sets the scroll bars from every row.
        for (const auto& [grid, shown] : {std::pair{&Db(), &dbWindow}, std::pair{&NewItems(), &newItemsWindow}}) {
            shown->hasDC = true;
            grid->AttachWindow(shown);
        }
    }
    ~World() {
        Db().AttachWindow(nullptr);
        NewItems().AttachWindow(nullptr);
    }
    std::string PathOf(const std::string& name) const { return scratch.PathOf(name); }
    CGridCtrl& Db() { return *session.DatabasePane().GetGrid(); }
    CGridCtrl& NewItems() { return *session.NewItemsPane().GetGrid(); }
    void Open() { ASSERT_TRUE(session.Frame().OpenConfiguration(PathOf("list.cfg"))); }
    // The texts of 'Database', its items one after the other.
    std::string Items() {
        std::string items;
        for (int r = 1; r < Db().GetRowCount(); ++r)
            for (int c = 1; c < Db().GetColumnCount(); ++c) items.append(Db().GetCellText(r, c)).append("|");
        return items;
    }
    // The 'Replace' window open on 'Database', all its columns, "b" to be
    // replaced with "B".
    fakes::ToolDialog& ReplaceWindow() {
        session.Frame().ToolWindows().OnReplace();
        fakes::ToolDialog& replace = *dialogs.Open().back();
        replace.ChooseRadio(ReplaceId::kDatabase);
        replace.ClickListEntry(ReplaceId::kColumns, 0);
        replace.SetControlText(ReplaceId::kReplaceText, "b");
        replace.SetControlText(ReplaceId::kWithText, "B");
        return replace;
    }
    // The 'Find dublicate' window open on a 'Database' whose first two items
    // agree; the pair found is answered with button.
    fakes::ToolDialog& FindWindow(ControlId button) {
        Db().SetCellText(2, 1, "b");
        Db().SetCellText(2, 2, "2");
        dialogs.scripts.push_back({fakes::PressTool(button)});
        session.Frame().ToolWindows().OnFindDuplicate();
        return *dialogs.Open().back();
    }
    bool SaidOutOfMemory() const {
        for (const auto& m : messages.shown)
            if (m.text.find("Not enough memory") != std::string::npos) return true;
        return false;
    }

    static constexpr const char* kItems = "b;2\r\na;1\r\nc;3\r\n";
    fakes::ScratchFolder scratch{"tabulon-memory"};
    const std::string cfgPath = scratch.PathOf("list.cfg");
    const std::string scanFolder = scratch.PathOf("scan") + "/";
    const AddItemsOptions addOptions;
    ClosingWindow window;
    fakes::FakeGridWindow dbWindow;
    fakes::FakeGridWindow newItemsWindow;
    SparedMessages messages;
    fakes::FakeFilePicker picker;
    fakes::ScriptedToolDialogHost dialogs;
    fakes::RecordingPublisher publisher;
    fakes::IdleHosts idle;
    CSession session{fakes::HostsFor(window, messages, picker, dialogs, idle.menus, publisher, idle)};
    fakes::ToolDialog* tool = nullptr;  // the tool window a command clicks in
};

struct Command {
    const char* name;
    std::function<void(World&)> prepare;
    std::function<void(World&)> run;
    // What must hold after the run when it ran out of memory, and when not.
    std::function<void(World&)> unchanged;
    std::function<void(World&)> done;
};

// A button of a tool window that changes 'Database': run out, it leaves the
// items as they were; else it gives items.
Command ToolButton(const char* name, std::function<void(World&)> open, ControlId button, std::string items) {
    return {name,
            [open](World& w) {
                w.Open();
                open(w);
            },
            [button](World& w) { w.dialogs.Click(*w.tool, button); },
            [](World& w) { EXPECT_EQ(w.Items(), "b|2|a|1|c|3|"); }, [items](World& w) { EXPECT_EQ(w.Items(), items); }};
}

// A pair of 'Find dublicate' answered with button: run out, the pair is as
// it was, or its change was made as a step of its own before the search
// ran out; else it gives items.
Command PairButton(const char* name, ControlId button, std::string items) {
    return {name,
            [button](World& w) {
                w.Open();
                w.tool = &w.FindWindow(button);
            },
            [](World& w) { w.dialogs.Click(*w.tool, FindDuplicateId::kFind); },
            [items, name](World& w) {
                if (w.session.Frame().UndoStack().UndoName() == name)
                    EXPECT_EQ(w.Items(), items);
                else
                    EXPECT_EQ(w.Items(), "b|2|b|2|c|3|");
            },
            [items](World& w) { EXPECT_EQ(w.Items(), items); }};
}

TEST(OutOfMemory, EveryFailedAllocationEndsTheCommandWithAMessageAndChangesNothing) {
    using C = CommandId;
    const Command commands[] = {
        {"open configuration", [](World& w) { w.picker.Answer(w.PathOf("list.cfg")); },
         [](World& w) { w.session.Frame().OnCommand(C::kOpenConfiguration); },
         [](World& w) {
             // Nothing was open before; nothing half loaded is open now.
             EXPECT_EQ(w.window.title, "Tabulon");
             EXPECT_EQ(w.Db().GetRowCount(), 1);
         },
         [](World& w) { EXPECT_EQ(w.Db().GetRowCount(), 4); }},
        {"import database",
         [](World& w) {
             w.Open();
             w.picker.Answer(w.PathOf("other.db"));
         },
         [](World& w) { w.session.Frame().OnCommand(C::kImportDatabase); },
         [](World& w) {
             EXPECT_EQ(w.NewItems().GetRowCount(), 1);
             EXPECT_EQ(w.NewItems().GetColumnCount(), 1);
         },
         [](World& w) { EXPECT_EQ(w.NewItems().GetRowCount(), 4); }},
        {"save database",
         [](World& w) {
             w.Open();
             w.Db().SetCellText(1, 1, "edited");
             w.session.DatabasePane().SetDatabaseModified(true);
         },
         [](World& w) { w.session.Frame().OnCommand(C::kSaveDatabase); },
         [](World& w) { EXPECT_EQ(w.Db().GetCellText(0, 0), "Database*"); },
         [](World& w) { EXPECT_NE(fakes::ScratchFolder::Contents(w.PathOf("items.db")), World::kItems); }},
        {"save at the close prompt",
         [](World& w) {
             w.Open();
             w.Db().SetCellText(1, 1, "edited");
             w.session.DatabasePane().SetDatabaseModified(true);
             w.messages.Answer(MbResult::Yes);
         },
         [](World& w) { w.session.Frame().OnAppExit(); },
         [](World& w) {
             EXPECT_FALSE(w.window.closed);
             EXPECT_EQ(w.Db().GetCellText(0, 0), "Database*");
         },
         [](World& w) { EXPECT_TRUE(w.window.closed); }},
        {"make list", [](World& w) { w.Open(); }, [](World& w) { w.session.Frame().OnCommand(C::kMakeList); },
         [](World& w) { EXPECT_FALSE(std::filesystem::exists(w.PathOf("page.htm"))); },
         [](World& w) { EXPECT_TRUE(std::filesystem::exists(w.PathOf("page.htm"))); }},
        {"add directory",
         [](World& w) {
             // An unchecked item the scan must leave as it is, and an empty
             // row after it that the scan fills.
             w.session.NewItemsPane().AddItemFromText("old - item", "-", 1);
             w.session.NewItemsPane().AddItemFromText("", "-", 2);
             for (int row : {1, 2}) dynamic_cast<CGridCellCheckBox*>(w.NewItems().GetCell(row, 0))->SetCheck(false);
         },
         [](World& w) {
             AddFolderItems(w.session.Frame(), w.scanFolder, w.addOptions);
             w.session.Frame().CommitStep("Add directory");  // as the menu command does after it
         },
         [](World& w) {
             EXPECT_EQ(w.NewItems().GetRowCount(), 3);
             EXPECT_EQ(w.NewItems().GetColumnCount(), 3);
             EXPECT_EQ(w.NewItems().GetCellText(1, 2), "item");
             EXPECT_EQ(w.NewItems().GetCellText(2, 1), "");
             for (int row : {1, 2})
                 EXPECT_FALSE(dynamic_cast<CGridCellCheckBox*>(w.NewItems().GetCell(row, 0))->GetCheck());
         },
         [](World& w) {
             EXPECT_EQ(w.NewItems().GetRowCount(), 5);
             EXPECT_EQ(w.NewItems().GetCellText(2, 1), "p");
             EXPECT_EQ(w.NewItems().GetCellText(4, 1), "r,s");
         }},
        {"move items",
         [](World& w) {
             w.Open();
             w.session.NewItemsPane().AddItemFromText("n;9;extra", ";", 1);
             w.session.NewItemsPane().AddItemFromText("m;8", ";", 2);
         },
         [](World& w) { w.session.Frame().OnCommand(C::kMoveItems); },
         [](World& w) {
             // Either nothing moved, or everything did and only the sort
             // that follows failed, which the message says.
             if (w.Db().GetRowCount() == 4) {
                 EXPECT_EQ(w.Db().GetColumnCount(), 3);
                 EXPECT_EQ(w.Db().GetCellText(0, 0), "Database");
             } else {
                 EXPECT_EQ(w.Db().GetRowCount(), 6);
                 EXPECT_EQ(w.Db().GetCellText(0, 0), "Database*");
                 ASSERT_FALSE(w.messages.shown.empty());
                 EXPECT_NE(w.messages.shown.back().text.find("moved but are not sorted"), std::string::npos);
             }
         },
         [](World& w) { EXPECT_EQ(w.Db().GetRowCount(), 6); }},
        {"delete all items",
         [](World& w) {
             w.Open();
             w.messages.Answer(MbResult::Yes);
             w.idle.menus.choose = static_cast<int>(MenuCommand::kDeleteAllItems);
             w.session.Frame().SetActivePane(true);
         },
         [](World& w) { w.session.Frame().OnGridContextMenu(1, 1); },
         [](World& w) { EXPECT_EQ(w.Db().GetRowCount(), 4); }, [](World& w) { EXPECT_EQ(w.Db().GetRowCount(), 1); }},
        ToolButton(
            "replace", [](World& w) { w.tool = &w.ReplaceWindow(); }, ReplaceId::kReplace, "B|2|a|1|c|3|"),
        ToolButton(
            "capitalize first letter", [](World& w) { w.tool = &w.ReplaceWindow(); }, ReplaceId::kCapitalizeFirst,
            "B|2|A|1|C|3|"),
        ToolButton(
            "capitalize words", [](World& w) { w.tool = &w.ReplaceWindow(); }, ReplaceId::kCapitalizeWords,
            "B|2|A|1|C|3|"),
        PairButton("Delete first", DuplicatesId::kDeleteFirst, "b|2|c|3|"),
        PairButton("Delete second", DuplicatesId::kDeleteSecond, "b|2|c|3|"),
        PairButton("Mix dublicates", DuplicatesId::kMixDuplicates, "b|2|c|3|"),
        {"find bar",
         [](World& w) {
             w.Open();
             w.session.Frame().SetActivePane(true);
         },
         [](World& w) {
             const SearchQuery query{"c", false, false, -1};
             EXPECT_EQ(w.session.Frame().CountFound(query, true).total == 1, !w.SaidOutOfMemory());
             w.session.Frame().FindText(query, true, false);
         },
         [](World& w) { EXPECT_EQ(w.Items(), "b|2|a|1|c|3|"); },
         [](World& w) { EXPECT_EQ(w.Db().GetFocusCell(), CellId(3, 1)); }},
        {"batch make list", [](World&) {},
         [](World& w) {
             const int status = RunBatchMakeList(w.session.Frame(), w.cfgPath);
             EXPECT_EQ(status == BatchStatus::kPageWritten, !w.SaidOutOfMemory());
         },
         [](World& w) { EXPECT_FALSE(std::filesystem::exists(w.PathOf("page.htm"))); },
         [](World& w) { EXPECT_TRUE(std::filesystem::exists(w.PathOf("page.htm"))); }},
    };
    const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
    for (const bool runOut : {false, true})
        for (const Command& command : commands) {
            SCOPED_TRACE(command.name);
            SCOPED_TRACE(runOut ? "memory stays short" : "one allocation fails");
            const int failuresBefore = result.total_part_count();
            std::size_t nth = 1;
            for (;; ++nth) {
                SCOPED_TRACE(nth);
                World world;
                command.prepare(world);
                // Done by hand before the command: a step of its own, as a command makes it.
                world.session.Frame().CommitStep(CUndoStack::kByHand);
                world.messages.shown.clear();
                if (runOut)
                    probe::RunOutAt(nth);
                else
                    probe::FailAllocation(nth);
                bool escaped = false;
                try {
                    command.run(world);
                } catch (const std::bad_alloc&) {
                    escaped = true;
                }
                const bool failed = probe::AllocationFailed();
                probe::StopFailing();
                EXPECT_FALSE(escaped) << "out of memory escaped";
                if (!failed) {
                    command.done(world);
                    break;
                }
                // Memory that ran out once the work was done (a redraw, say) is
                // no failure of the command: it is then done, and says nothing.
                if (world.SaidOutOfMemory()) {
                    EXPECT_EQ(fakes::ScratchFolder::Contents(world.PathOf("items.db")), World::kItems);
                    EXPECT_FALSE(std::filesystem::exists(world.PathOf("items.db.bak")));
                    command.unchanged(world);
                } else {
                    command.done(world);
                }
                if (result.total_part_count() > failuresBefore) {
                    for (const auto& m : world.messages.shown) ADD_FAILURE() << "shown: " << m.text;
                    break;  // one failing allocation tells enough
                }
            }
            EXPECT_GT(nth, 2u);  // the command did allocate, so failures were tried
        }
}

// Runs command in a child process, which alone may take no more than moreMb
// of address space beyond what it holds now, as `prlimit --as` limits it;
// the child's exit status, or -1 when a signal ended it.
[[maybe_unused]] int ExitStatusUnderLimit(long long moreMb, const std::function<int()>& command) {
    const pid_t child = ::fork();
    if (child == 0) {
        long long sizeKb = 0;
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0) sizeKb = std::stoll(line.substr(7));
        const rlimit limit{static_cast<rlim_t>((sizeKb << 10) + (moreMb << 20)), RLIM_INFINITY};
        if (sizeKb == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(3);
        ::_exit(command());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// A list too big for the room left: each limit gives 1 when the command ran
// out of memory and said so, leaving everything as it was, 0 when it did its
// work, anything else when it did neither.
[[maybe_unused]] void ExpectEachLimitEndsWithTheMessageOrTheWork(const std::function<int()>& command) {
    int ranOut = 0;
    for (const long long moreMb : {8, 16, 32, 48, 64, 96, 128, 256}) {
        SCOPED_TRACE(moreMb);
        const int status = ExitStatusUnderLimit(moreMb, command);
        ASSERT_GE(status, 0) << "ended by a signal";
        EXPECT_LE(status, 1);
        if (status == 1) ++ranOut;
    }
    EXPECT_GT(ranOut, 0);  // the smallest limits were too small
}

[[maybe_unused]] std::string BigList(int items) {
    std::string list;
    for (int i = 0; i < items; ++i) list += "Item number " + std::to_string(i) + ";" + std::to_string(i) + "\r\n";
    return list;
}

// Importing a list too big for the address space leaves 'New items' as it
// was and an unsaved edit of 'Database' still there, and the program goes on;
// with room enough every item comes in.
TEST(OutOfMemory, AnImportTooBigForTheAddressSpaceChangesNothingAndTheProgramGoesOn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any such limit leaves";
#else
    World world;
    world.Open();
    world.scratch.MakeFile("big.db", BigList(400000));
    world.Db().SetCellText(1, 1, "edited");
    world.session.DatabasePane().SetDatabaseModified(true);
    world.picker.Answer(world.PathOf("big.db"));
    ExpectEachLimitEndsWithTheMessageOrTheWork([&world] {
        world.session.Frame().OnCommand(CommandId::kImportDatabase);
        const bool said = world.SaidOutOfMemory();
        const int rows = world.NewItems().GetRowCount();
        const bool edit = world.Db().GetCellText(1, 1) == "edited" && world.Db().GetCellText(0, 0) == "Database*";
        return !edit ? 4 : said && rows == 1 ? 1 : !said && rows == 400001 ? 0 : 5;
    });
#endif
}

// The same for a button of a tool window, which the window's host calls
// directly: Replace over a list too big to change whole.
TEST(OutOfMemory, AReplaceTooBigForTheAddressSpaceChangesNothingAndTheProgramGoesOn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any such limit leaves";
#else
    World world;
    world.scratch.MakeFile("items.db", BigList(300000));
    world.Open();
    fakes::ToolDialog& replace = world.ReplaceWindow();
    replace.SetControlText(ReplaceId::kReplaceText, "number");
    replace.SetControlText(ReplaceId::kWithText, "Number and more");
    ExpectEachLimitEndsWithTheMessageOrTheWork([&world, &replace] {
        world.dialogs.Click(replace, ReplaceId::kReplace);
        const bool said = world.SaidOutOfMemory();
        const std::string first(world.Db().GetCellText(1, 1));
        const std::string last(world.Db().GetCellText(300000, 1));
        if (said) return first == "Item number 0" && last == "Item number 299999" ? 1 : 4;
        return first == "Item Number and more 0" && last == "Item Number and more 299999" ? 0 : 5;
    });
#endif
}

}  // namespace
}  // namespace tabulon::testing
