#include "posix/XdgShell.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

extern char** environ;

namespace tabulon::posix {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kOpenCommandKey = "\\shell\\open\\command";

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == separator) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The XDG base directories, most important first.
std::string DataHome() {
    const std::string home = Env("XDG_DATA_HOME");
    return !home.empty() ? home : Env("HOME") + "/.local/share";
}
std::vector<std::string> DataDirs() {
    std::vector<std::string> dirs{DataHome()};
    const std::string listed = Env("XDG_DATA_DIRS");
    for (const std::string& dir : SplitList(listed.empty() ? "/usr/local/share:/usr/share" : listed, ':'))
        dirs.push_back(dir);
    return dirs;
}
std::vector<std::string> ConfigDirs() {
    const std::string home = Env("XDG_CONFIG_HOME");
    std::vector<std::string> dirs{!home.empty() ? home : Env("HOME") + "/.config"};
    const std::string listed = Env("XDG_CONFIG_DIRS");
    for (const std::string& dir : SplitList(listed.empty() ? "/etc/xdg" : listed, ':')) dirs.push_back(dir);
    return dirs;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The value of key in group of an ini-style XDG file (desktop entries,
// mimeapps.list, mimeinfo.cache); nullopt when it has none.
std::optional<std::string> IniValue(const std::string& path, const std::string& group, const std::string& key) {
    std::ifstream in(path);
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        const auto equals = line.find('=');
        if (inGroup && equals != std::string::npos && Trim(line.substr(0, equals)) == key)
            return Trim(line.substr(equals + 1));
    }
    return std::nullopt;
}

// The MIME type of files named *extension, from the globs of the shared
// MIME database: the heaviest glob wins, the user's own database first.
std::optional<std::string> MimeTypeOfExtension(const std::string& extension) {
    const std::string wanted = "*" + extension;
    std::optional<std::string> best;
    int bestWeight = -1;
    for (const std::string& dir : DataDirs()) {
        std::ifstream in(dir + "/mime/globs2");
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            const std::vector<std::string> fields = SplitList(line, ':');  // weight:type:glob[:flags]
            if (fields.size() < 3) continue;
            const bool caseSensitive = fields.size() > 3 && fields[3].find("cs") != std::string::npos;
            const bool match = caseSensitive ? fields[2] == wanted : Lower(fields[2]) == Lower(wanted);
            const int weight = std::atoi(fields[0].c_str());
            if (match && weight > bestWeight) {
                best = fields[1];
                bestWeight = weight;
            }
        }
    }
    return best;
}

// The file of a desktop entry id; "vendor-app.desktop" may also live as
// vendor/app.desktop.
std::optional<std::string> DesktopEntryFile(const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos) return std::nullopt;
    for (const std::string& dir : DataDirs()) {
        const std::string applications = dir + "/applications/";
        std::error_code ec;
        if (fs::is_regular_file(applications + id, ec)) return applications + id;
        std::string nested = id;
        for (auto dash = nested.find('-'); dash != std::string::npos; dash = nested.find('-', dash + 1)) {
            nested[dash] = '/';
            if (fs::is_regular_file(applications + nested, ec)) return applications + nested;
        }
    }
    return std::nullopt;
}

// Whether program (a name looked for on PATH, or a path) can be run.
bool ProgramFound(const std::string& program) {
    if (program.empty()) return false;
    if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0;
    for (const std::string& dir : SplitList(Env("PATH"), ':'))
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

// The user's terminal emulator, for programs that run in one: $TERMINAL,
// else the system's choice; empty when there is none.
std::string TerminalEmulator() {
    for (const std::string& terminal : {Env("TERMINAL"), std::string("x-terminal-emulator")})
        if (ProgramFound(terminal)) return terminal;
    return {};
}

bool RunsInTerminal(const std::string& entry) {
    const std::optional<std::string> terminal = IniValue(entry, "Desktop Entry", "Terminal");
    return terminal && Lower(*terminal) == "true";
}

// Whether the program of a desktop entry can be started here: the one its
// TryExec names is installed, and a terminal program has a terminal.
bool Startable(const std::string& entry) {
    if (const std::optional<std::string> tryExec = IniValue(entry, "Desktop Entry", "TryExec"))
        if (!ProgramFound(*tryExec)) return false;
    return !RunsInTerminal(entry) || !TerminalEmulator().empty();
}

// The desktop entry the desktop opens files of mimeType with: the user's
// and the system's default choices first, then any program that says it
// handles the type; entries whose program cannot be started pass to the next.
std::optional<std::string> DefaultApplication(const std::string& mimeType) {
    std::vector<std::string> desktops;
    for (const std::string& desktop : SplitList(Env("XDG_CURRENT_DESKTOP"), ':')) desktops.push_back(Lower(desktop));
    std::vector<std::string> lists;
    auto addListsIn = [&](const std::string& dir) {
        for (const std::string& desktop : desktops) lists.push_back(dir + "/" + desktop + "-mimeapps.list");
        lists.push_back(dir + "/mimeapps.list");
    };
    for (const std::string& dir : ConfigDirs()) addListsIn(dir);
    for (const std::string& dir : DataDirs()) addListsIn(dir + "/applications");

    auto firstInstalled = [](const std::optional<std::string>& ids) -> std::optional<std::string> {
        if (!ids) return std::nullopt;
        for (const std::string& id : SplitList(*ids, ';'))
            if (std::optional<std::string> file = DesktopEntryFile(Trim(id)); file && Startable(*file)) return file;
        return std::nullopt;
    };
    for (const std::string& list : lists)
        if (auto file = firstInstalled(IniValue(list, "Default Applications", mimeType))) return file;
    for (const std::string& dir : DataDirs())
        if (auto file = firstInstalled(IniValue(dir + "/applications/defaults.list", "Default Applications", mimeType)))
            return file;
    for (const std::string& list : lists)
        if (auto file = firstInstalled(IniValue(list, "Added Associations", mimeType))) return file;
    for (const std::string& dir : DataDirs())
        if (auto file = firstInstalled(IniValue(dir + "/applications/mimeinfo.cache", "MIME Cache", mimeType)))
            return file;
    return std::nullopt;
}

// A desktop entry's string value with its escapes undone.
std::string Unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (const char c = value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default:
            out += '\\';
            out += c;
            break;  // left for the quoting rules
        }
    }
    return out;
}

// The words of an Exec value: blanks separate them, double quotes hold
// blanks together, and inside quotes a backslash keeps the next character.
// Each word comes with whether it was quoted (a quoted "" is a word).
std::vector<std::pair<std::string, bool>> ExecWords(const std::string& exec) {
    std::vector<std::pair<std::string, bool>> words;
    std::string word;
    bool inWord = false, quoted = false, inQuotes = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (inQuotes) {
            if (c == '\\' && i + 1 < exec.size())
                word += exec[++i];
            else if (c == '"')
                inQuotes = false;
            else
                word += c;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.emplace_back(word, quoted);
            word.clear();
            inWord = quoted = false;
        } else if (c == '"') {
            inWord = quoted = inQuotes = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.emplace_back(word, quoted);
    return words;
}

// The OpenResult code for a program that could not be started.
int StartFailure(int error) {
    switch (error) {
    case ENOENT: return OpenResult::kFileNotFound;
    case ENOTDIR: return OpenResult::kPathNotFound;
    case EACCES:
    case EPERM: return OpenResult::kAccessDenied;
    case ENOMEM: return OpenResult::kOutOfMemory;
    case ENOEXEC: return OpenResult::kBadProgram;
    case ETXTBSY: return OpenResult::kSharingViolation;
    case EAGAIN:
    case E2BIG: return OpenResult::kOutOfResources;
    default: return -error;  // a code the messages show as unknown, never a false success
    }
}

// Reaps a started program whenever it ends, so none is left a zombie.
void ReapLater(pid_t pid) {
    std::thread([pid] {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

// Starts argv[0], found on PATH, with argv as its arguments: no shell, the
// input from /dev/null, in a session of its own so that the program outlives
// a terminal Tabulon was started from. The process id, or a StartFailure code
// as a negative error.
struct Started {
    pid_t pid = -1;
    int error = 0;
};
Started Start(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    Started started;
    started.error = posix_spawnp(&started.pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (started.error != 0) started.pid = -1;
    return started;
}

// Whether target names a place on the network ("https://..."), not a file.
bool IsAddress(const std::string& target) {
    const auto colon = target.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = target[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> CommandForFile(const std::string& exec, const std::string& file) {
    std::vector<std::string> command;
    bool placed = false;
    for (const auto& [word, quoted] : ExecWords(Unescape(exec))) {
        std::string out;
        bool kept = quoted && word.empty();  // a quoted "" is an argument too
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] != '%' || i + 1 == word.size()) {
                out += word[i];
                kept = true;
                continue;
            }
            const char code = word[++i];
            if (code == '%') {
                out += '%';
                kept = true;
            } else if ((code == 'f' || code == 'F' || code == 'u' || code == 'U') && !placed) {
                out += file;
                kept = placed = true;
            }
            // %i, %c, %k, a second file code and the old codes say nothing
            // about the file; a word of nothing else goes.
        }
        if (kept) command.push_back(out);
    }
    if (command.empty()) return {};
    if (!placed) command.push_back(file);
    return command;
}

int CXdgShell::ReadRegistryDefault(RegistryRoot, const std::string& subKey, std::string& out) {
    if (subKey.size() > 1 && subKey[0] == '.') {
        if (std::optional<std::string> type = MimeTypeOfExtension(subKey)) {
            out = *type;
            return 0;
        }
        return OpenResult::kFileNotFound;
    }
    if (subKey.size() > kOpenCommandKey.size() && subKey.ends_with(kOpenCommandKey)) {
        const std::string type = subKey.substr(0, subKey.size() - kOpenCommandKey.size());
        if (std::optional<std::string> entry = DefaultApplication(type)) {
            if (std::optional<std::string> exec = IniValue(*entry, "Desktop Entry", "Exec")) {
                out = *exec;
                return 0;
            }
        }
    }
    return OpenResult::kFileNotFound;
}

int CXdgShell::RunAssociated(const std::string& extension, const std::string& file, int) {
    std::string type;
    if (ReadRegistryDefault(RegistryRoot::ClassesRoot, extension, type) != 0) return OpenResult::kNoAssociation;
    const std::optional<std::string> entry = DefaultApplication(type);
    const std::optional<std::string> exec =
        entry ? IniValue(*entry, "Desktop Entry", "Exec") : std::optional<std::string>();
    if (!exec) return OpenResult::kNoAssociation;
    std::vector<std::string> command = CommandForFile(*exec, file);
    if (command.empty()) return OpenResult::kAssociationIncomplete;
    // A program for a terminal (vim, nano) started without one shows
    // nothing, and its output would land on Tabulon's.
    if (RunsInTerminal(*entry)) command.insert(command.begin(), {TerminalEmulator(), "-e"});
    const Started started = Start(command);
    if (started.pid < 0) {
        m_notStarted = command.front();
        return StartFailure(started.error);
    }
    ReapLater(started.pid);
    return OpenResult::kStarted;
}

bool CXdgShell::RunAssociatedCommand(const std::string& extension, const std::string& file, int show) {
    m_notStarted.clear();
    return OpenResult::Succeeded(RunAssociated(extension, file, show));
}

int CXdgShell::OpenTarget(const std::string& target, int show) {
    m_notStarted.clear();
    const bool address = IsAddress(target);
    std::error_code ec;
    // A page that is not there is said so, not shown as a browser's error.
    if (!address && !fs::exists(target, ec)) return OpenResult::kFileNotFound;
    // xdg-open would take a name that starts with "-" for an option.
    const std::string argument = !address && target.starts_with('-') ? "./" + target : target;

    const Started opener = Start({"xdg-open", argument});
    if (opener.pid < 0) m_notStarted = "xdg-open";
    if (opener.pid >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + m_openerWait;
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(opener.pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (done == 0) {
            ReapLater(opener.pid);
            return OpenResult::kStarted;
        }
        if (done == opener.pid && WIFEXITED(status)) {
            if (WEXITSTATUS(status) == 0) return OpenResult::kStarted;
            if (WEXITSTATUS(status) == 2) return OpenResult::kFileNotFound;
        }
    }
    // No opener, or it found no program: the one registered for web pages.
    return RunAssociated(".htm", argument, show);
}

}  // namespace tabulon::posix
