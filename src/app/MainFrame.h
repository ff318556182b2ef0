#pragma once
// The main window's logic: it owns the configuration record and reaches the
// window title, the grid-line menu marks and the two panes' grids.

#include <string>

#include "config/ListConfig.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"

namespace tabulon {

class CGridCtrl;

class CMainFrame {
public:
    CMainFrame(IMainWindow& window, IMessageBox& messages) : m_window(window), m_messages(messages) {}

    CListConfig& Config() { return m_config; }
    const CListConfig& Config() const { return m_config; }
    IMessageBox& Messages() { return m_messages; }
    IMainWindow& Window() { return m_window; }

    void SetWindowText(const std::string& title) { m_window.SetTitle(title); }
    std::string GetWindowText() const { return m_window.GetTitle(); }
    bool IsGridLineChecked(bool horizontal) const { return m_window.IsGridLineChecked(horizontal); }

    void SetDatabaseGrid(CGridCtrl* grid) { m_databaseGrid = grid; }
    CGridCtrl* GetDatabaseGrid() const { return m_databaseGrid; }
    void SetNewItemsGrid(CGridCtrl* grid) { m_newItemsGrid = grid; }
    CGridCtrl* GetNewItemsGrid() const { return m_newItemsGrid; }

private:
    IMainWindow& m_window;
    IMessageBox& m_messages;
    CListConfig m_config;
    CGridCtrl* m_databaseGrid = nullptr;
    CGridCtrl* m_newItemsGrid = nullptr;
};

}  // namespace tabulon
