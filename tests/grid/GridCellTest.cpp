// The cell classes: attributes and their defaults, copying, the check box.

#include <gtest/gtest.h>

#include <vector>

#include "grid/GridCtrl.h"

using namespace tabulon;

namespace {

struct RecordingOwner : IGridOwner {
    void OnGridNotify(CGridCtrl&, GridNotify code, CellId cell) override { calls.push_back({code, cell}); }
    std::vector<std::pair<GridNotify, CellId>> calls;
};

}  // namespace

TEST(GridCell, FreshCellAndReset) {
    CGridCell cell;
    EXPECT_EQ(cell.GetText(), "");
    EXPECT_EQ(cell.GetImage(), -1);
    EXPECT_EQ(cell.GetFormat().ToBits(), 0xFFFFFFFFu);  // unset, and no grid to resolve it
    EXPECT_EQ(cell.GetMargin(), 0xFFFFFFFFu);
    EXPECT_EQ(cell.GetTextColour(), kDefaultColour);
    EXPECT_EQ(cell.GetBackColour(), 0x00FFFFFFu);
    EXPECT_TRUE(cell.IsDefaultFont());
    EXPECT_EQ(cell.GetFont(), nullptr);

    LogFont bold;
    bold.weight = 700;
    cell.SetText("t");
    cell.SetFont(&bold);
    cell.SetState(CellState::kSelected);
    cell.SetData(5);
    cell.Reset();
    EXPECT_EQ(cell.GetText(), "");
    EXPECT_EQ(cell.GetState(), CellStates());
    EXPECT_EQ(cell.GetData(), 0u);
    EXPECT_TRUE(cell.IsDefaultFont());
}

// The rarer attributes live beside the cell, with its grid: each keeps its
// own value through the others being set, reset to the default and back.
TEST(GridCell, RareAttributesKeepTheGridAndEachOtherThroughSetsAndResets) {
    CGridCtrl grid(3, 3);
    CGridCell cell;
    cell.SetGrid(&grid);
    cell.SetTextColour(kDefaultColour);  // the default: nothing to keep
    cell.SetImage(2);
    cell.SetTextColour(0x123456);
    cell.SetGrid(&grid);
    cell.SetTextColour(kDefaultColour);
    EXPECT_EQ(cell.GetGrid(), &grid);
    EXPECT_EQ(cell.GetImage(), 2);
    EXPECT_EQ(cell.GetTextColour(), kDefaultColour);
    cell.Reset();
    EXPECT_EQ(cell.GetGrid(), nullptr);
    EXPECT_EQ(cell.GetImage(), -1);
    cell.SetMargin(4);
    cell.SetGrid(&grid);
    EXPECT_EQ(cell.GetMargin(), 4u);
    EXPECT_EQ(cell.GetGrid(), &grid);
}

// Texts are kept in the cell up to seven bytes, beyond in a block with the
// length beside the pointer, and past 65,534 bytes with the length in front.
TEST(GridCell, TextsOfEverySizeKeepTheirBytesWhenGrownShrunkOrSetFromThemselves) {
    CGridCell cell;
    for (const std::size_t size : {0u, 1u, 7u, 8u, 17u, 65534u, 65535u, 70000u, 3u}) {
        std::string text(size, '\0');
        for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(i * 7 + size);
        cell.SetText(text);
        ASSERT_EQ(cell.GetText(), text) << size;
        cell.SetText(cell.GetText().substr(size / 2));  // its own bytes
        ASSERT_EQ(cell.GetText(), text.substr(size / 2)) << size;
    }
}

// Formats and back colours are places in tables of the values met; values
// past the tables' room, and grids past theirs, stay with the cell itself.
TEST(GridCell, ManyFormatsColoursAndGridsEachStayWithTheirCell) {
    std::vector<std::unique_ptr<CGridCtrl>> grids(300);
    std::vector<CGridCell> cells(300);
    for (unsigned i = 0; i < cells.size(); ++i) {
        grids[i] = std::make_unique<CGridCtrl>(1, 1);
        cells[i].SetGrid(grids[i].get());
        cells[i].SetFormat(TextFormats::FromBits(0x100000 + i));
        cells[i].SetBackColour(0x010000 + i);
    }
    for (unsigned i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].GetGrid(), grids[i].get()) << i;
        EXPECT_EQ(cells[i].GetFormat().ToBits(), 0x100000 + i) << i;
        EXPECT_EQ(cells[i].GetBackColour(), 0x010000 + i) << i;
    }
    cells[299].Reset();
    EXPECT_EQ(cells[299].GetBackColour(), 0x00FFFFFFu);
    EXPECT_EQ(cells[299].GetGrid(), nullptr);
}

TEST(GridCell, UnsetFormatFontAndMarginComeFromTheDefaultCellOfItsKind) {
    CGridCtrl grid(3, 3, 1, 1);
    grid.GetDefaultCell(true, false)->SetFormat(TextFormats::FromBits(0x25));
    grid.GetDefaultCell(false, false)->SetMargin(11);
    CGridCellBase* heading = grid.GetCell(0, 1);
    heading->SetFormat(TextFormats::FromBits(0xFFFFFFFFu));
    EXPECT_EQ(heading->GetFormat().ToBits(), 0x25u);
    EXPECT_EQ(heading->GetDefaultCell(), grid.GetDefaultCell(true, false));
    EXPECT_EQ(grid.GetCell(0, 0)->GetDefaultCell(), grid.GetDefaultCell(true, true));
    EXPECT_EQ(grid.GetCell(2, 0)->GetDefaultCell(), grid.GetDefaultCell(false, true));
    CGridCellBase* item = grid.GetCell(2, 2);
    EXPECT_EQ(item->GetMargin(), 11u);
    EXPECT_EQ(item->GetFont(), grid.GetDefaultCell(false, false)->GetFont());
    item->SetMargin(2);
    EXPECT_EQ(item->GetMargin(), 2u);
    // Colours stay raw: drawing resolves them.
    EXPECT_EQ(grid.GetCell(0, 1)->GetBackColour(), kDefaultColour);
}

TEST(GridCell, DefaultCellIsReadOnlyAndIgnoresStateAndData) {
    CGridDefaultCell cell;
    cell.SetState(CellState::kSelected);
    cell.SetData(9);
    EXPECT_EQ(cell.GetState(), CellState::kReadOnly);
    EXPECT_TRUE(cell.IsReadOnly());
    EXPECT_EQ(cell.GetData(), 0u);
    const LogFont before = *cell.GetFont();
    cell.SetFont(nullptr);  // no record: nothing happens
    ASSERT_NE(cell.GetFont(), nullptr);
    EXPECT_EQ(*cell.GetFont(), before);
}

TEST(GridCell, CopyFromCarriesEverythingAndTheDefaultFontStaysDefault) {
    CGridCtrl grid(2, 2, 1, 0);
    CGridCell source;
    source.SetGrid(&grid);
    source.SetText("Abba");
    source.SetImage(2);
    source.SetData(77);
    source.SetState(CellState::kReadOnly | CellState::kModified);
    source.SetFormat(TextFormats::FromBits(0x21));
    source.SetTextColour(0x0000FF);
    source.SetBackColour(0x00FF00);
    source.SetMargin(4);

    CGridCell target;
    LogFont own;
    own.faceName = "Mono";
    target.SetFont(&own);
    target.CopyFrom(source);
    EXPECT_EQ(target.GetGrid(), &grid);
    EXPECT_EQ(target.GetText(), "Abba");
    EXPECT_EQ(target.GetImage(), 2);
    EXPECT_EQ(target.GetData(), 77u);
    EXPECT_EQ(target.GetState(), source.GetState());
    EXPECT_EQ(target.GetFormat().ToBits(), 0x21u);
    EXPECT_EQ(target.GetTextColour(), 0x0000FFu);
    EXPECT_EQ(target.GetBackColour(), 0x00FF00u);
    EXPECT_EQ(target.GetMargin(), 4u);
    EXPECT_TRUE(target.IsDefaultFont());

    source.SetFont(&own);
    CGridCell second;
    second.CopyFrom(source);
    ASSERT_FALSE(second.IsDefaultFont());
    EXPECT_EQ(second.GetFont()->faceName, "Mono");
}

TEST(GridCell, CheckBoxTextRuleOnlyEmptinessCounts) {
    CGridCellCheckBox box;
    box.SetText("0");
    EXPECT_TRUE(box.GetCheck());
    EXPECT_EQ(box.GetText(), "X");
    box.SetText("anything");
    EXPECT_TRUE(box.GetCheck());
    box.SetText("");
    EXPECT_FALSE(box.GetCheck());
    EXPECT_EQ(box.GetText(), "");
}

TEST(GridCell, SetCellTypeTurnsTextIntoACheckAndBack) {
    CGridCtrl grid(3, 2, 1, 0);
    grid.SetCellText(1, 0, "");
    grid.SetCellText(2, 0, "0");
    grid.SetCellBackColour(2, 0, 0x112233);
    ASSERT_TRUE(grid.SetCellType(1, 0, CGridCellCheckBox::Class()));
    ASSERT_TRUE(grid.SetCellType(2, 0, CGridCellCheckBox::Class()));
    EXPECT_EQ(grid.GetCellText(1, 0), "");
    EXPECT_EQ(grid.GetCellText(2, 0), "X");
    EXPECT_EQ(grid.GetCell(2, 0)->GetBackColour(), 0x112233u);
    EXPECT_EQ(&grid.GetCell(2, 0)->GetRuntimeClass(), &CGridCellCheckBox::Class());

    ASSERT_TRUE(grid.SetCellType(2, 0, CGridCell::Class()));
    EXPECT_EQ(grid.GetCellText(2, 0), "X");  // the check's text survives as text

    EXPECT_FALSE(grid.SetCellType(5, 0, CGridCell::Class()));
    EXPECT_FALSE(grid.SetCellType(1, 0, CGridCellBase::Class()));  // abstract
    static const CellClass stranger{"Stranger", nullptr, nullptr};
    EXPECT_FALSE(grid.SetCellType(1, 0, stranger));
    EXPECT_EQ(FindCellClass("CGridCellCheckBox"), &CGridCellCheckBox::Class());
    EXPECT_EQ(FindCellClass("CGridCellBase"), &CGridCellBase::Class());
    EXPECT_EQ(FindCellClass("nothing"), nullptr);
}

TEST(GridCell, ToggleByClickSpaceOrEnterNotifiesTheOwner) {
    CGridCtrl grid(3, 2, 1, 0);
    RecordingOwner owner;
    grid.SetOwner(&owner);
    ASSERT_TRUE(grid.SetCellType(2, 0, CGridCellCheckBox::Class()));
    auto* box = dynamic_cast<CGridCellCheckBox*>(grid.GetCell(2, 0));
    ASSERT_NE(box, nullptr);
    owner.calls.clear();

    box->OnClickDown({3, 3});
    EXPECT_TRUE(box->GetCheck());
    ASSERT_EQ(owner.calls.size(), 1u);
    EXPECT_EQ(owner.calls[0], std::make_pair(GridNotify::kEndEdit, CellId(2, 0)));

    EXPECT_FALSE(box->Edit(2, 0, {}, {}, 0, ' '));
    EXPECT_FALSE(box->GetCheck());
    EXPECT_FALSE(box->Edit(2, 0, {}, {}, 0, 13));
    EXPECT_TRUE(box->GetCheck());
    EXPECT_FALSE(box->Edit(2, 0, {}, {}, 0, 'a'));  // other keys leave it
    EXPECT_TRUE(box->GetCheck());
    EXPECT_FALSE(box->IsEditing());
    EXPECT_EQ(owner.calls.size(), 3u);

    // Setting the same state by text says nothing.
    grid.SetCellText(2, 0, "X");
    EXPECT_EQ(owner.calls.size(), 3u);
    grid.SetCellText(2, 0, "");
    EXPECT_EQ(owner.calls.size(), 4u);

    // A sort carries the box to its new row, and it reports that row.
    grid.SetCellText(1, 1, "b");
    grid.SetCellText(2, 1, "a");
    grid.SortByColumn(1, true);
    box = dynamic_cast<CGridCellCheckBox*>(grid.GetCell(1, 0));
    ASSERT_NE(box, nullptr);
    owner.calls.clear();
    box->SetCheck(true);
    ASSERT_FALSE(owner.calls.empty());
    EXPECT_EQ(owner.calls.back(), std::make_pair(GridNotify::kEndEdit, CellId(1, 0)));
}

TEST(GridCell, ACellWithTextTurnedIntoACheckBoxReportsItsOwnPlace) {
    CGridCtrl grid(3, 2, 1, 0);
    RecordingOwner owner;
    grid.SetOwner(&owner);
    grid.SetCellText(2, 0, "x");
    ASSERT_TRUE(grid.SetCellType(2, 0, CGridCellCheckBox::Class()));
    ASSERT_EQ(owner.calls.size(), 1u);  // the text checks the new box
    EXPECT_EQ(owner.calls[0], std::make_pair(GridNotify::kEndEdit, CellId(2, 0)));
}

TEST(GridCell, EditAlignmentFollowsTheFormat) {
    EXPECT_EQ(CGridCell::EditAlignment(TextFormats::FromBits(0x8826)), TextFormat::kRight);
    EXPECT_EQ(CGridCell::EditAlignment(TextFormats::FromBits(0x8825)), TextFormat::kCenter);
    EXPECT_EQ(CGridCell::EditAlignment(TextFormats::FromBits(0x8824)), TextFormat::kLeft);
}
