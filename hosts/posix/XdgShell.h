#pragma once
// The desktop's shell on a freedesktop.org desktop: xdg-open opens a target
// with the desktop's default program, and the XDG MIME database gives the
// program for a kind of file: the MIME type of an extension, the default
// application's desktop entry for that type, its Exec line. Every program is
// started without a shell, the file one argument of its own, so no name can
// be taken apart or run as a command.

#include <chrono>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace tabulon::posix {

// The arguments that an Exec value of a desktop entry runs on file: the file
// in place of the first %f, %F, %u or %U, as one argument; the words around
// it kept in order; other field codes dropped; "%%" a "%". The file goes at
// the end when the value names no place for it. Empty for an empty value.
std::vector<std::string> CommandForFile(const std::string& exec, const std::string& file);

class CXdgShell final : public IShell {
public:
    bool RunAssociatedCommand(const std::string& extension, const std::string& file, int show) override;
    int OpenTarget(const std::string& target, int show) override;
    int ReadRegistryDefault(RegistryRoot root, const std::string& subKey, std::string& out) override;
    std::string ProgramNotStarted() const override { return m_notStarted; }

    // RunAssociatedCommand with its OpenResult code.
    int RunAssociated(const std::string& extension, const std::string& file, int show);
    // How long OpenTarget listens for xdg-open failing. An opener still
    // running then has started its program (some run it in the foreground).
    void SetOpenerWait(std::chrono::milliseconds wait) { m_openerWait = wait; }

private:
    std::chrono::milliseconds m_openerWait{1000};
    std::string m_notStarted;
};

}  // namespace tabulon::posix
