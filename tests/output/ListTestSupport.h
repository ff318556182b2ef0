#pragma once
// A main frame with both panes, a publisher that records, and a scratch
// folder holding the configuration's head and end files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "FakeFilePicker.h"
#include "FakeMainWindow.h"
#include "IdleHosts.h"
#include "RecordingPublisher.h"
#include "ScratchFolder.h"
#include "ScriptedMessageBox.h"
#include "app/Session.h"
#include "grid/GridCtrl.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"
#include "output/ListGenerator.h"

namespace tabulon::testing {

namespace fs = std::filesystem;

constexpr const char* kHeadColour = "C0C0C0";
constexpr const char* kIndexColour = "FFCC00";
constexpr const char* kFirstColour = "FFFFFF";
constexpr const char* kSecondColour = "E8E8E8";

constexpr const char* kHeadBytes = "<HTML><BODY>\r\n";
constexpr const char* kEndBytes = "</BODY></HTML>\r\n";

// The page up to and including its head file, as written with kHeadBytes.
constexpr const char* kPageTop =
    "<!-- Created with Tabulon by Korvanex -->\r\n"
    "<!--        https://www.korvanex.com/         -->\r\n"
    "\r\n"
    "<HTML><BODY>\r\n";

// Hands each call on to the publisher it is connected to, if any: a host
// may have nothing to publish with.
struct PublisherSocket : IListPublisher {
    void UploadList(const CListConfig& config, const std::string& output) override {
        if (to) to->UploadList(config, output);
    }
    int OpenTarget(const std::string& file, int show) override { return to ? to->OpenTarget(file, show) : 0; }
    IListPublisher* to = nullptr;
};

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        publisherSocket.to = &publisher;

        CListConfig& c = frame.Config();
        c.cfgfile = PathOf("list.cfg");
        c.database = "list.db";
        c.output = "list.htm";
        c.headfile = "head.htm";
        c.endfile = "end.htm";
        c.headcol = kHeadColour;
        c.indexcol = kIndexColour;
        c.firstcol = kFirstColour;
        c.secondcol = kSecondColour;
        c.addindex = 3;
        c.usewidth = 0;
        c.viewout = 0;
        c.ftpupload = 0;
        MakeFile("head.htm", kHeadBytes);
        MakeFile("end.htm", kEndBytes);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(folder, ec);
    }

    CGridCtrl& Grid() { return *database.GetGrid(); }
    // Columns and items go in unrecorded, as a load puts them.
    void AddColumns(std::initializer_list<std::string> names) {
        const CGridCtrl::CUnrecorded loaded(Grid());
        for (const std::string& name : names) {
            const int col = pane::AppendDataColumn(Grid());
            Grid().SetCellText(0, col, name);
        }
    }
    void AddItem(std::initializer_list<std::string> fields) {
        const CGridCtrl::CUnrecorded loaded(Grid());
        const int row = Grid().InsertRow("");
        int col = 1;
        for (const std::string& field : fields) pane::SetItemCell(Grid(), row, col++, field);
        database.NumberItemRows(row, row);
    }
    // The worked example: two columns, four items in the order the user added them.
    void AddFruit() {
        AddColumns({"Name", "Size"});
        AddItem({"apple", "1"});
        AddItem({"Avocado", "2"});
        AddItem({"banana", "3"});
        AddItem({"7up", "4"});
    }

    std::string PathOf(const std::string& name) const { return scratch.PathOf(name); }
    std::string MakeFile(const std::string& name, const std::string& bytes) const {
        return scratch.MakeFile(name, bytes);
    }
    static std::string Contents(const std::string& path) { return fakes::ScratchFolder::Contents(path); }
    std::string Page() const { return Contents(PathOf("list.htm")); }
    // Makes the list and hands back the page; the run must succeed with no
    // message but the notice of items left out, which its own tests check.
    std::string Make() {
        const std::size_t before = messages.shown.size();
        EXPECT_TRUE(MakeList(frame));
        for (std::size_t i = before; i < messages.shown.size(); ++i)
            EXPECT_NE(messages.shown[i].text.find("left out of the page"), std::string::npos) << messages.shown[i].text;
        messages.shown.resize(before);
        return Page();
    }
    // The page's table, from "<TABLE" to the line end after "</TABLE>".
    static std::string TableOf(const std::string& page) {
        const auto start = page.find("<TABLE");
        const auto end = page.find("</TABLE>\r\n");
        if (start == std::string::npos || end == std::string::npos) return {};
        return page.substr(start, end + 10 - start);
    }
    // Each table row in short: "index A", "index 0-9", "first apple",
    // "second 7up" (item rows by their colour and first cell).
    static std::vector<std::string> RowsOf(const std::string& page) {
        std::vector<std::string> rows;
        const std::string start = "<TR bgcolor=";
        for (auto at = page.find(start); at != std::string::npos; at = page.find(start, at + 1)) {
            const std::string colour = page.substr(at + start.size(), 6);
            const auto rest = at + start.size() + 6;
            if (page.compare(rest, 18, "><TD ID=y colspan=") == 0) {
                const auto text = page.find('>', rest + 18) + 1;
                rows.push_back(
                    "index " +
                    page.substr(text, std::min(page.find("<A NAME=", text), page.find("</TD>", text)) - text));
            } else {
                const auto text = rest + 7;  // past "><TD>\r\n"
                const std::string name = colour == kFirstColour    ? "first "
                                         : colour == kSecondColour ? "second "
                                                                   : colour + " ";
                rows.push_back(name + page.substr(text, page.find("</TD>", text) - text));
            }
        }
        return rows;
    }

    fakes::ScratchFolder scratch{"tabulon-list"};
    const fs::path& folder = scratch.folder;
    fakes::FakeMainWindow window;
    fakes::ScriptedMessageBox messages;
    fakes::RecordingPublisher publisher;
    PublisherSocket publisherSocket;
    fakes::FakeFilePicker picker;
    fakes::IdleHosts idle;
    CSession session{fakes::HostsFor(window, messages, picker, idle.dialogs, idle.menus, publisherSocket, idle)};
    CMainFrame& frame = session.Frame();
    CTabulonWnd1& newItems = session.NewItemsPane();
    CTabulonWnd2& database = session.DatabasePane();
};

// A list of one item, "fig", in one column and without index rows.
class OneItemListTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        AddColumns({"Name"});
        AddItem({"fig"});
        frame.Config().addindex = 0;
    }
};

}  // namespace tabulon::testing
