#pragma once
// The main window's logic: it owns the configuration record, reaches the
// window title, the grid-line menu marks, the two panes and the host's
// pickers, dialogs, shell and publisher, and carries out the file-level
// commands with their save prompts. It is what each lower part of the system
// asks of the main window: the grids (IGridFrame), the configuration
// (IConfigFrame), the panes and their commands (IItemsFrame) and Make list
// (IListFrame). A session (app/Session.h) builds it with its panes.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandTable.h"
#include "app/RecentConfigurations.h"
#include "app/SessionHosts.h"
#include "config/ConfigFile.h"
#include "config/ConfigFrame.h"
#include "config/ListConfig.h"
#include "grid/SortOrder.h"
#include "items/ItemsFrame.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"
#include "items/UndoStack.h"
#include "output/ListFrame.h"
#include "tools/AddDirectoryCommand.h"
#include "tools/AddItemsDialog.h"
#include "tools/CellSearch.h"
#include "tools/ToolFrame.h"
#include "tools/ToolWindows.h"

namespace tabulon {

class CGridCtrl;

class CMainFrame : public IItemsFrame,
                   public IConfigFrame,
                   public IListFrame,
                   public IAddItemsFrame,
                   public IToolFrame,
                   public ISortOrderSource {
public:
    // The panes are the session's; they are made after the frame and go
    // before it.
    explicit CMainFrame(const SessionHosts& hosts)
        : m_hosts(hosts),
          m_newItems(*this),
          m_database(*this),
          m_tools(*this, hosts.messages, hosts.dialogs, hosts.progress) {}
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // The configuration's order, made again when it changed since the last
    // sort; a language that cannot be had is told of once, and the byte
    // order stands in for it.
    const CSortOrder* SortOrder() override;
    CListConfig& Config() override { return m_config; }
    const CListConfig& Config() const override { return m_config; }
    const ConfigFiles& Files() override { return m_files.Of(m_config); }
    FileStamp& ConfigFileStamp() override { return m_configStamp; }
    IMainWindow& Window() { return m_hosts.window; }
    // Says in the status bar what a command has done. The work is done
    // already: memory running out for the saying changes nothing of it.
    void SayDone(const std::string& text) noexcept;

    // The title tells whether the configuration holds unsaved changes: one
    // set without the mark is the configuration as its file holds it.
    void SetWindowText(const std::string& title) override;
    std::string GetWindowText() const { return m_hosts.window.GetTitle(); }
    bool IsGridLineChecked(bool horizontal) const override { return m_hosts.window.IsGridLineChecked(horizontal); }
    // No configuration is open while the title is exactly "Tabulon".
    bool IsConfigurationOpen() const override;
    // Marks the open configuration as holding unsaved changes.
    void MarkConfigurationModified() override;
    void CloseConfiguration() override { ResetConfig(*this); }

    CTabulonWnd1& NewItemsPane() override { return m_newItems; }
    CTabulonWnd2& DatabasePane() override { return m_database; }
    CGridCtrl* GetDatabaseGrid() const override;
    CGridCtrl* GetNewItemsGrid() const override;
    // The grid of 'Database' (true) or of 'New items'.
    CGridCtrl* PaneGrid(bool databasePane) const { return databasePane ? GetDatabaseGrid() : GetNewItemsGrid(); }

    IMessageBox& Messages() override { return m_hosts.messages; }
    IFilePicker& FilePicker() override { return m_hosts.filePicker; }
    IColourPicker& ColourPicker() override { return m_hosts.colourPicker; }
    IDialogHost& DialogHost() override { return m_hosts.dialogs; }
    IPopupMenuHost& PopupMenuHost() { return m_hosts.popupMenus; }
    IShell& Shell() override { return m_hosts.shell; }
    IListPublisher& ListPublisher() override { return m_hosts.publisher; }
    IProgressHost& Progress() override { return m_hosts.progress; }
    IFolderNamespace& FolderNamespace() override { return m_hosts.folders; }
    IProgressHost* ProgressHost() override { return &m_hosts.progress; }

    // The save prompts that guard every command which would lose changes;
    // false when the user stopped the command or a save failed.
    bool ConfirmSaveConfig();
    bool ConfirmSaveDatabase();
    // Writes the configuration to its existing, writable cfgfile; every
    // failure has been shown when it returns false, and the mark stays.
    bool SaveConfigFile(bool withWidth) { return tabulon::SaveConfigFile(*this, withWidth); }

    // The file-level commands.
    void OnNewConfiguration();
    void OnEditConfiguration();
    void OnOpenConfiguration();
    void OnSaveDatabase();
    void OnSaveConfiguration();
    void OnImportDatabase();
    void OnImportCsv();
    void OnExportCsv();
    void OnMakeList();
    void OnAddDirectory() { tabulon::OnAddDirectory(*this, m_addItemsDlg, m_strLastDirectory); }
    // The two tool windows: opened once, brought to the front after that.
    CToolWindows& ToolWindows() { return m_tools; }
    // Exit: the save prompts, then the window closes. False when it stays.
    bool OnAppExit();
    // The window's close request: whether it may close.
    bool OnCloseRequest();
    // Open configuration without its picker (and without the save prompts,
    // which the caller has passed): false, with nothing changed, when the
    // file cannot be read.
    bool OpenConfiguration(const std::string& cfgPath);
    // The configurations opened last, and opening the one at index of them
    // (after the save prompts); one that is gone is taken off with a message.
    CRecentConfigurations& RecentConfigurations() { return m_recent; }
    void OnOpenRecentConfiguration(std::size_t index);
    // Files and folders dropped on the window (onNewItems: on that pane). A
    // .cfg file among them opens, after the save questions, and nothing else
    // happens; database files (.db, .txt) dropped on 'New items' are
    // imported as Import database does; everything else is added to 'New
    // items' with the last options of 'Add items' (AddDroppedItems).
    void OnDropFiles(const std::vector<std::string>& paths, bool onNewItems);

    // The grid lines of both panes and the two menu marks.
    void ApplyGridLines(bool vertical, bool horizontal);
    void OnGridLinesHorizontal();
    void OnGridLinesVertical();
    // The main menu is opening: an edit in progress is committed first, so
    // the command about to be chosen sees its text.
    void OnMenuOpening();

    // Runs the command of a menu item or toolbar button; false for an id
    // this build has no handler for.
    bool OnCommand(CommandId id);
    // The one way in for every command, whoever starts it: what was changed
    // by hand before becomes a step of its own, what work changes is one
    // step named step, and when memory runs out in it what it changed is
    // taken back and the user told (false then). Commands may nest: each
    // closes its own step.
    bool RunCommand(std::string_view step, CWorkRef work) override;
    // An exception reached the window's event loop, where no command caught
    // it (memory running out in a paint, say): what the open step had
    // changed goes back, and the user is told.
    void OnUncaughtError(const std::exception& error);

    // What follows the lists hears of their changes here: the Database's
    // mark, and what lists the columns of a pane (the open tool windows, the
    // find bar), once a command has made them all.
    void OnGridChanged(CGridCtrl& grid, const TableChange& change) override;

    // What the tool windows ask of the main window.
    void MarkDatabaseModified() override;

    // The steps of work on the lists, to take back and do again.
    void AttachUndoStack();
    CUndoStack& UndoStack() { return m_undo; }
    // Closes the open step under name (RunCommand does it for commands).
    void CommitStep(std::string_view name);
    void SuspendSteps() override { m_undo.Suspend(); }
    void ResumeSteps() override { m_undo.Resume(); }
    void OnUndo();
    void OnRedo();
    // The clipboard and the active pane's focus cell (app/EditCommands.cpp).
    void OnCopy(bool wholeItem);
    void OnCut();
    void OnPaste();
    // What the Undo and Redo items say ("Undo Delete column") and whether
    // there is anything for them to do.
    struct CommandState {
        bool enabled = false;
        std::string caption;
        std::string prompt;  // for the status bar
    };
    CommandState StateOf(CommandId id) const;
    Rect MainWindowRect() const override { return m_hosts.window.GetWindowRect(); }
    int MainWindowBarsBottom() const override { return m_hosts.window.GetBarsBottom(); }

    // The pane that has the keyboard: the lower one is 'Database'.
    void SetActivePane(bool database);
    // The keyboard was brought into a pane (F6): with no focus cell there
    // the arrows, Space and F2 would do nothing, so it gets one, the one it
    // had last or else its first item cell.
    void EnterPane(bool databasePane);

    // What the grids ask of the main window.
    bool IsDatabasePaneActive() const override { return m_databaseActive; }
    void SortActivePaneByAllColumns() override;
    void NumberDatabaseItemRows() override;
    void MoveColumnInActivePane(int from, int to) override;
    void OnDatabaseEditEnded(CGridCtrl& grid, CellId focus) override;
    bool MayTypeIntoCell(CGridCtrl& grid, int row, int col, const std::string& text, bool editing) override;
    void ResetNumberColumnWidths() override;
    void OnGridContextMenu(int row, int col) override;

    // Find, as the find bar asks it. FindText moves the focus cell of the
    // pane to the next cell (previous, backwards) that holds the query and
    // brings it into view; the status bar says when the search went round
    // the end or found nothing. The query becomes the last search, which
    // Find next and Find previous repeat.
    struct FindOutcome {
        bool found = false;
        bool wrapped = false;
    };
    FindOutcome FindText(const SearchQuery& query, bool databasePane, bool backwards);
    // How many item cells of the pane hold the query, and which of them the
    // focus cell is.
    CCellSearch::Count CountFound(const SearchQuery& query, bool databasePane);
    // The headings of the pane's data columns, from column 1 on.
    std::vector<std::string> SearchColumnNames(bool databasePane) const;
    // While the find bar is open and the user idle: copies a part of the
    // pane's texts, for searches many times faster on a big list; true once
    // there is nothing more to copy. ForgetFindTexts lets the copy go.
    bool PrepareFind(bool databasePane);
    void ForgetFindTexts() { m_searchTexts.Clear(); }

private:
    bool Dispatch(CommandId id);
    // Memory ran out in a command: what it had changed goes back, and the
    // user is told.
    void CommandRanOutOfMemory();
    // Takes the last step back (undo) or does the last one taken back again.
    void TakeStep(bool undo);
    // After a step was taken back or done again: what follows from the lists.
    void AfterSteps();
    // Find next (Find previous, backwards) with the last search; with none
    // yet, the find bar opens.
    void FindAgain(bool backwards);
    FindOutcome FindFrom(const SearchQuery& query, bool databasePane, bool backwards);
    // Where the column a query names stands now in grid (-1: every column);
    // none when no column has its name any more.
    static std::optional<int> ColumnNow(const CGridCtrl& grid, const SearchQuery& query);
    void ColumnsChanged(bool databasePane);
    // Tells the tool windows and the window of the panes whose columns changed.
    void TellColumnsChanged();

    SessionHosts m_hosts;
    CListConfig m_config;
    SortOrderSettings m_sortSettings;
    std::unique_ptr<CSortOrder> m_sortOrder;
    CResolvedFiles m_files;
    FileStamp m_configStamp;
    bool m_databaseActive = false;
    // The 'Add items' options and the folder last added from live for the run.
    CAddItemsDlg m_addItemsDlg;
    std::string m_strLastDirectory;
    CRecentConfigurations m_recent;
    std::optional<SearchQuery> m_lastSearch;
    bool m_lastSearchInDatabase = false;
    CSearchTexts m_searchTexts;
    CellId m_lastFocus[2];                      // of 'New items' and 'Database', when they last had the keyboard
    bool m_columnsChanged[2] = {false, false};  // of 'New items' and 'Database', not told yet
    int m_commandDepth = 0;
    // The panes come after everything of the frame they may ask for, so they
    // are made when it is there and go while it still is: their grids speak
    // to the frame until they are gone.
    CTabulonWnd1 m_newItems;
    CTabulonWnd2 m_database;
    // After the panes, so that it lets go of their grids before they go.
    CUndoStack m_undo;
    // Last, so that open tool windows go first.
    CToolWindows m_tools;
};

}  // namespace tabulon
