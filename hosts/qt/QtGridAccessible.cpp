#include "qt/QtGridAccessible.h"

#include <QAccessibleActionInterface>
#include <algorithm>
#include <climits>
#include <utility>

#include "grid/GridCtrl.h"
#include "platform/Keys.h"
#include "qt/QtGridWidget.h"
#include "qt/QtText.h"

namespace tabulon::qt {

namespace {

const CGridCellCheckBox* CheckBoxAt(const CGridCtrl& grid, int row, int col) {
    return dynamic_cast<const CGridCellCheckBox*>(grid.FindCell(row, col));
}

// One cell of the table, or one of its column headers (a cell of the
// heading row). It holds only its place and reads the grid whenever asked.
class CGridCellAccessible final : public QAccessibleInterface,
                                  public QAccessibleTableCellInterface,
                                  public QAccessibleActionInterface {
public:
    CGridCellAccessible(CQtGridAccessible& table, int row, int col)
        : m_table(table), m_row(row), m_col(col), m_checked(IsChecked()) {}

    int Col() const { return m_col; }
    // Everything asked of a cell is answered from the grid only while the
    // grid's window is there (Qt may ask while the window is going).
    bool IsHeading() const { return isValid() && m_row < Grid().GetFixedRowCount(); }
    CQtGridAccessible& Table() const { return m_table; }
    // Whether the tick is not what it was when last asked.
    bool CheckTurned() {
        const bool checked = IsChecked();
        return std::exchange(m_checked, checked) != checked;
    }

    // QAccessibleInterface
    bool isValid() const override { return m_table.isValid() && Grid().IsValidCell(m_row, m_col); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_table.window(); }
    QAccessibleInterface* parent() const override { return &m_table; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) return {};
        // A check box says what it is through its states; its text is only
        // how the tick is stored.
        if (CheckBoxAt(Grid(), m_row, m_col)) return {};
        return TextFromBytes(Grid().GetCellText(m_row, m_col));
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        Rect cell;
        if (!isValid() || !Grid().GetCellRect(m_row, m_col, cell)) return {};
        const QWidget* viewport = m_table.Widget()->viewport();
        return QRect(viewport->mapToGlobal(QPoint(cell.left, cell.top)), QSize(cell.Width() + 1, cell.Height() + 1));
    }

    QAccessible::Role role() const override {
        if (IsHeading()) return QAccessible::ColumnHeader;
        if (!isValid()) return QAccessible::Cell;
        if (m_col < Grid().GetFixedColumnCount()) return QAccessible::RowHeader;
        // As a check box, so that a reader says "not checked" as well as
        // "checked": of a plain cell it tells only a tick that is there.
        return CheckBoxAt(Grid(), m_row, m_col) ? QAccessible::CheckBox : QAccessible::Cell;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        CGridCtrl& grid = Grid();
        CQtGridWidget* widget = m_table.Widget();
        Rect cell;
        const QRect client = widget->viewport()->rect();
        state.offscreen = !grid.GetCellRect(m_row, m_col, cell) || cell.left >= client.width() ||
                          cell.top >= client.height() || cell.right < 0 || cell.bottom < 0;
        state.invisible = !widget->isVisible();
        if (IsHeading()) return state;
        state.focusable = true;
        state.focused = widget->hasFocus() && !grid.IsEditing() && grid.GetFocusCell() == CellId(m_row, m_col);
        state.selectable = grid.IsSelectable();
        state.selected = grid.IsCellSelected(m_row, m_col);
        const bool editable = grid.IsCellEditable(m_row, m_col);
        if (CheckBoxAt(grid, m_row, m_col)) {
            state.checkable = true;
            state.checked = IsChecked();
            state.disabled = !editable;
        } else {
            state.editable = editable;
            state.readOnly = !editable;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface && !IsHeading())
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return isValid() && Grid().IsCellSelected(m_row, m_col); }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        QAccessibleInterface* heading = isValid() && Grid().GetFixedRowCount() > 0 ? m_table.Cell(0, m_col) : nullptr;
        return heading ? QList<QAccessibleInterface*>{heading} : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        const int fixed = isValid() ? Grid().GetFixedColumnCount() : 0;
        QAccessibleInterface* heading = fixed > 0 && m_col >= fixed ? m_table.Cell(m_row, 0) : nullptr;
        return heading ? QList<QAccessibleInterface*>{heading} : QList<QAccessibleInterface*>{};
    }
    int columnIndex() const override { return m_col; }
    int rowIndex() const override { return isValid() ? m_row - Grid().GetFixedRowCount() : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return &m_table; }

    // QAccessibleActionInterface: a check box is ticked as Space ticks it,
    // so that it is one step to undo as a click is.
    QStringList actionNames() const override {
        if (!isValid() || IsHeading() || !CheckBoxAt(Grid(), m_row, m_col)) return {};
        return {toggleAction()};
    }
    void doAction(const QString& name) override {
        if (name == toggleAction() && actionNames().contains(name))
            Grid().OnEditCell(m_row, m_col, std::nullopt, Key::kSpace);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        return name == toggleAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }

private:
    CGridCtrl& Grid() const { return m_table.Grid(); }
    bool IsChecked() const {
        const CGridCellCheckBox* box = CheckBoxAt(Grid(), m_row, m_col);
        return box && box->GetCheck();
    }

    CQtGridAccessible& m_table;
    int m_row;
    int m_col;
    bool m_checked;  // as last told
};

CGridCellAccessible* AsCell(QAccessibleInterface* iface) { return dynamic_cast<CGridCellAccessible*>(iface); }

QAccessibleInterface* GridFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<CQtGridWidget*>(object);
    if (widget && !widget->IsGoing()) return new CQtGridAccessible(widget);
    return nullptr;
}

}  // namespace

void CQtGridAccessible::InstallFactory() {
    static const bool installed = (QAccessible::installFactory(&GridFactory), true);
    (void)installed;
}

CQtGridAccessible::CQtGridAccessible(CQtGridWidget* widget) : QAccessibleWidget(widget, QAccessible::Table) {
    widget->SetAccessible(this);
}

CQtGridAccessible::~CQtGridAccessible() {
    DropAllCells();
    if (CQtGridWidget* widget = Widget()) widget->SetAccessible(nullptr);
}

CQtGridWidget* CQtGridAccessible::Widget() const { return static_cast<CQtGridWidget*>(widget()); }

CGridCtrl& CQtGridAccessible::Grid() const { return Widget()->Grid(); }

bool CQtGridAccessible::HasHeadingRow() const { return isValid() && Grid().GetFixedRowCount() > 0; }

QString CQtGridAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name || !isValid()) return QAccessibleWidget::text(t);
    // Named by whoever placed the grid, else by its corner, which shows the
    // pane's name.
    if (!Widget()->accessibleName().isEmpty()) return Widget()->accessibleName();
    const CGridCtrl& grid = Grid();
    return HasHeadingRow() && grid.GetColumnCount() > 0 ? TextFromBytes(grid.GetCellText(0, 0)) : QString();
}

QAccessible::State CQtGridAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    if (isValid()) state.readOnly = !Grid().IsEditable();
    return state;
}

int CQtGridAccessible::rowCount() const {
    if (!isValid()) return 0;
    return std::max(Grid().GetRowCount() - Grid().GetFixedRowCount(), 0);
}

int CQtGridAccessible::columnCount() const { return isValid() ? Grid().GetColumnCount() : 0; }

int CQtGridAccessible::childCount() const {
    const long long columns = columnCount();
    const long long count = (HasHeadingRow() ? columns : 0) + static_cast<long long>(rowCount()) * columns;
    // A table may hold more cells than an index can count; those are still
    // reached through cellAt.
    return static_cast<int>(std::min<long long>(count, INT_MAX));
}

QAccessibleInterface* CQtGridAccessible::child(int index) const {
    const int columns = columnCount();
    if (index < 0 || columns == 0) return nullptr;
    if (HasHeadingRow()) {
        if (index < columns) return Cell(0, index);
        index -= columns;
    }
    return cellAt(index / columns, index % columns);
}

int CQtGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const CGridCellAccessible*>(child);
    if (!cell || &cell->Table() != this || !cell->isValid()) return -1;
    const long long columns = columnCount();
    const long long index = cell->IsHeading() ? cell->Col()
                                              : (HasHeadingRow() ? columns : 0) +
                                                    static_cast<long long>(cell->rowIndex()) * columns + cell->Col();
    return index <= INT_MAX ? static_cast<int>(index) : -1;
}

QAccessibleInterface* CQtGridAccessible::childAt(int x, int y) const {
    if (!isValid()) return nullptr;
    const QWidget* viewport = Widget()->viewport();
    const QPoint at = viewport->mapFromGlobal(QPoint(x, y));
    if (!viewport->rect().contains(at)) return nullptr;
    const CellId cell = Grid().GetCellFromPt({at.x(), at.y()});
    return Cell(cell.row, cell.col);
}

QAccessibleInterface* CQtGridAccessible::focusChild() const {
    if (!isValid() || !Widget()->hasFocus() || Grid().IsEditing()) return nullptr;
    const CellId focus = Grid().GetFocusCell();
    return Cell(focus.row, focus.col);
}

void* CQtGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* CQtGridAccessible::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
    return Cell(row + Grid().GetFixedRowCount(), column);
}

QAccessibleInterface* CQtGridAccessible::Cell(int row, int col) const {
    if (!isValid() || !Grid().IsValidCell(row, col) || (row > 0 && row < Grid().GetFixedRowCount())) return nullptr;
    const std::uint64_t key = CellKey(row, col);
    const auto found = m_cells.find(key);
    if (found != m_cells.end()) {
        m_asked.splice(m_asked.begin(), m_asked, found->second.asked);
        if (QAccessibleInterface* made = QAccessible::accessibleInterface(found->second.id)) return made;
    }
    auto* cell = new CGridCellAccessible(const_cast<CQtGridAccessible&>(*this), row, col);
    const QAccessible::Id id = QAccessible::registerAccessibleInterface(cell);
    if (found != m_cells.end()) {
        found->second.id = id;
    } else {
        m_asked.push_front(key);
        m_cells.emplace(key, MadeCell{id, m_asked.begin()});
    }
    // A reader asks for a cell, then for its role and text, each a request
    // of its own: the cells go only once the event loop turns, and then
    // those asked for longest ago.
    if (m_cells.size() > kRecentCellsKept && !m_dropPosted) {
        m_dropPosted = true;
        CQtGridWidget* widget = Widget();
        QMetaObject::invokeMethod(
            widget,
            [widget] {
                if (CQtGridAccessible* table = widget->Accessible()) table->DropCellsLongUnasked();
            },
            Qt::QueuedConnection);
    }
    return cell;
}

void CQtGridAccessible::DropCellsLongUnasked() {
    m_dropPosted = false;
    if (!isValid()) return;
    CGridCtrl& grid = Grid();
    const CellRange visible = grid.GetVisibleNonFixedCellRange();
    const CellId focus = grid.GetFocusCell();
    const auto inView = [&](int row, int col) {
        return visible.IsValid() &&
               (row < grid.GetFixedRowCount() || (row >= visible.minRow && row <= visible.maxRow)) &&
               (col < grid.GetFixedColumnCount() || (col >= visible.minCol && col <= visible.maxCol));
    };
    const auto kept = [&](std::uint64_t key) {
        const int row = static_cast<int>(key >> 32);
        const int col = static_cast<int>(key & 0xFFFFFFFFu);
        return CellId(row, col) == focus || inView(row, col);
    };
    std::size_t unkept = 0;
    for (const std::uint64_t key : m_asked) unkept += !kept(key);
    for (auto it = m_asked.end(); unkept > kRecentCellsKept && it != m_asked.begin();) {
        --it;
        if (kept(*it)) continue;
        if (const auto cell = m_cells.find(*it); cell != m_cells.end()) {
            QAccessible::deleteAccessibleInterface(cell->second.id);
            m_cells.erase(cell);
        }
        it = m_asked.erase(it);
        --unkept;
    }
}

void CQtGridAccessible::DropAllCells() {
    for (const auto& [key, cell] : m_cells) QAccessible::deleteAccessibleInterface(cell.id);
    m_cells.clear();
    m_asked.clear();
}

void CQtGridAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
    // The cells know only their places, which may hold other items now.
    DropAllCells();
}

void CQtGridAccessible::OnCellChanged(int row, int col) {
    if (row == 0 && col == 0 && HasHeadingRow()) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
    // A cell nobody has asked for is not known to anybody either.
    const auto it = m_cells.find(CellKey(row, col));
    if (it == m_cells.end()) return;
    auto* cell = AsCell(QAccessible::accessibleInterface(it->second.id));
    if (!cell) return;
    if (cell->CheckTurned()) {
        QAccessible::State turned;
        turned.checked = true;
        QAccessibleStateChangeEvent event(cell, turned);
        QAccessible::updateAccessibility(&event);
        return;
    }
    QAccessibleEvent named(cell, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

// ---- selection: the panes allow none; a tool window's grid may ----

int CQtGridAccessible::selectedCellCount() const {
    if (!isValid()) return 0;
    return static_cast<int>(std::min<std::size_t>(Grid().GetSelectedCount(), INT_MAX));
}

QList<QAccessibleInterface*> CQtGridAccessible::selectedCells() const {
    // Those in view: a whole list selected would be millions.
    QList<QAccessibleInterface*> cells;
    if (!isValid() || Grid().GetSelectedCount() == 0) return cells;
    const CellRange visible = Grid().GetVisibleNonFixedCellRange();
    if (!visible.IsValid()) return cells;
    for (int r = visible.minRow; r <= visible.maxRow; ++r)
        for (int c = visible.minCol; c <= visible.maxCol; ++c)
            if (Grid().IsCellSelected(r, c))
                if (QAccessibleInterface* cell = Cell(r, c)) cells.append(cell);
    return cells;
}

QList<int> CQtGridAccessible::selectedColumns() const {
    QList<int> columns;
    if (!isValid() || Grid().GetSelectedCount() == 0) return columns;
    const CellRange range = Grid().GetSelectedCellRange();
    for (int c = std::max(range.minCol, 0); c <= range.maxCol; ++c)
        if (isColumnSelected(c)) columns.append(c);
    return columns;
}

QList<int> CQtGridAccessible::selectedRows() const {
    QList<int> rows;
    if (!isValid() || Grid().GetSelectedCount() == 0) return rows;
    const CellRange range = Grid().GetSelectedCellRange();
    const int fixed = Grid().GetFixedRowCount();
    for (int r = std::max(range.minRow, fixed); r <= range.maxRow; ++r)
        if (isRowSelected(r - fixed)) rows.append(r - fixed);
    return rows;
}

bool CQtGridAccessible::isColumnSelected(int column) const {
    if (!isValid() || Grid().GetSelectedCount() == 0 || column < 0 || column >= columnCount() || rowCount() == 0)
        return false;
    const int fixed = Grid().GetFixedRowCount();
    const CellRange range = Grid().GetSelectedCellRange();
    if (column < range.minCol || column > range.maxCol || range.minRow > fixed ||
        range.maxRow < Grid().GetRowCount() - 1)
        return false;
    for (int r = fixed; r < Grid().GetRowCount(); ++r)
        if (!Grid().IsCellSelected(r, column)) return false;
    return true;
}

bool CQtGridAccessible::isRowSelected(int row) const {
    if (!isValid() || Grid().GetSelectedCount() == 0 || row < 0 || row >= rowCount() || columnCount() == 0)
        return false;
    const int gridRow = row + Grid().GetFixedRowCount();
    const CellRange range = Grid().GetSelectedCellRange();
    if (gridRow < range.minRow || gridRow > range.maxRow || range.minCol > 0 || range.maxCol < columnCount() - 1)
        return false;
    for (int c = 0; c < columnCount(); ++c)
        if (!Grid().IsCellSelected(gridRow, c)) return false;
    return true;
}

QString CQtGridAccessible::columnDescription(int column) const {
    if (!HasHeadingRow() || column < 0 || column >= columnCount()) return {};
    return TextFromBytes(Grid().GetCellText(0, column));
}

QString CQtGridAccessible::rowDescription(int row) const {
    if (!isValid() || Grid().GetFixedColumnCount() == 0 || row < 0 || row >= rowCount()) return {};
    return TextFromBytes(Grid().GetCellText(row + Grid().GetFixedRowCount(), 0));
}

}  // namespace tabulon::qt
