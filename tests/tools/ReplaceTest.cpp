// 'Replace': the column list, replacing in one pass, the two upper-casing
// buttons in both encodings, the messages, and the Database mark.

#include "ToolTestSupport.h"
#include "tools/LetterCase.h"
#include "tools/ReplaceDlg.h"

namespace tabulon::testing {
namespace {

namespace Id = ReplaceId;
using fakes::ToolDialog;

struct Replace : ToolFixture {
    ToolDialog* window = nullptr;

    void SetUp() override {
        Fill(newItems, {"Col 1", "Col 2"}, {{"the other", "THE"}, {"", "bathe"}});
        FillDatabase({"Artist", "Title"}, {{"the beatles - abbey road", "let it be"}});
        window = &OpenReplace();
    }
    void Run(const std::string& what, const std::string& with, ControlId button = Id::kReplace) {
        window->SetControlText(Id::kReplaceText, what);
        window->SetControlText(Id::kWithText, with);
        dialogs.Click(*window, button);
    }
};

TEST(ReplaceText, OnePassFromTheLeftWithoutOverlapOrRescan) {
    struct Case {
        const char* text;
        const char* what;
        const char* with;
        const char* expected;
    };
    const Case cases[] = {
        {"the other", "the", "The", "The oTher"},
        {"THE", "the", "The", "THE"},
        {"aaaa", "aa", "a", "aa"},
        {"aXa", "a", "aa", "aaXaa"},
        {"abcabc", "b", "", "acac"},
        {"", "a", "b", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceOccurrences(c.text, c.what, c.with), c.expected) << c.text;
}

TEST_F(Replace, AllColumnsOfNewItemsChangeWithoutAMark) {
    EXPECT_EQ(window->lists[Id::kColumns], (Strings{"All", "Col 1", "Col 2"}));
    EXPECT_EQ(window->GetListSelection(Id::kColumns), 0);
    Run("the", "The");
    EXPECT_EQ(Items(newItems), (Rows{{"The oTher", "THE"}, {"", "baThe"}}));
    EXPECT_EQ(Column(newItems, 0)[0], "New items");
    EXPECT_EQ(newItems.GetCellText(0, 1), "Col 1");
    EXPECT_EQ(window->focus, Id::kColumns);
    EXPECT_FALSE(DatabaseMarked());
    EXPECT_TRUE(messages.shown.empty());

    window->SetListSelection(Id::kColumns, 2);  // Col 2 alone
    Run("The", "");
    EXPECT_EQ(Items(newItems), (Rows{{"The oTher", "THE"}, {"", "ba"}}));
}

TEST_F(Replace, DatabaseIsMarkedByAnyChangeEvenOfNothing) {
    window->ChooseRadio(Id::kDatabase);
    EXPECT_FALSE(tools.ReplaceDlg()->IsNewItemsTarget());
    EXPECT_EQ(window->lists[Id::kColumns], (Strings{"All", "Artist", "Title"}));
    EXPECT_EQ(window->GetListSelection(Id::kColumns), 0);
    Run("nowhere", "x");
    EXPECT_EQ(Items(database), (Rows{{"the beatles - abbey road", "let it be"}}));
    EXPECT_TRUE(DatabaseMarked());

    database.SetCellText(0, 0, "Database");
    database.SetRowCount(1);  // no items at all
    dialogs.Click(*window, Id::kCapitalizeWords);
    EXPECT_TRUE(DatabaseMarked());
}

TEST_F(Replace, RefusalsChangeNothing) {
    struct Case {
        const char* what;
        const char* with;
        int selection;
        const char* text;
        const char* caption;
    };
    const Case cases[] = {
        {"", "x", 0, "Replace field is empty", "Replace"},
        {"the", "x", -1, "No selection made in list", "List selection"},
        {"the", "a;b", 0, nullptr, "Replace"},
        {"the", "a\nb", 0, nullptr, "Replace"},
        {"the", "a\r", 0, nullptr, "Replace"},
    };
    window->ChooseRadio(Id::kDatabase);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.with);
        messages.shown.clear();
        window->SetListSelection(Id::kColumns, c.selection);
        Run(c.what, c.with);
        ASSERT_EQ(messages.shown.size(), 1u);
        if (c.text) {
            EXPECT_EQ(messages.shown[0].text, c.text);
        }
        EXPECT_EQ(messages.shown[0].caption, c.caption);
        EXPECT_EQ(Items(database), (Rows{{"the beatles - abbey road", "let it be"}}));
        EXPECT_FALSE(DatabaseMarked());
    }
    // The icon buttons ask only for a column.
    messages.shown.clear();
    window->SetListSelection(Id::kColumns, -1);
    dialogs.Click(*window, Id::kCapitalizeFirst);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "No selection made in list");
}

TEST_F(Replace, OneDataColumnIsListedAloneAndIndexZeroMeansIt) {
    Fill(newItems, {"Col 1"}, {{"x1"}, {"x2"}});
    tools.OnNewItemsColumnsChanged();
    EXPECT_EQ(window->lists[Id::kColumns], (Strings{"Col 1"}));
    EXPECT_EQ(window->GetListSelection(Id::kColumns), -1);
    window->ClickListEntry(Id::kColumns, 0);
    Run("x", "y");
    EXPECT_EQ(Items(newItems), (Rows{{"y1"}, {"y2"}}));
}

TEST_F(Replace, IconButtonsUpperCaseFirstLettersOfCellsOrWords) {
    window->ChooseRadio(Id::kDatabase);
    window->SetListSelection(Id::kColumns, 1);
    dialogs.Click(*window, Id::kCapitalizeFirst);
    EXPECT_EQ(Items(database), (Rows{{"The beatles - abbey road", "let it be"}}));
    window->SetListSelection(Id::kColumns, 0);
    dialogs.Click(*window, Id::kCapitalizeWords);
    EXPECT_EQ(Items(database), (Rows{{"The Beatles - Abbey Road", "Let It Be"}}));
    EXPECT_TRUE(DatabaseMarked());
}

TEST(LetterCase, UpperCasesTheCharacterInTheCellsOwnEncoding) {
    struct Case {
        std::string text;
        std::string words;  // CapitalizeEachWord
        std::string first;  // UpperFirstLetter
    };
    const Case cases[] = {
        {"the beatles - abbey road", "The Beatles - Abbey Road", "The beatles - abbey road"},
        {"\xC3\xB6l", "\xC3\x96l", "\xC3\x96l"},  // öl as UTF-8
        {"\xF6l", "\xD6l", "\xD6l"},              // öl as Windows-1252
        {"\xC3\xA5 \xC3\xA4 \xC3\xA9 \xC3\xBC", "\xC3\x85 \xC3\x84 \xC3\xA9 \xC3\xBC",
         "\xC3\x85 \xC3\xA4 \xC3\xA9 \xC3\xBC"},
        {"\xE5 \xE4 \xE9 \xFC", "\xC5 \xC4 \xE9 \xFC", "\xC5 \xE4 \xE9 \xFC"},  // å ä é ü as Windows-1252
        {"\xE5\xA5\xBD \xE4\xB8\x80", "\xE5\xA5\xBD \xE4\xB8\x80",
         "\xE5\xA5\xBD \xE4\xB8\x80"},                           // 好 一: lead bytes E5, E4
        {"\xE5l \xC3\xA4", "\xC5l \xC3\xA4", "\xC5l \xC3\xA4"},  // not UTF-8: bytes, Ã stays
        {"", "", ""},
        {"a  b ", "A  B ", "A  b "},
        {"x-y,z.w", "X-y,z.w", "X-y,z.w"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CapitalizeEachWord(c.text), c.words) << c.text;
        EXPECT_EQ(UpperFirstLetter(c.text), c.first) << c.text;
    }
    for (int b = 0; b < 256; ++b) {
        const char ch = static_cast<char>(b);
        const char expected = b >= 'a' && b <= 'z' ? static_cast<char>(b - 32)
                              : b == 0xE5          ? '\xC5'
                              : b == 0xE4          ? '\xC4'
                              : b == 0xF6          ? '\xD6'
                                                   : ch;
        EXPECT_EQ(ToUpperLetter(ch), expected) << b;
    }
}

}  // namespace
}  // namespace tabulon::testing
