#pragma once
// The program's own parts that are loaded only when needed: the window (Qt)
// and the upload (libcurl). Making the list in batch mode loads neither, so
// it starts as fast as a plain command-line tool. The parts lie in a folder
// of their own, found from where the program itself is (never from the
// library search path), and stay loaded to the end of the process. A part of
// another build of the program is never loaded (see posix/BuildIdentity.h).

#include <string>

namespace tabulon::posix {

// The file of the part called name ("window.so"), in the program's folder
// of parts; "" when the program's own folder cannot be found.
std::string ModulePath(const std::string& name);

// Opens the file of the part called name, once: the part loaded later is
// the one that was there now, whatever replaces the file in between (a
// package upgraded while the program runs). A file that cannot be opened is
// told of when the part is needed.
void OpenModule(const std::string& name);

// The entry point called symbol of the part called name, loading the part
// (opened by OpenModule, or now) the first time; nullptr, with why in
// reason, when the part or the entry cannot be found or the part is of
// another build.
void* ModuleEntry(const std::string& name, const char* symbol, std::string& reason);

}  // namespace tabulon::posix
