#pragma once
// The main window's logic with both panes, every host interface scripted,
// and a ready configuration (database, head and end file) in a scratch
// folder of its own for each test.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FakeFilePicker.h"
#include "FakeMainWindow.h"
#include "IdleHosts.h"
#include "RecordingPublisher.h"
#include "ScratchFolder.h"
#include "ScriptedDialogHost.h"
#include "ScriptedMessageBox.h"
#include "app/Session.h"
#include "items/ColumnCommands.h"

namespace tabulon::testing {

namespace fs = std::filesystem;

class ClosingWindow : public fakes::FakeMainWindow {
public:
    void CloseWindow() override { closed = true; }
    bool closed = false;
};

// DialogHost: ScriptedToolDialogHost where the tool windows are opened too.
template <class DialogHost = fakes::ScriptedDialogHost>
class AppTestWith : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return scratch.PathOf(name); }
    std::string MakeFile(const std::string& name, const std::string& bytes) const {
        return scratch.MakeFile(name, bytes);
    }
    static std::string Contents(const std::string& path) { return fakes::ScratchFolder::Contents(path); }
    CGridCtrl& Db() { return *database.GetGrid(); }
    std::string Corner() { return std::string(Db().GetCellText(0, 0)); }
    std::string Title() const { return window.title; }
    std::string OpenTitle() const { return "Tabulon - " + PathOf("list.cfg"); }

    // list.cfg with its files beside it, named relatively; extra lines go
    // into [other] before the column names.
    std::string WriteConfiguration(const std::string& items = "a;1\r\nb;2\r\n", const std::string& extra = "") {
        MakeFile("items.db", items);
        MakeFile("head.htm", "<html>\r\n");
        MakeFile("end.htm", "</html>\r\n");
        return MakeFile("list.cfg",
                        "[files]\r\ndatabase = items.db\r\noutput   = page.htm\r\nheadfile = head.htm\r\n"
                        "endfile  = end.htm\r\n\r\n[colors]\r\nheadcol  = AAAAAA\r\nindexcol = BBBBBB\r\n"
                        "firstcol = 111111\r\nsecondcol= 222222\r\n\r\n[grid]\r\nh-lines  = 1\r\nv-lines  = 1\r\n"
                        "\r\n[other]\r\naddindex = 3\r\nusewidth = 1\r\nwidth    = 640\r\n" +
                            extra + "columns  = Name;Size");
    }
    // Opens list.cfg as Open configuration does once its picker answered.
    void OpenConfiguration() {
        WriteConfiguration();
        ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));
        ASSERT_EQ(Title(), OpenTitle());
        ASSERT_EQ(Db().GetRowCount(), 3);
    }
    // Both unsaved marks, as a grid-line toggle and an edited cell leave them.
    void MarkBoth() {
        frame.MarkConfigurationModified();
        Db().SetCellText(1, 1, "edited");
        database.SetDatabaseModified(true);
    }
    // The right-click menu of a pane at (row, col), command chosen.
    void Menu(bool databasePane, MenuCommand command, int row, int col) {
        idle.menus.choose = static_cast<int>(command);
        frame.SetActivePane(databasePane);
        frame.OnGridContextMenu(row, col);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : messages.shown) texts.push_back(m.text);
        return texts;
    }

    ClosingWindow window;
    fakes::ScriptedMessageBox messages;
    fakes::FakeFilePicker picker;
    DialogHost dialogs;
    fakes::RecordingPublisher publisher;
    fakes::IdleHosts idle;
    CSession session{fakes::HostsFor(window, messages, picker, dialogs, idle.menus, publisher, idle)};
    CMainFrame& frame = session.Frame();
    CTabulonWnd1& newItems = session.NewItemsPane();
    CTabulonWnd2& database = session.DatabasePane();
    fakes::ScratchFolder scratch{"tabulon-app"};
};
using AppTest = AppTestWith<>;

inline const std::string kConfigPrompt = "Configuration not saved!\n\nSave configuration?";
inline const std::string kDatabasePrompt = "Database not saved!\n\nSave database?";
inline const std::string kNoConfigFile = "File configuration not found!\n\nSpecify a valid file in configuration";
// The same, naming the file it looked for.
inline std::string NoDatabaseFile(const std::string& path) {
    return "File database not found!\n" + path + "\n\nSpecify a valid file in configuration";
}

}  // namespace tabulon::testing
