#pragma once
// Making the list without a window: open a configuration, check it, load
// the database and write the page, as the Make list command does once its
// save prompts are past. Nothing is saved back and no viewer is opened.

#include <string>

namespace tabulon {

class CMainFrame;

namespace BatchStatus {
constexpr int kPageWritten = 0;
constexpr int kFailed = 1;  // a check failed or a file could not be read or written
constexpr int kUsage = 2;   // a wrong command line
}  // namespace BatchStatus

// Returns a BatchStatus value.
int RunBatchMakeList(CMainFrame& frame, const std::string& cfgPath);

// Writes the configuration's items to csvPath as comma-separated values,
// as Export CSV does. Returns a BatchStatus value (kPageWritten: written).
int RunBatchExportCsv(CMainFrame& frame, const std::string& cfgPath, const std::string& csvPath);

}  // namespace tabulon
