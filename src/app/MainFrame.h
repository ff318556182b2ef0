#pragma once
// The main window's logic: it owns the configuration record and reaches the
// window title, the grid-line menu marks, the two panes and the host's
// pickers and publisher.

#include <string>

#include "config/ListConfig.h"
#include "grid/GridFrame.h"
#include "platform/FilePicker.h"
#include "platform/ListPublisher.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"

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
    // Column moves arrive with the column commands; until then a drag moves nothing.
    void MoveColumnInActivePane(int, int) override {}
    void OnDatabaseEditEnded(CGridCtrl& grid, CellId focus) override;
    void OnGridCellChanged(CGridCtrl& grid, int row, int col) override;
    void ResetNumberColumnWidths() override;
    // The right-button menus arrive with the column commands.
    void OnGridContextMenu(int, int) override {}

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
    bool m_databaseActive = false;
};

}  // namespace tabulon
