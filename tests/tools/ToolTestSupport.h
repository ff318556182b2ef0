#pragma once
// The two item grids under a main window the tool windows can ask, with the
// scripted dialog, message and progress hosts they show themselves through.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingProgress.h"
#include "ScriptedMessageBox.h"
#include "ScriptedToolDialogs.h"
#include "grid/GridCtrl.h"
#include "tools/ToolWindows.h"

namespace tabulon::testing {

using Strings = std::vector<std::string>;
using Rows = std::vector<Strings>;

struct ToolFixture : ::testing::Test, IToolFrame {
    fakes::ScriptedMessageBox messages;
    fakes::ScriptedToolDialogHost dialogs;
    fakes::RecordingProgressHost progress;
    CGridCtrl newItems{1, 1, 1, 0};
    CGridCtrl database{1, 1, 1, 0};
    Rect mainWindow{200, 100, 1000, 700};
    int barsBottom = 0;  // below the menu, toolbar and find bar
    int renumbered = 0;
    CToolWindows tools{*this, messages, dialogs, progress};

    ToolFixture() {
        newItems.SetCellText(0, 0, "New items");
        database.SetCellText(0, 0, "Database");
    }

    // IToolFrame
    CGridCtrl* GetNewItemsGrid() const override { return const_cast<CGridCtrl*>(&newItems); }
    CGridCtrl* GetDatabaseGrid() const override { return const_cast<CGridCtrl*>(&database); }
    void MarkDatabaseModified() override { database.SetCellText(0, 0, "Database*"); }
    void NumberDatabaseItemRows() override {
        ++renumbered;
        for (int r = 1; r < database.GetRowCount(); ++r) database.SetCellText(r, 0, std::to_string(r));
    }
    Rect MainWindowRect() const override { return mainWindow; }
    int MainWindowBarsBottom() const override { return barsBottom; }

    // Headings of the data columns and the items' data cells; 'Database'
    // items are numbered in column 0.
    static void Fill(CGridCtrl& grid, const Strings& headings, const Rows& rows) {
        grid.SetColumnCount(static_cast<int>(headings.size()) + 1);
        grid.SetRowCount(static_cast<int>(rows.size()) + 1);
        for (std::size_t c = 0; c < headings.size(); ++c) grid.SetCellText(0, static_cast<int>(c) + 1, headings[c]);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                grid.SetCellText(static_cast<int>(r) + 1, static_cast<int>(c) + 1, rows[r][c]);
    }
    void FillDatabase(const Strings& headings, const Rows& rows) {
        Fill(database, headings, rows);
        for (int r = 1; r < database.GetRowCount(); ++r) database.SetCellText(r, 0, std::to_string(r));
    }
    // The data cells of every item.
    static Rows Items(const CGridCtrl& grid) {
        Rows out;
        for (int r = 1; r < grid.GetRowCount(); ++r) {
            Strings row;
            for (int c = 1; c < grid.GetColumnCount(); ++c) row.emplace_back(grid.GetCellText(r, c));
            out.push_back(row);
        }
        return out;
    }
    static Strings Column(const CGridCtrl& grid, int col) {
        Strings out;
        for (int r = 0; r < grid.GetRowCount(); ++r) out.emplace_back(grid.GetCellText(r, col));
        return out;
    }
    bool DatabaseMarked() const { return database.GetCellText(0, 0) == "Database*"; }

    // The window shown last, opened by its command.
    fakes::ToolDialog& OpenFindDuplicate() {
        tools.OnFindDuplicate();
        return *dialogs.modeless.back();
    }
    fakes::ToolDialog& OpenReplace() {
        tools.OnReplace();
        return *dialogs.modeless.back();
    }
};

}  // namespace tabulon::testing
