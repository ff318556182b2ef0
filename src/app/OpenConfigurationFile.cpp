#include "app/OpenConfigurationFile.h"

#include <new>
#include <optional>
#include <utility>

#include "app/MainFrame.h"
#include "base/TextFile.h"
#include "config/ConfigTitle.h"
#include "grid/GridCtrl.h"
#include "items/TabulonWnd2.h"

namespace tabulon {

bool OpenConfigurationFile(CMainFrame& frame, const std::string& cfgPath, ConfigGridLines* gridLines) {
    CTabulonWnd2& database = frame.DatabasePane();
    auto refuse = [&](const std::string& text) {
        frame.Messages().Show(text, "Configuration", MbIcon::Exclamation, MbButtons::Ok);
        return false;
    };
    // The file is read whole before anything is cleared: a file that is no
    // configuration, or that memory cannot hold, changes nothing.
    ParsedConfig parsed;
    parsed.record.cfgfile = AbsoluteConfigPath(cfgPath);
    try {
        std::string reason;
        if (!ParseConfigFile(cfgPath, parsed, reason))
            return refuse("The configuration file\n" + cfgPath + "\n" + reason + ".\n\nNothing was opened.");
    } catch (const std::bad_alloc&) {
        return refuse(OutOfMemoryText("read the configuration file", cfgPath, "Nothing was opened."));
    }
    if (!parsed.IsConfiguration())
        return refuse("The file\n" + cfgPath +
                      "\nis not a Tabulon configuration: it has none of its sections or keys.\n\nNothing was opened.");
    // Opened, the first save would overwrite one of its files with another.
    if (const std::optional<SharedFiles> shared = FindSharedFiles(parsed.record))
        return refuse(SharedFilesText(*shared) + "\n\nNothing was opened.");

    // The lists go: so do the steps that would take them back.
    const CStepsSuspended replaced(frame);
    ResetConfig(frame);
    database.ClearDatabase();
    database.SetDatabaseModified(false);
    frame.Config() = std::move(parsed.record);
    frame.ConfigFileStamp() = std::move(parsed.stamp);
    frame.ConfigFileStamp().path = frame.Config().cfgfile;
    try {
        frame.SetWindowText(ConfigurationTitle(frame.Config().cfgfile));
        CGridCtrl* grid = database.GetGrid();
        if (grid) {
            CStrictGrid strict(*grid);
            for (const std::string& names : parsed.columns) ApplyColumnNames(*grid, names);
        }
    } catch (const std::bad_alloc&) {
        database.ClearDatabase();
        ResetConfig(frame);
        return refuse(OutOfMemoryText("open the configuration file", cfgPath, "Nothing was opened."));
    }
    if (gridLines) *gridLines = parsed.gridLines;
    return true;
}

}  // namespace tabulon
