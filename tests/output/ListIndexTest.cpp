// Which items reach the list, which index rows stand before them and which
// colour each item row gets.

#include <string>
#include <vector>

#include "ListTestSupport.h"

namespace tabulon::testing {
namespace {

using Rows = std::vector<std::string>;

std::vector<std::string> IndexEntries(char from, char to) {
    std::vector<std::string> rows;
    for (char c = from; c <= to; ++c) rows.push_back(std::string("index ") + c);
    return rows;
}
Rows Join(std::initializer_list<Rows> parts) {
    Rows all;
    for (const Rows& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class ListIndexTest : public ListTest {};

TEST_F(ListIndexTest, ItemsWithoutAValidIndexCharacterAreLeftOutInEveryMode) {
    AddColumns({"Name", "Note"});
    AddItem({"kiwi", "k"});
    AddItem({"3 pears", "p"});
    for (int mode = 0; mode <= 4; ++mode) {
        frame.Config().addindex = mode;
        const std::string page = Make();
        // The page of the valid items alone is the reference.
        const int before = Grid().GetRowCount();
        AddItem({"", "empty"});
        AddItem({" lime", "blank"});
        AddItem({"-minus", "dash"});
        AddItem({"(bracket)", "paren"});
        AddItem(
            {"\xC3\xA9"
             "clair",
             "accent"});
        AddItem(
            {"\xE9"
             "clair",
             "latin1"});
        AddItem({"~tilde", "above z"});
        EXPECT_EQ(Make(), page) << "mode " << mode;
        while (Grid().GetRowCount() > before) Grid().DeleteRow(before);
    }
}

TEST_F(ListIndexTest, ItemsLeftOutAreCountedAndTheFirstFewNamedInOneNotice) {
    AddColumns({"Name"});
    AddItem({"(The) Band"});
    AddItem({"Abba"});
    frame.Config().addindex = 0;
    ASSERT_TRUE(MakeList(frame));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("1 of the 2 items was left out of the page", 0), 0u);
    messages.shown.clear();
    Grid().DeleteNonFixedRows();

    for (const char* name : {"Abba",
                             "\xC3\x89"
                             "dith Piaf",
                             "(The) Band", ""})
        AddItem({name});
    ASSERT_TRUE(MakeList(frame));
    const std::string rule =
        "items were left out of the page: an item is listed only when its first column "
        "begins with a digit (0-9) or a letter from A to Z.\n\nLeft out: ";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "3 of the 4 " + rule +
                                          "item 1 (its first column is empty), \"(The) Band\", \"\xC3\x89"
                                          "dith Piaf\".");
    EXPECT_EQ(messages.shown[0].caption, "Make list");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Information);
    EXPECT_NE(Page().find("Abba"), std::string::npos);  // the page is written first

    // Past the first three only a count; a long name is cut between characters.
    AddItem({"-" + std::string(38, 'x') +
             "\xC3\x89"
             "t\xC3\xA9"});
    AddItem({"~tilde"});
    messages.shown.clear();
    ASSERT_TRUE(MakeList(frame));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "5 of the 6 " + rule + "item 1 (its first column is empty), \"(The) Band\", \"-" +
                                          std::string(38, 'x') + "...\" and 2 more.");
}

TEST_F(ListIndexTest, LowerAndUpperCaseShareOneIndexRow) {
    AddColumns({"Name"});
    AddItem({"alpha"});
    AddItem({"Beta"});
    AddItem({"Apex"});
    AddItem({"bison"});
    for (int mode = 1; mode <= 4; ++mode) {
        frame.Config().addindex = mode;
        const Rows rows = RowsOf(Make());
        const Rows items = {"index A", "first alpha", "second Apex", "index B", "first Beta", "second bison"};
        const Rows tail = mode == 2 || mode == 4 ? IndexEntries('C', 'Z') : Rows{};
        const Rows lead = mode == 2 ? IndexEntries('0', '9') : mode == 4 ? Rows{"index 0-9"} : Rows{};
        EXPECT_EQ(rows, Join({lead, items, tail})) << "mode " << mode;
    }
}

TEST_F(ListIndexTest, ColoursStartAgainAfterEachIndexRow) {
    AddColumns({"Name"});
    for (const char* name : {"1", "5", "9", "ant", "apple", "axe", "bee", "cat", "cow"}) AddItem({name});

    frame.Config().addindex = 3;
    // One digits row before 1; 5 and 9 go on alternating.
    EXPECT_EQ(RowsOf(Make()),
              (Rows{"index 0-9", "first 1", "second 5", "first 9", "index A", "first ant", "second apple", "first axe",
                    "index B", "first bee", "index C", "first cat", "second cow"}));

    frame.Config().addindex = 0;
    EXPECT_EQ(RowsOf(Make()), (Rows{"first 1", "second 5", "first 9", "second ant", "first apple", "second axe",
                                    "first bee", "second cat", "first cow"}));

    // Mode 4 also writes no row between digits once the digits row stands.
    frame.Config().addindex = 4;
    EXPECT_EQ(RowsOf(Make()),
              Join({{"index 0-9", "first 1", "second 5", "first 9", "index A", "first ant", "second apple", "first axe",
                     "index B", "first bee", "index C", "first cat", "second cow"},
                    IndexEntries('D', 'Z')}));
}

TEST_F(ListIndexTest, Mode2WithOneItemListsEveryDigitAndLetterButNothingBetween) {
    AddColumns({"Name"});
    AddItem({"melon"});
    frame.Config().addindex = 2;
    const std::string page = Make();
    EXPECT_EQ(RowsOf(page),
              Join({IndexEntries('0', '9'), IndexEntries('A', 'M'), {"first melon"}, IndexEntries('N', 'Z')}));
    for (char c = '9' + 1; c < 'A'; ++c) EXPECT_EQ(page.find(std::string("<A NAME=") + c), std::string::npos) << c;
}

TEST_F(ListIndexTest, Mode4WithoutListedItemsStillWritesTheWholeIndex) {
    AddColumns({"Name"});
    frame.Config().addindex = 4;
    const Rows index = Join({{"index 0-9"}, IndexEntries('A', 'Z')});
    EXPECT_EQ(RowsOf(Make()), index);
    AddItem({"-"});
    AddItem({""});
    EXPECT_EQ(RowsOf(Make()), index);

    frame.Config().addindex = 2;
    EXPECT_EQ(RowsOf(Make()), Join({IndexEntries('0', '9'), IndexEntries('A', 'Z')}));
    frame.Config().addindex = 3;
    EXPECT_EQ(RowsOf(Make()), Rows{});
}

TEST_F(ListIndexTest, Mode4WithOnlyDigitsWritesTheDigitsRowOnceAndTheLettersAfter) {
    AddColumns({"Name"});
    AddItem({"42"});
    AddItem({"7"});
    AddItem({"0"});
    frame.Config().addindex = 4;
    EXPECT_EQ(RowsOf(Make()), Join({{"index 0-9", "first 0", "second 42", "first 7"}, IndexEntries('A', 'Z')}));
}

TEST_F(ListIndexTest, AGridWithColumnZeroAloneListsNoItemsAndSpansNothing) {
    // Rows without data columns: every index character comes from a missing cell.
    Grid().InsertRow("");
    Grid().InsertRow("");
    database.NumberItemRows(1, 2);
    frame.Config().addindex = 4;
    const std::string page = Make();
    EXPECT_TRUE(
        TableOf(page).starts_with("<TABLE>\r\n"
                                  "<TR BGCOLOR=C0C0C0>\r\n"
                                  "</TR>\r\n\r\n"
                                  "<TR bgcolor=FFCC00>"));
    EXPECT_NE(page.find("<TR bgcolor=FFCC00><TD ID=y colspan=0>0-9<A NAME=0-9></A></TD></TR>\r\n"), std::string::npos);
    EXPECT_NE(page.find("<TR bgcolor=FFCC00><TD ID=y colspan=0>Z<A NAME=Z></A></TD></TR>\r\n"), std::string::npos);
    EXPECT_EQ(page.find("<TD>"), std::string::npos);
}

TEST_F(ListIndexTest, OtherLettersFollowZInTheSortedOrderWithARowWhereverTheLetterChanges) {
    AddColumns({"Name"});
    for (const char* name : {"\u00E5ke", "\u00D8rn", "\u00C5sa", "\u00D6dla", "apple", "\u00F6ga"}) AddItem({name});
    frame.Config().otherletters = 1;
    // In byte order Å Ö Ø å ö: å and ö are never listed under Ø; Å and Ö
    // get their rows again, without a second anchor.
    const Rows others = {"index \u00C5",   "first \u00C5sa", "index \u00D6",   "first \u00D6dla", "index \u00D8",
                         "first \u00D8rn", "index \u00C5",   "first \u00E5ke", "index \u00D6",    "first \u00F6ga"};
    const std::string page = Make();  // mode 3
    EXPECT_EQ(RowsOf(page), Join({{"index A", "first apple"}, others}));
    EXPECT_NE(page.find("<TR bgcolor=FFCC00><TD ID=y colspan=1>\u00C5<A NAME=\u00C5></A></TD></TR>\r\n<TR bgcolor"),
              std::string::npos);
    EXPECT_NE(page.find("<TR bgcolor=FFCC00><TD ID=y colspan=1>\u00C5</TD></TR>\r\n<TR bgcolor"), std::string::npos);
    frame.Config().addindex = 4;
    EXPECT_EQ(RowsOf(Make()), Join({{"index 0-9", "index A", "first apple"}, IndexEntries('B', 'Z'), others}));
    frame.Config().addindex = 0;
    EXPECT_EQ(RowsOf(Make()), (Rows{"first apple", "second \u00C5sa", "first \u00D6dla", "second \u00D8rn",
                                    "first \u00E5ke", "second \u00F6ga"}));
}

TEST_F(ListIndexTest, OtherLettersAreIndexedUpperCasedInTheEncodingOfTheirText) {
    AddColumns({"Name"});
    frame.Config().otherletters = 1;
    frame.Config().addindex = 1;
    // UTF-8, then texts that are not UTF-8 and so Windows-1252.
    const char* const cases[][2] = {
        {"\u00E9", "\u00C9"}, {"\u00DF", "\u00DF"}, {"\u00FF", "\u0178"}, {"\u0151", "\u0150"}, {"\u0131", "\u0131"},
        {"\u00B5", "\u00B5"}, {"\u0219", "\u0218"}, {"\u03C9", "\u03A9"}, {"\u03C2", "\u03A3"}, {"\u03AC", "\u0386"},
        {"\u0436", "\u0416"}, {"\u0451", "\u0401"}, {"\u65E5", "\u65E5"}, {"\xE5sa", "\xC5"},   {"\x9A", "\x8A"},
        {"\xFF", "\x9F"},     {"\xDF", "\xDF"},     {"\xAA", "\xAA"},     {"\x83", "\x83"},     {"\u00E5 \xE5", "\xC3"},
    };
    for (const auto& [text, letter] : cases) {
        Grid().DeleteNonFixedRows();
        AddItem({text});
        EXPECT_EQ(RowsOf(Make()), (Rows{std::string("index ") + letter, std::string("first ") + text})) << text;
    }
}

TEST_F(ListIndexTest, WithOtherLettersBlanksMarksDigitsPunctuationAndSymbolsAreStillLeftOut) {
    AddColumns({"Name"});
    AddItem({"kiwi"});
    frame.Config().otherletters = 1;
    const std::string page = Make();
    const char* const names[] = {
        "",       " a",     "\x01",   "-",      "\u00BF", "\u00AB",     "\u00D7",
        "\u20AC", "\u2014", "\u2192", "\u2500", "\u300C", "\U0001F600", "\u0301",
        "\u0663", "\xBF",   "\x80",   "\xA3",   "\x88",   "\xD7",       "\xA0",
    };
    for (const char* name : names) AddItem({name});
    ASSERT_TRUE(MakeList(frame));
    EXPECT_EQ(Page(), page);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(
        messages.shown[0].text.starts_with("21 of the 22 items were left out of the page: an item is listed "
                                           "only when its first column begins with a digit or a letter.\n\n"));
}

}  // namespace
}  // namespace tabulon::testing
