// The mouse on a grid widget: dividers, check boxes, heading clicks, the
// right button, the wheel, the scroll bars and the title tip.

#include <QScrollBar>
#include <QWheelEvent>

#include "GridWidgetFixture.h"

using namespace tabulon;
using namespace tabulon::testing;

namespace {

struct QtGridMouse : GridWidgetTest {
    void SendMove(QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
        QMouseEvent move(QEvent::MouseMove, at, Viewport()->mapToGlobal(at), Qt::NoButton, buttons, modifiers);
        QApplication::sendEvent(Viewport(), &move);
    }
    void Wheel(int delta) {
        const QPoint at = Viewport()->rect().center();
        QWheelEvent wheel(at, Viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &wheel);
    }
};

}  // namespace

TEST_F(QtGridMouse, DraggingAColumnDividerInTheHeadingResizesTheColumn) {
    const Rect heading = CellRect(0, 1);
    const int y = (heading.top + heading.bottom) / 2;
    QTest::mouseMove(Viewport(), QPoint(heading.right, y));
    EXPECT_EQ(widget->CurrentGridCursor(), GridCursor::SizeColumns);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::SplitHCursor);

    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(heading.right, y));
    // The tracking line follows the mouse while the button is down.
    SendMove(QPoint(heading.right + 35, y), Qt::LeftButton, Qt::NoModifier);
    ASSERT_TRUE(widget->TrackingLineWidget()->isVisible());
    EXPECT_EQ(widget->TrackingLineWidget()->geometry().left(), heading.right + 35);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(heading.right + 35, y));
    QApplication::processEvents();
    EXPECT_FALSE(widget->TrackingLineWidget()->isVisible());
    EXPECT_EQ(grid->GetColumnWidth(1), heading.right + 35 - heading.left);
    EXPECT_EQ(grid->GetColumnWidth(2), kColumnWidth);
    EXPECT_EQ(grid->GetSortColumn(), -1);  // grabbing a divider sorts nothing

    // Away from the divider the arrow comes back.
    QTest::mouseMove(Viewport(), Centre(2, 2));
    EXPECT_EQ(widget->CurrentGridCursor(), GridCursor::Arrow);
}

TEST_F(QtGridMouse, ClickingACheckBoxCellTogglesIt) {
    grid->SetCellType(2, 2, CGridCellCheckBox::Class());
    grid->SetCellType(3, 2, CGridCellCheckBox::Class());
    SetText(2, 2, "");  // a check box is checked by any text
    SetText(3, 2, "");
    auto* box = dynamic_cast<CGridCellCheckBox*>(grid->GetCell(2, 2));
    ASSERT_NE(box, nullptr);
    ASSERT_FALSE(box->GetCheck());
    Click(Centre(2, 2));
    EXPECT_TRUE(box->GetCheck());
    EXPECT_EQ(grid->GetCellText(2, 2), "X");
    EXPECT_GE(owner.Count(GridNotify::kEndEdit), 1);
    Pause();
    Click(Centre(2, 2));
    EXPECT_FALSE(box->GetCheck());
    EXPECT_EQ(Edit(), nullptr);  // a check box opens no edit box

    // Space on the focused box toggles it too, without an edit box.
    auto* other = dynamic_cast<CGridCellCheckBox*>(grid->GetCell(3, 2));
    grid->SetFocusCell(3, 2);
    Press(Qt::Key_Space);
    EXPECT_TRUE(other->GetCheck());
    EXPECT_EQ(Edit(), nullptr);
}

TEST_F(QtGridMouse, AClickOnAHeadingSortsAndTheRightButtonAsksForAMenu) {
    Click(Centre(3, 2), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(grid->GetFocusCell(), CellId(3, 2));
    ASSERT_EQ(frame.contextMenus.size(), 1u);
    EXPECT_EQ(frame.contextMenus[0], std::make_pair(3, 2));

    SetText(1, 2, "pear");
    SetText(2, 2, "apple");
    SetText(3, 2, "fig");
    SetText(4, 2, "banana");
    SetText(5, 2, "cherry");
    Click(Centre(0, 2));
    EXPECT_EQ(grid->GetSortColumn(), 2);
    EXPECT_TRUE(grid->GetSortAscending());
    EXPECT_EQ(grid->GetCellText(1, 2), "apple");
    EXPECT_EQ(grid->GetCellText(5, 2), "pear");
    EXPECT_EQ(frame.sortsByAllColumns, 0);

    // The first data column sorts the whole pane by all columns.
    Pause();
    Click(Centre(0, 1));
    EXPECT_EQ(frame.sortsByAllColumns, 1);
    // The corner sorts nothing.
    Pause();
    grid->SetSortColumn(-1);
    Click(Centre(0, 0));
    EXPECT_EQ(grid->GetSortColumn(), -1);
    EXPECT_EQ(frame.sortsByAllColumns, 1);
    // In 'Database' the numbers are written again after a sort.
    frame.databaseActive = true;
    Pause();
    Click(Centre(0, 3));
    EXPECT_EQ(grid->GetSortColumn(), 3);
    EXPECT_EQ(frame.numberings, 1);
}

TEST_F(QtGridMouse, CtrlDraggingAHeadingOntoADividerMovesTheColumn) {
    const Rect from = CellRect(0, 1);
    const Rect onto = CellRect(0, 3);
    const int y = (from.top + from.bottom) / 2;
    const QPoint start((from.left + from.right) / 2, y);
    QTest::mouseMove(Viewport(), start);
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::ControlModifier, start);
    EXPECT_EQ(widget->CurrentGridCursor(), GridCursor::MoveColumn);
    // The program's own cursor, from its resources.
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_FALSE(Viewport()->cursor().pixmap().isNull());
    SendMove(QPoint(onto.left + 40, y), Qt::LeftButton, Qt::ControlModifier);
    SendMove(QPoint(onto.right, y), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(widget->CurrentGridCursor(), GridCursor::MoveColumnDivider);
    EXPECT_FALSE(Viewport()->cursor().pixmap().isNull());
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(onto.right, y));
    QApplication::processEvents();
    ASSERT_EQ(frame.moves.size(), 1u);
    EXPECT_EQ(frame.moves[0], std::make_pair(1, 3));
    EXPECT_EQ(widget->CurrentGridCursor(), GridCursor::Arrow);
}

TEST_F(QtGridMouse, TheWheelScrollsLinesAndTouchpadPiecesAddUp) {
    Build(60, 4);
    QScrollBar* bar = widget->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const int row = grid->GetRowHeight(1);
    grid->SetMouseWheelLines(3);
    Wheel(-120);
    EXPECT_EQ(bar->value(), 3 * row);
    EXPECT_EQ(grid->GetTopLeftNonFixedCell().row, 4);
    for (int n = 0; n < 3; ++n) Wheel(-40);
    EXPECT_EQ(bar->value(), 6 * row);
    Wheel(120);
    EXPECT_EQ(bar->value(), 3 * row);
    grid->SetMouseWheelLines(-1);  // a page a notch
    Wheel(-120);
    EXPECT_EQ(bar->value(), 3 * row + bar->pageStep());
}

TEST_F(QtGridMouse, ScrollBarStepsAreTheGridsOwn) {
    Build(60, 12);
    QScrollBar* bar = widget->verticalScrollBar();
    QScrollBar* hbar = widget->horizontalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(hbar->isVisible());
    const int row = grid->GetRowHeight(1);
    // The thumb covers a page: the last position is the top of the first row
    // from which the last row shows whole (the view starts at a row's top).
    const long long pixels = grid->GetTotalHeight() - grid->GetFixedRowHeight();
    EXPECT_GE(bar->maximum(), pixels - bar->pageStep());
    EXPECT_LT(bar->maximum(), pixels - bar->pageStep() + row);
    EXPECT_EQ(bar->maximum() % row, 0);
    EXPECT_EQ(bar->pageStep(), Viewport()->height() - grid->GetFixedRowHeight());

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), row);  // one row, whatever Qt's step is
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(bar->value(), row);
    EXPECT_EQ(grid->GetTopLeftNonFixedCell().row, 2);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar->value(), row + bar->pageStep());
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(bar->value(), 0);
    bar->setSliderPosition(5 * row + 3);  // dragging the thumb
    EXPECT_EQ(bar->value(), 5 * row + 3);
    EXPECT_EQ(grid->GetTopLeftNonFixedCell().row, 6);

    hbar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(hbar->value(), kColumnWidth);
    EXPECT_EQ(grid->GetTopLeftNonFixedCell().col, 2);
}

TEST_F(QtGridMouse, DraggingASelectionPastTheBottomScrollsOnTheTimer) {
    Build(60, 4);
    QScrollBar* bar = widget->verticalScrollBar();
    ASSERT_EQ(bar->value(), 0);
    const QPoint start = Centre(2, 1);
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, start);
    SendMove(QPoint(start.x(), Viewport()->height() + 20), Qt::LeftButton, Qt::NoModifier);
    QTest::qWait(300);
    EXPECT_GT(bar->value(), 0);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(start.x(), Viewport()->height() + 20));
    const int stopped = bar->value();
    QTest::qWait(100);
    EXPECT_EQ(bar->value(), stopped);  // the timer went with the release
    const CellRange selected = grid->GetSelectedCellRange();
    EXPECT_EQ(selected.minRow, 2);
    EXPECT_GT(selected.maxRow, 10);
}

TEST_F(QtGridMouse, ANarrowCellShowsItsWholeTextInATitleTip) {
    const std::string longText = "a text far too long for its narrow little cell";
    SetText(2, 2, longText);
    grid->SetFocusCell(1, 1);
    QTest::mouseMove(Viewport(), Centre(2, 2));
    QApplication::processEvents();
    QWidget* tip = widget->TitleTipWidget();
    ASSERT_NE(tip, nullptr);
    ASSERT_TRUE(tip->isVisible());
    const Rect cell = CellRect(2, 2);
    EXPECT_GT(tip->width(), cell.right - cell.left + 1);
    EXPECT_EQ(tip->geometry().top(), Viewport()->mapToGlobal(QPoint(0, cell.top)).y());
    const QImage shot = tip->grab().toImage();
    EXPECT_FALSE(shot.isNull());

    // A press on the tip goes to the cell below it.
    const QPoint onTip = tip->mapFromGlobal(Viewport()->mapToGlobal(Centre(2, 2)));
    QTest::mouseClick(tip, Qt::LeftButton, Qt::NoModifier, onTip, TakeDelay());
    QApplication::processEvents();
    EXPECT_FALSE(tip->isVisible());
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 2));
    EXPECT_GE(owner.Count(GridNotify::kClick), 1);

    // Shown again, it goes as soon as the mouse leaves the cell.
    Pause();
    QTest::mouseMove(Viewport(), Centre(3, 3));
    QTest::mouseMove(Viewport(), Centre(2, 2));
    ASSERT_TRUE(tip->isVisible());
    QTest::mouseMove(Viewport(), Centre(4, 1));
    QApplication::processEvents();
    EXPECT_FALSE(tip->isVisible());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // A short text needs no tip.
    QTest::mouseMove(Viewport(), Centre(3, 3));
    EXPECT_FALSE(tip->isVisible());
}
