// 'Rename column' and 'Fill column': their control tables and the rules of
// their buttons.

#include <gtest/gtest.h>

#include "ScriptedDialogHost.h"
#include "ScriptedMessageBox.h"
#include "items/ColumnDialogs.h"

using namespace tabulon;
using fakes::Press;
using fakes::TypeText;

namespace {

struct ColumnDialogs : ::testing::Test {
    fakes::ScriptedMessageBox messages;
    fakes::ScriptedDialogHost host;

    // Every control inside the dialog; "kind id text" for each.
    static std::vector<std::string> Controls(const DialogTemplate& t) {
        std::vector<std::string> out;
        for (const auto& c : t.controls) {
            EXPECT_TRUE(c.units.left >= 0 && c.units.top >= 0 && c.units.right <= t.units.cx &&
                        c.units.bottom <= t.units.cy && c.units.Width() > 0 && c.units.Height() > 0)
                << c.text;
            out.push_back(std::to_string(static_cast<int>(c.kind)) + " " + std::to_string(static_cast<int>(c.id)) +
                          " " + c.text);
        }
        return out;
    }
};

constexpr int kEdit = static_cast<int>(ControlKind::Edit);

}  // namespace

TEST_F(ColumnDialogs, TemplatesHoldTheirControlsWithinTheirSize) {
    const DialogTemplate rename = RenameColumnTemplate();
    EXPECT_EQ(rename.caption, "Rename column");
    EXPECT_EQ(rename.fontFace + " " + std::to_string(rename.fontPoints), "MS Sans Serif 8");
    // Its field is labelled, and the title has room beside the close box.
    EXPECT_EQ(Controls(rename), (std::vector<std::string>{"0 -1 Column name:", std::to_string(kEdit) + " 1004 ",
                                                          "3 1 Rename", "2 2 Cancel"}));
    EXPECT_GE(rename.units.cx, 150);
    EXPECT_TRUE(rename.controls[1].style & ControlStyle::kAutoHScroll);

    const DialogTemplate fill = FillColumnTemplate();
    EXPECT_EQ(fill.caption, "Fill column");
    EXPECT_EQ(fill.units, (Size{133, 33}));
    EXPECT_TRUE(fill.hasCloseBox);  // closing is how it is cancelled: no Cancel button
    EXPECT_EQ(Controls(fill), (std::vector<std::string>{
                                  "0 -1 Fill selected column with:", std::to_string(kEdit) + " 1004 ", "3 1 OK"}));
}

TEST_F(ColumnDialogs, RenameOpensWithTheNameSelectedTakesItUntrimmedCancelKeepsIt) {
    host.scripts = {{TypeText(ControlId{1004}, "other"), Press(DialogId::kCancel)},
                    {TypeText(ControlId{1004}, " Band "), Press(DialogId::kOk)}};
    CRenameColumnDlg cancelled(messages, "Artist");
    EXPECT_EQ(cancelled.DoModal(host), DialogId::kCancel);
    EXPECT_EQ(cancelled.GetName(), "Artist");
    CRenameColumnDlg renamed(messages, "Artist");
    EXPECT_EQ(renamed.DoModal(host), DialogId::kOk);
    EXPECT_EQ(renamed.GetName(), " Band ");
    EXPECT_TRUE(messages.shown.empty());

    fakes::ScriptedDialog shown(RenameColumnTemplate());
    renamed.OnInitDialog(shown);
    EXPECT_EQ(shown.GetControlText(ControlId{1004}), " Band ");
    EXPECT_EQ(shown.focus, ControlId{1004});
    EXPECT_EQ(shown.selectedAll, ControlId{1004});
}

TEST_F(ColumnDialogs, AnEmptyNameIsAskedAboutAndNoKeepsTheDialogOpen) {
    host.scripts = {
        {TypeText(ControlId{1004}, ""), Press(DialogId::kOk), TypeText(ControlId{1004}, "Band"), Press(DialogId::kOk)},
        {TypeText(ControlId{1004}, ""), Press(DialogId::kOk)}};
    messages.Answer(MbResult::No);
    CRenameColumnDlg retyped(messages, "Artist");
    EXPECT_EQ(retyped.DoModal(host), DialogId::kOk);
    EXPECT_EQ(retyped.GetName(), "Band");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Empty column name?");
    EXPECT_EQ(messages.shown[0].caption, "");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Question);
    EXPECT_EQ(messages.shown[0].buttons, MbButtons::YesNo);
    CRenameColumnDlg emptied(messages, "Artist");  // Yes
    EXPECT_EQ(emptied.DoModal(host), DialogId::kOk);
    EXPECT_EQ(emptied.GetName(), "");
}

TEST_F(ColumnDialogs, ANameWithASeparatorOrLineBreakIsRefusedAndTheDialogStays) {
    host.scripts = {{TypeText(ControlId{1004}, "Artist;Title"), Press(DialogId::kOk),
                     TypeText(ControlId{1004}, "Two\nlines"), Press(DialogId::kOk),
                     TypeText(ControlId{1004}, "Artist, Title"), Press(DialogId::kOk)}};
    CRenameColumnDlg dialog(messages, "Artist");
    EXPECT_EQ(dialog.DoModal(host), DialogId::kOk);
    EXPECT_EQ(dialog.GetName(), "Artist, Title");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("\";\""), std::string::npos);
    EXPECT_EQ(messages.shown[0].caption, "Rename column");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Exclamation);
}

TEST_F(ColumnDialogs, FillTakesItsTextAndClosingCancels) {
    host.scripts = {{TypeText(ControlId{1004}, "x"), Press(DialogId::kCancel)}, {Press(DialogId::kOk)}, {}};
    CFillColumnDlg escaped(messages), empty(messages), closed(messages);
    EXPECT_EQ(escaped.DoModal(host), DialogId::kCancel);
    EXPECT_EQ(escaped.GetFillText(), "");
    EXPECT_EQ(empty.DoModal(host), DialogId::kOk);
    EXPECT_EQ(host.finalTexts[1].at(ControlId{1004}), "");  // the box starts empty
    EXPECT_EQ(closed.DoModal(host), DialogId::kCancel);
}
