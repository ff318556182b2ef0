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
#include "app/BatchMakeList.h"
#include "app/CommandTable.h"
#include "items/ColumnCommands.h"
#include "tools/AddDirectoryCommand.h"

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
    fakes::ScriptedDialogHost dialogs;
    fakes::RecordingPublisher publisher;
    fakes::IdleHosts idle;
    CSession session{fakes::HostsFor(window, messages, picker, dialogs, idle.menus, publisher, idle)};
};

struct Command {
    const char* name;
    std::function<void(World&)> prepare;
    std::function<void(World&)> run;
    // What must hold after the run when it ran out of memory, and when not.
    std::function<void(World&)> unchanged;
    std::function<void(World&)> done;
};

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
            EXPECT_GT(nth, 10u);  // the command did allocate, so failures were tried
        }
}

// The same under real limits on the address space, as `prlimit --as` sets
// them: importing a list too big for one ends with the message, 'New items'
// as it was and an unsaved edit of 'Database' still there, and the program
// goes on; with room enough every item comes in. Each limit is tried in a
// child process, which alone gets it.
TEST(OutOfMemory, AnImportTooBigForTheAddressSpaceChangesNothingAndTheProgramGoesOn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any such limit leaves";
#else
    World world;
    world.Open();
    std::string items;
    for (int i = 0; i < 400000; ++i) items += "Item number " + std::to_string(i) + ";" + std::to_string(i) + "\r\n";
    world.scratch.MakeFile("big.db", items);
    items = std::string();
    world.Db().SetCellText(1, 1, "edited");
    world.session.DatabasePane().SetDatabaseModified(true);
    int ranOut = 0;
    for (const long long moreMb : {8, 16, 32, 48, 64, 96, 128, 256}) {
        SCOPED_TRACE(moreMb);
        world.picker.Answer(world.PathOf("big.db"));
        const pid_t child = ::fork();
        if (child == 0) {
            long long sizeKb = 0;
            std::ifstream status("/proc/self/status");
            for (std::string line; std::getline(status, line);)
                if (line.rfind("VmSize:", 0) == 0) sizeKb = std::stoll(line.substr(7));
            const rlimit limit{static_cast<rlim_t>((sizeKb << 10) + (moreMb << 20)), RLIM_INFINITY};
            if (sizeKb == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(3);
            world.session.Frame().OnCommand(CommandId::kImportDatabase);
            const bool said = world.SaidOutOfMemory();
            const int rows = world.NewItems().GetRowCount();
            const bool edit = world.Db().GetCellText(1, 1) == "edited" && world.Db().GetCellText(0, 0) == "Database*";
            ::_exit(!edit ? 4 : said && rows == 1 ? 1 : !said && rows == 400001 ? 0 : 5);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_LE(WEXITSTATUS(status), 1);
        if (WEXITSTATUS(status) == 1) ++ranOut;
    }
    EXPECT_GT(ranOut, 0);  // the smallest limits were too small
#endif
}

}  // namespace
}  // namespace tabulon::testing
