#include "app/BatchMakeList.h"

#include <fstream>

#include "app/MainFrame.h"
#include "base/TextFile.h"
#include "config/ConfigFile.h"
#include "config/ConfigTitle.h"
#include "items/DatabaseFile.h"
#include "items/TabulonWnd2.h"
#include "output/ListGenerator.h"

namespace tabulon {

bool OpenConfigurationFile(CMainFrame& frame, const std::string& cfgPath, ConfigGridLines* gridLines) {
    CTabulonWnd2& database = frame.DatabasePane();
    if (!FileExists(cfgPath) || !std::ifstream(cfgPath, std::ios::binary)) {
        frame.Messages().Show("Configuration file not found or not readable:\n" + cfgPath, "Configuration",
                              MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    ResetConfig(frame);
    database.ClearDatabase();
    database.SetDatabaseModified(false);
    frame.Config().cfgfile = AbsoluteConfigPath(cfgPath);
    frame.SetWindowText(ConfigurationTitle(frame.Config().cfgfile));
    const ConfigGridLines lines = ReadConfigFile(frame, frame.Config().cfgfile);
    if (gridLines) *gridLines = lines;
    frame.OnDatabaseColumnsChanged();
    return true;
}

int RunBatchMakeList(CMainFrame& frame, const std::string& cfgPath) {
    if (!OpenConfigurationFile(frame, cfgPath)) return BatchStatus::kFailed;
    if (!ValidateConfig(frame)) return BatchStatus::kFailed;
    // Without a person to ask, a database file that is gone is an error.
    if (!FileExists(frame.Files().database)) {
        frame.Messages().Show("File database not found", "Database", MbIcon::Information, MbButtons::Ok);
        return BatchStatus::kFailed;
    }
    if (!LoadDatabaseFile(frame)) return BatchStatus::kFailed;
    if (!MakeList(frame)) return BatchStatus::kFailed;
    return BatchStatus::kPageWritten;
}

}  // namespace tabulon
