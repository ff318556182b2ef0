// The tool windows on the Qt dialog host, through real widgets: 'Find
// dublicate' with a pair merged in 'Dublicates found', and 'Replace' with
// its radio buttons, edit boxes and icon buttons, beside a stand-in main
// window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "RecordingProgress.h"
#include "ScriptedMessageBox.h"
#include "grid/GridCtrl.h"
#include "qt/QtDesktop.h"
#include "qt/QtDialogHost.h"
#include "qt/QtGridWidget.h"
#include "tools/DuplicatesDlg.h"
#include "tools/ToolWindows.h"

namespace tabulon::testing {
namespace {

using qt::CQtDialog;

class QtToolWindows : public ::testing::Test, public IToolFrame {
protected:
    void SetUp() override {
        for (CGridCtrl* grid : {&newItems, &database}) {
            grid->SetRowCount(1);
            grid->SetColumnCount(1);
            grid->SetFixedRowCount(1);
        }
        database.SetCellText(0, 0, "Database");
        main.setGeometry(100, 80, 800, 600);
        main.show();
        dialogs = std::make_unique<qt::CQtDialogHost>(&main);
        tools = std::make_unique<CToolWindows>(*this, messages, *dialogs, progress);
    }
    void TearDown() override {
        tools.reset();
        dialogs.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CGridCtrl* GetNewItemsGrid() const override { return const_cast<CGridCtrl*>(&newItems); }
    CGridCtrl* GetDatabaseGrid() const override { return const_cast<CGridCtrl*>(&database); }
    void MarkDatabaseModified() override { database.SetCellText(0, 0, "Database*"); }
    void NumberDatabaseItemRows() override {
        for (int r = 1; r < database.GetRowCount(); ++r) database.SetCellText(r, 0, std::to_string(r));
    }
    Rect MainWindowRect() const override {
        const QRect r = main.frameGeometry();
        return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
    }

    // Row 0 holds the headings; column 0 stays empty.
    static void Fill(CGridCtrl& grid, const std::vector<std::vector<std::string>>& rows) {
        grid.SetRowCount(static_cast<int>(rows.size()));
        grid.SetColumnCount(static_cast<int>(rows[0].size()) + 1);
        for (int r = 0; r < grid.GetRowCount(); ++r)
            for (int c = 1; c < grid.GetColumnCount(); ++c) grid.SetCellText(r, c, rows[r][c - 1]);
    }
    // The shown tool window of that caption.
    static CQtDialog* ShownWindow(const QString& caption) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<CQtDialog*>(w); d && d->isVisible() && d->windowTitle() == caption) return d;
        return nullptr;
    }
    template <typename T>
    static T* ControlOf(CQtDialog* dialog, ControlId id) {
        return qobject_cast<T*>(dialog->Control(id));
    }
    static void ClickListEntry(QListWidget* list, int row) {
        const QRect place = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }
    // Runs act on the modal dialog once it is up (the click that opens it
    // returns only when it has ended).
    static void WhenModalShows(std::function<void(CQtDialog*)> act, int tries = 200) {
        QTimer::singleShot(10, [act, tries] {
            if (auto* dialog = qobject_cast<CQtDialog*>(QApplication::activeModalWidget())) {
                act(dialog);
            } else if (tries > 0) {
                WhenModalShows(act, tries - 1);
            }
        });
    }

    qt::CQtDesktop desktop;
    CGridCtrl newItems{0, 0, 0, 0, &desktop};
    CGridCtrl database{0, 0, 0, 0, &desktop};
    QWidget main;
    fakes::ScriptedMessageBox messages;
    fakes::RecordingProgressHost progress;
    std::unique_ptr<qt::CQtDialogHost> dialogs;
    std::unique_ptr<CToolWindows> tools;
};

TEST_F(QtToolWindows, FindDublicateMergesAPairThroughRealWidgets) {
    Fill(database, {{"Artist", "Title"}, {"A", "x"}, {"A", "y"}, {"B", "z"}});
    tools->OnFindDuplicate();
    CQtDialog* window = ShownWindow("Find dublicate");
    ASSERT_NE(window, nullptr);
    const QRect frame = main.frameGeometry();
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(frame.x() + frame.width() - 153, frame.y() + 60));
    auto* list = ControlOf<QListWidget>(window, FindDuplicateId::kColumns);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "All");
    EXPECT_TRUE(list->item(0)->isSelected());
    auto* caseSensitive = ControlOf<QCheckBox>(window, FindDuplicateId::kCaseSensitive);
    ASSERT_NE(caseSensitive, nullptr);
    EXPECT_TRUE(caseSensitive->isChecked());
    EXPECT_FALSE(caseSensitive->isEnabled());

    ClickListEntry(list, 1);  // "1"
    QString mixed;
    bool gridShown = false;
    long long gridWidth = 0;
    int clientWidth = -1;
    WhenModalShows([&](CQtDialog* pair) {
        EXPECT_EQ(pair->windowTitle(), "Dublicates found");
        if (auto* grid = ControlOf<qt::CQtGridWidget>(pair, DuplicatesId::kGrid)) {
            gridShown = grid->isVisible();
            mixed = QString::fromStdString(std::string(grid->Grid().GetCellText(3, 2)));
            gridWidth = grid->Grid().GetTotalWidth();
            clientWidth = grid->viewport()->width();
        }
        QTest::mouseClick(pair->Control(DuplicatesId::kMixDuplicates), Qt::LeftButton);
    });
    QTest::mouseClick(window->Control(FindDuplicateId::kFind), Qt::LeftButton);

    EXPECT_TRUE(gridShown);
    EXPECT_EQ(mixed, "x, y");
    EXPECT_EQ(gridWidth, clientWidth);  // the last column fills the grid's place
    EXPECT_EQ(database.GetRowCount(), 3);
    EXPECT_EQ(database.GetCellText(1, 2), "x, y");
    EXPECT_EQ(database.GetCellText(1, 0), "1");
    EXPECT_EQ(database.GetCellText(0, 0), "Database*");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Done");
    auto* bar = ControlOf<QProgressBar>(window, FindDuplicateId::kProgress);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 3);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(QtToolWindows, ReplaceWorksThroughRealWidgetsAndEscapeClosesIt) {
    Fill(newItems, {{"Col 1"}, {"n"}});
    Fill(database, {{"Artist", "Title"}, {"the beatles - abbey road", "help"}});
    tools->OnReplace();
    CQtDialog* window = ShownWindow("Replace");
    ASSERT_NE(window, nullptr);
    auto* list = ControlOf<QListWidget>(window, ReplaceId::kColumns);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 1);  // 'New items' with its one column
    EXPECT_TRUE(ControlOf<QRadioButton>(window, ReplaceId::kNewItems)->isChecked());
    for (ControlId id : {ReplaceId::kCapitalizeFirst, ReplaceId::kCapitalizeWords}) {
        auto* button = ControlOf<QPushButton>(window, id);
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_TRUE(button->text().isEmpty());
    }

    QTest::mouseClick(window->Control(ReplaceId::kDatabase), Qt::LeftButton);
    EXPECT_FALSE(ControlOf<QRadioButton>(window, ReplaceId::kNewItems)->isChecked());
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(1)->text(), "Artist");
    EXPECT_TRUE(list->item(0)->isSelected());

    ClickListEntry(list, 1);
    QTest::keyClicks(window->Control(ReplaceId::kReplaceText), "beatles");
    QTest::keyClicks(window->Control(ReplaceId::kWithText), "Beatles");
    QTest::mouseClick(window->Control(ReplaceId::kReplace), Qt::LeftButton);
    EXPECT_EQ(database.GetCellText(1, 1), "the Beatles - abbey road");
    EXPECT_EQ(database.GetCellText(0, 0), "Database*");
    QTest::mouseClick(window->Control(ReplaceId::kCapitalizeWords), Qt::LeftButton);
    EXPECT_EQ(database.GetCellText(1, 1), "The Beatles - Abbey Road");
    EXPECT_EQ(database.GetCellText(1, 2), "help");  // only the column picked
    EXPECT_TRUE(messages.shown.empty());

    QPointer<CQtDialog> gone = window;
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(tools->ReplaceDlg(), nullptr);
    EXPECT_TRUE(gone.isNull());
}

// In a dark scheme the icon buttons' letters are light, as the buttons' text.
TEST_F(QtToolWindows, ReplacesIconButtonsAreSeenOnADarkScheme) {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::ButtonText, QColor(0xF0, 0xF0, 0xF0));
    QApplication::setPalette(dark);
    Fill(newItems, {{"Col 1"}, {"n"}});
    tools->OnReplace();
    CQtDialog* window = ShownWindow("Replace");
    ASSERT_NE(window, nullptr);
    for (ControlId id : {ReplaceId::kCapitalizeFirst, ReplaceId::kCapitalizeWords}) {
        const QImage picture = ControlOf<QPushButton>(window, id)->icon().pixmap(32, 32).toImage();
        int lightest = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qAlpha(picture.pixel(x, y)) == 255) lightest = std::max(lightest, qGray(picture.pixel(x, y)));
        EXPECT_GT(lightest, 0xC0) << (id == ReplaceId::kCapitalizeFirst ? "first" : "words");
    }
    QApplication::setPalette(light);
}

}  // namespace
}  // namespace tabulon::testing
