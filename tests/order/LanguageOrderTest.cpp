// Sorting and the page's letters in the order of a language, with leading
// words passed over and numbers by their value.

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../output/ListTestSupport.h"
#include "base/ShownText.h"
#include "config/ConfigFile.h"
#include "posix/IcuCollation.h"

#include <unicode/coll.h>

namespace tabulon::testing {
namespace {

using Rows = std::vector<std::string>;

class LanguageOrderTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        SetCollation(&icu);
        AddColumns({"Name"});
    }
    void TearDown() override {
        SetCollation(nullptr);
        ListTest::TearDown();
    }
    void AddItems(const std::vector<std::string>& names) {
        for (const std::string& name : names) AddItem({name});
    }
    // The letter groups of today's page, in order.
    std::vector<std::string> TodaysGroups() {
        frame.Config().pagestyle = 1;
        const std::string page = Make();
        frame.Config().pagestyle = 0;
        std::vector<std::string> groups;
        const std::string start = "<th scope=\"rowgroup\"";
        for (auto at = page.find(start); at != std::string::npos; at = page.find(start, at + 1)) {
            const auto text = page.find('>', at) + 1;
            groups.push_back(page.substr(text, page.find("</th>", text) - text));
        }
        return groups;
    }
    static std::vector<std::string> IndexRowsOf(const Rows& rows) {
        std::vector<std::string> names;
        for (const std::string& row : rows)
            if (row.starts_with("index ")) {
                std::string name;
                ForEachShownCharacter(std::string_view(row).substr(6), [&name](char32_t ch) {
                    name += Utf8Of(ch);
                    return true;
                });
                names.push_back(name);
            }
        return names;
    }

    // ICU's own comparison of two cells, case ignored: the reference the
    // long sorts are checked against.
    UCollationResult Compare(std::string_view a, std::string_view b) {
        if (!reference) {
            UErrorCode status = U_ZERO_ERROR;
            reference.reset(icu::Collator::createInstance(icu::Locale(frame.Config().language.c_str()), status));
            EXPECT_TRUE(U_SUCCESS(status));
            reference->setStrength(icu::Collator::SECONDARY);
        }
        auto unicode = [](std::string_view text) {
            std::string utf8;
            ForEachShownCharacter(text, [&utf8](char32_t ch) {
                utf8 += Utf8Of(ch);
                return true;
            });
            return icu::UnicodeString::fromUTF8(utf8);
        };
        UErrorCode status = U_ZERO_ERROR;
        return reference->compare(unicode(a), unicode(b), status);
    }

    posix::CIcuCollation icu;
    std::unique_ptr<icu::Collator> reference;
};

struct LanguageCase {
    const char* language;
    Rows items;
    Rows page;  // the rows of the page of old, index mode 1
};

// Texts in UTF-8, and some in Windows-1252 (\xC9 É, \xD6 Ö, \xFC ü).
const LanguageCase kLanguages[] = {
    {"fr",
     {"Zaz", "\u00C9dith Piaf", "Ours", "\xC9mile", "7 ans", "edith", "\u00E9t\u00E9"},
     {"index 7", "first 7 ans", "index E", "first edith", "second \u00C9dith Piaf", "first \xC9mile",
      "second \u00E9t\u00E9", "index O", "first Ours", "index Z", "first Zaz"}},
    {"sv",
     {"\u00D6ga", "Zaz", "\u00C5sa", "\u00C4rlig", "Adam", "\xD6rn", "\u00E9te"},
     // A page of old with Windows-1252 items has its letters so too.
     {"index A", "first Adam", "index E", "first \u00E9te", "index Z", "first Zaz", "index \xC5", "first \u00C5sa",
      "index \xC4", "first \u00C4rlig", "index \xD6", "first \u00D6ga", "second \xD6rn"}},
    {"de",
     {"Zeit", "\u00C4rger", "Apfel", "\u00D6l", "Ofen", "Stra\u00DFe",
      "\xFC"
      "ber",
      "Uhr"},
     {"index A", "first Apfel", "second \u00C4rger", "index O", "first Ofen", "second \u00D6l", "index S",
      "first Stra\u00DFe", "index U",
      "first \xFC"
      "ber",
      "second Uhr", "index Z", "first Zeit"}},
    {"ru",
     {"\u042F\u0431\u043B\u043E\u043A\u043E", "\u0415\u043B\u044C", "Zebra",
      "\u0430\u0431\u0440\u0438\u043A\u043E\u0441", "\u0401\u043B\u043A\u0430", "1812"},
     {"index 1", "first 1812", "index \u0410", "first \u0430\u0431\u0440\u0438\u043A\u043E\u0441", "index \u0415",
      "first \u0401\u043B\u043A\u0430", "second \u0415\u043B\u044C", "index \u042F",
      "first \u042F\u0431\u043B\u043E\u043A\u043E", "index \u2026", "first Zebra"}},
};

TEST_F(LanguageOrderTest, ItemsAreSortedAndFiledByTheLanguagesOrderAndAlphabetInBothPageStyles) {
    frame.Config().addindex = 1;
    for (const LanguageCase& c : kLanguages) {
        Grid().DeleteNonFixedRows();
        AddItems(c.items);
        frame.Config().language = c.language;
        const Rows rows = RowsOf(Make());
        EXPECT_EQ(rows, c.page) << c.language;
        EXPECT_EQ(TodaysGroups(), IndexRowsOf(rows)) << c.language;
    }
}

TEST_F(LanguageOrderTest, CaseIsIgnoredSoTheSameWordInEitherCaseStandsTogether) {
    AddItems({"\u00E9mile", "Emma", "Emile", "\u00C9mile", "\u00C9MILE"});
    frame.Config().language = "fr";
    database.SortByAllColumns();
    // Émile, émile and ÉMILE are one at this strength, in whatever order
    // the sort leaves them; Emile differs by its accent and comes first.
    EXPECT_EQ(Grid().GetCellText(1, 1), "Emile");
    std::multiset<std::string> together;
    for (int row = 2; row <= 4; ++row) together.emplace(Grid().GetCellText(row, 1));
    EXPECT_EQ(together, (std::multiset<std::string>{"\u00E9mile", "\u00C9mile", "\u00C9MILE"}));
    EXPECT_EQ(Grid().GetCellText(5, 1), "Emma");
}

TEST_F(LanguageOrderTest, RunsOfTheSortByAllColumnsAreTextsOfOneKeyTrailingBlanksLeftOut) {
    AddColumns({"Note"});
    for (const auto& [name, note] : std::vector<std::pair<std::string, std::string>>{
             {"\u00C9mile", "b"}, {"zoe", "z"}, {"\u00E9mile", "a"}, {"Emile", "c"}, {"Zoe ", "y"}})
        AddItem({name, note});
    frame.Config().language = "fr";
    database.SortByAllColumns();
    const Rows expected = {"Emile c", "\u00E9mile a", "\u00C9mile b", "Zoe  y", "zoe z"};
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(std::string(Grid().GetCellText(row, 1)) + " " + std::string(Grid().GetCellText(row, 2)),
                  expected[static_cast<std::size_t>(row - 1)]);
}

TEST_F(LanguageOrderTest, AllModesListEveryLetterOfTheAlphabetAndTheLastGroupFollowsIt) {
    AddItems({"\u00C5sa", "3 dagar", "\u0416\u0443\u043A"});
    frame.Config().language = "sv";
    frame.Config().addindex = 4;
    const std::vector<std::string> groups = TodaysGroups();
    ASSERT_EQ(groups.size(), 1u + 29u + 1u);  // 0-9, A to Z and Å Ä Ö, the others
    EXPECT_EQ(groups.front(), "0-9");
    EXPECT_EQ(groups[27], "\u00C5");
    EXPECT_EQ(groups.back(), "\u2026");
    frame.Config().addindex = 2;
    EXPECT_EQ(TodaysGroups().size(), 10u + 29u + 1u);
}

TEST_F(LanguageOrderTest, LeadingWordsAndNumbersByValueWithAndWithoutALanguage) {
    AddItems(
        {"Track 10", "The Beatles", "Theory", "Track 9", "A-ha", "10cc", "the  Who", "Abba", "2 Unlimited", "The"});
    frame.Config().articles = "The; A";
    frame.Config().numbers = 1;
    const Rows expected = {"index 0-9",     "first 2 Unlimited", "second 10cc",       "index A", "first A-ha",
                           "second Abba",   "index B",           "first The Beatles", "index T", "first The",
                           "second Theory", "first Track 9",     "second Track 10",   "index W", "first the  Who"};
    for (const char* language : {"", "sv"}) {
        frame.Config().language = language;
        EXPECT_EQ(RowsOf(Make()), expected) << language;
    }
}

TEST_F(LanguageOrderTest, AHeadingClickSortsEitherPaneInTheLanguage) {
    frame.Config().language = "sv";
    CGridCtrl& items = *newItems.GetGrid();
    pane::AppendDataColumn(items);
    pane::AppendDataColumn(items);
    for (const char* name : {"\u00C5", "Z", "\xC4", "a"}) {
        const int row = items.InsertRow("");
        items.SetCellText(row, 2, name);
    }
    items.SortByColumn(2, true);
    const Rows sorted = {"a", "Z", "\u00C5", "\xC4"};
    for (int row = 1; row <= 4; ++row) EXPECT_EQ(items.GetCellText(row, 2), sorted[row - 1]);
}

// A long run makes each distinct text's key once, on two threads: its order
// must still be the language's, checked against ICU's own comparison.
TEST_F(LanguageOrderTest, ALongRunWithRepeatedTextsIsSortedInTheLanguage) {
    frame.Config().language = "sv";
    CGridCtrl& items = *newItems.GetGrid();
    pane::AppendDataColumn(items);
    pane::AppendDataColumn(items);
    const Rows words = {"\u00C5sa", "asa", "Zaz", "\u00E9te", "Ete", "\xD6rn", "orn", "\u00D6RN", "b", "B", "\u00E4"};
    std::multiset<std::string> before;
    for (int i = 0; i < 12000; ++i) {
        const std::string text = words[static_cast<std::size_t>(i * 7) % words.size()] + std::to_string(i % 97);
        items.SetCellText(items.InsertRow(""), 2, text);
        before.insert(text);
    }
    for (const bool ascending : {true, false}) {
        items.SortByColumn(2, ascending);
        std::multiset<std::string> after;
        for (int row = 1; row < items.GetRowCount(); ++row) {
            after.insert(std::string(items.GetCellText(row, 2)));
            if (row == 1) continue;
            ASSERT_NE(Compare(items.GetCellText(row - 1, 2), items.GetCellText(row, 2)),
                      ascending ? UCOL_GREATER : UCOL_LESS)
                << row;
        }
        EXPECT_EQ(after, before);
    }
}

// A long list's sort by all columns makes the second column's keys at once
// and its runs take them: the order must be the language's in both columns.
TEST_F(LanguageOrderTest, ALongSortByAllColumnsIsInTheLanguageInEveryColumn) {
    AddColumns({"Title"});
    frame.Config().language = "sv";
    const Rows words = {"\u00C5sa", "asa", "Zaz", "\u00E9te", "Ete", "\xD6rn", "orn", "b", "B", "\u00E4"};
    CGridCtrl& grid = Grid();
    std::multiset<std::string> before;
    for (int i = 0; i < 140000; ++i) {
        const std::string name = words[static_cast<std::size_t>(i) % words.size()] + std::to_string(i % 40);
        const std::string title = words[static_cast<std::size_t>(i / 3) % words.size()] + std::to_string(i % 700);
        const int row = grid.InsertRow("");
        grid.SetCellText(row, 1, name);
        grid.SetCellText(row, 2, title);
        before.insert(name + ";" + title);
    }
    database.SortByAllColumns();
    std::multiset<std::string> after;
    for (int row = 1; row < grid.GetRowCount(); ++row) {
        after.insert(std::string(grid.GetCellText(row, 1)) + ";" + std::string(grid.GetCellText(row, 2)));
        if (row == 1) continue;
        const UCollationResult first = Compare(grid.GetCellText(row - 1, 1), grid.GetCellText(row, 1));
        ASSERT_NE(first, UCOL_GREATER) << row;
        if (first == UCOL_EQUAL) {
            ASSERT_NE(Compare(grid.GetCellText(row - 1, 2), grid.GetCellText(row, 2)), UCOL_GREATER) << row;
        }
    }
    EXPECT_EQ(after, before);
}

TEST_F(LanguageOrderTest, TheKeysRoundTripThroughTheFileWithOrWithoutBlanks) {
    CListConfig& c = frame.Config();
    c.language = "sv";
    c.articles = "The;A;An";
    c.numbers = 1;
    MakeFile("list.cfg", "");
    ASSERT_TRUE(WriteConfigFile(frame, true));
    const std::string text = Contents(c.cfgfile);
    EXPECT_NE(text.find("numbers = 1\r\nlanguage = sv\r\narticles = The;A;An\r\n"), std::string::npos) << text;
    ParsedConfig parsed;
    std::string reason;
    ASSERT_TRUE(ParseConfigFile(c.cfgfile, parsed, reason));
    EXPECT_EQ(parsed.record.language, "sv");
    EXPECT_EQ(parsed.record.articles, "The;A;An");
    EXPECT_EQ(parsed.record.numbers, 1);

    MakeFile("list.cfg", "[other]\r\nlanguage=fr\r\narticles   =  Le;La \r\nnumbers=0\r\n");
    ASSERT_TRUE(ParseConfigFile(c.cfgfile, parsed, reason));
    EXPECT_EQ(parsed.record.language, "fr");
    EXPECT_EQ(parsed.record.articles, "Le;La");
    EXPECT_EQ(parsed.record.numbers, 0);

    c.language.clear();
    c.articles.clear();
    c.numbers = 0;
    ASSERT_TRUE(WriteConfigFile(frame, true));
    for (const char* key : {"language", "articles", "numbers"})
        EXPECT_EQ(Contents(c.cfgfile).find(key), std::string::npos) << key;
}

TEST_F(LanguageOrderTest, MakeListRefusesALanguageItCannotSortBy) {
    MakeFile("list.db", "fig\r\n");
    MakeFile("list.htm", "");
    frame.Config().language = "xq";
    EXPECT_FALSE(ValidateConfig(frame));
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("\"xq\" is no language this program knows"), std::string::npos)
        << messages.shown.back().text;
}

}  // namespace
}  // namespace tabulon::testing
