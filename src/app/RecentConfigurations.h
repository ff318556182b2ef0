#pragma once
// The configurations opened last, newest first, for the File menu: kept in
// a file of the user's configuration folder, so that the next run lists
// them too.

#include <cstddef>
#include <string>
#include <vector>

namespace tabulon {

class CRecentConfigurations {
public:
    static constexpr std::size_t kMost = 8;

    // Keeps the list in file from now on, starting with what it holds; an
    // empty name keeps the list for this run only.
    void UseFile(const std::string& file);
    const std::vector<std::string>& List() const { return m_paths; }
    // path was opened: first in the list (once), the ninth falls off.
    void Add(const std::string& path);
    void Remove(const std::string& path);

private:
    // The list is a convenience: when it cannot be written the program
    // goes on without it.
    void Save() const;

    std::string m_file;
    std::vector<std::string> m_paths;
};

// Where the user's list is kept: tabulon/recent-configurations in
// $XDG_CONFIG_HOME, else in ~/.config; "" when neither can be found.
std::string RecentConfigurationsFile();

}  // namespace tabulon
