#pragma once
// A main frame with a fresh 'Database' grid and a scratch folder per test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FakeMainWindow.h"
#include "ScriptedMessageBox.h"
#include "app/MainFrame.h"
#include "config/ConfigFile.h"
#include "grid/GridCtrl.h"

namespace tabulon::testing {

namespace fs = std::filesystem;

// What the main window holds while no configuration is open.
struct Session {
    Session() {
        grid.SetRowCount(1);
        grid.SetColumnCount(1);
        grid.SetFixedRowCount(1);
        grid.SetCellText(0, 0, "Database");
        frame.SetDatabaseGrid(&grid);
    }
    void AddColumns(const std::vector<std::string>& names) {
        for (const std::string& name : names) grid.InsertColumn(name, 0, -1);
    }
    std::vector<std::string> ColumnNames() const {
        std::vector<std::string> names;
        for (int col = 1; col < grid.GetColumnCount(); ++col) names.push_back(grid.GetCellText(0, col));
        return names;
    }

    fakes::FakeMainWindow window;
    fakes::ScriptedMessageBox messages;
    CMainFrame frame{window, messages};
    CGridCtrl grid;
};

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = fs::temp_directory_path() /
                 ("tabulon-config-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }
    std::string MakeFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    // Reads a .cfg file of these bytes into s.
    ConfigGridLines Read(const std::string& bytes) {
        return ReadConfigFile(s.frame, MakeFile("in.cfg", bytes));
    }

    fs::path folder;
    Session s;
};

}  // namespace tabulon::testing
