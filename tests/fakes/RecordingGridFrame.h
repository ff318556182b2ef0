#pragma once
// Stands in for the main window behind a grid and records what the grid asks.

#include <string>
#include <vector>

#include "grid/GridFrame.h"
#include "grid/GridTable.h"

namespace tabulon::fakes {

class RecordingGridFrame : public IGridFrame {
public:
    bool IsDatabasePaneActive() const override { return databaseActive; }
    void SortActivePaneByAllColumns() override { calls.push_back("sort all"); }
    void NumberDatabaseItemRows() override { calls.push_back("number"); }
    void MoveColumnInActivePane(int from, int to) override {
        calls.push_back("move " + std::to_string(from) + " " + std::to_string(to));
    }
    void OnDatabaseEditEnded(CGridCtrl&, CellId focus) override {
        calls.push_back("edit ended " + std::to_string(focus.row) + "," + std::to_string(focus.col));
    }
    void OnGridChanged(CGridCtrl&, const TableChange& change) override {
        if (change.kind == GridChange::Cells)
            calls.push_back("changed " + std::to_string(change.row) + "," + std::to_string(change.col));
    }
    void ResetNumberColumnWidths() override { calls.push_back("widths"); }
    bool RunCommand(std::string_view step, CWorkRef work) override {
        calls.push_back("gesture " + std::string(step));
        work();
        return true;
    }
    void OnGridContextMenu(int row, int col) override {
        calls.push_back("menu " + std::to_string(row) + "," + std::to_string(col));
    }
    bool Called(const std::string& call) const {
        for (const auto& c : calls)
            if (c == call) return true;
        return false;
    }

    bool databaseActive = false;
    std::vector<std::string> calls;
};

}  // namespace tabulon::fakes
