#pragma once
// A 'New items' pane under a main window, its grid in a window that
// measures text at 7 pixels a character, and a scratch folder to scan.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FakeGridWindow.h"
#include "HeadlessSession.h"
#include "ScratchFolder.h"
#include "grid/GridCell.h"
#include "items/TabulonWnd1.h"

namespace tabulon::testing {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

struct NewItemsFixture : ::testing::Test, fakes::HeadlessSession {
    CTabulonWnd1& newItems = session.NewItemsPane();
    CGridCtrl* grid = nullptr;
    fakes::FakeGridWindow gridWindow;
    fakes::ScratchFolder scratch{"tabulon-tools"};

    void SetUp() override {
        grid = newItems.GetGrid();
        gridWindow.hasDC = true;
        grid->AttachWindow(&gridWindow);
    }
    void TearDown() override { grid->AttachWindow(nullptr); }
    // The folder (ending in "/") as the command hands it over.
    std::string Folder() const { return scratch.folder.string() + "/"; }
    void MakeFolder(const std::string& name) const { fs::create_directories(scratch.folder / name); }
    // A file of size bytes; sizes above a few kilobytes are made sparse.
    void MakeFile(const std::string& name, std::uintmax_t size = 0) const {
        scratch.MakeFile(name, "");
        fs::resize_file(scratch.folder / name, size);
    }
    // The data cells of each item row.
    Strings Rows() const {
        Strings rows;
        for (int r = 1; r < grid->GetRowCount(); ++r) {
            std::string row;
            for (int c = 1; c < grid->GetColumnCount(); ++c)
                row.append(c > 1 ? "|" : "").append(grid->GetCellText(r, c));
            rows.push_back(row);
        }
        return rows;
    }
    std::vector<bool> Checks() const {
        std::vector<bool> checks;
        for (int r = 1; r < grid->GetRowCount(); ++r) {
            auto* box = dynamic_cast<CGridCellCheckBox*>(grid->GetCell(r, 0));
            checks.push_back(box && box->GetCheck());
        }
        return checks;
    }
};

}  // namespace tabulon::testing
