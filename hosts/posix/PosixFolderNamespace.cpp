#include "posix/PosixFolderNamespace.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tabulon::posix {

namespace fs = std::filesystem;

namespace {

constexpr char kFileSystemName[] = "File System";
constexpr char kHomeName[] = "Home";

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Without a trailing "/" (except for "/" itself), so that ids and names
// come out the same however the place was written.
std::string Normalised(const std::string& path) {
    if (path.empty()) return path;
    std::string out = fs::path(path).lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

bool IsHidden(const std::string& name) { return name.empty() || name[0] == '.'; }

bool IsFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// A link that leads back to a folder on the way down to it (itself, its
// parent, any ancestor as the path was walked): opening it would show the
// same folders again without end.
bool LoopsBack(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return false;
    const fs::path target = fs::canonical(path, ec);
    if (ec) return true;  // nothing that can be opened
    for (fs::path up = path.parent_path(); !up.empty(); up = up.parent_path()) {
        std::error_code upError;
        if (fs::canonical(up, upError) == target && !upError) return true;
        if (up == up.parent_path()) break;
    }
    return false;
}

// Whether a tree should offer to open path: it can be read and holds a
// visible folder (or a link to one).
// The throwing forms of the folder walk: those that report through an error
// code may not throw, and the library ends the program when they run out
// of memory.
bool HasSubFolders(const fs::path& path) {
    if (LoopsBack(path)) return false;
    try {
        for (fs::directory_iterator it(path, fs::directory_options::skip_permission_denied);
             it != fs::directory_iterator(); ++it) {
            if (IsHidden(it->path().filename().string())) continue;
            std::error_code typeError;
            if (it->is_directory(typeError)) return true;
        }
    } catch (const fs::filesystem_error&) {
    }
    return false;
}

FolderEntry Place(std::string name, const std::string& path, FolderIcon icon) {
    FolderEntry entry;
    entry.name = std::move(name);
    entry.id = path;
    entry.path = path;
    entry.icon = icon;
    entry.hasSubFolders = HasSubFolders(path);
    return entry;
}

std::string BaseName(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    return name.empty() ? path : name;
}

// A mount table writes blanks, tabs, line ends and backslashes in octal.
std::string DecodeMountField(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        auto isOctal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        const bool octal =
            field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3);
        if (octal) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool IsVolumeMountPoint(const std::string& point) {
    for (const char* under : {"/media/", "/run/media/", "/mnt/"}) {
        const std::string prefix = under;
        if (point.size() > prefix.size() && point.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

std::string HomeFolder() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty()) return home;
    // No $HOME (started by a service, say): the password database knows.
    std::vector<char> buffer(16384);
    passwd record{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &record, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/";
}

}  // namespace

std::vector<std::string> VolumeMountPoints(const std::string& table) {
    std::vector<std::string> points;
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string point;
        if (!(fields >> device >> point)) continue;
        point = Normalised(DecodeMountField(point));
        if (IsVolumeMountPoint(point) && std::find(points.begin(), points.end(), point) == points.end())
            points.push_back(point);
    }
    return points;
}

std::string DesktopFromUserDirs(const std::string& text, const std::string& home) {
    std::istringstream lines(text);
    std::string line;
    std::string desktop;
    while (std::getline(lines, line)) {
        std::size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line[i] == '#') continue;
        const std::string key = "XDG_DESKTOP_DIR=";
        if (line.compare(i, key.size(), key) != 0) continue;
        i += key.size();
        if (i >= line.size() || line[i] != '"') continue;
        std::string value;
        for (++i; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) ++i;
            value += line[i];
        }
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0)
            desktop = home + value.substr(5);
        else if (!value.empty() && value[0] == '/')
            desktop = value;
    }
    return desktop;
}

FolderPlaces UserFolderPlaces() {
    FolderPlaces places;
    places.home = HomeFolder();
    std::string config = EnvironmentValue("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') config = places.home + "/.config";
    places.desktop = DesktopFromUserDirs(ReadText(config + "/user-dirs.dirs"), places.home);
    if (places.desktop.empty()) places.desktop = places.home + "/Desktop";
    return places;
}

CPosixFolderNamespace::CPosixFolderNamespace(FolderPlaces places) : m_places(std::move(places)) {
    m_places.home = Normalised(m_places.home);
    m_places.desktop = Normalised(m_places.desktop);
    m_places.root = Normalised(m_places.root);
}

std::vector<FolderEntry> CPosixFolderNamespace::TopLevel() {
    std::vector<FolderEntry> places;
    // Home first: the dialog opens on it.
    if (IsFolder(m_places.home)) places.push_back(Place(kHomeName, m_places.home, FolderIcon::Home));
    std::error_code ec;
    if (!m_places.desktop.empty() && IsFolder(m_places.desktop) && !fs::equivalent(m_places.desktop, m_places.home, ec))
        places.push_back(Place(BaseName(m_places.desktop), m_places.desktop, FolderIcon::Desktop));
    if (IsFolder(m_places.root)) places.push_back(Place(kFileSystemName, m_places.root, FolderIcon::Drive));
    for (const std::string& point : VolumeMountPoints(ReadText(m_places.mountTable)))
        if (IsFolder(point)) places.push_back(Place(BaseName(point), point, FolderIcon::Drive));
    return places;
}

std::vector<FolderEntry> CPosixFolderNamespace::SubFolders(const std::string& id) {
    std::vector<FolderEntry> folders;
    const fs::path folder(id);
    if (LoopsBack(folder)) return folders;
    try {
        for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied);
             it != fs::directory_iterator(); ++it) {
            std::string name = it->path().filename().string();
            std::error_code typeError;
            if (IsHidden(name) || !it->is_directory(typeError)) continue;
            FolderEntry entry;
            entry.id = it->path().string();
            entry.path = entry.id;
            entry.name = std::move(name);
            entry.icon = FolderIcon::Folder;
            entry.hasSubFolders = HasSubFolders(it->path());
            folders.push_back(std::move(entry));
        }
    } catch (const fs::filesystem_error&) {
        // What was read before the error is shown.
    }
    return folders;
}

}  // namespace tabulon::posix
