// The grid as assistive technology asks for it, through Qt's accessibility
// interfaces. What a reader hears is checked over AT-SPI by
// screen_reader_test.py; offscreen no reader can listen.

#include <QAccessible>

#include "GridWidgetFixture.h"
#include "qt/QtGridAccessible.h"

namespace tabulon::testing {
namespace {

class GridAccessibleTest : public GridWidgetTest {
protected:
    QAccessibleInterface* Table() const { return QAccessible::queryAccessibleInterface(widget); }
    QAccessibleTableInterface* Cells() const { return Table()->tableInterface(); }
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
    const QAccessible::State box = Cells()->cellAt(3, 3)->state();
    EXPECT_TRUE(box.checkable && box.checked);
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
    // A reader walking the whole list keeps no more than it has in view.
    for (int row = 0; row < 1'000'000; row += 100) Cells()->cellAt(row, 1);
    QApplication::processEvents();
    EXPECT_LT(widget->Accessible()->CellsMade(), 1000u);
}

}  // namespace
}  // namespace tabulon::testing
