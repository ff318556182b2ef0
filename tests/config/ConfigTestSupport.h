#pragma once
// A main frame with a fresh 'Database' grid and a scratch folder per test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FakeConfigFrame.h"
#include "FakeMainWindow.h"
#include "ScratchFolder.h"
#include "ScriptedMessageBox.h"
#include "config/ConfigFile.h"
#include "grid/GridCtrl.h"

namespace tabulon::testing {

namespace fs = std::filesystem;

// What the main window holds, as the configuration sees it, while no
// configuration is open.
struct Session {
    Session() {
        grid.SetRowCount(1);
        grid.SetColumnCount(1);
        grid.SetFixedRowCount(1);
        grid.SetCellText(0, 0, "Database");
        frame.SetDatabaseGrid(&grid);
    }
    void AddColumns(const std::vector<std::string>& names) {
        for (const std::string& name : names) grid.InsertColumn(name, {}, -1);
    }
    std::vector<std::string> ColumnNames() const {
        std::vector<std::string> names;
        for (int col = 1; col < grid.GetColumnCount(); ++col) names.emplace_back(grid.GetCellText(0, col));
        return names;
    }

    fakes::FakeMainWindow window;
    fakes::ScriptedMessageBox messages;
    fakes::FakeConfigFrame frame{window, messages};
    CGridCtrl grid;
};

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {}

    std::string PathOf(const std::string& name) const { return scratch.PathOf(name); }
    std::string MakeFile(const std::string& name, const std::string& bytes) const {
        return scratch.MakeFile(name, bytes);
    }
    static std::string Contents(const std::string& path) { return fakes::ScratchFolder::Contents(path); }
    // Reads a .cfg file of these bytes into s.
    ConfigGridLines Read(const std::string& bytes) { return ReadConfigFile(s.frame, MakeFile("in.cfg", bytes)); }

    fakes::ScratchFolder scratch{"tabulon-config"};
    const fs::path& folder = scratch.folder;
    Session s;
};

}  // namespace tabulon::testing
