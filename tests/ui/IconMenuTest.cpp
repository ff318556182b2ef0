// The menu with pictures without a screen: how it is built from a template,
// which items get pictures, how items measure and draw, and which item a
// typed letter runs.

#include <gtest/gtest.h>

#include <algorithm>

#include "FakeMenuLook.h"
#include "ui/IconMenu.h"

namespace tabulon::testing {
namespace {

using fakes::FakeMenuLook;
using fakes::FakePictureSource;
using fakes::RecordingMenuContext;
namespace MF = MenuFlag;
namespace S = MenuItemState;

constexpr Pixel kRed = 0xFFE02020u;

// File: New, -, Grid lines > (Horizantal, Vertical), Exit; Help: About.
std::vector<MenuTemplateItem> SmallTemplate() {
    return {
        {MF::kPopup, 0, "&File"},
        {0, 1, "&New\tCtrl+N"},
        {0, 0, ""},
        {MF::kPopup, 0, "&Grid lines"},
        {MF::kChecked, 2, "&Horizantal"},
        {MF::kChecked | MF::kEnd, 3, "&Vertical"},
        {MF::kEnd, 4, "E&xit"},
        {MF::kPopup | MF::kEnd, 0, "&Help"},
        {MF::kEnd, 5, "&About"},
    };
}

class IconMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        pictures.bitmaps[100] = FakePictureSource::Solid(kRed);
        ASSERT_TRUE(menu.LoadIconMenu(SmallTemplate()));
    }
    CIconMenu& File() { return *menu.GetSubMenu(0); }
    Colour Look(MenuColour c) const { return look.GetColour(c); }
    // Draws the record in a 100 x 24 item at (10, 30).
    RecordingMenuContext Draw(const MenuItemData& data, unsigned state) {
        RecordingMenuContext dc;
        menu.DrawMenuItem({&dc, {10, 30, 110, 54}, state, data.commandId, &data});
        return dc;
    }
    bool Filled(const RecordingMenuContext& dc, const Rect& r, Colour c) {
        const auto fills = dc.Of("fill");
        return std::any_of(fills.begin(), fills.end(), [&](const auto& f) { return f.rect == r && f.colour == c; });
    }

    FakeMenuLook look;
    FakePictureSource pictures;
    CIconMenu menu{look, &pictures};
};

TEST_F(IconMenuTest, TemplateBuildsAPlainMenuBarOverDrawnPopups) {
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    EXPECT_FALSE(CIconMenu::IsIconMenu(menu.GetHandle()));
    for (int i = 0; i < 2; ++i) {
        const auto* bar = menu.GetItem(i);
        EXPECT_EQ(bar->flags & MF::kOwnerDraw, 0u);
        EXPECT_TRUE(bar->flags & MF::kPopup);
        EXPECT_TRUE(CIconMenu::IsIconMenu(bar->id));
    }
    EXPECT_EQ(menu.GetItem(0)->text, "&File");

    ASSERT_EQ(File().GetMenuItemCount(), 4);
    EXPECT_EQ(File().GetItem(1)->flags, MF::kSeparator | MF::kOwnerDraw);
    EXPECT_EQ(File().GetItem(3)->data->text, "E&xit");
    CIconMenu* grid = File().GetSubMenu(2);
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->GetMenuItemCount(), 2);
    EXPECT_TRUE(grid->GetItem(1)->flags & MF::kChecked);
    EXPECT_TRUE(grid->GetItem(1)->flags & MF::kOwnerDraw);
    ASSERT_EQ(menu.GetSubMenu(1)->GetMenuItemCount(), 1);

    const MenuHandle gridHandle = grid->GetHandle();
    EXPECT_FALSE(CIconMenu{look}.LoadIconMenu({}));
    menu.LoadIconMenu(SmallTemplate());  // a new menu: the old popups are gone
    EXPECT_FALSE(CIconMenu::IsIconMenu(gridHandle));
}

TEST_F(IconMenuTest, PicturesComeFromTheirResourceOrAToolbarButtonOrNotAtAll) {
    pictures.bitmaps[128] = FakePictureSource::Solid(0xFF0000FFu, 3);
    pictures.toolbars[128] = {7, 5, 9};

    EXPECT_TRUE(menu.SetItemPicture(std::nullopt, 3, 100));  // in the popup below File
    const MenuItemData* vertical = menu.FindItemData(3);
    ASSERT_TRUE(vertical && vertical->pictures);
    EXPECT_EQ(vertical->pictureIndex, 0);
    EXPECT_EQ(vertical->pictureResource, 100);
    EXPECT_EQ(vertical->text, "&Vertical");
    EXPECT_TRUE(vertical->flags & MF::kChecked);

    EXPECT_TRUE(menu.SetItemPicture("&About Tabulon", 5, 128));
    EXPECT_EQ(menu.FindItemData(5)->pictureIndex, 1);
    EXPECT_EQ(menu.FindItemData(5)->text, "&About Tabulon");

    EXPECT_TRUE(menu.SetItemPicture(std::nullopt, 4, 128));  // no button for Exit
    EXPECT_TRUE(menu.SetItemPicture(std::nullopt, 1, 999));  // no such bitmap
    for (int id : {1, 4}) {
        EXPECT_EQ(menu.FindItemData(id)->pictureIndex, -1) << id;
        EXPECT_EQ(menu.FindItemData(id)->pictureResource, -1) << id;
    }
    EXPECT_FALSE(menu.SetItemPicture(std::nullopt, 42, 100));
}

TEST_F(IconMenuTest, PictureListMapsGreysAndLeavesOutTheTransparentColour) {
    CPictureList list({2, 1});
    Bitmap strip{4, 1, 1, {0xFF000000u, 0xFFC0C0C0u, 0xFFFFFFFFu, 0x00123456u}};
    const CPictureList::ButtonColours greys{0x11, 0x22, 0x33, 0x44};
    ASSERT_EQ(list.AddMasked(strip, 0x33, greys), 0);
    ASSERT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(list.Picture(0)->pixels, (std::vector<Pixel>{PixelOf(0x11), 0}));
    EXPECT_EQ(list.Picture(1)->pixels, (std::vector<Pixel>{PixelOf(0x44), 0}));
    EXPECT_EQ(list.AddMasked(Bitmap{1, 1, 1, {0}}, 0, greys), -1);
}

TEST_F(IconMenuTest, ItemsMeasureTheirTextAndShortcutSeparatorsHalfALine) {
    RecordingMenuContext dc;  // 7 pixels a character
    const auto measure = [&](const MenuItemData* data, const CIconMenu* by = nullptr) {
        MeasureItemRequest request{&dc, data->commandId, data, 0, 0};
        (by ? *by : menu).MeasureMenuItem(request);
        return Size{request.itemWidth, request.itemHeight};
    };
    EXPECT_EQ(measure(File().GetItem(1)->data), (Size{0, 10}));
    EXPECT_EQ(measure(menu.FindItemData(4)), (Size{4 * 7 + 33, 20}));
    EXPECT_EQ(measure(menu.FindItemData(1)), (Size{3 * 7 + CIconMenu::kShortcutGap + 6 * 7 + 33, 20}));
    EXPECT_EQ(dc.font.faceName, "");  // the menu font was selected for measuring only
    look.barHeight = 12;
    EXPECT_EQ(measure(menu.FindItemData(4)).cy, 19);  // never lower than a picture

    CIconMenu old(look, &pictures, 0);
    old.AppendIconItem("Exit", 0, 4, -1);
    const int w = 4 * 7 + 3;
    EXPECT_EQ(measure(old.GetItem(0)->data, &old).cx, w + (w / 4) * 3 + 33);
}

TEST_F(IconMenuTest, PlainAndSelectedItemsWithTheirPictureColumn) {
    menu.SetItemPicture(std::nullopt, 4, 100);
    const MenuItemData& exit = *menu.FindItemData(4);
    const MenuItemData& about = *menu.FindItemData(5);

    auto dc = Draw(about, 0);
    EXPECT_TRUE(Filled(dc, {10, 30, 110, 54}, Look(MenuColour::Menu)));
    ASSERT_EQ(dc.Of("text").size(), 1u);
    EXPECT_EQ(dc.Of("text")[0].rect, (Rect{35, 30, 110, 54}));
    EXPECT_EQ(dc.Of("text")[0].colour, Look(MenuColour::MenuText));
    EXPECT_EQ(dc.Of("text")[0].font, look.font);
    EXPECT_TRUE(dc.pictures.empty());

    dc = Draw(about, S::kSelected);  // no picture, no check: all highlighted
    EXPECT_TRUE(Filled(dc, {10, 30, 110, 54}, Look(MenuColour::Highlight)));
    EXPECT_EQ(dc.Of("text")[0].colour, Look(MenuColour::HighlightText));

    // f = (24 - 19) / 2 = 2: the box at (11, 33), 18 x 17; the picture at (12, 34).
    dc = Draw(exit, S::kSelected);
    EXPECT_TRUE(Filled(dc, {10, 30, 31, 54}, Look(MenuColour::Menu)));
    EXPECT_TRUE(Filled(dc, {31, 30, 110, 54}, Look(MenuColour::Highlight)));
    EXPECT_TRUE(Filled(dc, {11, 33, 28, 34}, Look(MenuColour::ButtonHighlight)));  // raised
    EXPECT_TRUE(Filled(dc, {11, 49, 29, 50}, Look(MenuColour::ButtonShadow)));
    ASSERT_EQ(dc.pictures.size(), 1u);
    EXPECT_EQ(dc.pictures[0].at, (Point{12, 34}));
    EXPECT_EQ(dc.pictures[0].bitmap.At(0, 0), kRed);

    dc = Draw(exit, S::kSelected | S::kChecked);  // pressed in
    EXPECT_TRUE(Filled(dc, {11, 33, 28, 34}, Look(MenuColour::ButtonShadow)));
    dc = Draw(exit, S::kChecked);
    EXPECT_TRUE(Filled(dc, {11, 33, 29, 50}, Look(MenuColour::Light3D)));
}

TEST_F(IconMenuTest, CheckedItemsWithoutAPictureShowAMarkOrADot) {
    const MenuItemData& horizontal = *menu.FindItemData(2);
    auto dc = Draw(horizontal, S::kChecked);
    EXPECT_TRUE(Filled(dc, {12, 34, 28, 49}, Look(MenuColour::Light3D)));
    EXPECT_TRUE(Filled(dc, {12, 34, 27, 35}, Look(MenuColour::ButtonShadow)));  // sunken
    // The mark's first row has its one pixel at the right, 4 in and 4 down.
    EXPECT_TRUE(Filled(dc, {22, 38, 23, 39}, Look(MenuColour::MenuText)));
    EXPECT_FALSE(Filled(dc, {16, 38, 17, 39}, Look(MenuColour::MenuText)));

    dc = Draw(horizontal, S::kChecked | S::kSelected);
    EXPECT_TRUE(Filled(dc, {12, 34, 28, 49}, Look(MenuColour::Menu)));
    EXPECT_TRUE(Filled(dc, {31, 30, 110, 54}, Look(MenuColour::Highlight)));

    CIconMenu radio(look);
    radio.AppendIconItem("One", MF::kRadioCheck, 9, -1);
    RecordingMenuContext dot;
    radio.DrawMenuItem({&dot, {10, 30, 110, 54}, S::kChecked, 9, radio.GetItem(0)->data});
    EXPECT_TRUE(Filled(dot, {19, 38, 20, 39}, Look(MenuColour::MenuText)));  // 5 in, 4 down: "..XX.."
    EXPECT_FALSE(Filled(dot, {17, 38, 18, 39}, Look(MenuColour::MenuText)));
}

TEST_F(IconMenuTest, DisabledItemsAreEmbossedAndSeparatorsEtched) {
    menu.SetItemPicture(std::nullopt, 4, 100);
    const MenuItemData& exit = *menu.FindItemData(4);
    for (unsigned selected : {0u, S::kSelected}) {
        auto dc = Draw(exit, S::kGrayed | selected);
        ASSERT_EQ(dc.pictures.size(), 2u);
        EXPECT_EQ(dc.pictures[0].at, (Point{13, 35}));
        EXPECT_EQ(dc.pictures[0].bitmap.At(0, 0), PixelOf(Look(MenuColour::ButtonHighlight)));
        EXPECT_EQ(dc.pictures[1].at, (Point{12, 34}));
        EXPECT_EQ(dc.pictures[1].bitmap.At(0, 0), PixelOf(Look(MenuColour::ButtonShadow)));
        // Selected or not, the picture column keeps the menu's colour.
        EXPECT_TRUE(Filled(dc, selected ? Rect{10, 30, 31, 54} : Rect{10, 30, 110, 54}, Look(MenuColour::Menu)));
        const auto texts = dc.Of("text");
        if (selected) {
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0].colour, Look(MenuColour::Menu));
        } else {
            ASSERT_EQ(texts.size(), 2u);
            EXPECT_EQ(texts[0].colour, Look(MenuColour::ButtonHighlight));
            EXPECT_EQ(texts[0].rect, (Rect{36, 31, 111, 55}));
            EXPECT_EQ(texts[1].colour, Look(MenuColour::GrayText));
            EXPECT_EQ(texts[1].rect, (Rect{35, 30, 110, 54}));
        }
    }

    const MenuItemData& separator = *File().GetItem(1)->data;
    auto dc = Draw(separator, 0);
    EXPECT_TRUE(Filled(dc, {10, 41, 110, 42}, Look(MenuColour::ButtonShadow)));
    EXPECT_TRUE(Filled(dc, {10, 42, 110, 43}, Look(MenuColour::ButtonHighlight)));
    EXPECT_TRUE(dc.Of("text").empty());
}

TEST_F(IconMenuTest, TheShortcutStandsRightAlignedAfterTheTab) {
    auto dc = Draw(*menu.FindItemData(1), MenuItemState::kNoAccel);
    const auto texts = dc.Of("text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "&New");
    EXPECT_EQ(texts[0].rect, (Rect{35, 30, 110, 54}));
    EXPECT_FALSE((TextFormats::FromBits(texts[0].format) & TextFormat::kRight));
    EXPECT_EQ(texts[1].text, "Ctrl+N");
    EXPECT_EQ(texts[1].rect, (Rect{35, 30, 94, 54}));
    for (const auto& t : texts) {
        EXPECT_TRUE((TextFormats::FromBits(t.format) & TextFormat::kSingleLine));
        EXPECT_TRUE((TextFormats::FromBits(t.format) & TextFormat::kVCenter));
        EXPECT_TRUE((TextFormats::FromBits(t.format) & TextFormat::kHidePrefix));
    }
    EXPECT_TRUE((TextFormats::FromBits(texts[1].format) & TextFormat::kRight));
}

TEST_F(IconMenuTest, ATypedLetterRunsTheItemItMarks) {
    CIconMenu& file = File();
    file.AppendIconItem("Fish && &Chips", 0, 6, -1);
    const MenuHandle h = file.GetHandle();
    struct Case {
        char32_t typed;
        std::uint32_t answer;
    };
    for (const Case& c :
         {Case{U'n', MenuChar::Answer(MenuChar::kExecute, 0)}, Case{U'X', MenuChar::Answer(MenuChar::kExecute, 3)},
          Case{U'g', MenuChar::Answer(MenuChar::kExecute, 2)},  // the popup entry
          Case{U'c', MenuChar::Answer(MenuChar::kExecute, 4)}, Case{U'&', MenuChar::kIgnore},
          Case{U'e', MenuChar::kIgnore}, Case{U'q', MenuChar::kIgnore}})
        EXPECT_EQ(CIconMenu::FindMnemonic(c.typed, MF::kPopup, h), c.answer) << static_cast<char>(c.typed);
    EXPECT_EQ(CIconMenu::FindMnemonic(U'n', MF::kSysMenu, h), MenuChar::kIgnore);
    EXPECT_EQ(CIconMenu::FindMnemonic(U'f', MF::kPopup, menu.GetHandle()), MenuChar::kIgnore);
    EXPECT_EQ(MenuChar::PositionOf(MenuChar::Answer(MenuChar::kExecute, 3)), 3);
}

}  // namespace
}  // namespace tabulon::testing
