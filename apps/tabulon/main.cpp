// Tabulon's entry point.
//   tabulon --make-list CONFIG.cfg   make the list without a window
//   tabulon --export-csv CONFIG.cfg FILE.csv   the items as CSV
//   tabulon [--] [CONFIG.cfg]        the desktop program, on that
//                                    configuration when one is given
//   tabulon -h | --help | -v | --version

#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Allocation.h"
#include "WindowEntry.h"
#include "app/BatchMakeList.h"
#include "app/Session.h"
#include "base/ProgramName.h"
#include "base/TextFile.h"
#include "batch/BatchHost.h"
#include "posix/LargePageBlocks.h"
#include "posix/LoadedFtpSession.h"
#include "posix/Modules.h"
#include "posix/PosixFolderNamespace.h"
#include "posix/XdgShell.h"

namespace {

using namespace tabulon;

void PrintHelp() {
    std::printf(
        "usage: tabulon [CONFIG.cfg]\n"
        "       tabulon --make-list CONFIG.cfg\n"
        "       tabulon --export-csv CONFIG.cfg FILE.csv\n"
        "       tabulon --help | --version\n"
        "\n"
        "Tabulon keeps a flat database of items and publishes it as an HTML table page.\n"
        "\n"
        "  CONFIG.cfg              start the window on this configuration\n"
        "  --make-list CONFIG.cfg  read the configuration, check it, load its database,\n"
        "                          write the page (and upload it when the configuration\n"
        "                          asks); nothing else is saved and no viewer is opened.\n"
        "                          Exit status: 0 page written (and uploaded when asked),\n"
        "                          1 a check failed, a file could not be read or written\n"
        "                          or the upload failed, 2 wrong command line.\n"
        "  --make-list=CONFIG.cfg  the same\n"
        "  --export-csv CONFIG.cfg FILE.csv\n"
        "                          write the configuration's items to FILE.csv as\n"
        "                          comma-separated values (UTF-8, the column names\n"
        "                          first); exit status as for --make-list\n"
        "  --export-csv=CONFIG.cfg FILE.csv  the same\n"
        "  --                      ends the options: a CONFIG.cfg after it may begin with -\n"
        "  -h, --help              this text\n"
        "  -v, --version           the version\n");
}

// The command line as getopt_long reads one: options and the configuration
// in any order, an option's argument as the next word or after "=", "--"
// ends the options, and help or version asked for wins over what follows.
struct CommandLine {
    enum class Action { kWindow, kMakeList, kExportCsv, kHelp, kVersion } action = Action::kWindow;
    std::string cfgPath;
    std::string csvPath;
    std::string mistake;  // what is wrong with the line, for the user; empty when nothing is
};

CommandLine ReadCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    const auto wrong = [&line](std::string mistake) {
        line.mistake = std::move(mistake);
        return line;
    };
    // The configuration of --make-list or --export-csv.
    std::optional<std::string> makeList;
    bool exportCsv = false;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        if (name == "-h" || name == "--help" || name == "-v" || name == "--version") {
            if (equals != std::string::npos) return wrong("option '" + name + "' doesn't allow an argument");
            line.action = name == "-h" || name == "--help" ? CommandLine::Action::kHelp : CommandLine::Action::kVersion;
            return line;
        }
        if (name != "--make-list" && name != "--export-csv") return wrong("unrecognized option '" + arg + "'");
        if (makeList && exportCsv != (name == "--export-csv"))
            return wrong("options '--make-list' and '--export-csv' cannot go together: one at a time");
        if (makeList) return wrong("option '" + name + "' given more than once: one list at a time");
        makeList = equals != std::string::npos ? arg.substr(equals + 1) : i + 1 < args.size() ? args[++i] : "";
        if (makeList->empty()) return wrong("option '" + name + "' requires an argument");
        exportCsv = name == "--export-csv";
    }
    if (exportCsv) {
        if (operands.empty()) return wrong("option '--export-csv' requires the CSV file after the configuration");
        if (operands.size() > 1) return wrong("extra operand '" + operands[1] + "'");
        line.action = CommandLine::Action::kExportCsv;
        line.cfgPath = *makeList;
        line.csvPath = operands.front();
        return line;
    }
    const std::size_t allowed = makeList ? 0 : 1;
    if (operands.size() > allowed) return wrong("extra operand '" + operands[allowed] + "'");
    if (makeList) {
        line.action = CommandLine::Action::kMakeList;
        line.cfgPath = *makeList;
    } else if (!operands.empty()) {
        line.cfgPath = operands.front();
    }
    return line;
}

int MakeListInBatch(const std::string& cfgPath) {
    // The upload part loaded later, if the list is uploaded, is the one
    // beside the program now.
    posix::OpenModule(posix::kUploadModule);
    // Kept to the end of the process on purpose: the program exits right
    // after, and freeing a large list cell by cell would only delay that.
    static posix::CLoadedFtpSession ftp;
    static batch::CBatchHost* const host = new batch::CBatchHost(ftp);
    static CSession* const session = new CSession(host->Hosts());
    int status = BatchStatus::kFailed;
    try {
        status = RunBatchMakeList(session->Frame(), cfgPath);
    } catch (const std::bad_alloc&) {
        // Each step says itself what it could not do; this only keeps the
        // exit status honest should one not.
        std::fprintf(stderr, "%s: Not enough memory to make the list of %s\n", kProgramName, cfgPath.c_str());
        return BatchStatus::kFailed;
    }
    if (status == BatchStatus::kPageWritten && host->publisher.UploadFailed()) return BatchStatus::kFailed;
    return status;
}

int ExportCsvInBatch(const std::string& cfgPath, const std::string& csvPath) {
    static posix::CLoadedFtpSession ftp;
    static batch::CBatchHost* const host = new batch::CBatchHost(ftp);
    static CSession* const session = new CSession(host->Hosts());
    try {
        return RunBatchExportCsv(session->Frame(), cfgPath, csvPath);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: Not enough memory to export the items of %s\n", kProgramName, cfgPath.c_str());
        return BatchStatus::kFailed;
    }
}

// The desktop program, from the window part, which is loaded only now.
int RunWindow(char** argv, const std::string& cfgPath) {
    // Both parts as they are now, whatever replaces their files while the
    // window is open.
    posix::OpenModule(kWindowModule);
    posix::OpenModule(posix::kUploadModule);
    std::string reason;
    auto* run = reinterpret_cast<RunWindowEntry*>(posix::ModuleEntry(kWindowModule, kRunWindow, reason));
    if (!run) {
        std::fprintf(stderr, "tabulon: the window cannot be opened: %s\n", reason.c_str());
        return BatchStatus::kFailed;
    }
    posix::CXdgShell shell;
    posix::CLoadedFtpSession ftp;
    posix::CPosixFolderNamespace folders;
    return run({.argv = argv, .cfgPath = cfgPath, .shell = shell, .ftp = ftp, .folders = folders});
}

}  // namespace

int main(int argc, char** argv) {
    SetMemoryPolicy();
    // In the window and in batch mode alike: ended during a save or Make
    // list, the program leaves no half-written temporary file behind.
    RemoveTemporaryFilesOnSignals();
    const CommandLine line = ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!line.mistake.empty()) {
        std::fprintf(stderr, "tabulon: %s\nTry 'tabulon --help' for more information.\n", line.mistake.c_str());
        return BatchStatus::kUsage;
    }
    switch (line.action) {
    case CommandLine::Action::kHelp: PrintHelp(); return 0;
    case CommandLine::Action::kVersion: std::printf("tabulon %s\n", TABULON_VERSION); return 0;
    case CommandLine::Action::kMakeList: return MakeListInBatch(line.cfgPath);
    case CommandLine::Action::kExportCsv: return ExportCsvInBatch(line.cfgPath, line.csvPath);
    case CommandLine::Action::kWindow: break;
    }
    return RunWindow(argv, line.cfgPath);
}
