#pragma once
// Both panes under one main window with an open configuration, and the
// scripted menu, dialog and message hosts the commands talk to.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "FakeFilePicker.h"
#include "FakeMainWindow.h"
#include "IdleHosts.h"
#include "RecordingPublisher.h"
#include "ScriptedDialogHost.h"
#include "ScriptedMessageBox.h"
#include "ScriptedPopupMenu.h"
#include "app/Session.h"
#include "items/ColumnCommands.h"
#include "items/DatabaseFile.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon::testing {

using Strings = std::vector<std::string>;

struct CommandPanes : ::testing::Test {
    fakes::FakeMainWindow window;
    fakes::ScriptedMessageBox messages;
    fakes::ScriptedPopupMenu menus;
    fakes::ScriptedDialogHost dialogs;
    fakes::FakeFilePicker picker;
    fakes::RecordingPublisher publisher;
    fakes::IdleHosts idle;
    CSession session{fakes::HostsFor(window, messages, picker, dialogs, menus, publisher, idle)};
    CMainFrame& frame = session.Frame();
    CTabulonWnd1& newItems = session.NewItemsPane();
    CTabulonWnd2& database = session.DatabasePane();
    CGridCtrl* fresh = nullptr;
    CGridCtrl* db = nullptr;
    const std::string openTitle = "Tabulon - /lists/music.cfg";

    void SetUp() override {
        frame.Config().cfgfile = "/lists/music.cfg";
        window.title = openTitle;
        fresh = newItems.GetGrid();
        db = database.GetGrid();
    }
    // Checked 'New items' from ";"-separated lines, as an import leaves them.
    void AddNewItems(const Strings& lines) {
        for (const auto& line : lines) newItems.AddItemFromText(line, ";", fresh->GetRowCount());
    }
    // Named 'Database' columns and ";"-separated rows, as a load leaves them.
    void AddDatabase(const Strings& names, const Strings& lines) {
        const CGridCtrl::CUnrecorded loaded(*db);
        for (const auto& name : names) db->SetCellText(0, pane::AppendDataColumn(*db), name);
        for (const auto& line : lines) AddDatabaseLine(*db, line, -1);
    }
    CGridCellCheckBox* Box(int row) const { return dynamic_cast<CGridCellCheckBox*>(fresh->GetCell(row, 0)); }
    void SetChecks(const std::vector<bool>& checks) {
        for (std::size_t i = 0; i < checks.size(); ++i) Box(static_cast<int>(i) + 1)->SetCheck(checks[i]);
    }
    std::vector<bool> Checks() const {
        std::vector<bool> out;
        for (int r = 1; r < fresh->GetRowCount(); ++r) out.push_back(Box(r)->GetCheck());
        return out;
    }
    // A right click on (row, col) of a pane, choosing command (none: closing the menu).
    void Choose(bool inDatabase, int row, int col, std::optional<MenuCommand> command) {
        menus.choose = command ? static_cast<int>(*command) : 0;
        OnGridContextMenu(frame, menus, dialogs, inDatabase, row, col);
    }
    bool ConfigurationMarked() const { return window.title == openTitle + "*"; }
    bool DatabaseMarked() const { return db->GetCellText(0, 0) == "Database*"; }

    static Strings Column(const CGridCtrl& grid, int col) {
        Strings out;
        for (int r = 0; r < grid.GetRowCount(); ++r) out.emplace_back(grid.GetCellText(r, col));
        return out;
    }
    static Strings Row(const CGridCtrl& grid, int row) {
        Strings out;
        for (int c = 1; c < grid.GetColumnCount(); ++c) out.emplace_back(grid.GetCellText(row, c));
        return out;
    }
};

}  // namespace tabulon::testing
