#include "posix/Modules.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "posix/BuildIdentity.h"

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

// A part's file, open from when the program asked for it to the end of the
// process: the part is loaded through it, and its number, part of the name
// the loader knows the part by, is then never another part's.
struct Module {
    std::string name;
    std::string path;
    int fd = -1;
    int openError = 0;
    void* handle = nullptr;
};

std::mutex g_modulesLock;
std::vector<Module> g_modules;

// With g_modulesLock held.
Module& OpenedModule(const std::string& name) {
    for (Module& module : g_modules)
        if (module.name == name) return module;
    Module& module = g_modules.emplace_back();
    module.name = name;
    module.path = ModulePath(name);
    if (!module.path.empty()) {
        module.fd = ::open(module.path.c_str(), O_RDONLY | O_CLOEXEC);
        module.openError = module.fd < 0 ? errno : 0;
    }
    return module;
}

// Loads the part from its open file; nullptr, with why in reason, when it is
// of another build or cannot be loaded.
void* LoadModule(const Module& module, std::string& reason) {
    if (module.path.empty()) {
        reason = "the program's own folder, where " + module.name + " lies, cannot be found (/proc/self/exe)";
        return nullptr;
    }
    if (module.fd < 0) {
        reason = module.path + ": " + std::strerror(module.openError);
        return nullptr;
    }
    // Read from the file, before the loader runs anything of the part (its
    // initialisers, the symbols it needs): a part of another build may not
    // fit this program at all.
    std::optional<BuildIdentity> identity;
    if (!ReadBuildIdentity(module.fd, identity)) {
        reason = module.path + ": " + std::strerror(errno);
        return nullptr;
    }
    const std::optional<BuildIdentity> own = ProgramBuildIdentity();
    if (!identity || !own || *identity != *own) {
        reason = module.path + " is from another version of Tabulon";
        return nullptr;
    }
    const std::string opened = "/proc/self/fd/" + std::to_string(module.fd);
    void* handle = ::dlopen(opened.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        // The loader names the part by the file it opened: the user is told
        // the part's own name.
        const char* error = ::dlerror();
        reason = error ? error : opened + ": could not be loaded";
        for (std::size_t at = reason.find(opened); at != std::string::npos;
             at = reason.find(opened, at + module.path.size()))
            reason.replace(at, opened.size(), module.path);
    }
    return handle;
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

void OpenModule(const std::string& name) {
    const std::lock_guard<std::mutex> lock(g_modulesLock);
    OpenedModule(name);
}

void* ModuleEntry(const std::string& name, const char* symbol, std::string& reason) {
    const std::lock_guard<std::mutex> lock(g_modulesLock);
    Module& module = OpenedModule(name);
    if (!module.handle) module.handle = LoadModule(module, reason);
    if (!module.handle) return nullptr;
    void* entry = ::dlsym(module.handle, symbol);
    if (!entry) {
        reason = module.path + " has no entry " + symbol;
        return nullptr;
    }
    return entry;
}

}  // namespace tabulon::posix
