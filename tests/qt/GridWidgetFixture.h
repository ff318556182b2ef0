#pragma once
// A real grid widget in a window, with a line edit after it to take the
// focus on, a stand-in for the main window's side and an owner that records
// the grid's notifications. Events go in through QTest as a user's would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TextNames.h"
#include "grid/GridCtrl.h"
#include "qt/QtDesktop.h"
#include "qt/QtGridWidget.h"

namespace tabulon::testing {

class StandInFrame : public IGridFrame {
public:
    bool IsDatabasePaneActive() const override { return databaseActive; }
    void SortActivePaneByAllColumns() override { ++sortsByAllColumns; }
    void NumberDatabaseItemRows() override { ++numberings; }
    void MoveColumnInActivePane(int from, int to) override { moves.push_back({from, to}); }
    void OnDatabaseEditEnded(CGridCtrl&, CellId) override {}
    void OnGridChanged(CGridCtrl&, const TableChange& change) override {
        if (change.kind == GridChange::Cells) changed.push_back({change.row, change.col});
    }
    void ResetNumberColumnWidths() override {}
    void OnGridContextMenu(int row, int col) override { contextMenus.push_back({row, col}); }

    bool databaseActive = false;
    int sortsByAllColumns = 0;
    int numberings = 0;
    std::vector<std::pair<int, int>> moves;
    std::vector<std::pair<int, int>> changed;
    std::vector<std::pair<int, int>> contextMenus;
};

class RecordingOwner : public IGridOwner {
public:
    void OnGridNotify(CGridCtrl&, GridNotify code, CellId cell) override { notes.push_back({code, cell}); }
    int Count(GridNotify code) const {
        int n = 0;
        for (const auto& note : notes) n += note.first == code;
        return n;
    }
    std::vector<std::pair<GridNotify, CellId>> notes;
};

class GridWidgetTest : public ::testing::Test {
protected:
    static constexpr int kColumnWidth = 90;

    void SetUp() override { Build(6, 4); }
    void TearDown() override {
        window.reset();  // the widget goes before its grid
        grid.reset();
        QApplication::processEvents();
    }

    // rows and cols include the one fixed row and column.
    void Build(int rows, int cols, QSize size = QSize(440, 300)) {
        window.reset();
        grid = std::make_unique<CGridCtrl>(rows, cols, 1, 1, &desktop);
        for (int c = 1; c < cols; ++c) grid->SetCellText(0, c, fakes::Numbered("H", c));
        for (int r = 1; r < rows; ++r) {
            grid->SetCellText(r, 0, std::to_string(r));
            for (int c = 1; c < cols; ++c) grid->SetCellText(r, c, fakes::CellName(r, c));
        }
        for (int c = 0; c < cols; ++c) grid->SetColumnWidth(c, c == 0 ? 40 : kColumnWidth);
        grid->SetOwner(&owner);
        grid->SetFrame(&frame);
        grid->SetModified(false);
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        widget = new qt::CQtGridWidget(*grid, window.get());
        after = new QLineEdit(window.get());
        layout->addWidget(widget);
        layout->addWidget(after);
        window->resize(size);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        widget->setFocus();
        QApplication::processEvents();
        Pause();  // nothing from an earlier test makes a double click
    }

    QWidget* Viewport() const { return widget->viewport(); }
    QPoint Centre(int row, int col) const {
        Rect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, rect));
        return QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    Rect CellRect(int row, int col) const {
        Rect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, rect));
        return rect;
    }
    // The open edit box, or none.
    QLineEdit* Edit() const {
        auto* edit = qobject_cast<QLineEdit*>(widget->EditWidget());
        return edit && edit->isVisible() ? edit : nullptr;
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }
    // A key as the user presses it: to whatever has the focus.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = Focused() ? Focused() : widget;
        if (key == Qt::Key_Backtab) {
            // QTest knows no text for it; the platform gives none either.
            QTest::sendKeyEvent(QTest::Press, target, key, QString(), modifiers);
            QTest::sendKeyEvent(QTest::Release, target, key, QString(), modifiers);
        } else {
            QTest::keyClick(target, key, modifiers);
        }
        QApplication::processEvents();
    }
    // Each character goes to whatever has the focus by then: the first one
    // typed on the grid opens the edit box, which takes the rest.
    void TypeText(const QString& text) {
        for (QChar ch : text) {
            QWidget* target = Focused() ? Focused() : widget;
            if (ch.unicode() < 0x80) {
                QTest::keyClick(target, ch.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
                QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            }
            QApplication::processEvents();
        }
    }
    // Texts set by a test do not count as edits.
    void SetText(int row, int col, const std::string& text) {
        grid->SetCellText(row, col, text);
        grid->SetModified(false);
    }
    void Click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Viewport(), button, modifiers, at, TakeDelay());
        QApplication::processEvents();
    }
    // The next press comes later than a double click would: QTest's events
    // carry their own time stamps, so waiting for real does not do it.
    void Pause() { m_delay = QApplication::doubleClickInterval() + 50; }
    int TakeDelay() { return std::exchange(m_delay, -1); }
    bool Modified(int row, int col) const {
        return static_cast<bool>(grid->GetCellState(row, col) & CellState::kModified);
    }

    qt::CQtDesktop desktop;
    StandInFrame frame;
    RecordingOwner owner;
    std::unique_ptr<CGridCtrl> grid;
    std::unique_ptr<QWidget> window;
    qt::CQtGridWidget* widget = nullptr;
    QLineEdit* after = nullptr;

private:
    int m_delay = -1;
};

}  // namespace tabulon::testing
