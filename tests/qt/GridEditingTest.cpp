// In-place editing through real keys and clicks on a grid widget.

#include <QAction>
#include <QDialog>

#include "GridWidgetFixture.h"

using namespace tabulon;
using namespace tabulon::testing;

namespace {

struct QtGridEditing : GridWidgetTest {
    void SetUp() override {
        GridWidgetTest::SetUp();
        grid->SetFocusCell(1, 1);
    }
};

}  // namespace

TEST_F(QtGridEditing, TypingALetterOpensTheBoxWithThatLetterAlone) {
    TypeText("k");
    QLineEdit* edit = Edit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("k"));
    EXPECT_EQ(Focused(), edit);
    EXPECT_EQ(owner.Count(GridNotify::kBeginEdit), 1);
    // The box lies over the cell.
    const Rect cell = CellRect(1, 1);
    EXPECT_EQ(edit->geometry().topLeft(), QPoint(cell.left, cell.top));
    EXPECT_GE(edit->geometry().width(), cell.right - cell.left + 1);

    // Typing past the cell's width widens the box, within the window.
    TypeText("ey" + QString(30, QLatin1Char('W')));
    EXPECT_GT(edit->width(), cell.right - cell.left + 1);
    EXPECT_LE(edit->geometry().right(), Viewport()->width());
    Press(Qt::Key_Return);
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetCellText(1, 1), "key" + std::string(30, 'W'));
    EXPECT_TRUE(Modified(1, 1));
    EXPECT_EQ(Focused(), widget);
    EXPECT_EQ(owner.Count(GridNotify::kEndEdit), 1);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 1));  // Enter stays on the cell
}

TEST_F(QtGridEditing, F2OpensTheOldTextWithTheCaretAtTheEnd) {
    Press(Qt::Key_F2);
    QLineEdit* edit = Edit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("r1c1"));
    EXPECT_EQ(edit->cursorPosition(), 4);
    EXPECT_FALSE(edit->hasSelectedText());
    // Opened this way, Down only moves the caret: the edit goes on.
    Press(Qt::Key_Down);
    EXPECT_EQ(Edit(), edit);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 1));
    TypeText("!");
    Press(Qt::Key_Tab);
    EXPECT_EQ(grid->GetCellText(1, 1), "r1c1!");
}

TEST_F(QtGridEditing, EscapeRestoresTheTextAndLeavesTheCellUnmodified) {
    TypeText("xyz");
    ASSERT_NE(Edit(), nullptr);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetCellText(1, 1), "r1c1");
    EXPECT_FALSE(Modified(1, 1));
    EXPECT_TRUE(frame.changed.empty());
    EXPECT_EQ(Focused(), widget);

    // A text in the old code page comes back byte for byte as well.
    SetText(2, 1, "Caf\xE9");
    grid->SetFocusCell(2, 1);
    Press(Qt::Key_F2);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text(), QString::fromUtf8("Caf\u00E9"));
    TypeText("s");
    Press(Qt::Key_Escape);
    EXPECT_EQ(grid->GetCellText(2, 1), "Caf\xE9");
    EXPECT_FALSE(Modified(2, 1));
}

TEST_F(QtGridEditing, AnUnchangedEditGivesBackTheVeryBytesItGot) {
    // Enter on an untouched text must not rewrite it in another encoding,
    // nor cut a long one short.
    const std::string legacy = "Se\xF1or \x93quoted\x94";
    const std::string longText(40000, 'a');
    SetText(1, 1, legacy);
    SetText(1, 2, longText);
    Press(Qt::Key_F2);
    Press(Qt::Key_Return);
    EXPECT_EQ(grid->GetCellText(1, 1), legacy);
    EXPECT_FALSE(Modified(1, 1));
    grid->SetFocusCell(1, 2);
    Press(Qt::Key_F2);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text().size(), 40000);
    Press(Qt::Key_Return);
    EXPECT_EQ(grid->GetCellText(1, 2), longText);
    EXPECT_FALSE(Modified(1, 2));

    // Typed into, the text is stored as UTF-8.
    grid->SetFocusCell(1, 1);
    Press(Qt::Key_F2);
    Press(Qt::Key_End);
    TypeText(QString::fromUtf8("\u00E9"));
    Press(Qt::Key_Return);
    EXPECT_EQ(grid->GetCellText(1, 1), "Se\xC3\xB1or \xE2\x80\x9Cquoted\xE2\x80\x9D\xC3\xA9");
    EXPECT_TRUE(Modified(1, 1));
}

TEST_F(QtGridEditing, DownInAnEditOpenedByTypingMovesOnAndOpensTheNextCell) {
    TypeText("new");
    ASSERT_NE(Edit(), nullptr);
    Press(Qt::Key_Down);
    EXPECT_EQ(grid->GetCellText(1, 1), "new");
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 1));
    QLineEdit* next = Edit();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->text(), QStringLiteral("r2c1"));
    EXPECT_EQ(next->selectedText(), QStringLiteral("r2c1"));
    const Rect cell = CellRect(2, 1);
    EXPECT_EQ(next->geometry().topLeft(), QPoint(cell.left, cell.top));
    EXPECT_EQ(Focused(), next);
    // Typing replaces the selected text.
    TypeText("z");
    Press(Qt::Key_Return);
    EXPECT_EQ(grid->GetCellText(2, 1), "z");
}

TEST_F(QtGridEditing, TabMovesAlongTheRowAndWrapsToTheNextOne) {
    grid->SetFocusCell(1, 3);  // the row's last column
    Press(Qt::Key_Tab);
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 1));
    EXPECT_EQ(Focused(), widget);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 3));
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 2));

    // At the very end Tab leaves the grid for the next control.
    grid->SetFocusCell(grid->GetRowCount() - 1, 3);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), after);

    // With Tab not handled the focus moves on at once.
    widget->setFocus();
    grid->SetHandleTabKey(false);
    grid->SetFocusCell(1, 1);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), after);
    EXPECT_EQ(grid->GetFocusCell(), CellId(1, 1));
}

TEST_F(QtGridEditing, ClickingTheFocusCellEditsAndClickingElsewhereEndsTheEdit) {
    Click(Centre(2, 2));
    EXPECT_EQ(grid->GetFocusCell(), CellId(2, 2));
    EXPECT_EQ(Edit(), nullptr);
    Pause();  // no double click
    Click(Centre(2, 2));
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text(), QStringLiteral("r2c2"));
    TypeText("+");
    // A click on another cell takes the focus and so ends the edit.
    Click(Centre(3, 3));
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetCellText(2, 2), "r2c2+");
    EXPECT_EQ(grid->GetFocusCell(), CellId(3, 3));
    EXPECT_EQ(Focused(), widget);
}

TEST_F(QtGridEditing, ClosingTheWindowDuringAnEditKeepsWhatWasTyped) {
    TypeText("kept");
    ASSERT_NE(Edit(), nullptr);
    window.reset();
    QApplication::processEvents();
    EXPECT_EQ(grid->GetCellText(1, 1), "kept");
    EXPECT_EQ(grid->GetWindow(), nullptr);
    EXPECT_FALSE(grid->IsEditing());
}

TEST_F(QtGridEditing, MenuShortcutsDoNotTakeTheKeysTheGridWorksWith) {
    int deletes = 0;
    int saves = 0;
    auto* deleteAction = new QAction(window.get());
    deleteAction->setShortcut(QKeySequence(Qt::Key_Delete));
    deleteAction->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(deleteAction, &QAction::triggered, [&] { ++deletes; });
    auto* saveAction = new QAction(window.get());
    saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QObject::connect(saveAction, &QAction::triggered, [&] { ++saves; });
    window->addAction(deleteAction);
    window->addAction(saveAction);

    Press(Qt::Key_Delete);
    EXPECT_EQ(grid->GetCellText(1, 1), "");
    EXPECT_EQ(deletes, 0);
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(Edit(), nullptr);
    // In the edit box too, Delete deletes a character.
    SetText(1, 2, "abc");
    grid->SetFocusCell(1, 2);
    Press(Qt::Key_F2);
    Press(Qt::Key_Home);
    Press(Qt::Key_Delete);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text(), QStringLiteral("bc"));
    EXPECT_EQ(deletes, 0);
    Press(Qt::Key_Return);
}

TEST_F(QtGridEditing, EscapeOnTheGridIsLeftToTheDialogButNotFromAnEdit) {
    window.reset();  // the grid shows in a dialog instead
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    qt::CQtGridWidget* inDialog = new qt::CQtGridWidget(*grid, &dialog);
    layout->addWidget(inDialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    inDialog->setFocus();
    grid->SetFocusCell(1, 1);
    widget = inDialog;

    TypeText("q");
    ASSERT_NE(Edit(), nullptr);
    Press(Qt::Key_Escape);  // ends the edit only
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Edit(), nullptr);
    Press(Qt::Key_Escape);  // now the dialog's
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    delete inDialog;
    widget = nullptr;
}

TEST_F(QtGridEditing, TheWidgetsFontBecomesTheGridsFont) {
    QFont big = widget->font();
    big.setPixelSize(22);
    widget->setFont(big);
    EXPECT_EQ(grid->GetFont().height, -22);
    TypeText("f");
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->font().pixelSize(), 22);
    Press(Qt::Key_Escape);
}
