#pragma once
// The main window's logic: it owns the configuration record, reaches the
// window title, the grid-line menu marks, the two panes and the host's
// pickers, dialogs, shell and publisher, and carries out the file-level
// commands with their save prompts.

#include <string>

#include "config/ListConfig.h"
#include "grid/GridFrame.h"
#include "platform/ColourPicker.h"
#include "platform/Dialog.h"
#include "platform/FilePicker.h"
#include "platform/ListPublisher.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/Shell.h"

namespace tabulon {

class CGridCtrl;
class CTabulonWnd1;
class CTabulonWnd2;

class CMainFrame : public IGridFrame {
public:
    CMainFrame(IMainWindow& window, IMessageBox& messages) : m_window(window), m_messages(messages) {}

    CListConfig& Config() { return m_config; }
    const CListConfig& Config() const { return m_config; }
    IMessageBox& Messages() { return m_messages; }
    IMainWindow& Window() { return m_window; }

    void SetWindowText(const std::string& title) { m_window.SetTitle(title); }
    std::string GetWindowText() const { return m_window.GetTitle(); }
    bool IsGridLineChecked(bool horizontal) const { return m_window.IsGridLineChecked(horizontal); }
    // No configuration is open while the title is exactly "Tabulon".
    bool IsConfigurationOpen() const { return GetWindowText() != "Tabulon"; }
    // Marks the open configuration as holding unsaved changes.
    void MarkConfigurationModified();

    void SetPanes(CTabulonWnd1* newItems, CTabulonWnd2* database) {
        m_newItemsPane = newItems;
        m_databasePane = database;
    }
    CTabulonWnd1* GetNewItemsPane() const { return m_newItemsPane; }
    CTabulonWnd2* GetDatabasePane() const { return m_databasePane; }
    // A grid set directly wins over the pane's (for hosts without panes).
    void SetDatabaseGrid(CGridCtrl* grid) { m_databaseGrid = grid; }
    CGridCtrl* GetDatabaseGrid() const;
    void SetNewItemsGrid(CGridCtrl* grid) { m_newItemsGrid = grid; }
    CGridCtrl* GetNewItemsGrid() const;

    void SetFilePicker(IFilePicker* picker) { m_picker = picker; }
    IFilePicker* FilePicker() const { return m_picker; }
    void SetListPublisher(IListPublisher* publisher) { m_publisher = publisher; }
    IListPublisher* ListPublisher() const { return m_publisher; }
    void SetDialogHost(IDialogHost* host) { m_dialogs = host; }
    void SetPopupMenuHost(IPopupMenuHost* host) { m_popupMenus = host; }
    IDialogHost* DialogHost() const { return m_dialogs; }
    void SetColourPicker(IColourPicker* picker) { m_colourPicker = picker; }
    IColourPicker* ColourPicker() const { return m_colourPicker; }
    void SetShell(IShell* shell) { m_shell = shell; }
    IShell* Shell() const { return m_shell; }

    // The save prompts that guard every command which would lose changes;
    // false when the user stopped the command or a save failed.
    bool ConfirmSaveConfig();
    bool ConfirmSaveDatabase();
    // Writes the configuration to its existing, writable cfgfile; every
    // failure has been shown when it returns false, and the mark stays.
    bool SaveConfigFile(bool withWidth);

    // The file-level commands.
    void OnNewConfiguration();
    void OnEditConfiguration();
    void OnOpenConfiguration();
    void OnSaveDatabase();
    void OnSaveConfiguration();
    void OnImportDatabase();
    void OnMakeList();
    // Exit: the save prompts, then the window closes. False when it stays.
    bool OnAppExit();
    // The window's close request: whether it may close.
    bool OnCloseRequest() {
        OnMenuOpening();  // a typed but unfinished edit counts as a change
        return ConfirmSaveConfig() && ConfirmSaveDatabase();
    }
    // Open configuration without its picker (and without the save prompts,
    // which the caller has passed): false, with nothing changed, when the
    // file cannot be read.
    bool OpenConfiguration(const std::string& cfgPath);

    // The grid lines of both panes and the two menu marks.
    void ApplyGridLines(bool vertical, bool horizontal);
    void OnGridLinesHorizontal();
    void OnGridLinesVertical();
    // The main menu is opening: an edit in progress is committed first, so
    // the command about to be chosen sees its text.
    void OnMenuOpening();

    // Runs the command of a menu item or toolbar button; false for an id
    // this build has no handler for.
    bool OnCommand(int id);

    // The tool windows follow column changes while they are open; this build
    // has no tool windows yet, so there is nothing to refresh.
    void OnDatabaseColumnsChanged() {}
    void OnNewItemsColumnsChanged() {}

    // The pane that has the keyboard: the lower one is 'Database'.
    void SetActivePane(bool database) { m_databaseActive = database; }

    // What the grids ask of the main window.
    bool IsDatabasePaneActive() const override { return m_databaseActive; }
    void SortActivePaneByAllColumns() override;
    void NumberDatabaseItemRows() override;
    void MoveColumnInActivePane(int from, int to) override;
    void OnDatabaseEditEnded(CGridCtrl& grid, CellId focus) override;
    void OnGridCellChanged(CGridCtrl& grid, int row, int col) override;
    void ResetNumberColumnWidths() override;
    void OnGridContextMenu(int row, int col) override;

private:
    IMainWindow& m_window;
    IMessageBox& m_messages;
    CListConfig m_config;
    CTabulonWnd1* m_newItemsPane = nullptr;
    CTabulonWnd2* m_databasePane = nullptr;
    CGridCtrl* m_databaseGrid = nullptr;
    CGridCtrl* m_newItemsGrid = nullptr;
    IFilePicker* m_picker = nullptr;
    IListPublisher* m_publisher = nullptr;
    IDialogHost* m_dialogs = nullptr;
    IPopupMenuHost* m_popupMenus = nullptr;
    IColourPicker* m_colourPicker = nullptr;
    IShell* m_shell = nullptr;
    bool m_databaseActive = false;
};

}  // namespace tabulon
