#pragma once
// Both panes, a scripted message box and picker, and an open configuration
// whose .cfg lives in a scratch folder of its own for each test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "HeadlessSession.h"
#include "ScratchFolder.h"
#include "base/TextFile.h"
#include "items/DatabaseFile.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon::testing {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

class DatabaseFileTest : public ::testing::Test, public fakes::HeadlessSession {
protected:
    void SetUp() override {
        frame.Config().cfgfile = PathOf("list.cfg");
        frame.Config().database = "items.db";  // beside the .cfg, not in the working folder
        window.title = OpenTitle();
    }

    std::string OpenTitle() const { return "Tabulon - " + frame.Config().cfgfile; }
    std::string PathOf(const std::string& name) const { return scratch.PathOf(name); }
    std::string MakeFile(const std::string& name, const std::string& bytes) const {
        return scratch.MakeFile(name, bytes);
    }
    static std::string Contents(const std::string& path) { return fakes::ScratchFolder::Contents(path); }
    CGridCtrl& Db() { return *database.GetGrid(); }
    // Texts of the item rows, from column `from` on.
    static Rows Items(const CGridCtrl& grid, int from = 1) {
        Rows rows;
        for (int r = 1; r < grid.GetRowCount(); ++r) {
            rows.emplace_back();
            for (int c = from; c < grid.GetColumnCount(); ++c) rows.back().emplace_back(grid.GetCellText(r, c));
        }
        return rows;
    }
    static std::vector<std::string> Row0(const CGridCtrl& grid) {
        std::vector<std::string> names;
        for (int c = 1; c < grid.GetColumnCount(); ++c) names.emplace_back(grid.GetCellText(0, c));
        return names;
    }
    // Fills 'Database' by hand, without the code under test.
    void SetDatabase(const std::vector<std::string>& names, const Rows& rows) {
        for (const std::string& name : names) Db().InsertColumn(name, {}, -1);
        for (const auto& cells : rows) {
            const int r = Db().InsertRow(std::to_string(Db().GetRowCount()));
            for (std::size_t c = 0; c < cells.size(); ++c) Db().SetCellText(r, static_cast<int>(c) + 1, cells[c]);
        }
    }

    CMainFrame& frame = session.Frame();
    CTabulonWnd1& newItems = session.NewItemsPane();
    CTabulonWnd2& database = session.DatabasePane();
    fakes::ScratchFolder scratch{"tabulon-db"};
    const fs::path& folder = scratch.folder;
};

}  // namespace tabulon::testing
