#pragma once
// The desktop's shell: opening a file with the program the desktop has for
// files of its kind.

#include <string>

namespace tabulon {

class IShell {
public:
    virtual ~IShell() = default;
    // Opens file with the program registered for files of extension (".txt":
    // the text editor), shown as show asks (kShowNormal). False when no such
    // program could be started.
    virtual bool RunAssociatedCommand(const std::string& extension, const std::string& file, int show) = 0;
};

}  // namespace tabulon
