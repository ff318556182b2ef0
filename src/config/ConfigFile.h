#pragma once
// The .cfg file: the configuration record, the two grid-line switches and the
// 'Database' column names as lines of an eleven-character key and a value.

#include <optional>
#include <string>
#include <vector>

#include "config/ConfigFrame.h"
#include "config/ListConfig.h"

namespace tabulon {

class CGridCtrl;

// The grid-line switches a .cfg file asks for; the caller applies them once
// the database is loaded.
struct ConfigGridLines {
    bool horizontal = false;
    bool vertical = false;
};

// Back to the "New configuration" values: no configuration open, the
// 'Database' heading without its unsaved mark. The grid-line switches stay.
void ResetConfig(IConfigFrame& frame);

// Saves everything to cfgfile, which must already exist. withWidth false
// leaves out the usewidth and width lines. A file that another program
// changed since it was read or written here is replaced only when the user
// says so. Every failure has been shown to the user when this returns false
// (No to that question included); the title then keeps its unsaved mark.
bool WriteConfigFile(IConfigFrame& frame, bool withWidth);

// Save configuration: WriteConfigFile, but a .cfg file its owner may not
// write is refused, with a message, before anything is written.
bool SaveConfigFile(IConfigFrame& frame, bool withWidth);

// Fills the record and the 'Database' column names from a .cfg file; the
// caller has reset both. A missing or unreadable file reads as empty.
ConfigGridLines ReadConfigFile(IConfigFrame& frame, const std::string& path);

// A .cfg file as read, before anything is changed by it.
struct ParsedConfig {
    CListConfig record;  // the record the lines were read into
    ConfigGridLines gridLines;
    std::vector<std::string> columns;  // the values of the "columns  = " lines, in order
    int recognised = 0;                // section headers and keys
    int otherLines = 0;                // lines that are neither, nor empty
    FileStamp stamp;                   // the file as it was read

    // Whether the file can be a configuration: it has one of the sections
    // or keys, or nothing at all (a new configuration's empty file).
    bool IsConfiguration() const;
};
// Reads path into parsed.record, which keeps what no line sets. False, with
// the reason as words that follow the file's name, when the file cannot be
// read; running out of memory reaches the caller.
bool ParseConfigFile(const std::string& path, ParsedConfig& parsed, std::string& reason);
// Widens the 'Database' grid to hold every name and puts the names into its
// heading row from column 1 on.
void ApplyColumnNames(CGridCtrl& grid, const std::string& names);

// The check before a list is made: the files exist, the output has a name,
// each file is a file of its own, the colours are six characters. Shows the
// first failure.
bool ValidateConfig(IConfigFrame& frame);

// The files of a configuration (the .cfg, the database and its backup, the
// output, the head and the end) must each be a file of their own, links
// followed: a save of one would otherwise overwrite another. The head and
// end may be one file, since both are only read.
enum class ConfigFileRole { Configuration, Database, Backup, Output, Head, End };
struct SharedFiles {
    ConfigFileRole role, otherRole;
    std::string path, otherPath;
};
// The first two that are one file, among those pairs that involve role
// (any pair when role is empty); nothing when there are none.
std::optional<SharedFiles> FindSharedFiles(const CListConfig& config,
                                           std::optional<ConfigFileRole> role = std::nullopt);
// What a refusal says: both roles and both paths.
std::string SharedFilesText(const SharedFiles& shared);

// Six upper-case hex digits, red first ("FF8000"); each component is a byte.
// The language of the user's locale (LC_ALL, LC_COLLATE, LANG, the first
// set), when the host can sort by it: what a new configuration starts with.
// "" for C and POSIX.
std::string LanguageOfUserLocale();

std::string ColorToText(unsigned red, unsigned green, unsigned blue);

// A relative path inside a configuration is relative to the folder of its
// .cfg file, so the two can move together. Absolute and empty paths, and any
// path while cfgfile has no folder, come back unchanged.
std::string ResolveConfigPath(const CListConfig& config, const std::string& path);
ConfigFiles ResolveConfigFiles(const CListConfig& config);

// The path a configuration is opened under: absolute and without "." or ".."
// steps, so that its files resolve the same wherever the program runs; as
// given when it cannot be made absolute.
std::string AbsoluteConfigPath(const std::string& path);

// The resolved files of a record, resolved again only when the record names
// other files or its .cfg file has moved; between changes every use gets the
// same paths without working them out again.
class CResolvedFiles {
public:
    const ConfigFiles& Of(const CListConfig& config);

private:
    ConfigFiles m_names;  // the names as they were resolved
    std::string m_cfgfile;
    ConfigFiles m_paths;
    bool m_resolved = false;
};

}  // namespace tabulon
