#include "output/TodaysPage.h"

#include <algorithm>

#include "base/ShownText.h"
#include "grid/GridCtrl.h"
#include "output/PageScript.h"

namespace tabulon {

namespace {

// A code point that a page may not hold: controls other than the line
// breaks and the tab, and the noncharacters.
bool IsForbidden(char32_t c) {
    if (c < 0x20) return c != '\t' && c != '\n' && c != '\r';
    return (c >= 0x7F && c <= 0x9F) || (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// A cell's text as the window shows it, in UTF-8: a text that is not UTF-8
// is Windows-1252. It stays HTML, as on the page of old; only what no page
// may hold is left out.
void AddText(PageBuffer& page, std::string_view text, std::string& scratch) {
    bool plain = true;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x7F || (byte < 0x20 && byte != '\t')) {
            plain = false;
            break;
        }
    }
    if (plain) return page.Raw(text);
    scratch.clear();
    ForEachShownCharacter(text, [&](char32_t c) {
        if (!IsForbidden(c)) scratch += Utf8Of(c);
        return true;
    });
    page.Raw(scratch);
}

bool IsColour(std::string_view text) {
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
           });
}

// The table's rules. A colour that is not six hexadecimal digits gives no
// rule, so that whatever it holds cannot spill into the style sheet.
std::string StyleRules(const CListConfig& config) {
    std::string rules = "<style>\r\n";
    auto rule = [&](std::string_view selector, const std::string& colour) {
        if (!IsColour(colour)) return;
        rules += selector;
        rules += "{background:#" + colour + "}\r\n";
    };
    rules += ".tabulon-box{overflow-x:auto;contain:content}\r\n";
    rules += "table.tabulon{border-collapse:collapse";
    if (config.usewidth == 1 && config.width > 0) rules += ";width:100%;max-width:" + Decimal(config.width) + "px";
    rules += "}\r\n";
    rules += ".tabulon th,.tabulon td{text-align:left;vertical-align:top}\r\n";
    rule(".tabulon thead th", config.headcol);
    rule(".tabulon th[scope=rowgroup]", config.indexcol);
    // The first item after a letter's row, and every other one from there,
    // takes the first colour; in a list without letter rows the first item.
    rule(".tabulon td,.tabulon .flat>tr:nth-child(odd)>td", config.firstcol);
    rule(".tabulon tbody>tr:nth-child(odd)>td,.tabulon .flat>tr:nth-child(even)>td", config.secondcol);
    rules +=
        ".tabulon th button{font:inherit;color:inherit;background:none;border:0;padding:0;cursor:pointer;"
        "text-align:inherit}\r\n"
        ".tabulon th[aria-sort=ascending] button::after{content:\" \\25B2\"}\r\n"
        ".tabulon th[aria-sort=descending] button::after{content:\" \\25BC\"}\r\n"
        ".tabulon-search{margin:0.5em 0}\r\n"
        ".tabulon-index a{display:inline-block;min-width:1.5em;padding:0.2em}\r\n"
        "</style>\r\n";
    return rules;
}

// Collects the letter groups the page will hold, for the links to them.
class GroupNames : public ILetterGroupSink {
public:
    void Letter(std::string_view name, bool anchor) override {
        if (anchor) names.emplace_back(name);
    }
    void Item(int, bool) override {}
    std::vector<std::string> names;
};

std::string IndexLinks(const CListConfig& config, const CGridCtrl* grid) {
    GroupNames groups;
    LeftOut ignored;
    WalkLetterGroups(grid, {config.addindex, config.otherletters == 1, true}, groups, ignored);
    if (groups.names.empty()) return {};
    std::string nav = "<nav class=\"tabulon-index\" aria-label=\"Letters\">";
    for (const std::string& name : groups.names) nav += "<a href=\"#" + name + "\">" + name + "</a>\r\n";
    return nav + "</nav>";
}

// The table's body: one tbody for each letter group, headed by the letter.
class TodaysTable : public ILetterGroupSink {
public:
    TodaysTable(PageBuffer& page, const CGridCtrl* grid)
        : m_page(page), m_grid(grid), m_columns(grid ? grid->GetColumnCount() : 0) {}

    void Letter(std::string_view name, bool anchor) override {
        Close();
        m_page.Raw("<tbody>\r\n<tr><th scope=\"rowgroup\" colspan=\"");
        m_page.Raw(Decimal(std::max(m_columns - 1, 1)));
        if (anchor) {
            m_page.Raw("\" id=\"");
            m_page.Raw(name);
        }
        m_page.Raw("\">");
        m_page.Raw(name);
        m_page.Raw("</th></tr>\r\n");
        m_open = true;
    }
    void Item(int row, bool) override {
        // A list without letters is one group of its own.
        if (!m_open) m_page.Raw("<tbody class=\"flat\">\r\n");
        m_open = true;
        m_page.Raw("<tr>");
        for (int col = 1; col < m_columns; ++col) {
            m_page.Raw("<td>");
            AddText(m_page, m_grid->GetCellText(row, col), m_scratch);
            m_page.Raw("</td>");
        }
        m_page.Raw("</tr>\r\n");
    }
    void Close() {
        if (m_open) m_page.Raw("</tbody>\r\n");
        m_open = false;
    }

private:
    PageBuffer& m_page;
    const CGridCtrl* m_grid;
    const int m_columns;
    bool m_open = false;
    std::string m_scratch;
};

}  // namespace

PageMarkers TodaysPageMarkers(const CListConfig& config, const CGridCtrl* grid) {
    return {{kStyleMarker, StyleRules(config)}, {kIndexMarker, IndexLinks(config, grid)}};
}

void WriteTodaysTable(PageBuffer& page, const CListConfig& config, const CGridCtrl* grid, LeftOut& leftOut) {
    const int columns = grid ? grid->GetColumnCount() : 0;
    std::string scratch;
    page.Raw("<div class=\"tabulon-box\">\r\n<table class=\"tabulon\">\r\n");
    // A header row needs cells: a list without columns has none.
    if (columns > 1) {
        page.Raw("<thead>\r\n<tr>");
        for (int col = 1; col < columns; ++col) {
            page.Raw("<th scope=\"col\">");
            AddText(page, grid->GetCellText(0, col), scratch);
            page.Raw("</th>");
        }
        page.Raw("</tr>\r\n</thead>\r\n");
    }
    TodaysTable table(page, grid);
    WalkLetterGroups(grid, {config.addindex, config.otherletters == 1, true}, table, leftOut);
    table.Close();
    page.Raw("</table>\r\n</div>\r\n<script>\r\n");
    page.Raw(kPageScript);
    page.Raw("</script>\r\n");
}

}  // namespace tabulon
