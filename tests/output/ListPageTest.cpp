// The worked example of a list page, in every index mode, byte for byte.

#include <string>

#include "ListTestSupport.h"

namespace tabulon::testing {
namespace {

constexpr const char* kTableTop =
    "<TABLE>\r\n"
    "<TR BGCOLOR=C0C0C0>\r\n"
    "<TD ID=x>Name</TD>\r\n"
    "<TD ID=x>Size</TD>\r\n"
    "</TR>\r\n"
    "\r\n";
constexpr const char* kPageBottom = "</TABLE>\r\n</BODY></HTML>\r\n";

std::string IndexRow(char ch) {
    const std::string c(1, ch);
    return "<TR bgcolor=FFCC00><TD ID=y colspan=2>" + c + "<A NAME=" + c + "></A></TD></TR>\r\n";
}
std::string IndexRows(char from, char to) {
    std::string rows;
    for (char c = from; c <= to; ++c) rows += IndexRow(c);
    return rows;
}
const std::string kDigitsRow = "<TR bgcolor=FFCC00><TD ID=y colspan=2>0-9<A NAME=0-9></A></TD></TR>\r\n";

std::string Item(const char* colour, const char* name, const char* size) {
    return std::string("<TR bgcolor=") + colour + "><TD>\r\n" + name + "</TD><TD>\r\n" + size + "</TD></TR>\r\n\r\n";
}

class ListPageTest : public ListTest {};

TEST_F(ListPageTest, WorkedExampleInMode3) {
    AddFruit();
    frame.Config().addindex = 3;

    const std::string expected =
        "<!-- Created with Tabulon by Korvanex -->\r\n"
        "<!--        https://www.korvanex.com/         -->\r\n"
        "\r\n"
        "<HTML><BODY>\r\n"
        "<TABLE>\r\n"
        "<TR BGCOLOR=C0C0C0>\r\n"
        "<TD ID=x>Name</TD>\r\n"
        "<TD ID=x>Size</TD>\r\n"
        "</TR>\r\n"
        "\r\n"
        "<TR bgcolor=FFCC00><TD ID=y colspan=2>0-9<A NAME=0-9></A></TD></TR>\r\n"
        "<TR bgcolor=FFFFFF><TD>\r\n7up</TD><TD>\r\n4</TD></TR>\r\n\r\n"
        "<TR bgcolor=FFCC00><TD ID=y colspan=2>A<A NAME=A></A></TD></TR>\r\n"
        "<TR bgcolor=FFFFFF><TD>\r\napple</TD><TD>\r\n1</TD></TR>\r\n\r\n"
        "<TR bgcolor=E8E8E8><TD>\r\nAvocado</TD><TD>\r\n2</TD></TR>\r\n\r\n"
        "<TR bgcolor=FFCC00><TD ID=y colspan=2>B<A NAME=B></A></TD></TR>\r\n"
        "<TR bgcolor=FFFFFF><TD>\r\nbanana</TD><TD>\r\n3</TD></TR>\r\n\r\n"
        "</TABLE>\r\n"
        "</BODY></HTML>\r\n";
    EXPECT_EQ(Make(), expected);

    // The sort stays in the grid, renumbered, and is no unsaved change.
    EXPECT_EQ(Grid().GetCellText(1, 1), "7up");
    EXPECT_EQ(Grid().GetCellText(2, 1), "apple");
    EXPECT_EQ(Grid().GetCellText(3, 1), "Avocado");
    EXPECT_EQ(Grid().GetCellText(4, 1), "banana");
    for (int row = 1; row <= 4; ++row) EXPECT_EQ(Grid().GetCellText(row, 0), std::to_string(row));
    EXPECT_EQ(Grid().GetCellText(0, 0), "Database");
}

TEST_F(ListPageTest, WorkedExampleInMode0AlternatesThroughTheWholeList) {
    AddFruit();
    const std::string expected = std::string(kPageTop) + kTableTop + Item(kFirstColour, "7up", "4") +
                                 Item(kSecondColour, "apple", "1") + Item(kFirstColour, "Avocado", "2") +
                                 Item(kSecondColour, "banana", "3") + kPageBottom;
    frame.Config().addindex = 0;
    EXPECT_EQ(Make(), expected);
    // A value the dialog never offers lists like mode 0.
    for (int mode : {5, -1}) {
        frame.Config().addindex = mode;
        EXPECT_EQ(Make(), expected) << "mode " << mode;
    }
}

TEST_F(ListPageTest, WorkedExampleInMode1IndexesTheDigitItself) {
    AddFruit();
    frame.Config().addindex = 1;
    EXPECT_EQ(Make(), std::string(kPageTop) + kTableTop + IndexRow('7') + Item(kFirstColour, "7up", "4") +
                          IndexRow('A') + Item(kFirstColour, "apple", "1") + Item(kSecondColour, "Avocado", "2") +
                          IndexRow('B') + Item(kFirstColour, "banana", "3") + kPageBottom);
}

TEST_F(ListPageTest, WorkedExampleInMode2IndexesEveryCharacter) {
    AddFruit();
    frame.Config().addindex = 2;
    EXPECT_EQ(Make(), std::string(kPageTop) + kTableTop + IndexRows('0', '7') + Item(kFirstColour, "7up", "4") +
                          IndexRows('8', '9') + IndexRow('A') + Item(kFirstColour, "apple", "1") +
                          Item(kSecondColour, "Avocado", "2") + IndexRow('B') + Item(kFirstColour, "banana", "3") +
                          IndexRows('C', 'Z') + kPageBottom);
}

TEST_F(ListPageTest, WorkedExampleInMode4AddsTheRemainingLetters) {
    AddFruit();
    frame.Config().addindex = 4;
    EXPECT_EQ(Make(), std::string(kPageTop) + kTableTop + kDigitsRow + Item(kFirstColour, "7up", "4") + IndexRow('A') +
                          Item(kFirstColour, "apple", "1") + Item(kSecondColour, "Avocado", "2") + IndexRow('B') +
                          Item(kFirstColour, "banana", "3") + IndexRows('C', 'Z') + kPageBottom);
}

}  // namespace
}  // namespace tabulon::testing
