// The right-button menus: items, greying for the five clicked positions in
// each grid state, and when a menu opens at all.

#include <cctype>

#include "CommandFixture.h"
#include "FakeGridWindow.h"

using namespace tabulon;
using namespace tabulon::testing;

namespace {

struct ColumnMenus : CommandPanes {
    // The last menu, one "id text|prompt" per item, "-" for a separator.
    Strings Shown() const {
        Strings out;
        for (const auto& i : menus.menus.back())
            out.push_back(i.IsSeparator() ? "-" : std::to_string(i.id) + " " + i.text + "|" + i.prompt);
        return out;
    }
    // The greyed items of the menu opened at (row, col), comma-joined.
    std::string GreyedAt(bool inDatabase, int row, int col) {
        Choose(inDatabase, row, col, std::nullopt);
        std::string out;
        for (const auto& item : menus.menus.back())
            if (item.grayed) out += (out.empty() ? "" : ",") + item.text;
        return out;
    }
};

}  // namespace

TEST_F(ColumnMenus, ItemsOrderSeparatorsAndPrompts) {
    Choose(false, -1, -1, std::nullopt);
    EXPECT_EQ(
        Shown(),
        (Strings{"32778 Insert column|Inserts a new column after selected column",
                 "32775 Delete column|Delete selected column", "32813 Delete all columns|Delete all columns",
                 "32812 Fill column with..|Fill selected column with a string",
                 "32834 Fit column width|Make the column as wide as its texts", "-", "32780 Add item|Add a new item",
                 "32779 Delete item(s)|Delete selected item(s)", "32785 Delete all items|Delete all items", "-",
                 "32782 Select all items|Select all items", "32783 Unselect all items|Unselect all items"}));
    Choose(true, -1, -1, std::nullopt);
    EXPECT_EQ(Shown(),
              (Strings{"32778 Insert column|Inserts a new column after selected column",
                       "32772 Rename column|Rename selected column", "32775 Delete column|Delete selected column",
                       "32814 Delete all columns|Delete all columns",
                       "32815 Fill column with..|Fill selected column with a string",
                       "32834 Fit column width|Make the column as wide as its texts", "-",
                       "32786 Delete item|Delete selected item", "32785 Delete all items|Delete all items"}));
}

TEST_F(ColumnMenus, EveryItemHasALetterOfItsOwnForTheKeyboard) {
    for (const bool inDatabase : {false, true}) {
        Choose(inDatabase, 1, 1, std::nullopt);
        std::string letters;
        for (const MenuItem& item : menus.menus.back()) {
            if (item.IsSeparator()) continue;
            SCOPED_TRACE(item.text);
            EXPECT_NE(item.text.find(item.mnemonic), std::string::npos);
            const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(item.mnemonic)));
            EXPECT_EQ(letters.find(letter), std::string::npos);
            letters += letter;
        }
    }
}

TEST_F(ColumnMenus, NewItemsGreyingForEachPositionAndState) {
    const std::string items = "Delete item(s),Delete all items,Select all items,Unselect all items";
    // Only column 0: just the corner and nowhere can be clicked.
    for (auto [row, col] : {std::pair{0, 0}, {-1, -1}})
        EXPECT_EQ(GreyedAt(false, row, col),
                  "Delete column,Delete all columns,Fill column with..,Fit column width," + items);
    AddNewItems({"a;b"});
    fresh->DeleteNonFixedRows();  // columns, no items
    EXPECT_EQ(GreyedAt(false, 0, 0), "Delete column,Fill column with..,Fit column width," + items);
    EXPECT_EQ(GreyedAt(false, 0, 2), "Fill column with..," + items);
    EXPECT_EQ(GreyedAt(false, -1, -1), "Delete column,Fill column with..,Fit column width," + items);
    AddNewItems({"a;b", "c;d"});
    EXPECT_EQ(GreyedAt(false, 0, 0), "Delete column,Fill column with..,Fit column width");  // A
    EXPECT_EQ(GreyedAt(false, 0, 1), "");                                                   // B
    EXPECT_EQ(GreyedAt(false, 2, 0), "Delete column,Fill column with..,Fit column width");  // C
    EXPECT_EQ(GreyedAt(false, 2, 2), "");                                                   // D
    for (auto [row, col] : {std::pair{-1, -1}, {5, 1}, {1, 7}})                             // E, past either end too
        EXPECT_EQ(GreyedAt(false, row, col), "Delete column,Fill column with..,Fit column width") << row << "," << col;
}

TEST_F(ColumnMenus, DatabaseGreyingForEachPositionAndState) {
    const std::string noCell = "Rename column,Delete column,";
    for (auto [row, col] : {std::pair{0, 0}, {-1, -1}})
        EXPECT_EQ(GreyedAt(true, row, col),
                  noCell + "Delete all columns,Fill column with..,Fit column width,Delete item,Delete all items");
    AddDatabase({"Artist", "Title"}, {});
    for (auto [row, col] : {std::pair{0, 0}, {-1, -1}})
        EXPECT_EQ(GreyedAt(true, row, col),
                  noCell + "Fill column with..,Fit column width,Delete item,Delete all items");
    EXPECT_EQ(GreyedAt(true, 0, 1), "Fill column with..,Delete item,Delete all items");
    AddDatabase({}, {"a;b", "c;d"});
    EXPECT_EQ(GreyedAt(true, 0, 0), noCell + "Fill column with..,Fit column width,Delete item");    // A
    EXPECT_EQ(GreyedAt(true, 0, 2), "Delete item");                                                 // B
    EXPECT_EQ(GreyedAt(true, 1, 0), noCell + "Fill column with..,Fit column width");                // C
    EXPECT_EQ(GreyedAt(true, 1, 1), "");                                                            // D
    EXPECT_EQ(GreyedAt(true, -1, -1), noCell + "Fill column with..,Fit column width,Delete item");  // E
}

TEST_F(ColumnMenus, GreyedOrNoChoiceChangesNothingAndMenusFollowTheCounts) {
    AddDatabase({"Artist"}, {"a"});
    Choose(true, 0, 0, MenuCommand::kDeleteItem);  // greyed on the corner
    Choose(true, 1, 1, std::nullopt);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(db->GetRowCount(), 2);
    EXPECT_FALSE(DatabaseMarked());
    // Built afresh at each opening: the item just added counts in the next one.
    Choose(false, -1, -1, MenuCommand::kAddItem);
    EXPECT_EQ(GreyedAt(false, -1, -1), "Delete column,Fill column with..,Fit column width");
}

TEST_F(ColumnMenus, DatabaseNeedsAConfigurationNewItemsDoesNot) {
    fakes::FakeGridWindow top, bottom;
    fresh->AttachWindow(&top);
    db->AttachWindow(&bottom);
    window.title = "Tabulon";
    Choose(true, -1, -1, MenuCommand::kInsertColumn);
    EXPECT_TRUE(menus.menus.empty());
    EXPECT_EQ(db->GetColumnCount(), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "No configuration opened!\n\nCreate a new or open a saved configuration\nbefore edit in 'Database'.");
    EXPECT_EQ(messages.shown[0].caption, "Configuration");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Information);
    EXPECT_EQ(messages.shown[0].buttons, MbButtons::Ok);

    Choose(false, -1, -1, MenuCommand::kAddItem);
    EXPECT_EQ(fresh->GetRowCount(), 2);
    EXPECT_GT(top.invalidateAllCount, 0);  // redrawn after its menu
    window.title = openTitle;
    const int before = bottom.invalidateAllCount;
    Choose(true, -1, -1, MenuCommand::kInsertColumn);
    EXPECT_GT(bottom.invalidateAllCount, before);
    fresh->AttachWindow(nullptr);
    db->AttachWindow(nullptr);
}
