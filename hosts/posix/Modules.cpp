#include "posix/Modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

namespace tabulon::posix {

namespace {

// The folder of the running program, from the kernel rather than argv[0]
// or the environment.
std::string ProgramFolder() {
    std::vector<char> path(4096);
    for (;;) {
        const ssize_t got = ::readlink("/proc/self/exe", path.data(), path.size());
        if (got < 0) return {};
        if (static_cast<std::size_t>(got) < path.size()) {
            const std::string program(path.data(), static_cast<std::size_t>(got));
            const std::size_t slash = program.rfind('/');
            return slash == std::string::npos ? std::string() : program.substr(0, slash);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::string ModulePath(const std::string& name) {
    // Without the program's own folder the parts are not looked for
    // anywhere else.
    const std::string folder = ProgramFolder();
    if (folder.empty()) return {};
    // TABULON_MODULE_DIR: the folder of the parts relative to the program's,
    // the same in the build tree as where the program is installed.
    return (std::filesystem::path(folder) / TABULON_MODULE_DIR / name).lexically_normal().string();
}

void* ModuleEntry(const std::string& name, const char* symbol, std::string& reason) {
    const std::string path = ModulePath(name);
    if (path.empty()) {
        reason = "the program's own folder, where " + name + " lies, cannot be found (/proc/self/exe)";
        return nullptr;
    }
    // Each part is opened once; a second call finds the part already loaded.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* error = ::dlerror();
        reason = error ? error : path + ": could not be loaded";
        return nullptr;
    }
    void* entry = ::dlsym(module, symbol);
    if (!entry) {
        reason = path + " has no entry " + symbol;
        return nullptr;
    }
    return entry;
}

}  // namespace tabulon::posix
