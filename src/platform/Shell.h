#pragma once
// The desktop's shell: opening a file with the program the desktop has for
// files of its kind.

#include <string>

namespace tabulon {

// Results of opening a target. Above 32 means the program was started; the
// failures keep the numbers the messages of ShowOpenError know.
namespace OpenResult {
constexpr int kOutOfResources = 0;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kOutOfMemory = 8;
constexpr int kBadProgram = 11;
constexpr int kSharingViolation = 26;
constexpr int kAssociationIncomplete = 27;
constexpr int kNoAssociation = 31;
constexpr int kStarted = 42;
constexpr bool Succeeded(int result) { return result > 32; }
}  // namespace OpenResult

// The one root of associations there is: file kinds and their commands.
enum class RegistryRoot { ClassesRoot };

class IShell {
public:
    virtual ~IShell() = default;
    // Opens file with the program registered for files of extension (".txt":
    // the text editor), shown as show asks (kShowNormal). False when no such
    // program could be started.
    virtual bool RunAssociatedCommand(const std::string& extension, const std::string& file, int show) = 0;

    // Opens target (a file or a web address) with the desktop's default
    // program for it; an OpenResult code. Returns once the program has been
    // started, without waiting for it. A shell that knows no more than
    // associations opens web pages with the one registered for ".htm".
    virtual int OpenTarget(const std::string& target, int show) {
        return RunAssociatedCommand(".htm", target, show) ? OpenResult::kStarted : OpenResult::kNoAssociation;
    }

    // The default value of subKey under root: for an extension (".htm") the
    // name of its file kind, for "KIND\\shell\\open\\command" the command
    // line that opens files of that kind. 0 with out set, else an error code
    // (2: there is no such key) and out unchanged.
    // After an open that failed because a program could not be started
    // (not installed, say): that program's name; empty otherwise.
    virtual std::string ProgramNotStarted() const { return {}; }
    virtual int ReadRegistryDefault(RegistryRoot /*root*/, const std::string& /*subKey*/, std::string& /*out*/) {
        return OpenResult::kFileNotFound;
    }
};

}  // namespace tabulon
