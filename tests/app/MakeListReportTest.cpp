// Make list says in the status bar what it has done: where the page went,
// how many items it holds, how many it left out and where it was uploaded.

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/CommandTable.h"
#include "output/ListGenerator.h"

namespace tabulon::testing {
namespace {

TEST(MakeListReport, TheTextCountsInThousandsAndAddsWhatApplies) {
    struct Case {
        ListSummary summary;
        const char* text;
    };
    const Case cases[] = {
        {{34210, 0, false}, "List written to /l.htm: 34,210 items"},
        {{1, 3, false}, "List written to /l.htm: 1 item, 3 left out"},
        {{1234567, 1000, true}, "List written to /l.htm: 1,234,567 items, 1,000 left out, uploaded to ftp.example"},
        {{0, 0, false}, "List written to /l.htm: 0 items"},
    };
    for (const Case& c : cases) EXPECT_EQ(ListWrittenText("/l.htm", c.summary, "ftp.example"), c.text);
}

TEST_F(AppTest, MakeListSaysWhereTheListWentWithItsItemsTheLeftOutAndTheUpload) {
    WriteConfiguration("a;1\r\n#b;2\r\nc;3\r\n", "ftpupload= 1\r\n");
    ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));
    frame.Config().server = "ftp.example";
    messages.Answer(MbResult::Ok);  // the items left out are told once
    frame.OnCommand(CommandId::kMakeList);
    EXPECT_EQ(window.status,
              "List written to " + PathOf("page.htm") + ": 2 items, 1 left out, uploaded to ftp.example");

    // An upload that failed is not said to have worked.
    publisher.uploadSucceeds = false;
    messages.Answer(MbResult::Ok);
    frame.OnCommand(CommandId::kMakeList);
    EXPECT_EQ(window.status, "List written to " + PathOf("page.htm") + ": 2 items, 1 left out");
}

}  // namespace
}  // namespace tabulon::testing
