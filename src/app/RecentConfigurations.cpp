#include "app/RecentConfigurations.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/TextFile.h"

namespace tabulon {

void CRecentConfigurations::UseFile(const std::string& file) {
    m_file = file;
    m_paths.clear();
    if (m_file.empty()) return;
    std::ifstream in(m_file, std::ios::binary);
    std::string line;
    while (m_paths.size() < kMost && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && std::find(m_paths.begin(), m_paths.end(), line) == m_paths.end()) m_paths.push_back(line);
    }
}

void CRecentConfigurations::Add(const std::string& path) {
    // A name with a line break cannot stand in a list of lines.
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return;
    std::erase(m_paths, path);
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > kMost) m_paths.resize(kMost);
    Save();
}

void CRecentConfigurations::Remove(const std::string& path) {
    if (std::erase(m_paths, path) > 0) Save();
}

void CRecentConfigurations::Save() const {
    if (m_file.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(m_file).parent_path(), ignored);
    CSafeFileWriter out;
    // Which files the user works on is nobody else's business.
    if (!out.Open(m_file, true)) return;
    for (const std::string& path : m_paths) {
        out.Write(path);
        out.Write("\n");
    }
    out.Commit();
}

std::string RecentConfigurationsFile() {
    std::filesystem::path folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        folder = config;
    else if (const char* home = std::getenv("HOME"); home && *home)
        folder = std::filesystem::path(home) / ".config";
    else
        return {};
    return (folder / "tabulon" / "recent-configurations").string();
}

}  // namespace tabulon
