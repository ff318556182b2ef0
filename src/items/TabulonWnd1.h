#pragma once
// The 'New items' pane: a staging table whose rows carry check boxes.

#include <memory>
#include <string>

#include "grid/GridCtrl.h"
#include "items/ItemsFrame.h"

namespace tabulon {

class CTabulonWnd1 {
public:
    explicit CTabulonWnd1(IItemsFrame& frame) : m_frame(frame) {}

    // Builds the grid on the first call; later calls leave it alone.
    void OnInitialUpdate(IDesktop* desktop = nullptr);
    CGridCtrl* GetGrid() const { return m_grid.get(); }

    void NumberColumnHeadings();
    void FitNewItemsColumns();
    void MakeCheckCell(int row);
    int CountCheckedItems() const;
    void CheckAllItems(bool checked);
    bool FindEmptyCheckedItem();
    void SortByAllColumns();
    // Moves data column from to just after column to (-1: to the end), then
    // renames the headings and fits the columns.
    void MoveColumn(int from, int to);
    // Puts text, cut at separator (one character), into row; a row at or past
    // the end becomes a new, checked item.
    void AddItemFromText(const std::string& text, const std::string& separator, int row);

private:
    IItemsFrame& m_frame;
    std::unique_ptr<CGridCtrl> m_grid;
};

}  // namespace tabulon
