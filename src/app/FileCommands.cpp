// The file-level commands of the main window and the two save prompts that
// guard them.

#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "app/BatchMakeList.h"
#include "app/CommandTable.h"
#include "app/MainFrame.h"

#include <filesystem>
#include <system_error>
#include "app/OpenConfigurationFile.h"
#include "base/ProgramName.h"
#include "base/TextFile.h"
#include "config/ConfigDialog.h"
#include "config/ConfigFile.h"
#include "config/ConfigTitle.h"
#include "grid/CellPool.h"
#include "grid/GridWork.h"
#include "items/CsvFile.h"
#include "items/DatabaseFile.h"
#include "items/MoveItems.h"
#include "items/TabulonWnd2.h"
#include "output/ListGenerator.h"

namespace tabulon {

namespace {

constexpr char kNoDatabaseFile[] = "File database not found!\n\nSpecify a valid file in configuration";
constexpr char kNoConfiguration[] = "No configuration opened!\n\nCreate a new or open a saved configuration first.";

// The prompt's save writes the width lines too: leaving them out would
// quietly turn the list width off at the next opening.
constexpr bool kPromptSavesWidth = true;

bool SaveDatabaseItemsTo(CMainFrame& frame, const std::string& path, bool withBackup);

// Writes the 'Database' items to their file, with the backup first when
// asked; the mark goes only when everything worked.
bool SaveDatabaseItems(CMainFrame& frame, bool withBackup) {
    try {
        return SaveDatabaseItemsTo(frame, frame.Files().database, withBackup);
    } catch (const std::bad_alloc&) {
        frame.Messages().Show(
            OutOfMemoryText("save the database to", frame.Config().database, "The file was left as it was."),
            "Database", MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
}

bool SaveDatabaseItemsTo(CMainFrame& frame, const std::string& path, bool withBackup) {
    // With no configuration open there is no file to name: saying that "the
    // file" is not found would send the user looking for one that is there.
    if (!frame.IsConfigurationOpen()) {
        frame.Messages().Show(kNoConfiguration, "Configuration", MbIcon::Information, MbButtons::Ok);
        return false;
    }
    if (const std::string notAFile = NotAFileText(path); !notAFile.empty()) {
        frame.Messages().Show("The database file\n" + path + "\n" + notAFile + ".\n\nNothing was saved.", "Database",
                              MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    if (!FileExists(path)) {
        frame.Messages().Show(WithFileName(kNoDatabaseFile, path), "Database", MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    if (IsReadOnlyFile(path)) {
        frame.Messages().Show(ReadOnlyFileText("database", path), "Database", MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    const std::string saved = "Database saved to " + path;
    if (!WriteDatabaseFile(frame, withBackup)) return false;
    // The file is written: should memory run out for the corner's title now,
    // the mark stays, and the save is not called failed.
    try {
        frame.DatabasePane().SetDatabaseModified(false);
    } catch (const std::bad_alloc&) {
    }
    frame.UndoStack().MarkDatabaseSaved();
    frame.SayDone(saved);
    return true;
}

}  // namespace

bool CMainFrame::OnCloseRequest() {
    try {
        OnMenuOpening();  // a typed but unfinished edit counts as a change
        return ConfirmSaveConfig() && ConfirmSaveDatabase();
    } catch (const std::bad_alloc&) {
        // The window stays: nothing unsaved may go for want of memory.
        Messages().Show("Not enough memory to save the changes.\n\nThe window stays open.", kProgramName, MbIcon::Stop,
                        MbButtons::Ok);
        return false;
    }
}

bool CMainFrame::ConfirmSaveConfig() {
    if (!IsModifiedTitle(GetWindowText())) return true;
    switch (Messages().Show("Configuration not saved!\n\nSave configuration?", "Configuration", MbIcon::Question,
                            MbButtons::YesNoCancel)) {
    case MbResult::Yes: return SaveConfigFile(kPromptSavesWidth);
    case MbResult::No: return true;
    default: return false;
    }
}

bool CMainFrame::ConfirmSaveDatabase() {
    if (!m_database.IsDatabaseModified()) return true;
    switch (Messages().Show("Database not saved!\n\nSave database?", "Database", MbIcon::Question,
                            MbButtons::YesNoCancel)) {
    case MbResult::Yes: return SaveDatabaseItems(*this, true);
    case MbResult::No: return true;
    default: return false;
    }
}

void CMainFrame::OnNewConfiguration() {
    if (!ConfirmSaveConfig() || !ConfirmSaveDatabase()) return;
    const CStepsSuspended replaced(*this);
    ResetConfig(*this);
    m_config.language = LanguageOfUserLocale();
    m_database.ClearDatabase();
    m_database.SetDatabaseModified(false);
    const bool saved = CConfigDlg(*this).DoModal() == DialogId::kOk;
    CGridWork work(this, "Opening the configuration", {GetDatabaseGrid()});
    if (saved) LoadDatabaseFile(*this);
    m_database.FitDatabaseColumns();
}

void CMainFrame::OnEditConfiguration() {
    if (!IsConfigurationOpen()) {
        Messages().Show(
            "No configuration opened!\n\nCreate a new or open a saved\nconfiguration before trying to edit.", "Edit",
            MbIcon::Information, MbButtons::Ok);
        return;
    }
    CConfigDlg(*this).DoModal();
}

void CMainFrame::OnOpenConfiguration() {
    if (!ConfirmSaveConfig() || !ConfirmSaveDatabase()) return;
    FilePickerOptions options;
    options.defaultExtension = "cfg";
    options.initialName = "config.cfg";
    options.filter = "Configuration files (*.cfg)|*.cfg|All Files (*.*)|*.*||";
    options.mustExist = true;
    options.hideReadOnly = true;
    // Where the configuration open now is: its neighbours are likely next.
    if (IsConfigurationOpen()) StartPickerAt(options, m_config.cfgfile);
    const std::optional<std::string> chosen = FilePicker().PickOpenFile(options);
    if (!chosen || chosen->empty()) return;
    OpenConfiguration(*chosen);
}

bool CMainFrame::OpenConfiguration(const std::string& cfgPath) {
    ConfigGridLines lines;
    // A big list takes a while to clear, load and fit.
    CGridWork work(this, "Opening the configuration", {GetDatabaseGrid()});
    // Checks that the file can be read before anything is cleared.
    if (!OpenConfigurationFile(*this, cfgPath, &lines)) return false;
    try {
        LoadDatabaseFile(*this);
        ApplyGridLines(lines.vertical, lines.horizontal);
        m_database.FitDatabaseColumns();
        m_recent.Add(cfgPath);
    } catch (const std::bad_alloc&) {
        // Half opened is not open: a save could cut the database short.
        m_database.ClearDatabase();
        ResetConfig(*this);
        Messages().Show(OutOfMemoryText("open the configuration", cfgPath, "Nothing was opened."), "Configuration",
                        MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    return true;
}

void CMainFrame::OnOpenRecentConfiguration(std::size_t index) {
    if (index >= m_recent.List().size()) return;
    const std::string path = m_recent.List()[index];
    // Asked before the save prompts: there is nothing to save for when it
    // cannot be opened anyway.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        m_recent.Remove(path);
        Messages().Show(
            "The configuration\n" + path + "\nno longer exists.\n\nIt was taken off the list of recent configurations.",
            "Open configuration", MbIcon::Exclamation, MbButtons::Ok);
        return;
    }
    if (!ConfirmSaveConfig() || !ConfirmSaveDatabase()) return;
    OpenConfiguration(path);
}

void CMainFrame::OnDropFiles(const std::vector<std::string>& paths, bool onNewItems) {
    const auto extension = [](const std::string& path) {
        std::string ext = std::filesystem::path(path).extension().string();
        for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return ext;
    };
    std::vector<std::string> databases;
    std::vector<std::string> items;
    for (const std::string& path : paths) {
        std::error_code error;
        const bool file = std::filesystem::is_regular_file(path, error);
        const std::string ext = extension(path);
        if (file && ext == ".cfg") {
            // As Open configuration does once its picker answered.
            RunCommand(StepNameOf(CommandId::kOpenConfiguration), [&] {
                OnMenuOpening();
                if (ConfirmSaveConfig() && ConfirmSaveDatabase()) OpenConfiguration(path);
            });
            return;
        }
        (file && onNewItems && (ext == ".db" || ext == ".txt") ? databases : items).push_back(path);
    }
    if (!databases.empty())
        RunCommand(StepNameOf(CommandId::kImportDatabase), [&] {
            OnMenuOpening();
            for (const std::string& path : databases) ImportDatabaseFrom(*this, path);
        });
    if (!items.empty())
        RunCommand(StepNameOf(CommandId::kAddDirectory), [&] {
            OnMenuOpening();
            AddDroppedItems(*this, items, m_addItemsDlg);
        });
}

void CMainFrame::OnSaveDatabase() { SaveDatabaseItems(*this, false); }

void CMainFrame::OnSaveConfiguration() { SaveConfigFile(true); }

void CMainFrame::OnImportDatabase() { ImportDatabaseFile(*this); }

void CMainFrame::OnImportCsv() { ImportCsvFile(*this, DialogHost()); }

void CMainFrame::OnExportCsv() {
    if (const std::optional<std::string> written = ExportCsvFile(*this)) SayDone("Items exported to " + *written);
}

void CMainFrame::OnMakeList() {
    if (!IsConfigurationOpen()) {
        Messages().Show(kNoConfiguration, "Configuration", MbIcon::Information, MbButtons::Ok);
        return;
    }
    if (!ValidateConfig(*this)) return;
    if (!ConfirmSaveConfig() || !ConfirmSaveDatabase()) return;
    // The page may open nowhere on screen; the bar says where it went and
    // what it holds. The path is copied first, so that memory running out
    // cannot come between a written page and its report.
    const std::string output = Files().output;
    const std::string host = m_config.server;
    ListSummary summary;
    bool done = false;
    {
        CGridWork work(this, "Making the list", {GetDatabaseGrid()});
        done = MakeList(*this, &summary);
    }
    if (!done) return;
    try {
        std::string written = ListWrittenText(output, summary, host);
        // An earlier upload's part that the upload removed is said beside it.
        if (const std::string note = ListPublisher().UploadNote(); !note.empty()) written += ". " + note;
        SayDone(written);
    } catch (const std::bad_alloc&) {
        // The page is there all the same; only its report is missing.
    }
}

bool CMainFrame::OnAppExit() {
    if (!OnCloseRequest()) return false;
    m_hosts.window.CloseWindow();
    return true;
}

bool CMainFrame::OnCommand(CommandId id) {
    bool handled = true;
    RunCommand(StepNameOf(id), [&] {
        // A command from the toolbar takes no keyboard focus, so a cell may
        // still be open for editing: its text goes in first.
        OnMenuOpening();
        handled = Dispatch(id);
    });
    return handled;
}

bool CMainFrame::RunCommand(std::string_view step, CWorkRef work) {
    // Whatever lists the columns hears of their changes once, after the
    // outermost command.
    struct Depth {
        CMainFrame& frame;
        explicit Depth(CMainFrame& f) : frame(f) { ++frame.m_commandDepth; }
        ~Depth() {
            if (--frame.m_commandDepth != 0) return;
            frame.TellColumnsChanged();
            // Lists replaced or emptied give back the memory of their cells.
            cellpool::GiveBackEmptyBlocks();
        }
    } depth(*this);
    // Each command that handles a large list says itself when memory runs
    // out; this is the last stop, so that the program never ends for it.
    try {
        const CBusyWindow busy(m_hosts.window);
        CommitStep(CUndoStack::kByHand);
        work();
        CommitStep(step.empty() ? CUndoStack::kByHand : step);
        return true;
    } catch (const std::bad_alloc&) {
        CommandRanOutOfMemory();
        return false;
    }
}

void CMainFrame::CommandRanOutOfMemory() {
    // What the command changed before goes back with its open step.
    m_undo.Abandon();
    AfterSteps();
    Messages().Show("Not enough memory to finish the command.\n\nWhat it had changed was taken back.", kProgramName,
                    MbIcon::Stop, MbButtons::Ok);
}

void CMainFrame::OnUncaughtError(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error)) {
        CommandRanOutOfMemory();
        return;
    }
    m_undo.Abandon();
    AfterSteps();
    Messages().Show(
        std::string("The command could not be finished: ") + error.what() + ".\n\nWhat it had changed was taken back.",
        kProgramName, MbIcon::Stop, MbButtons::Ok);
}

bool CMainFrame::Dispatch(CommandId id) {
    using C = CommandId;
    if (id >= C::kRecentConfiguration1 && id <= C::kRecentConfiguration8) {
        OnOpenRecentConfiguration(
            static_cast<std::size_t>(static_cast<int>(id) - static_cast<int>(C::kRecentConfiguration1)));
        return true;
    }
    switch (MenuCommandOf(id)) {
    case C::kUndo: OnUndo(); return true;
    case C::kRedo: OnRedo(); return true;
    case C::kNewConfiguration: OnNewConfiguration(); return true;
    case C::kEditConfiguration: OnEditConfiguration(); return true;
    case C::kOpenConfiguration: OnOpenConfiguration(); return true;
    case C::kSaveDatabase: OnSaveDatabase(); return true;
    case C::kSaveConfiguration: OnSaveConfiguration(); return true;
    case C::kImportDatabase: OnImportDatabase(); return true;
    case C::kImportCsv: OnImportCsv(); return true;
    case C::kExportCsv: OnExportCsv(); return true;
    case C::kGridLinesHorizontal: OnGridLinesHorizontal(); return true;
    case C::kGridLinesVertical: OnGridLinesVertical(); return true;
    case C::kExit: OnAppExit(); return true;
    case C::kMakeList: OnMakeList(); return true;
    case C::kMoveItems: MoveItems(*this); return true;
    case C::kCut: OnCut(); return true;
    case C::kCopy: OnCopy(false); return true;
    case C::kCopyItem: OnCopy(true); return true;
    case C::kPaste: OnPaste(); return true;
    case C::kFind: m_hosts.window.ShowFindBar(m_databaseActive); return true;
    case C::kFindNext: FindAgain(false); return true;
    case C::kFindPrevious: FindAgain(true); return true;
    case C::kAddDirectory: OnAddDirectory(); return true;
    case C::kFindDuplicate: m_tools.OnFindDuplicate(); return true;
    case C::kReplace: m_tools.OnReplace(); return true;
    case C::kAboutPrompt: return true;
    default: return false;
    }
}

}  // namespace tabulon
