// Today's page: its table, the markers of the head and end files, the text in
// UTF-8, the style rules from the configured colours.

#include <string>
#include <vector>

#include "ListTestSupport.h"
#include "output/TodaysPage.h"

namespace tabulon::testing {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

// The page's text between from and to, both included.
std::string Between(const std::string& page, const std::string& from, const std::string& to) {
    const auto start = page.find(from);
    const auto end = page.find(to, start);
    if (start == std::string::npos || end == std::string::npos) return {};
    return page.substr(start, end + to.size() - start);
}

class TodaysPageTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        frame.Config().pagestyle = 1;
        MakeFile("head.htm", "<head>\r\n<!--tabulon:style-->\r\n</head><body>\r\n<!--tabulon:index-->\r\n");
    }
};

TEST_F(TodaysPageTest, WorkedExampleHasHeaderCellsALetterGroupPerTbodyAndNoRowColours) {
    AddFruit();
    const std::string page = Make();  // mode 3
    EXPECT_EQ(Between(page, "<div", "</div>"),
              "<div class=\"tabulon-box\">\r\n<table class=\"tabulon\">\r\n"
              "<thead>\r\n<tr><th scope=\"col\">Name</th><th scope=\"col\">Size</th></tr>\r\n</thead>\r\n"
              "<tbody>\r\n<tr><th scope=\"rowgroup\" colspan=\"2\" id=\"0-9\">0-9</th></tr>\r\n"
              "<tr><td>7up</td><td>4</td></tr>\r\n</tbody>\r\n"
              "<tbody>\r\n<tr><th scope=\"rowgroup\" colspan=\"2\" id=\"A\">A</th></tr>\r\n"
              "<tr><td>apple</td><td>1</td></tr>\r\n<tr><td>Avocado</td><td>2</td></tr>\r\n</tbody>\r\n"
              "<tbody>\r\n<tr><th scope=\"rowgroup\" colspan=\"2\" id=\"B\">B</th></tr>\r\n"
              "<tr><td>banana</td><td>3</td></tr>\r\n</tbody>\r\n"
              "</table>\r\n</div>");
    EXPECT_EQ(Between(page, "<nav", "</nav>"),
              "<nav class=\"tabulon-index\" aria-label=\"Letters\"><a href=\"#0-9\">0-9</a>\r\n"
              "<a href=\"#A\">A</a>\r\n<a href=\"#B\">B</a>\r\n</nav>");
    // The head and end files around it, as they are but for the markers.
    EXPECT_TRUE(page.starts_with(std::string(kPageTop, std::string(kPageTop).find("<HTML>")) + "<head>\r\n<style>"));
    EXPECT_TRUE(page.ends_with("</script>\r\n</BODY></HTML>\r\n"));
    for (const char* old : {"bgcolor", "BGCOLOR", "WIDTH", "NAME=", "ID=", "<!--tabulon"})
        EXPECT_EQ(page.find(old), std::string::npos) << old;
    EXPECT_EQ(Count(page, "<script>"), 1u);
}

TEST_F(TodaysPageTest, StyleRulesUseTheColoursAndTheWidthAndLeaveOutWhatIsNoColour) {
    AddFruit();
    frame.Config().usewidth = 1;
    frame.Config().width = 640;
    frame.Config().secondcol = "}body";
    const std::string style = Between(Make(), "<style>", "</style>");
    EXPECT_NE(style.find(".tabulon thead th{background:#C0C0C0}"), std::string::npos) << style;
    EXPECT_NE(style.find(".tabulon th[scope=rowgroup]{background:#FFCC00}"), std::string::npos);
    EXPECT_NE(style.find(".tabulon td,.tabulon .flat>tr:nth-child(odd)>td{background:#FFFFFF}"), std::string::npos);
    EXPECT_NE(style.find("max-width:640px"), std::string::npos);
    EXPECT_EQ(style.find("}body"), std::string::npos);
    EXPECT_EQ(style.find("nth-child(even)"), std::string::npos) << "no rule for the second colour";
    frame.Config().usewidth = 0;
    EXPECT_EQ(Make().find("max-width"), std::string::npos);
}

TEST_F(TodaysPageTest, EveryIndexModeGivesUniqueIdsAndLinksToExactlyTheGroupsThePageHolds) {
    AddColumns({"Name"});
    for (const char* name : {"7up", "apple", "Mango", "\xC5sa", "\u00C5ke", "\u00D8rn"}) AddItem({name});
    frame.Config().otherletters = 1;
    for (int mode = 0; mode <= 4; ++mode) {
        frame.Config().addindex = mode;
        const std::string page = Make();
        std::vector<std::string> ids;
        for (auto at = page.find(" id=\""); at != std::string::npos; at = page.find(" id=\"", at + 1))
            ids.push_back(page.substr(at + 5, page.find('"', at + 5) - at - 5));
        std::string links;
        for (const std::string& id : ids) {
            EXPECT_EQ(Count(page, " id=\"" + id + "\""), 1u) << "mode " << mode << " id " << id;
            links += "<a href=\"#" + id + "\">" + id + "</a>\r\n";
        }
        // Å in Windows-1252 and in UTF-8 is one letter, one group.
        const std::size_t expected[] = {0, 5, 38, 5, 29};
        EXPECT_EQ(ids.size(), expected[mode]) << "mode " << mode;
        if (ids.empty()) {
            EXPECT_EQ(page.find("<nav"), std::string::npos);
            EXPECT_NE(page.find("<tbody class=\"flat\">"), std::string::npos);
        } else {
            EXPECT_EQ(Between(page, "<nav", "</nav>"),
                      "<nav class=\"tabulon-index\" aria-label=\"Letters\">" + links + "</nav>");
        }
        EXPECT_EQ(Count(page, "<tr><td>"), 6u) << "mode " << mode;
    }
}

TEST_F(TodaysPageTest, CellsAndNamesComeInUtf8AndLoseOnlyWhatNoPageMayHold) {
    AddColumns({"Na\xEFve", "Text"});
    const char* const cases[][2] = {
        {"Bj\xF6rk", "Bj\u00F6rk"},    // Windows-1252
        {"Bj\u00F6rk", "Bj\u00F6rk"},  // UTF-8 as it is
        {"\x93Quoted\x94 \x80", "\u201CQuoted\u201D \u20AC"},
        {"A\x01\x7F\tB", "A\tB"},      // controls
        {"A\u0085\uFDD0\uFFFE", "A"},  // C1 control, noncharacters
        {"<a href=\"x.htm\">Link</a> &amp;", "<a href=\"x.htm\">Link</a> &amp;"},
    };
    for (const auto& [cell, shown] : cases) AddItem({"k", cell});
    const std::string page = Make();
    EXPECT_NE(page.find("<th scope=\"col\">Na\u00EFve</th>"), std::string::npos);
    for (const auto& [cell, shown] : cases)
        EXPECT_NE(page.find(std::string("<tr><td>k</td><td>") + shown + "</td></tr>"), std::string::npos) << shown;
}

TEST_F(TodaysPageTest, MarkersAreReplacedWhereverTheyStandAndNothingIsAddedWithoutThem) {
    AddFruit();
    // Past the first block of the copy, a marker that the block's end cuts in two.
    std::string head(kPageBlockSize - 7, 'x');
    head += "<!--tabulon:index--><!--tabulon:style";
    MakeFile("head.htm", head);
    MakeFile("end.htm", "<!--tabulon:index--><!--tabulon:other--><!--tab");
    const std::string page = Make();
    EXPECT_EQ(Count(page, "<nav"), 2u);
    EXPECT_NE(page.find(std::string(kPageBlockSize - 7, 'x') + "<nav"), std::string::npos);
    EXPECT_NE(page.find("</nav><!--tabulon:style<div"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</nav><!--tabulon:other--><!--tab"));

    MakeFile("head.htm", kHeadBytes);
    EXPECT_TRUE(Make().starts_with(std::string(kPageTop) + "<div class=\"tabulon-box\">"));
}

}  // namespace
}  // namespace tabulon::testing
