#pragma once
// What the program hands its window part (window.so, which holds Qt and the
// desktop host) when the window is to be opened: the part is loaded only
// then, so that making the list in batch mode never loads Qt.

#include <string>

namespace tabulon {

class IFolderNamespace;
class IFtpSession;
class IShell;

struct WindowStart {
    char** argv;                 // the program's, for Qt: only its name is passed on
    const std::string& cfgPath;  // "" opens no configuration
    IShell& shell;
    IFtpSession& ftp;
    IFolderNamespace& folders;
};

// Runs the window until it is closed; the exit status.
using RunWindowEntry = int(const WindowStart&);
inline constexpr const char* kWindowModule = "window.so";
inline constexpr const char* kRunWindow = "tabulon_run_window";

}  // namespace tabulon
