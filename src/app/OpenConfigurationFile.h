#pragma once
// Opening a configuration file, for the window's Open configuration and for
// batch mode alike.

#include <string>

#include "config/ConfigFile.h"

namespace tabulon {

class CMainFrame;

// Open configuration without its picker: the record and 'Database' are
// cleared and the file is read; gridLines, when given, receives the switches
// it asks for. False, after a message and with nothing changed, when the
// configuration cannot be read, is no configuration or names one file in
// two roles.
bool OpenConfigurationFile(CMainFrame& frame, const std::string& cfgPath, ConfigGridLines* gridLines = nullptr);

}  // namespace tabulon
