// Memory running out in the middle of the commands that handle a whole
// list: each allocation of a command fails in turn, once. The command must
// say so and leave everything as it was, whichever allocation it was.

#include <filesystem>
#include <functional>
#include <new>

#include "AllocationProbe.h"
#include "AppTestSupport.h"
#include "app/BatchMakeList.h"
#include "app/CommandTable.h"

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
        scratch.MakeFile("list.cfg",
                         "[files]\r\ndatabase = items.db\r\noutput   = page.htm\r\nheadfile = head.htm\r\n"
                         "endfile  = end.htm\r\n[colors]\r\nheadcol  = AAAAAA\r\nindexcol = BBBBBB\r\n"
                         "firstcol = 111111\r\nsecondcol= 222222\r\n[other]\r\naddindex = 3\r\ncolumns  = Name;Size");
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
    ClosingWindow window;
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
    namespace C = CommandId;
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
        {"batch make list", [](World&) {},
         [](World& w) {
             const int status = RunBatchMakeList(w.session.Frame(), w.cfgPath);
             EXPECT_EQ(status == BatchStatus::kPageWritten, !probe::AllocationFailed());
         },
         [](World& w) { EXPECT_FALSE(std::filesystem::exists(w.PathOf("page.htm"))); },
         [](World& w) { EXPECT_TRUE(std::filesystem::exists(w.PathOf("page.htm"))); }},
    };
    const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
    for (const Command& command : commands) {
        SCOPED_TRACE(command.name);
        const int failuresBefore = result.total_part_count();
        std::size_t nth = 1;
        for (;; ++nth) {
            SCOPED_TRACE(nth);
            World world;
            command.prepare(world);
            world.messages.shown.clear();
            probe::FailAllocation(nth);
            try {
                command.run(world);
            } catch (const std::bad_alloc&) {
                ADD_FAILURE() << "out of memory escaped";
            }
            const bool failed = probe::AllocationFailed();
            probe::StopFailing();
            if (!failed) {
                command.done(world);
                break;
            }
            EXPECT_TRUE(world.SaidOutOfMemory());
            EXPECT_EQ(fakes::ScratchFolder::Contents(world.PathOf("items.db")), World::kItems);
            EXPECT_FALSE(std::filesystem::exists(world.PathOf("items.db.bak")));
            command.unchanged(world);
            if (result.total_part_count() > failuresBefore) {
                for (const auto& m : world.messages.shown) ADD_FAILURE() << "shown: " << m.text;
                break;  // one failing allocation tells enough
            }
        }
        EXPECT_GT(nth, 10u);  // the command did allocate, so failures were tried
    }
}

}  // namespace
}  // namespace tabulon::testing
