#pragma once
// The 'Database' pane: the items loaded from and saved to the database file,
// numbered in column 0.

#include <memory>

#include "base/TextFile.h"
#include "grid/GridCtrl.h"
#include "items/ItemsFrame.h"

namespace tabulon {

class CTabulonWnd2 {
public:
    explicit CTabulonWnd2(IItemsFrame& frame) : m_frame(frame) {}

    void OnInitialUpdate(IDesktop* desktop = nullptr);
    CGridCtrl* GetGrid() const { return m_grid.get(); }

    void FitDatabaseColumns();
    void NumberItemRows(int first, int last);
    void SortByAllColumns();
    void ClearDatabase();
    // Moves data column from, heading and texts, to just after column to
    // (-1: to the end), then fits the columns. The file's field order and the
    // configuration's column names change with it, so both are marked.
    void MoveColumn(int from, int to);

    // The corner cell tells whether the items hold unsaved changes.
    bool IsDatabaseModified() const;
    void SetDatabaseModified(bool modified);

    // The database file as the items were last loaded from or saved to it.
    FileStamp& DatabaseFileStamp() { return m_fileStamp; }

private:
    IItemsFrame& m_frame;
    std::unique_ptr<CGridCtrl> m_grid;
    FileStamp m_fileStamp;
};

}  // namespace tabulon
