#pragma once
// Making the list without a window: open a configuration, check it, load
// the database and write the page, as the Make list command does once its
// save prompts are past. Nothing is saved back and no viewer is opened.

#include <string>

namespace tabulon {

class CMainFrame;

namespace BatchStatus {
constexpr int kPageWritten = 0;
constexpr int kFailed = 1;      // a check failed or a file could not be read or written
constexpr int kUsage = 2;       // a wrong command line
}  // namespace BatchStatus

// The frame must have both panes set. Returns a BatchStatus value.
int RunBatchMakeList(CMainFrame& frame, const std::string& cfgPath);

// Open configuration without its picker: the record and 'Database' are
// cleared, the file is read and the database loaded. False when the
// configuration cannot be read or the database could not be loaded.
bool OpenConfigurationFile(CMainFrame& frame, const std::string& cfgPath);

}  // namespace tabulon
