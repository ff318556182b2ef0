// The dialogs for those who do not see them whole: what a screen reader
// hears for their controls (buttons that show a picture named after their
// field, drop-down lists after their labels, shortened texts said whole), and
// a dialog larger than the screen, which scrolls to every control.

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStringList>
#include <QTest>

#include "ReaderName.h"
#include "config/ConfigDialog.h"
#include "qt/QtDialogHost.h"
#include "tools/AddItemsDialog.h"
#include "tools/FindDuplicateDlg.h"
#include "tools/ReplaceDlg.h"

namespace tabulon::testing {
namespace {

struct NoEvents : IDialogEvents {
    void OnInitDialog(IDialogWindow&) override {}
    void OnCommand(IDialogWindow&, ControlId) override {}
};

TEST(DialogNames, EveryControlIsNamedAsAReaderShouldSayIt) {
    namespace C = ConfigDlgId;
    namespace A = AddItemsDlgId;
    struct Named {
        ControlId id;
        const char* name;
    };
    struct Case {
        DialogTemplate dialog;
        std::vector<Named> controls;
        QStringList groups;
    };
    const Case cases[] = {
        {CConfigDlg::Template(),
         {{C::kBrowseDatabase, "Browse for the database file"},
          {C::kBrowseOutput, "Browse for the output file"},
          {C::kEditHead, "Edit the head file"},
          {C::kBrowseHeadFile, "Browse for the head file"},
          {C::kEditEnd, "Edit the end file"},
          {C::kBrowseEndFile, "Browse for the end file"},
          {C::kBrowseCfgFile, "Browse for the configuration file"},
          {C::kBrowseCertFile, "Browse for the certificate file"},
          {C::kPickHeadColour, "Pick the headline color"},
          {C::kPickIndexColour, "Pick the index color"},
          {C::kPickFirstColour, "Pick the first row color"},
          {C::kPickSecondColour, "Pick the second row color"},
          {C::kProtocol, "Protocol"},
          {C::kAddIndex, "Index"},
          {C::kDatabase, "Database"},
          {C::kPort, "Port"}},
         {"List layout"}},
        {CReplaceDlg::Template(),
         {{ReplaceId::kNewItems, "New items"},
          {ReplaceId::kDatabase, "Database"},
          {ReplaceId::kColumns, "Column to replace in"},
          {ReplaceId::kWithText, "With"}},
         {}},
        {CFindDuplicateDlg::Template(), {{FindDuplicateId::kCaseSensitive, "Case sensitive"}}, {}},
        {CAddItemsDlg::Template(),
         {{A::kFolderTree, "Folders"},
          {A::kFileSize, "File size"},
          {A::kFileKb, "File size in kilobytes"},
          {A::kFileUnit, "Unit of file sizes"},
          {A::kDirSize, "Directory size"},
          {A::kDirAddUnit, "Add a unit to directory sizes"}},
         {"Directories", "Files"}},
    };
    for (const Case& c : cases) {
        NoEvents events;
        qt::CQtDialog dialog(c.dialog, events, nullptr);
        for (const Named& named : c.controls) {
            QWidget* control = dialog.Control(named.id);
            ASSERT_NE(control, nullptr) << c.dialog.caption << " " << static_cast<int>(named.id);
            EXPECT_EQ(ReaderName(control), QString::fromUtf8(named.name)) << c.dialog.caption;
        }
        QStringList groups;
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
            if (group->title().isEmpty()) groups << group->accessibleName();
        groups.sort();
        EXPECT_EQ(groups, c.groups) << c.dialog.caption;
    }
}

TEST(DialogReach, ADialogLargerThanTheScreenFitsOnItAndScrollsToTheControlTabReaches) {
    // Twice the screen's size in dialog units, a button in each far corner.
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    DialogTemplate t;
    t.caption = "Large";
    t.units = {screen.width(), screen.height() / 2};
    t.controls = {MakeControl(ControlKind::Button, ControlId{10}, "First", 2, 2, 40, 14),
                  MakeControl(ControlKind::Button, ControlId{11}, "Last", t.units.cx - 42, t.units.cy - 16, 40, 14)};
    NoEvents events;
    qt::CQtDialog dialog(t, events, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_LE(dialog.width(), screen.width());
    EXPECT_LE(dialog.height(), screen.height());
    auto* scroll = dialog.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    QWidget* last = dialog.Control(ControlId{11});
    dialog.Control(ControlId{10})->setFocus();
    QTest::keyClick(dialog.Control(ControlId{10}), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), last);
    const QRect shown(last->mapTo(scroll->viewport(), QPoint()), last->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(shown));

    // One that fits has no scroll area.
    qt::CQtDialog config(CConfigDlg::Template(), events, nullptr);
    EXPECT_EQ(config.findChild<QScrollArea*>(), nullptr);
}

}  // namespace
}  // namespace tabulon::testing
