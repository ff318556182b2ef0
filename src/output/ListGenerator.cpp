#include "output/ListGenerator.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>

#include "base/TextFile.h"
#include "grid/GridCtrl.h"
#include "items/TabulonWnd2.h"
#include "output/LetterGroups.h"
#include "output/PageWriting.h"
#include "output/TodaysPage.h"

namespace tabulon {

namespace {

// The table of the page of old: colours on every row, anchors in the index
// rows.
class DesignTable : public ILetterGroupSink {
public:
    DesignTable(PageBuffer& page, const CListConfig& config, const CGridCtrl* grid)
        : m_page(page),
          m_grid(grid),
          m_columns(grid ? grid->GetColumnCount() : 0),
          m_indexStart("<TR bgcolor=" + config.indexcol + "><TD ID=y colspan=" + Decimal(std::max(m_columns - 1, 0)) +
                       ">"),
          m_firstStart("<TR bgcolor=" + config.firstcol + ">"),
          m_secondStart("<TR bgcolor=" + config.secondcol + ">") {}

    void Letter(std::string_view name, bool anchor) override {
        m_page.Raw(m_indexStart);
        m_page.Raw(name);
        if (anchor) {
            m_page.Raw("<A NAME=");
            m_page.Raw(name);
            m_page.Raw("></A>");
        }
        m_page.Raw("</TD></TR>\r\n");
    }
    // The first item after an index row takes the first colour, the others
    // alternate.
    void Item(int row, bool indexed) override {
        const bool first = indexed || m_nextFirst;
        m_nextFirst = !first;
        m_page.Raw(first ? m_firstStart : m_secondStart);
        for (int col = 1; col < m_columns; ++col) {
            m_page.Raw("<TD>\r\n");
            m_page.Raw(m_grid->GetCellText(row, col));
            m_page.Raw("</TD>");
        }
        m_page.Raw("</TR>\r\n\r\n");
    }

private:
    PageBuffer& m_page;
    const CGridCtrl* m_grid;
    const int m_columns;
    const std::string m_indexStart;
    const std::string m_firstStart;
    const std::string m_secondStart;
    bool m_nextFirst = true;
};

void WriteTable(PageBuffer& page, const CListConfig& config, const CGridCtrl* grid, LeftOut& leftOut) {
    const int columns = grid ? grid->GetColumnCount() : 0;

    if (config.usewidth == 1 && config.width > 0) {
        page.Raw("<TABLE WIDTH=");
        page.Raw(Decimal(config.width));
        page.Raw(">\r\n");
    } else {
        page.Raw("<TABLE>\r\n");
    }

    page.Raw("<TR BGCOLOR=");
    page.Raw(config.headcol);
    page.Raw(">\r\n");
    for (int col = 1; col < columns; ++col) {
        page.Raw("<TD ID=x>");
        page.Raw(grid->GetCellText(0, col));
        page.Raw("</TD>\r\n");
    }
    page.Raw("</TR>\r\n\r\n");

    DesignTable table(page, config, grid);
    WalkLetterGroups(grid, {config.addindex, config.otherletters == 1, false}, table, leftOut);

    page.Raw("</TABLE>\r\n");
}

void ShowFailure(IListFrame& frame, const std::string& text) {
    frame.Messages().Show(text, "Make list", MbIcon::Exclamation, MbButtons::Ok);
}

bool WritePage(IListFrame& frame, LeftOut& leftOut) {
    const CListConfig& config = frame.Config();
    const ConfigFiles& files = frame.Files();
    const std::string& output = files.output;
    auto writeFailed = [&](const std::string& reason) {
        ShowFailure(frame, "The list could not be written to\n" + output + "\n\nReason: " + reason);
        return false;
    };
    auto readFailed = [&](const char* which, const std::string& path, const std::string& reason) {
        ShowFailure(frame, std::string("The list was not written: the ") + which + " file\n" + path +
                               "\ncould not be read.\n\nReason: " + reason);
        return false;
    };

    if (output.empty()) return writeFailed("no output file is named in the configuration");
    CSafeFileWriter file;
    if (!file.Open(output)) return writeFailed(file.Error());
    PageBuffer page(file);

    page.Raw("<!-- Created with Tabulon by Korvanex -->\r\n");
    page.Raw("<!--        ");
    page.Raw(kMakerWebAddress);
    page.Raw("/         -->\r\n\r\n");

    const CGridCtrl* grid = frame.DatabasePane().GetGrid();
    const bool today = config.pagestyle == 1;
    // The page of old copies the head and end files as they are.
    const PageMarkers markers = today ? TodaysPageMarkers(config, grid) : PageMarkers{};
    std::string reason;
    if (!CopyFileInto(page, files.headfile, reason, markers)) return readFailed("head", files.headfile, reason);

    if (today)
        WriteTodaysTable(page, config, grid, leftOut);
    else
        WriteTable(page, config, grid, leftOut);

    if (!CopyFileInto(page, files.endfile, reason, markers)) return readFailed("end", files.endfile, reason);

    page.Flush();
    if (!file.Commit()) return writeFailed(file.Error());
    return true;
}

}  // namespace

namespace {

// 34210 as "34,210". Built by appending: g++ 12 at -O3 misreads inserts
// and chains of + as overlapping copies.
std::string WithThousands(int number) {
    const std::string digits = std::to_string(number < 0 ? -static_cast<long long>(number) : number);
    std::string text;
    if (number < 0) text += '-';
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

}  // namespace

std::string ListWrittenText(const std::string& path, const ListSummary& summary, const std::string& host) {
    std::string text =
        "List written to " + path + ": " + WithThousands(summary.listed) + (summary.listed == 1 ? " item" : " items");
    if (summary.leftOut > 0) text += ", " + WithThousands(summary.leftOut) + " left out";
    if (summary.uploaded) text += ", uploaded to " + host;
    return text;
}

bool MakeList(IListFrame& frame, ListSummary* summary) {
    LeftOut leftOut;
    CGridCtrl* grid = frame.DatabasePane().GetGrid();
    try {
        // Sorting needs room beside the items; when there is none the sort
        // stops whole and says so here, rather than leaving a page half sorted.
        std::optional<CStrictGrid> strict;
        if (grid) strict.emplace(*grid);
        frame.DatabasePane().SortByAllColumns();
        if (!WritePage(frame, leftOut)) return false;
    } catch (const std::bad_alloc&) {
        // The rows are all there, whatever order the sort had reached; their
        // numbers follow them again.
        try {
            if (grid) frame.DatabasePane().NumberItemRows(1, grid->GetRowCount() - 1);
        } catch (const std::bad_alloc&) {
        }
        ShowFailure(frame, OutOfMemoryText("make the list", frame.Files().output, "The page was not written."));
        return false;
    }
    // As designed, some items never make it to the page; the user learns
    // which, once, now that the page is there.
    if (leftOut.count > 0) frame.Messages().Show(leftOut.Message(), "Make list", MbIcon::Information, MbButtons::Ok);

    const CListConfig& config = frame.Config();
    const std::string& output = frame.Files().output;
    if (config.ftpupload == 1) frame.ListPublisher().UploadList(config, output);
    if (summary) {
        summary->listed = leftOut.items - leftOut.count;
        summary->leftOut = leftOut.count;
        summary->uploaded = config.ftpupload == 1 && frame.ListPublisher().Uploaded();
    }
    if (config.viewout == 1) frame.ListPublisher().OpenTarget(output, kShowNormal);
    return true;
}

}  // namespace tabulon
