#include "app/BatchMakeList.h"

#include <new>
#include <utility>

#include "app/MainFrame.h"
#include "app/OpenConfigurationFile.h"
#include "base/TextFile.h"
#include "config/ConfigFile.h"
#include "config/ConfigTitle.h"
#include "grid/GridCtrl.h"
#include "items/CsvFile.h"
#include "items/DatabaseFile.h"
#include "items/TabulonWnd2.h"
#include "output/ListGenerator.h"

namespace tabulon {

namespace {
int MakeListOf(CMainFrame& frame, const std::string& cfgPath);
int ExportCsvOf(CMainFrame& frame, const std::string& cfgPath, const std::string& csvPath);
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

int RunBatchExportCsv(CMainFrame& frame, const std::string& cfgPath, const std::string& csvPath) {
    try {
        return ExportCsvOf(frame, cfgPath, csvPath);
    } catch (const std::bad_alloc&) {
        frame.Messages().Show(OutOfMemoryText("export the items of", cfgPath, "Nothing was exported."), "Export CSV",
                              MbIcon::Exclamation, MbButtons::Ok);
        return BatchStatus::kFailed;
    }
}

namespace {

// The open configuration's items loaded, as batch mode needs them: without
// a person to ask, a database file that is gone is an error.
bool LoadItemsInBatch(CMainFrame& frame) {
    if (!FileExists(frame.Files().database)) {
        frame.Messages().Show(WithFileName("File database not found", frame.Files().database), "Database",
                              MbIcon::Information, MbButtons::Ok);
        return false;
    }
    return LoadDatabaseFile(frame);
}

int ExportCsvOf(CMainFrame& frame, const std::string& cfgPath, const std::string& csvPath) {
    // Nobody takes anything back here: nothing is recorded.
    frame.SuspendSteps();
    if (!OpenConfigurationFile(frame, cfgPath) || !LoadItemsInBatch(frame)) return BatchStatus::kFailed;
    if (const std::string_view own = ConfigurationFileAt(frame, csvPath); !own.empty()) {
        frame.Messages().Show("The file\n" + csvPath + "\nis " + std::string(own) + ".\n\nNothing was exported.",
                              "Export CSV", MbIcon::Exclamation, MbButtons::Ok);
        return BatchStatus::kFailed;
    }
    CGridCtrl* grid = frame.GetDatabaseGrid();
    std::string reason;
    if (!grid || !WriteCsvFile(*grid, csvPath, ',', reason)) {
        frame.Messages().Show("The items could not be exported to\n" + csvPath + "\n\nReason: " + reason, "Export CSV",
                              MbIcon::Exclamation, MbButtons::Ok);
        return BatchStatus::kFailed;
    }
    return BatchStatus::kPageWritten;
}

int MakeListOf(CMainFrame& frame, const std::string& cfgPath) {
    // Nobody takes anything back here: nothing is recorded.
    frame.SuspendSteps();
    if (!OpenConfigurationFile(frame, cfgPath)) return BatchStatus::kFailed;
    if (!ValidateConfig(frame)) return BatchStatus::kFailed;
    if (!LoadItemsInBatch(frame)) return BatchStatus::kFailed;
    if (!MakeList(frame)) return BatchStatus::kFailed;
    return BatchStatus::kPageWritten;
}

}  // namespace

}  // namespace tabulon
