// The table's start and the texts that go into its cells.

#include <string>

#include "ListTestSupport.h"

namespace tabulon::testing {
namespace {

class ListTableTest : public OneItemListTest {
protected:
};

TEST_F(ListTableTest, TableStartsWithTheWidthOnlyWhenAsked) {
    struct Case {
        int usewidth;
        int width;
        const char* start;
    };
    for (const Case& c : {Case{1, 640, "<TABLE WIDTH=640>\r\n<TR BGCOLOR="}, Case{1, 1, "<TABLE WIDTH=1>\r\n<TR"},
                          Case{1, 0, "<TABLE>\r\n<TR"}, Case{1, -5, "<TABLE>\r\n<TR"}, Case{0, 640, "<TABLE>\r\n<TR"},
                          Case{2, 640, "<TABLE>\r\n<TR"}}) {
        frame.Config().usewidth = c.usewidth;
        frame.Config().width = c.width;
        EXPECT_TRUE(TableOf(Make()).starts_with(c.start)) << c.usewidth << " " << c.width;
    }
}

TEST_F(ListTableTest, HtmlInNamesAndCellsIsWrittenAsItStands) {
    Grid().SetCellText(0, 1, "<I>Name</I> & co");
    pane::SetItemCell(Grid(), 1, 1, "f<B>ig</B> &amp; R&D \"x\"");
    const std::string page = Make();
    EXPECT_NE(page.find("<TD ID=x><I>Name</I> & co</TD>\r\n"), std::string::npos);
    EXPECT_NE(page.find("<TR bgcolor=FFFFFF><TD>\r\nf<B>ig</B> &amp; R&D \"x\"</TD></TR>\r\n\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tabulon::testing
