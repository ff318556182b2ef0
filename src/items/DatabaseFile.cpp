#include "items/DatabaseFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "base/TextFile.h"
#include "base/TextTrim.h"
#include "config/ConfigFile.h"
#include "grid/GridWork.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"
#include "platform/FilePicker.h"
#include "platform/MessageBox.h"

namespace fs = std::filesystem;

namespace tabulon {

namespace {

constexpr char kCaption[] = "Database";
constexpr char kFilter[] = "Database files (*.db)|*.db|Text files (*.txt)|*.txt|All Files (*.*)|*.*||";
constexpr std::string_view kLineEnd = "\r\n";
// The format has no quoting: a field ends at ";" and an item at LF. A CR
// inside a field comes back as it went (only a CR before the LF ends a
// line), and one at either end of a field is trimmed away like a blank.
constexpr std::string_view kUnstorableInItems = ";\n";
// A column name's line in the configuration file ends at its CR.
constexpr std::string_view kUnstorableInNames = ";\r\n";
constexpr char kLoadingPhase[] = "Reading items";

void ShowProblem(IItemsFrame& frame, const std::string& text) {
    frame.Messages().Show(text, kCaption, MbIcon::Exclamation, MbButtons::Ok);
}

std::string ErrnoText(int error, const char* fallback) {
    return error ? std::generic_category().message(error) : fallback;
}

FilePickerOptions DatabasePickerOptions(bool forImport) {
    FilePickerOptions options;
    options.defaultExtension = "db";
    options.initialName = "database.db";
    options.filter = kFilter;
    // Browsing for the database may name a file still to be made; an import
    // needs one that is there.
    options.mustExist = forImport;
    options.hideReadOnly = forImport;
    return options;
}

// Something is at path, or it cannot even be looked at: such a file must be
// read (and any failure shown), never taken for missing and browsed past.
bool IsPresent(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::status(path, ec).type() != fs::file_type::not_found;
}

// Calls onItem for every line of the file that is not empty once trimmed,
// reading it a block at a time (a list of a million items never sits in
// memory twice) with progress; false, with the reason, when it cannot be
// read whole.
template <typename OnItem>
bool ForEachItemLine(const std::string& path, CGridCtrl& grid, std::string& reason, OnItem onItem,
                     FileStamp* stamp = nullptr) {
    return ReadFileLines(
        path,
        [&](std::string_view line, std::uint64_t read, std::uint64_t size) {
            const std::string_view item = Trim(line);
            if (!item.empty()) onItem(item);
            grid.ReportProgress(kLoadingPhase, read, size);
        },
        reason, stamp);
}

// Back to the rows and columns a grid had before a bulk change; shrinking
// allocates nothing, so this works when memory has run out.
void RestoreTableSize(CGridCtrl& grid, int rows, int columns) {
    grid.SetRowCount(rows);
    grid.SetColumnCount(columns);
}

// The whole file goes into the grid, or, when it cannot be read whole or
// memory runs out, nothing does. A regular file that failed to load closes
// the configuration: a save would otherwise replace the user's items with
// the few, or none, that were loaded.
bool LoadItems(IItemsFrame& frame, CGridCtrl& grid, const std::string& path) {
    const int rows = grid.GetRowCount();
    const int columns = grid.GetColumnCount();
    std::string problem;
    try {
        std::string reason;
        bool read = false;
        FileStamp stamp;
        {
            CQuietGrid quiet(grid);
            CStrictGrid strict(grid);
            read = ForEachItemLine(
                path, grid, reason, [&](std::string_view line) { AddDatabaseLine(grid, line, grid.GetRowCount()); },
                &stamp);
        }
        if (read) {
            frame.DatabasePane().DatabaseFileStamp() = std::move(stamp);
            return true;
        }
        RestoreTableSize(grid, rows, columns);
        problem = "The database file\n" + path + "\n" + reason + ".\n\nNo items were loaded.";
    } catch (const std::bad_alloc&) {
        RestoreTableSize(grid, rows, columns);
        problem = OutOfMemoryText("load the database file", path, "No items were loaded.");
    }
    if (KindOfPath(path) == PathKind::File) {
        frame.CloseConfiguration();
        problem += "\nThe configuration was closed, so that no save can overwrite the file.";
    }
    ShowProblem(frame, problem);
    return false;
}

// Makes an empty file at path unless something is there already.
bool CreateEmptyFile(const std::string& path, std::string& reason) {
    if (IsPresent(path)) return true;
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "ab");  // "a": never truncates
    if (!file) {
        reason = ErrnoText(errno, "it cannot be made");
        return false;
    }
    std::fclose(file);
    return true;
}

// Describes what in text a file cannot hold, or "" when nothing.
std::string_view Unstorable(std::string_view text, std::string_view unstorable) {
    const std::size_t at = text.find_first_of(unstorable);
    if (at == std::string::npos) return {};
    return text[at] == ';' ? "a \";\"" : "a line end";
}

// The message for the first text that saving would corrupt, or "" when there
// is none. Names come first: the item messages quote them.
std::string FindUnstorableText(const CGridCtrl& grid) {
    const int rows = grid.GetRowCount();
    const int cols = grid.GetColumnCount();
    for (int col = 1; col < cols; ++col) {
        const std::string_view name = grid.GetCellText(0, col);
        const std::string_view what = Unstorable(name, kUnstorableInNames);
        if (!what.empty()) {
            return "The name of column " + std::to_string(col) + ", \"" + std::string(name) + "\", holds " +
                   std::string(what) + ", which the configuration file cannot store.\n\nNothing was saved.";
        }
    }
    for (int row = 1; row < rows; ++row) {
        for (int col = 1; col < cols; ++col) {
            const std::string_view what = Unstorable(grid.GetCellText(row, col), kUnstorableInItems);
            if (what.empty()) continue;
            const std::string_view name = grid.GetCellText(0, col);
            const std::string column = name.empty() ? std::to_string(col) : "\"" + std::string(name) + "\"";
            return "Item " + std::to_string(row) + ", column " + column + " holds " + std::string(what) +
                   ", which the database file cannot store.\n\nNothing was saved.";
        }
    }
    return {};
}

bool ShowBackupFailure(IItemsFrame& frame, const std::string& reason) {
    const std::string source = frame.Files().database;
    ShowProblem(
        frame, "The database file\n" + source + "\ncould not be backed up to\n" + source + ".bak\n\nReason: " + reason);
    return false;
}

// Writes the copy of the database file that its backup is to become; the
// caller puts it in place. False, after a message, when it cannot be made.
bool PrepareBackup(IItemsFrame& frame, CSafeFileWriter& out) {
    const std::string source = frame.Files().database;
    if (source.empty()) return ShowBackupFailure(frame, "the configuration names no database file");
    CFileReader in;
    if (!in.Open(source)) return ShowBackupFailure(frame, "the database file " + in.Error());
    // Owner-only while being written; the source's permissions once complete,
    // so the copy is never readable by more people than the database itself.
    if (!out.Open(source + ".bak", true)) return ShowBackupFailure(frame, out.Error());
    std::error_code ec;
    out.SetMode(static_cast<unsigned>(fs::status(source, ec).permissions()));
    std::string block(static_cast<std::size_t>(std::clamp<std::uintmax_t>(in.Size(), 1, 1 << 20)), '\0');
    for (;;) {
        const long long got = in.Read(block.data(), block.size());
        if (got < 0) return ShowBackupFailure(frame, "the database file " + in.Error());
        if (got == 0) return true;
        out.Write(std::string_view(block.data(), static_cast<std::size_t>(got)));
    }
}

}  // namespace

bool LoadDatabaseFile(IItemsFrame& frame) {
    CGridCtrl* grid = frame.DatabasePane().GetGrid();
    if (!grid) return false;
    // Set once the user has picked another file: the configuration then
    // holds a change, whatever the load of that file brings.
    bool picked = false;
    // The list is replaced: the steps that would take the old one back go.
    const CStepsSuspended replaced(frame);
    auto finish = [&](bool result) {
        if (picked) frame.MarkConfigurationModified();
        return result;
    };
    for (;;) {
        const std::string path = frame.Files().database;
        // Until a load says otherwise, no file was read: one that turns up
        // later is another program's.
        FileStamp& stamp = frame.DatabasePane().DatabaseFileStamp();
        stamp = FileStamp{};
        stamp.path = path;
        if (IsPresent(path)) return finish(LoadItems(frame, *grid, path));

        const std::string named = path.empty() ? std::string() : "\n" + path;
        if (frame.Messages().Show("File database not found." + named + "\n\nBrowse for database?", kCaption,
                                  MbIcon::Question, MbButtons::YesNo) != MbResult::Yes) {
            return finish(true);
        }
        FilePickerOptions options = DatabasePickerOptions(false);
        // In the folder where the file was looked for.
        StartPickerAt(options, path);
        const std::optional<std::string> chosen = frame.FilePicker().PickOpenFile(options);
        if (!chosen || chosen->empty()) {
            frame.CloseConfiguration();
            return finish(false);
        }
        CListConfig withChosen = frame.Config();
        withChosen.database = *chosen;
        if (const std::optional<SharedFiles> shared = FindSharedFiles(withChosen, ConfigFileRole::Database)) {
            // Loaded, its next save would overwrite the other file.
            ShowProblem(frame, SharedFilesText(*shared));
            continue;
        }
        std::string reason;
        if (!CreateEmptyFile(*chosen, reason)) {
            // The configuration keeps its old name; the question comes again.
            ShowProblem(frame, "The database file\n" + *chosen + "\ncould not be created: " + reason + ".");
            continue;
        }
        frame.Config().database = *chosen;
        picked = true;
    }
}

void AddDatabaseLine(CGridCtrl& grid, std::string_view line, int row) {
    const std::string_view text = Trim(line);
    const auto separators = static_cast<std::size_t>(std::count(text.begin(), text.end(), ';'));
    const int needed = static_cast<int>(std::min<std::size_t>(separators, INT_MAX - 2) + 2);
    while (grid.GetColumnCount() < needed) {
        if (pane::AppendDataColumn(grid) < 0) break;  // out of memory, already shown
    }

    // Inserting rather than writing into an existing row: an item is never
    // overwritten, whatever index the caller passes.
    const bool inside = row >= grid.GetFixedRowCount() && row < grid.GetRowCount();
    const int at = grid.InsertRow("", inside ? row : -1);
    if (at < 0) return;
    pane::SetNumberCell(grid, at);

    if (separators == 0) {
        pane::SetItemCell(grid, at, 1, text);
        return;
    }
    int col = 1;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = text.find(';', start);
        pane::SetItemCell(grid, at, col++, Trim(text.substr(start, sep - start)));
        if (sep == std::string_view::npos) break;
        start = sep + 1;
    }
}

bool WriteDatabaseFile(IItemsFrame& frame, bool withBackup) {
    CGridCtrl* grid = frame.DatabasePane().GetGrid();
    if (!grid) return false;
    const std::string path = frame.Files().database;
    if (path.empty()) {
        ShowProblem(frame, "The configuration names no database file.\n\nNothing was saved.");
        return false;
    }
    if (const std::string notAFile = NotAFileText(path); !notAFile.empty()) {
        ShowProblem(frame, "The database file\n" + path + "\n" + notAFile + ".\n\nNothing was saved.");
        return false;
    }
    // Items written over the configuration, the page's head or end (or a
    // backup over one of them) would be the end of that file.
    for (const ConfigFileRole role : {ConfigFileRole::Database, ConfigFileRole::Backup}) {
        if (role == ConfigFileRole::Backup && !withBackup) continue;
        if (const std::optional<SharedFiles> shared = FindSharedFiles(frame.Config(), role)) {
            ShowProblem(frame, SharedFilesText(*shared) + "\n\nNothing was saved.");
            return false;
        }
    }
    try {
        const std::string unstorable = FindUnstorableText(*grid);
        if (!unstorable.empty()) {
            ShowProblem(frame, unstorable);
            return false;
        }
        // The old file stays whole until the new one is complete on disk.
        CSafeFileWriter writer;
        bool written = writer.Open(path);
        if (written) {
            {
                // A million items take seconds: the user sees how far it has got;
                // the window is gone before any question.
                const CGridWork work(&frame, "Saving the database", {grid});
                const int rows = grid->GetRowCount();
                const int cols = grid->GetColumnCount();
                std::string line;
                for (int row = 1; row < rows; ++row) {
                    line.clear();
                    for (int col = 1; col < cols; ++col) {
                        if (col > 1) line += ';';
                        line += grid->GetCellText(row, col);
                    }
                    line += kLineEnd;
                    writer.Write(line);
                    grid->ReportProgress("Writing the items", static_cast<std::uint64_t>(row),
                                         static_cast<std::uint64_t>(rows - 1));
                }
            }
            // Asked only now, just before the file is replaced, so that what
            // another program wrote while the items were written is seen too.
            if (ChangedSince(frame.DatabasePane().DatabaseFileStamp(), path) &&
                frame.Messages().Show(ChangedFileQuestion(path, "the items shown here"), kCaption, MbIcon::Exclamation,
                                      MbButtons::YesNo) != MbResult::Yes)
                return false;
            // The backup is written beside, and takes its place only once
            // the database has taken its own: a save that fails leaves both
            // files as they were.
            CSafeFileWriter backup;
            bool backingUp = withBackup && PrepareBackup(frame, backup);
            if (withBackup && !backingUp &&
                frame.Messages().Show("Save the database without a backup?", kCaption, MbIcon::Question,
                                      MbButtons::YesNo) != MbResult::Yes)
                return false;
            written = writer.Commit();
            if (written) frame.DatabasePane().DatabaseFileStamp() = std::move(writer.Written());
            if (written && backingUp && !backup.Commit()) ShowBackupFailure(frame, backup.Error());
        }
        if (!written) {
            ShowProblem(frame, "The database could not be saved to\n" + path + "\n\nReason: " + writer.Error() +
                                   "\n\nThe file was left as it was.");
            return false;
        }
    } catch (const std::bad_alloc&) {
        ShowProblem(frame, OutOfMemoryText("save the database to", path, "The file was left as it was."));
        return false;
    }
    // The corner mark is the caller's to clear, now that the save succeeded.
    return true;
}

bool BackupDatabaseFile(IItemsFrame& frame) {
    CSafeFileWriter out;
    if (!PrepareBackup(frame, out)) return false;
    if (!out.Commit()) return ShowBackupFailure(frame, out.Error());
    return true;
}

void ImportDatabaseFile(IItemsFrame& frame) {
    if (!frame.NewItemsPane().GetGrid()) return;
    FilePickerOptions options = DatabasePickerOptions(true);
    // In the database's folder, where other lists are likely kept.
    StartPickerAt(options, frame.Files().database);
    const std::optional<std::string> chosen = frame.FilePicker().PickOpenFile(options);
    if (!chosen || chosen->empty()) return;
    ImportDatabaseFrom(frame, *chosen);
}

void ImportDatabaseFrom(IItemsFrame& frame, const std::string& path) {
    CTabulonWnd1& pane = frame.NewItemsPane();
    CGridCtrl* grid = pane.GetGrid();
    if (!grid) return;
    CGridWork work(&frame, "Importing items", {grid});
    const int rows = grid->GetRowCount();
    const int columns = grid->GetColumnCount();
    try {
        std::string reason;
        bool read = false;
        {
            CQuietGrid quiet(*grid);
            CStrictGrid strict(*grid);
            read = ForEachItemLine(path, *grid, reason, [&](std::string_view line) {
                pane.AddItemFromText(std::string(line), ";", grid->GetRowCount());
            });
        }
        if (!read) {
            // The items already in 'New items' stay; none of the file's do.
            RestoreTableSize(*grid, rows, columns);
            ShowProblem(frame, "The file\n" + path + "\n" + reason + ".\n\nNothing was imported.");
            return;
        }
    } catch (const std::bad_alloc&) {
        // The items already in 'New items' stay; none of the file's do.
        RestoreTableSize(*grid, rows, columns);
        ShowProblem(frame, OutOfMemoryText("import", path, "Nothing was imported."));
    }
    try {
        pane.FitNewItemsColumns();
    } catch (const std::bad_alloc&) {
        // The items are in; only the widths stay as they were.
    }
}

}  // namespace tabulon
