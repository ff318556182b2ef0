#include "config/ConfigFile.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/ProgramName.h"
#include "base/TextFile.h"
#include "base/TextTrim.h"
#include "config/ColumnHeadings.h"
#include "config/ConfigTitle.h"
#include "grid/GridCtrl.h"

namespace tabulon {

namespace {

constexpr std::size_t kKeyLength = 11;
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

// The text fields, which are read the same way: the value as it stands.
struct TextField {
    std::string_view key;
    std::string CListConfig::*field;
};
constexpr TextField kTextFields[] = {
    {kDatabase, &CListConfig::database},   {kOutput, &CListConfig::output},
    {kHeadfile, &CListConfig::headfile},   {kEndfile, &CListConfig::endfile},
    {kHeadcol, &CListConfig::headcol},     {kIndexcol, &CListConfig::indexcol},
    {kFirstcol, &CListConfig::firstcol},   {kSecondcol, &CListConfig::secondcol},
    {kServer, &CListConfig::server},       {kLoginname, &CListConfig::loginname},
    {kPassword, &CListConfig::password},   {kFilename, &CListConfig::filename},
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

bool StartsWithOne(std::string_view value) { return !value.empty() && value.front() == '1'; }

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
    section("[grid]", false);
    number(kHLines, frame.IsGridLineChecked(true) ? 1 : 0);
    number(kVLines, frame.IsGridLineChecked(false) ? 1 : 0);
    section("[other]", false);
    number(kViewout, c.viewout);
    number(kAddindex, c.addindex);
    number(kFtpupload, c.ftpupload);
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
    frame.Messages().Show("The configuration could not be saved to\n" + frame.Config().cfgfile +
                              "\n\nReason: " + reason,
                          "Configuration", MbIcon::Exclamation, MbButtons::Ok);
}

}  // namespace

void ResetConfig(IConfigFrame& frame) {
    frame.Config() = CListConfig{};
    frame.SetWindowText(kProgramName);
    if (CGridCtrl* grid = frame.GetDatabaseGrid()) {
        grid->SetCellText(0, 0, "Database");
        grid->Refresh();
    }
}

bool WriteConfigFile(IConfigFrame& frame, bool withWidth) {
    const std::string path = frame.Config().cfgfile;
    if (!FileExists(path)) {
        frame.Messages().Show("File configuration not found!\n\nSpecify a valid file in configuration",
                              "Configuration", MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
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
    // Only now is the configuration saved, so only now does the mark go.
    frame.SetWindowText(ConfigurationTitle(path));
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

ConfigGridLines ReadConfigFile(IConfigFrame& frame, const std::string& path) {
    ConfigGridLines gridLines;
    CListConfig& config = frame.Config();
    CGridCtrl* grid = frame.GetDatabaseGrid();
    ReadTextLines(path, [&](std::string_view line) {
        // Section headers, empty lines and keys without a value.
        if (line.size() <= kKeyLength) return;
        const std::string_view key = line.substr(0, kKeyLength);
        const std::string_view value = line.substr(kKeyLength);
        for (const TextField& text : kTextFields) {
            if (key == text.key) {
                config.*text.field = std::string(value);
                return;
            }
        }
        if (key == kPort) {
            const int port = LeadingInteger(value);
            config.port = port <= 0 || port >= 32767 ? 21 : port;
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
        } else if (key == kColumns) {
            if (grid) SetColumnNames(*grid, value);
        }
    });
    return gridLines;
}

bool ValidateConfig(IConfigFrame& frame) {
    const CListConfig& c = frame.Config();
    const ConfigFiles& files = frame.Files();
    auto fail = [&](const char* text, const char* caption) {
        frame.Messages().Show(text, caption, MbIcon::Information, MbButtons::Ok);
        return false;
    };
    if (!FileExists(files.database)) return fail("File database not found", "Database");
    if (c.output.size() < 6) return fail("No outputfile specified", "Output");
    if (!FileExists(files.headfile)) return fail("Headfile not found", "Headfile");
    if (!FileExists(files.endfile)) return fail("Endfile not found", "Endfile");
    if (c.headcol.size() != 6) return fail("Invalid head color", "Head color");
    if (c.indexcol.size() != 6) return fail("Invalid index color", "Index color");
    if (c.firstcol.size() != 6) return fail("Invalid first row color", "First row color");
    if (c.secondcol.size() != 6) return fail("Invalid second row color", "Second row color");
    return true;
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
