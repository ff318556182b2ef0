#pragma once
// A grid as assistive technology reads it: a table whose rows are the items
// and whose columns are the grid's columns, the heading row giving the column
// headers and the corner cell the table's name. Cells are made only when a
// reader asks for one and kept while they are in view, have the focus or
// are among the last few thousand asked for: a reader walking a list of a
// million items finds each cell it was handed still there when it reads it,
// and the list costs no more than those few thousand cells. A change of the
// rows or columns lets them all go.

#include <QAccessibleWidget>
#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>

namespace tabulon {
class CGridCtrl;
}

namespace tabulon::qt {

class CQtGridWidget;

class CQtGridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CQtGridAccessible(CQtGridWidget* widget);
    ~CQtGridAccessible() override;
    CQtGridAccessible(const CQtGridAccessible&) = delete;
    CQtGridAccessible& operator=(const CQtGridAccessible&) = delete;

    // The factory that gives every grid widget its table; installed once,
    // by the first grid widget made.
    static void InstallFactory();

    // QAccessibleInterface
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface; rows count the items only.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    // The text of the fixed column, where the grid has one.
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    // The grid's selection belongs to the user's gestures.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // The cell of the grid's (row, col), made now if need be; none for an
    // invalid cell or a fixed row below the heading row.
    QAccessibleInterface* Cell(int row, int col) const;
    // The cell interfaces made and not yet let go.
    std::size_t CellsMade() const { return m_cells.size(); }
    // How many cells are kept besides the focus cell and those in view, the
    // last asked for: once the event loop turns with more made, those asked
    // for longest ago go.
    static constexpr std::size_t kRecentCellsKept = 2048;
    // The text or tick of the grid's (row, col) changed.
    void OnCellChanged(int row, int col);

    CQtGridWidget* Widget() const;
    CGridCtrl& Grid() const;

private:
    static std::uint64_t CellKey(int row, int col) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) | static_cast<std::uint32_t>(col);
    }
    bool HasHeadingRow() const;
    // Lets go of the cells asked for longest ago, down to the bound, but
    // never of the focus cell or one in view.
    void DropCellsLongUnasked();
    void DropAllCells();

    struct MadeCell {
        QAccessible::Id id;
        std::list<std::uint64_t>::iterator asked;  // its place in m_asked
    };
    mutable std::unordered_map<std::uint64_t, MadeCell> m_cells;
    // The keys of the cells made, the one asked for last first.
    mutable std::list<std::uint64_t> m_asked;
    mutable bool m_dropPosted = false;
};

}  // namespace tabulon::qt
