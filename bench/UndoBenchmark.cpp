// Undo and redo of big steps on a generated list of SIZE items (1,000,000 by
// default), in this process with the scripted hosts: Delete all items in
// 'Database', 'Replace' of "e" in all its columns, and Move items of every
// item imported into 'New items'. For
// each: the command, undo and redo in seconds, and what the process holds
// (VmRSS) and its peak (VmHWM) beside what it held with the list loaded; and
// Move items once more with nothing recorded, as a peer.
//   bench_undo [SIZE]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "BenchLists.h"
#include "HeadlessSession.h"
#include "ScriptedToolDialogs.h"
#include "grid/CellPool.h"
#include "items/ColumnCommands.h"
#include "posix/LargePageBlocks.h"
#include "tools/ReplaceDlg.h"

#include <unistd.h>

namespace fs = std::filesystem;
using namespace tabulon;
using bench::Seconds;
using bench::StatusKilobytes;

namespace {

// The peak counts from here on.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void Report(const char* name, long listKb, double command, double undo, double redo) {
    std::printf("%-18s command %6.2f s  undo %6.2f s  redo %6.2f s  held %5ld MB  peak %5ld MB  (list %ld MB)\n", name,
                command, undo, redo, StatusKilobytes("VmRSS:") / 1024, StatusKilobytes("VmHWM:") / 1024, listKb / 1024);
}

// The headless session, with tool windows that take clicks.
using Session = fakes::HeadlessSessionWith<fakes::ScriptedToolDialogHost>;

}  // namespace

int main(int argc, char** argv) {
    // Cells in memory as the program keeps them.
    cellpool::SetBlockSource(&posix::AllocateLargePageBlock);
    const std::size_t size = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    const fs::path root = fs::temp_directory_path() / ("tabulon-bench-undo-" + std::to_string(::getpid()));
    const fs::path list = bench::PrepareList(root, size);

    Session s;
    CMainFrame& frame = s.session.Frame();
    if (!frame.OpenConfiguration((list / "list.cfg").string())) return 1;
    const long loadedKb = StatusKilobytes("VmRSS:");
    std::printf("%zu items\n", size);

    // Delete all items in 'Database'.
    ResetPeak();
    s.messages.Answer(MbResult::Yes);
    s.idle.menus.choose = static_cast<int>(MenuCommand::kDeleteAllItems);
    frame.SetActivePane(true);
    const double deleted = Seconds([&] { frame.OnGridContextMenu(1, 1); });
    const double undone = Seconds([&] { frame.OnCommand(CommandId::kUndo); });
    const double redone = Seconds([&] { frame.OnCommand(CommandId::kRedo); });
    Report("Delete all items", loadedKb, deleted, undone, redone);
    frame.OnCommand(CommandId::kUndo);

    // 'Replace' "e" with "E" in all columns of 'Database'.
    CGridCtrl& database = *frame.GetDatabaseGrid();
    std::size_t holding = 0;
    for (int r = 1; r < database.GetRowCount(); ++r)
        for (int c = 1; c < database.GetColumnCount(); ++c)
            holding += database.GetCellText(r, c).find('e') != std::string::npos;
    std::printf("Replace changes %zu cells\n", holding);
    frame.OnCommand(CommandId::kReplace);
    fakes::ToolDialog& replace = *s.dialogs.modeless.back();
    replace.ChooseRadio(ReplaceId::kDatabase);
    replace.SetControlText(ReplaceId::kReplaceText, "e");
    replace.SetControlText(ReplaceId::kWithText, "E");
    ResetPeak();
    const double replaced = Seconds([&] { s.dialogs.Click(replace, ReplaceId::kReplace); });
    const double replaceUndone = Seconds([&] { frame.OnCommand(CommandId::kUndo); });
    const double replaceRedone = Seconds([&] { frame.OnCommand(CommandId::kRedo); });
    Report("Replace", loadedKb, replaced, replaceUndone, replaceRedone);
    frame.OnCommand(CommandId::kUndo);

    // Move items: every item of the list imported into 'New items', then moved.
    s.picker.Answer((list / "items.db").string());
    frame.OnCommand(CommandId::kImportDatabase);
    const long bothKb = StatusKilobytes("VmRSS:");
    // Once before, forgotten, so that the runs measured, recorded or not,
    // alike find the cells' memory in use.
    frame.OnCommand(CommandId::kMoveItems);
    frame.OnCommand(CommandId::kUndo);
    frame.SuspendSteps();
    frame.ResumeSteps();
    ResetPeak();
    const double moved = Seconds([&] { frame.OnCommand(CommandId::kMoveItems); });
    const double moveUndone = Seconds([&] { frame.OnCommand(CommandId::kUndo); });
    const double moveRedone = Seconds([&] { frame.OnCommand(CommandId::kRedo); });
    Report("Move items", bothKb, moved, moveUndone, moveRedone);

    // The same move with nothing recorded, as before there was undo.
    frame.OnCommand(CommandId::kUndo);
    frame.SuspendSteps();
    const double unrecorded = Seconds([&] { frame.OnCommand(CommandId::kMoveItems); });
    std::printf("%-18s command %6.2f s with nothing recorded\n", "Move items", unrecorded);
    frame.ResumeSteps();

    fs::remove_all(root);
    return 0;
}
