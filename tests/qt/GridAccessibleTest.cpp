// The grid as assistive technology asks for it, through Qt's accessibility
// interfaces. What a reader hears is checked over AT-SPI by
// screen_reader_test.py; offscreen no reader can listen.

#include <QAccessible>
#include <vector>

#include "GridWidgetFixture.h"
#include "qt/QtGridAccessible.h"
#include "qt/QtText.h"

namespace tabulon::testing {
namespace {

class GridAccessibleTest : public GridWidgetTest {
protected:
    QAccessibleInterface* Table() const { return QAccessible::queryAccessibleInterface(widget); }
    QAccessibleTableInterface* Cells() const { return Table()->tableInterface(); }
    // The most cells the table may keep once the event loop has turned: the
    // last ones asked for, the focus cell and the rows in view with the
    // heading row.
    std::size_t KeptAtMost() const {
        const CellRange visible = grid->GetVisibleNonFixedCellRange();
        const int rows = visible.IsValid() ? visible.maxRow - visible.minRow + 1 + grid->GetFixedRowCount() : 0;
        return qt::CQtGridAccessible::kRecentCellsKept + 1 +
               static_cast<std::size_t>(rows) * static_cast<std::size_t>(grid->GetColumnCount());
    }
};

TEST_F(GridAccessibleTest, TheTableReadsAsTheGridShowsIt) {
    SetText(0, 0, "Database");
    SetText(3, 2, "Caf\xE9");  // Windows-1252, as older files hold it
    ASSERT_TRUE(grid->SetCellType(4, 3, CGridCellCheckBox::Class()));
    static_cast<CGridCellCheckBox*>(grid->GetCell(4, 3))->SetCheck(true);
    ASSERT_EQ(Table()->role(), QAccessible::Table);
    EXPECT_EQ(Table()->text(QAccessible::Name), QStringLiteral("Database"));
    // Items are rows, the heading row gives the headers and the fixed
    // column describes each row.
    EXPECT_EQ(Cells()->rowCount(), 5);
    EXPECT_EQ(Cells()->columnCount(), 4);
    EXPECT_EQ(Cells()->columnDescription(2), QStringLiteral("H2"));
    EXPECT_EQ(Cells()->rowDescription(2), QStringLiteral("3"));
    QAccessibleInterface* cafe = Cells()->cellAt(2, 2);
    EXPECT_EQ(cafe->text(QAccessible::Name), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(cafe->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name), QStringLiteral("H2"));
    EXPECT_EQ(Table()->child(Table()->indexOfChild(cafe)), cafe);
    EXPECT_FALSE(cafe->state().checkable);
    // Ticked or not, a check box is one to a reader, which then says its state.
    ASSERT_TRUE(grid->SetCellType(3, 3, CGridCellCheckBox::Class()));
    static_cast<CGridCellCheckBox*>(grid->GetCell(3, 3))->SetCheck(false);
    for (const bool ticked : {true, false}) {
        QAccessibleInterface* box = Cells()->cellAt(ticked ? 3 : 2, 3);
        EXPECT_EQ(box->role(), QAccessible::CheckBox);
        EXPECT_TRUE(box->state().checkable);
        EXPECT_EQ(box->state().checked, ticked);
    }
}

TEST_F(GridAccessibleTest, AMillionItemsCostOnlyTheCellsAskedFor) {
    window.reset();
    grid = std::make_unique<CGridCtrl>(1'000'001, 3, 1, 0, &desktop);
    window = std::make_unique<QWidget>();
    widget = new qt::CQtGridWidget(*grid, window.get());
    window->show();
    EXPECT_EQ(Cells()->rowCount(), 1'000'000);
    EXPECT_EQ(Table()->childCount(), 3 + 3'000'000);
    EXPECT_EQ(widget->Accessible()->CellsMade(), 0u);
    QAccessibleInterface* last = Cells()->cellAt(999'999, 2);
    EXPECT_EQ(widget->Accessible()->CellsMade(), 1u);
    EXPECT_EQ(last->tableCellInterface()->rowIndex(), 999'999);
    EXPECT_EQ(Table()->indexOfChild(last), 3 + 999'999 * 3 + 2);
    // A reader walking the whole list keeps no more than the bound.
    for (int row = 0; row < 1'000'000; row += 100) Cells()->cellAt(row, 1);
    QApplication::processEvents();
    EXPECT_LE(widget->Accessible()->CellsMade(), KeptAtMost());
}

// A reader walking the table asks for a child, then for its role and text,
// each a request of its own: the event loop turns in between.
TEST_F(GridAccessibleTest, AReaderWalkingTheTableFindsEachCellItWasHanded) {
    constexpr int kColumns = 5;
    constexpr int kWalked = 10'000;
    Build(kWalked / kColumns + 100, kColumns);
    grid->SetFocusCell(40, 3);  // out of view
    QAccessibleInterface* focus = Table()->focusChild();
    ASSERT_NE(focus, nullptr);
    const QAccessible::Id focusId = QAccessible::uniqueId(focus);
    std::vector<QAccessible::Id> handed;
    for (int i = 0; i < kWalked; ++i) {
        QAccessibleInterface* cell = Table()->child(i);
        ASSERT_NE(cell, nullptr) << "child " << i;
        handed.push_back(QAccessible::uniqueId(cell));
        QApplication::processEvents();
        ASSERT_EQ(QAccessible::accessibleInterface(handed.back()), cell) << "child " << i << " is gone";
        const int row = i / kColumns;  // the heading row is the first
        const int col = i % kColumns;
        const QAccessible::Role role =
            row == 0 ? QAccessible::ColumnHeader : (col == 0 ? QAccessible::RowHeader : QAccessible::Cell);
        EXPECT_EQ(cell->role(), role) << "child " << i;
        EXPECT_EQ(cell->text(QAccessible::Name), qt::TextFromBytes(grid->GetCellText(row, col))) << "child " << i;
        ASSERT_LE(widget->Accessible()->CellsMade(), KeptAtMost()) << "after child " << i;
    }
    // The last ones asked for are there still, a reader coming back to
    // them; one asked for long ago, out of view, is let go; the focus cell
    // stays, however long ago it was asked for.
    for (int i = kWalked - static_cast<int>(qt::CQtGridAccessible::kRecentCellsKept); i < kWalked; ++i)
        EXPECT_NE(QAccessible::accessibleInterface(handed[static_cast<std::size_t>(i)]), nullptr) << "child " << i;
    EXPECT_EQ(QAccessible::accessibleInterface(handed[kColumns * 1000 + 2]), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(focusId), focus);
}

}  // namespace
}  // namespace tabulon::testing
