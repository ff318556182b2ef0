// Tabulon's entry point.
//   tabulon --make-list CONFIG.cfg   make the list without a window
//   tabulon [CONFIG.cfg]             the desktop program; its main window is
//                                    not built yet, so for now this shows
//                                    what the configuration holds

#include <cstdio>
#include <string>
#include <vector>

#include "app/BatchMakeList.h"
#include "app/MainFrame.h"
#include "batch/BatchHost.h"
#include "config/ConfigFile.h"
#include "grid/CellPool.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"
#include "posix/LargePageBlocks.h"

namespace {

using namespace tabulon;

void PrintUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: tabulon [CONFIG.cfg]\n"
                 "       tabulon --make-list CONFIG.cfg\n"
                 "       tabulon --help | --version\n");
}

void PrintHelp() {
    PrintUsage(stdout);
    std::printf(
        "\n"
        "Tabulon keeps a flat database of items and publishes it as an HTML table page.\n"
        "\n"
        "  --make-list CONFIG.cfg  read the configuration, check it, load its database,\n"
        "                          write the page (and upload it when the configuration\n"
        "                          asks); nothing else is saved and no viewer is opened.\n"
        "                          Exit status: 0 page written, 1 a check failed or a file\n"
        "                          could not be read or written, 2 wrong command line.\n"
        "  --help                  this text\n"
        "  --version               the version\n");
}

// The parts of the program that run without a window.
struct Session {
    batch::CStderrMessageBox messages;
    batch::CBatchWindow window;
    batch::CCancellingPicker picker;
    batch::CBatchPublisher publisher{messages};
    CMainFrame frame{window, messages};
    CTabulonWnd1 newItems{frame};
    CTabulonWnd2 database{frame};

    Session() {
        newItems.OnInitialUpdate();
        database.OnInitialUpdate();
        frame.SetPanes(&newItems, &database);
        frame.SetFilePicker(&picker);
        frame.SetListPublisher(&publisher);
    }
};

int MakeListInBatch(const std::string& cfgPath) {
    // Kept to the end of the process on purpose: the program exits right
    // after, and freeing a large list cell by cell would only delay that.
    static Session* const session = new Session;
    const int status = RunBatchMakeList(session->frame, cfgPath);
    if (status == BatchStatus::kPageWritten && session->publisher.Failed()) return BatchStatus::kFailed;
    return status;
}

int ShowConfiguration(const std::string& cfgPath) {
    std::puts("Tabulon " TABULON_VERSION);
    std::puts("The main window is not built yet; use --make-list to make the list.");
    if (cfgPath.empty()) return 0;
    Session session;
    if (!OpenConfigurationFile(session.frame, cfgPath)) return BatchStatus::kFailed;
    const CListConfig& config = session.frame.Config();
    const CGridCtrl& grid = *session.database.GetGrid();
    std::printf("\nConfiguration %s\n", config.cfgfile.c_str());
    std::printf("  database  %s\n  output    %s\n  headfile  %s\n  endfile   %s\n", config.database.c_str(),
                config.output.c_str(), config.headfile.c_str(), config.endfile.c_str());
    std::printf("  colours   head %s, index %s, rows %s / %s\n", config.headcol.c_str(),
                config.indexcol.c_str(), config.firstcol.c_str(), config.secondcol.c_str());
    std::printf("  columns  ");
    for (int c = 1; c < grid.GetColumnCount(); ++c) std::printf(" [%s]", grid.GetCellText(0, c).c_str());
    std::printf("\n");
    const bool valid = ValidateConfig(session.frame);
    std::printf("  ready for Make list: %s\n", valid ? "yes" : "no (see the message above)");
    if (valid) std::printf("\nMake the list with:  tabulon --make-list %s\n", cfgPath.c_str());
    return valid ? 0 : BatchStatus::kFailed;
}

}  // namespace

int main(int argc, char** argv) {
    cellpool::SetBlockSource(&posix::AllocateLargePageBlock);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        PrintHelp();
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("tabulon %s\n", TABULON_VERSION);
        return 0;
    }
    if (!args.empty() && args[0] == "--make-list") {
        if (args.size() != 2 || args[1].empty()) {
            PrintUsage(stderr);
            return BatchStatus::kUsage;
        }
        return MakeListInBatch(args[1]);
    }
    if (args.size() > 1 || (args.size() == 1 && args[0].starts_with("-"))) {
        PrintUsage(stderr);
        return BatchStatus::kUsage;
    }
    return ShowConfiguration(args.empty() ? std::string() : args[0]);
}
