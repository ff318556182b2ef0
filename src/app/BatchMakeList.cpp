#include "app/BatchMakeList.h"

#include <new>
#include <utility>

#include "app/MainFrame.h"
#include "app/OpenConfigurationFile.h"
#include "base/TextFile.h"
#include "config/ConfigFile.h"
#include "config/ConfigTitle.h"
#include "grid/GridCtrl.h"
#include "items/DatabaseFile.h"
#include "items/TabulonWnd2.h"
#include "output/ListGenerator.h"

namespace tabulon {

namespace {
int MakeListOf(CMainFrame& frame, const std::string& cfgPath);
}  // namespace

int RunBatchMakeList(CMainFrame& frame, const std::string& cfgPath) {
    try {
        return MakeListOf(frame, cfgPath);
    } catch (const std::bad_alloc&) {
        frame.Messages().Show(OutOfMemoryText("make the list of", cfgPath, "The page was not written."), "Make list",
                              MbIcon::Exclamation, MbButtons::Ok);
        return BatchStatus::kFailed;
    }
}

namespace {

int MakeListOf(CMainFrame& frame, const std::string& cfgPath) {
    // Nobody takes anything back here: nothing is recorded.
    frame.SuspendSteps();
    if (!OpenConfigurationFile(frame, cfgPath)) return BatchStatus::kFailed;
    if (!ValidateConfig(frame)) return BatchStatus::kFailed;
    // Without a person to ask, a database file that is gone is an error.
    if (!FileExists(frame.Files().database)) {
        frame.Messages().Show(WithFileName("File database not found", frame.Files().database), "Database",
                              MbIcon::Information, MbButtons::Ok);
        return BatchStatus::kFailed;
    }
    if (!LoadDatabaseFile(frame)) return BatchStatus::kFailed;
    if (!MakeList(frame)) return BatchStatus::kFailed;
    return BatchStatus::kPageWritten;
}

}  // namespace

}  // namespace tabulon
