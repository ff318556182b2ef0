#include "config/ConfigFile.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/ProgramName.h"
#include "base/TextFile.h"
#include "base/TextTrim.h"
#include "config/ColumnHeadings.h"
#include "config/ConfigTitle.h"
#include "grid/GridCtrl.h"
#include "grid/SortOrder.h"
#include "platform/Collation.h"

namespace tabulon {

namespace {

constexpr std::size_t kKeyLength = 11;
// Any port a connection can use, or 0 for the FTP port, as the dialog
// allows; the reader takes every other value as 21.
constexpr int kLowestPort = 0;
constexpr int kHighestPort = 65535;
constexpr std::string_view kLineEnd = "\r\n";

constexpr std::string_view kDatabase = "database = ";
constexpr std::string_view kOutput = "output   = ";
constexpr std::string_view kHeadfile = "headfile = ";
constexpr std::string_view kEndfile = "endfile  = ";
constexpr std::string_view kHeadcol = "headcol  = ";
constexpr std::string_view kIndexcol = "indexcol = ";
constexpr std::string_view kFirstcol = "firstcol = ";
constexpr std::string_view kSecondcol = "secondcol= ";
constexpr std::string_view kServer = "server   = ";
constexpr std::string_view kLoginname = "loginname= ";
constexpr std::string_view kPassword = "password = ";
constexpr std::string_view kFilename = "filename = ";
constexpr std::string_view kPort = "port     = ";
constexpr std::string_view kHLines = "h-lines  = ";
constexpr std::string_view kVLines = "v-lines  = ";
constexpr std::string_view kViewout = "viewout  = ";
constexpr std::string_view kAddindex = "addindex = ";
constexpr std::string_view kFtpupload = "ftpupload= ";
constexpr std::string_view kUsewidth = "usewidth = ";
constexpr std::string_view kWidth = "width    = ";
constexpr std::string_view kColumns = "columns  = ";
constexpr std::string_view kProtocol = "protocol = ";
constexpr std::string_view kCertfile = "certfile = ";
// Longer than the other keys, or newer: read with or without blanks before
// the "=", and written only when set.
constexpr std::string_view kOtherletters = "otherletters";
constexpr std::string_view kPagestyle = "pagestyle";
struct FlagKey {
    std::string_view key;
    int CListConfig::*field;
};
constexpr std::string_view kNumbers = "numbers";
constexpr FlagKey kFlagKeys[] = {{kOtherletters, &CListConfig::otherletters},
                                 {kPagestyle, &CListConfig::pagestyle},
                                 {kNumbers, &CListConfig::numbers}};
// Newer texts, read and written as the flags: the value without the blanks
// around it.
struct NamedText {
    std::string_view key;
    std::string CListConfig::*field;
};
constexpr NamedText kNamedTexts[] = {{"language", &CListConfig::language}, {"articles", &CListConfig::articles}};

// The text fields, which are read the same way: the value as it stands.
struct TextField {
    std::string_view key;
    std::string CListConfig::*field;
};
constexpr TextField kTextFields[] = {
    {kDatabase, &CListConfig::database},   {kOutput, &CListConfig::output},       {kHeadfile, &CListConfig::headfile},
    {kEndfile, &CListConfig::endfile},     {kHeadcol, &CListConfig::headcol},     {kIndexcol, &CListConfig::indexcol},
    {kFirstcol, &CListConfig::firstcol},   {kSecondcol, &CListConfig::secondcol}, {kServer, &CListConfig::server},
    {kLoginname, &CListConfig::loginname}, {kPassword, &CListConfig::password},   {kFilename, &CListConfig::filename},
    {kCertfile, &CListConfig::certfile},
};

// A decimal number at the start of a value, in the manner of atoi, except
// that a number too large for an int saturates rather than wrapping into an
// arbitrary value.
int LeadingInteger(std::string_view text) {
    text = TrimLeft(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), kCap);
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// Whether the value begins with a number at all, so that a stored "0" is told
// from text that only converts to 0.
bool StartsWithNumber(std::string_view text) {
    text = TrimLeft(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

bool StartsWithOne(std::string_view value) { return !value.empty() && value.front() == '1'; }

bool IsSectionHeader(std::string_view line) {
    for (std::string_view header : {"[files]", "[colors]", "[ftp]", "[grid]", "[other]"})
        if (line == header) return true;
    return false;
}

// What in text a line of the file cannot hold: its line ends at the first
// CR or LF, and the column names are cut at ";".
std::string_view Unstorable(std::string_view text, bool columnName) {
    const std::size_t at = text.find_first_of(columnName ? ";\r\n" : "\r\n");
    if (at == std::string::npos) return {};
    return text[at] == ';' ? "a \";\"" : "a line end";
}

// Why the record cannot be written so that reading it back gives it again,
// or "" when it can.
std::string UnstorableValue(const IConfigFrame& frame) {
    const CListConfig& c = frame.Config();
    for (const TextField& text : kTextFields) {
        const std::string_view what = Unstorable(c.*text.field, false);
        if (!what.empty())
            return "The value of \"" + std::string(TrimRight(text.key.substr(0, text.key.find(' ')))) + "\" holds " +
                   std::string(what) + ", which the configuration file cannot store.";
    }
    for (const NamedText& text : kNamedTexts) {
        const std::string_view what = Unstorable(c.*text.field, false);
        if (!what.empty())
            return "The value of \"" + std::string(text.key) + "\" holds " + std::string(what) +
                   ", which the configuration file cannot store.";
    }
    auto outside = [](std::string_view name, int value, int low, int high) {
        return "The value of \"" + std::string(name) + "\", " + std::to_string(value) + ", is not between " +
               std::to_string(low) + " and " + std::to_string(high) + ".";
    };
    if (c.port < kLowestPort || c.port > kHighestPort) return outside("port", c.port, kLowestPort, kHighestPort);
    if (c.width <= 0) return outside("width", c.width, 1, INT_MAX);
    if (c.addindex < 0 || c.addindex > 4) return outside("addindex", c.addindex, 0, 4);
    const std::pair<const char*, int> flags[] = {{"viewout", c.viewout},     {"ftpupload", c.ftpupload},
                                                 {"usewidth", c.usewidth},   {"otherletters", c.otherletters},
                                                 {"pagestyle", c.pagestyle}, {"numbers", c.numbers}};
    for (const auto& [name, value] : flags)
        if (value != 0 && value != 1) return outside(name, value, 0, 1);
    if (const CGridCtrl* grid = frame.GetDatabaseGrid()) {
        for (int col = 1; col < grid->GetColumnCount(); ++col) {
            const std::string_view name = grid->GetCellText(0, col);
            const std::string_view what = Unstorable(name, true);
            if (!what.empty())
                return "The name of column " + std::to_string(col) + ", \"" + std::string(name) + "\", holds " +
                       std::string(what) + ", which the configuration file cannot store.";
        }
    }
    return {};
}

// Widens the grid to hold every name, then puts the names into row 0 from
// column 1 on, untrimmed.
void SetColumnNames(CGridCtrl& grid, std::string_view names) {
    const auto separators = static_cast<std::size_t>(std::count(names.begin(), names.end(), ';'));
    const int needed = static_cast<int>(std::min<std::size_t>(separators, INT_MAX - 2) + 2);
    while (grid.GetColumnCount() < needed)
        if (AppendHeadingColumn(grid) < 0) break;  // the grid takes no more columns
    int col = 1;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = names.find(';', start);
        grid.SetCellText(0, col++, std::string(names.substr(start, sep - start)));
        if (sep == std::string_view::npos) break;
        start = sep + 1;
    }
}

std::string ColumnNames(const CGridCtrl* grid) {
    std::string names;
    if (!grid) return names;
    for (int col = 1; col < grid->GetColumnCount(); ++col) {
        if (col > 1) names += ';';
        names += grid->GetCellText(0, col);
    }
    return names;
}

std::string ConfigText(const IConfigFrame& frame, bool withWidth) {
    const CListConfig& c = frame.Config();
    std::string text;
    auto section = [&](std::string_view name, bool first) {
        if (!first) text += kLineEnd;
        text += name;
        text += kLineEnd;
    };
    auto line = [&](std::string_view key, const std::string& value) {
        text += key;
        text += value;
        text += kLineEnd;
    };
    auto number = [&](std::string_view key, int value) { line(key, std::to_string(value)); };

    section("[files]", true);
    line(kDatabase, c.database);
    line(kOutput, c.output);
    line(kHeadfile, c.headfile);
    line(kEndfile, c.endfile);
    section("[colors]", false);
    line(kHeadcol, c.headcol);
    line(kIndexcol, c.indexcol);
    line(kFirstcol, c.firstcol);
    line(kSecondcol, c.secondcol);
    section("[ftp]", false);
    line(kServer, c.server);
    line(kLoginname, c.loginname);
    line(kPassword, c.password);
    line(kFilename, c.filename);
    number(kPort, c.port);
    // Written only when set, so that a configuration that uses neither is
    // saved as it always was.
    if (c.protocol != CListConfig{}.protocol) line(kProtocol, c.protocol);
    if (!c.certfile.empty()) line(kCertfile, c.certfile);
    section("[grid]", false);
    number(kHLines, frame.IsGridLineChecked(true) ? 1 : 0);
    number(kVLines, frame.IsGridLineChecked(false) ? 1 : 0);
    section("[other]", false);
    number(kViewout, c.viewout);
    number(kAddindex, c.addindex);
    number(kFtpupload, c.ftpupload);
    for (const FlagKey& flag : kFlagKeys) {
        if (c.*flag.field == 0) continue;
        text += flag.key;
        number(" = ", c.*flag.field);
    }
    for (const NamedText& named : kNamedTexts) {
        const std::string value(Trim(c.*named.field));
        if (value.empty()) continue;
        text += named.key;
        line(" = ", value);
    }
    if (withWidth) {
        number(kUsewidth, c.usewidth);
        number(kWidth, c.width);
    }
    // The last line has no line end.
    text += kColumns;
    text += ColumnNames(frame.GetDatabaseGrid());
    return text;
}

void ShowWriteFailure(IConfigFrame& frame, const std::string& reason) {
    frame.Messages().Show(
        "The configuration could not be saved to\n" + frame.Config().cfgfile + "\n\nReason: " + reason, "Configuration",
        MbIcon::Exclamation, MbButtons::Ok);
}

}  // namespace

void ResetConfig(IConfigFrame& frame) {
    frame.Config() = CListConfig{};
    frame.ConfigFileStamp() = FileStamp{};
    frame.SetWindowText(kProgramName);
    if (CGridCtrl* grid = frame.GetDatabaseGrid()) {
        grid->SetCellText(0, 0, kDatabaseCorner);
        grid->Refresh();
    }
}

bool WriteConfigFile(IConfigFrame& frame, bool withWidth) {
    const std::string path = frame.Config().cfgfile;
    if (!FileExists(path)) {
        frame.Messages().Show(
            WithFileName("File configuration not found!\n\nSpecify a valid file in configuration", path),
            "Configuration", MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    if (const std::optional<SharedFiles> shared = FindSharedFiles(frame.Config(), ConfigFileRole::Configuration)) {
        frame.Messages().Show(SharedFilesText(*shared) + "\n\nNothing was saved.", "Configuration", MbIcon::Exclamation,
                              MbButtons::Ok);
        return false;
    }
    // Whatever the reader would take differently from what is written is
    // refused, so that a saved configuration opens as it was saved.
    if (const std::string unstorable = UnstorableValue(frame); !unstorable.empty()) {
        frame.Messages().Show(unstorable + "\n\nNothing was saved.", "Configuration", MbIcon::Exclamation,
                              MbButtons::Ok);
        return false;
    }
    try {
        if (ChangedSince(frame.ConfigFileStamp(), path) &&
            frame.Messages().Show(ChangedFileQuestion(path, "the configuration open here"), "Configuration",
                                  MbIcon::Exclamation, MbButtons::YesNo) != MbResult::Yes)
            return false;
        // Owner only: the file holds the FTP password.
        CSafeFileWriter writer;
        if (!writer.Open(path, true)) {
            ShowWriteFailure(frame, writer.Error());
            return false;
        }
        writer.Write(ConfigText(frame, withWidth));
        if (!writer.Commit()) {
            ShowWriteFailure(frame, writer.Error());
            return false;
        }
        frame.ConfigFileStamp() = std::move(writer.Written());
        // Only now is the configuration saved, so only now does the mark go.
        frame.SetWindowText(ConfigurationTitle(path));
    } catch (const std::bad_alloc&) {
        frame.Messages().Show(OutOfMemoryText("save the configuration to", path, "The file was left as it was."),
                              "Configuration", MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    return true;
}

bool SaveConfigFile(IConfigFrame& frame, bool withWidth) {
    const std::string& path = frame.Config().cfgfile;
    if (FileExists(path) && IsReadOnlyFile(path)) {
        frame.Messages().Show(ReadOnlyFileText("configuration", path), "Configuration", MbIcon::Exclamation,
                              MbButtons::Ok);
        return false;
    }
    // Checks that the file exists, writes it safely and clears the mark
    // only once the file is on disk.
    return WriteConfigFile(frame, withWidth);
}

bool ParseConfigFile(const std::string& path, ParsedConfig& parsed, std::string& reason) {
    CListConfig& config = parsed.record;
    ConfigGridLines& gridLines = parsed.gridLines;
    CFileReader probe;
    if (!probe.Open(path)) {
        reason = probe.Error();
        return false;
    }
    parsed.stamp = probe.Stamp();
    // An SFTP configuration without a port line uses the SFTP port.
    bool portSeen = false;
    const bool read = ReadTextLines(path, [&](std::string_view line) {
        if (IsSectionHeader(line)) {
            ++parsed.recognised;
            return;
        }
        if (!TrimRight(line).empty()) ++parsed.otherLines;
        for (const FlagKey& flag : kFlagKeys) {
            if (!line.starts_with(flag.key)) continue;
            const std::string_view rest = TrimLeft(line.substr(flag.key.size()));
            if (!rest.empty() && rest.front() == '=') {
                ++parsed.recognised;
                config.*flag.field = StartsWithOne(TrimLeft(rest.substr(1))) ? 1 : 0;
                return;
            }
        }
        for (const NamedText& named : kNamedTexts) {
            if (!line.starts_with(named.key)) continue;
            const std::string_view rest = TrimLeft(line.substr(named.key.size()));
            if (!rest.empty() && rest.front() == '=') {
                ++parsed.recognised;
                config.*named.field = std::string(Trim(rest.substr(1)));
                return;
            }
        }
        // Section headers, empty lines and keys without a value.
        if (line.size() <= kKeyLength) return;
        const std::string_view key = line.substr(0, kKeyLength);
        const std::string_view value = line.substr(kKeyLength);
        ++parsed.recognised;
        for (const TextField& text : kTextFields) {
            if (key == text.key) {
                config.*text.field = std::string(value);
                return;
            }
        }
        if (key == kPort) {
            portSeen = true;
            const int port = LeadingInteger(value);
            const bool valid = port >= kLowestPort && port <= kHighestPort && StartsWithNumber(value);
            config.port = valid ? port : 21;
        } else if (key == kHLines) {
            if (StartsWithOne(value)) gridLines.horizontal = true;
        } else if (key == kVLines) {
            if (StartsWithOne(value)) gridLines.vertical = true;
        } else if (key == kViewout) {
            config.viewout = StartsWithOne(value) ? 1 : 0;
        } else if (key == kFtpupload) {
            config.ftpupload = StartsWithOne(value) ? 1 : 0;
        } else if (key == kUsewidth) {
            config.usewidth = StartsWithOne(value) ? 1 : 0;
        } else if (key == kAddindex) {
            const char first = value.front();
            config.addindex = first >= '1' && first <= '4' ? first - '0' : 0;
        } else if (key == kWidth) {
            const int width = LeadingInteger(value);
            config.width = width <= 0 ? 500 : width;
        } else if (key == kProtocol) {
            // Any case, blanks around it; a name the upload does not know
            // is kept, and refused there.
            std::string protocol(Trim(value));
            for (char& ch : protocol)
                if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
            // Blanks alone say nothing, as a key without a value.
            config.protocol = protocol.empty() ? CListConfig{}.protocol : protocol;
            if (protocol == "sftp" && !portSeen) config.port = 22;
        } else if (key == kColumns) {
            parsed.columns.emplace_back(value);
        } else {
            --parsed.recognised;  // a line of eleven characters and more, but no key
        }
    });
    if (!read) reason = "could not be read";
    return read;
}

bool ParsedConfig::IsConfiguration() const { return recognised > 0 || otherLines == 0; }

void ApplyColumnNames(CGridCtrl& grid, const std::string& names) { SetColumnNames(grid, names); }

ConfigGridLines ReadConfigFile(IConfigFrame& frame, const std::string& path) {
    ParsedConfig parsed;
    parsed.record = frame.Config();
    std::string reason;
    if (!ParseConfigFile(path, parsed, reason)) return {};
    frame.Config() = parsed.record;
    frame.ConfigFileStamp() = parsed.stamp;
    if (CGridCtrl* grid = frame.GetDatabaseGrid())
        for (const std::string& names : parsed.columns) SetColumnNames(*grid, names);
    return parsed.gridLines;
}

namespace {

const char* RoleName(ConfigFileRole role) {
    switch (role) {
    case ConfigFileRole::Configuration: return "configuration";
    case ConfigFileRole::Database: return "database";
    case ConfigFileRole::Backup: return "database backup";
    case ConfigFileRole::Output: return "output";
    case ConfigFileRole::Head: return "head";
    case ConfigFileRole::End: return "end";
    }
    return "";
}

}  // namespace

std::optional<SharedFiles> FindSharedFiles(const CListConfig& config, std::optional<ConfigFileRole> role) {
    using R = ConfigFileRole;
    const ConfigFiles files = ResolveConfigFiles(config);
    const std::string backup = files.database.empty() ? std::string() : files.database + ".bak";
    const std::pair<R, const std::string*> all[] = {{R::Output, &files.output}, {R::Database, &files.database},
                                                    {R::Backup, &backup},       {R::Configuration, &config.cfgfile},
                                                    {R::Head, &files.headfile}, {R::End, &files.endfile}};
    for (std::size_t i = 0; i < std::size(all); ++i) {
        for (std::size_t j = i + 1; j < std::size(all); ++j) {
            const auto& [a, pathA] = all[i];
            const auto& [b, pathB] = all[j];
            if ((a == R::Head && b == R::End) || (a == R::Database && b == R::Backup)) continue;
            if (role && a != *role && b != *role) continue;
            if (IsSameFile(*pathA, *pathB)) return SharedFiles{a, b, *pathA, *pathB};
        }
    }
    return std::nullopt;
}

std::string SharedFilesText(const SharedFiles& shared) {
    std::string text = std::string("The ") + RoleName(shared.role) + " file\n" + shared.path + "\nis the " +
                       RoleName(shared.otherRole) + " file\n" + shared.otherPath + "\n\n";
    if (shared.role == ConfigFileRole::Output) return text + "Make list would overwrite it with the page.";
    return text + "Each file of a configuration must be a file of its own: saving one would overwrite the other.";
}

bool ValidateConfig(IConfigFrame& frame) {
    const CListConfig& c = frame.Config();
    const ConfigFiles& files = frame.Files();
    auto fail = [&](const std::string& text, const char* caption) {
        frame.Messages().Show(text, caption, MbIcon::Information, MbButtons::Ok);
        return false;
    };
    // A file that is missing is named; one that is there but no file is
    // called what it is.
    auto present = [&](const std::string& path, const char* missing, const char* what, const char* caption) {
        if (FileExists(path)) return true;
        const std::string notAFile = NotAFileText(path);
        if (notAFile.empty()) return fail(WithFileName(missing, path), caption);
        return fail(std::string("The ") + what + " file\n" + path + "\n" + notAFile + ".", caption);
    };
    if (!present(files.database, "File database not found", "database", "Database")) return false;
    if (c.output.size() < 6) return fail("No outputfile specified", "Output");
    if (!present(files.headfile, "Headfile not found", "head", "Headfile")) return false;
    if (!present(files.endfile, "Endfile not found", "end", "Endfile")) return false;
    // The page replaces the output file whole, and the prompts may save the
    // database, its backup and the configuration: none may be another one
    // under any name.
    if (const std::optional<SharedFiles> shared = FindSharedFiles(c))
        return fail(SharedFilesText(*shared), shared->role == ConfigFileRole::Output ? "Output" : "Configuration");
    if (c.headcol.size() != 6) return fail("Invalid head color", "Head color");
    if (c.indexcol.size() != 6) return fail("Invalid index color", "Index color");
    if (c.firstcol.size() != 6) return fail("Invalid first row color", "First row color");
    if (c.secondcol.size() != 6) return fail("Invalid second row color", "Second row color");
    // A list in another order than the one asked for is no list made.
    if (!c.language.empty()) {
        std::string reason;
        if (!MakeSortOrder({c.language, c.articles, c.numbers == 1}, reason))
            return fail("The configuration asks to sort as \"" + c.language + "\", but " + reason + ".", "Language");
    }
    return true;
}

std::string LanguageOfUserLocale() {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    const std::string language = locale.substr(0, locale.find_first_of("_.@"));
    if (language.empty() || language == "C" || language == "POSIX") return {};
    ICollation* collation = Collation();
    std::string reason;
    return collation && collation->Open(language, false, reason) ? language : std::string();
}

std::string ColorToText(unsigned red, unsigned green, unsigned blue) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned component : {red, green, blue}) {
        component &= 0xFFu;
        text += kDigits[component >> 4];
        text += kDigits[component & 0xFu];
    }
    return text;
}

std::string ResolveConfigPath(const CListConfig& config, const std::string& path) {
    namespace fs = std::filesystem;
    if (path.empty() || fs::path(path).is_absolute()) return path;
    const fs::path folder = fs::path(config.cfgfile).parent_path();
    if (folder.empty()) return path;
    return (folder / path).string();
}

ConfigFiles ResolveConfigFiles(const CListConfig& config) {
    return {ResolveConfigPath(config, config.database), ResolveConfigPath(config, config.output),
            ResolveConfigPath(config, config.headfile), ResolveConfigPath(config, config.endfile)};
}

std::string AbsoluteConfigPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

const ConfigFiles& CResolvedFiles::Of(const CListConfig& config) {
    const ConfigFiles names{config.database, config.output, config.headfile, config.endfile};
    if (!m_resolved || names != m_names || config.cfgfile != m_cfgfile) {
        m_paths = ResolveConfigFiles(config);
        m_names = names;
        m_cfgfile = config.cfgfile;
        m_resolved = true;
    }
    return m_paths;
}

}  // namespace tabulon
