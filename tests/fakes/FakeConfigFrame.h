#pragma once
// The main window as the configuration sees it, with no panes: a title and
// grid-line marks (a FakeMainWindow), one grid whose headings are the column
// names, and hosts that a test may leave out. A host left out answers as
// nobody would: dialogs close at once, pickers cancel, no program starts.

#include "FakeFilePicker.h"
#include "FakeMainWindow.h"
#include "IdleHosts.h"
#include "ScriptedMessageBox.h"
#include "config/ConfigFile.h"
#include "config/ConfigFrame.h"

namespace tabulon::fakes {

class FakeConfigFrame : public IConfigFrame {
public:
    FakeConfigFrame(FakeMainWindow& window, ScriptedMessageBox& messages) : m_window(window), m_messages(messages) {}

    CListConfig& Config() override { return m_config; }
    const CListConfig& Config() const override { return m_config; }
    const ConfigFiles& Files() override { return m_files.Of(m_config); }
    FileStamp& ConfigFileStamp() override { return m_stamp; }
    void SetWindowText(const std::string& title) override { m_window.SetTitle(title); }
    bool IsGridLineChecked(bool horizontal) const override { return m_window.IsGridLineChecked(horizontal); }
    CGridCtrl* GetDatabaseGrid() const override { return m_grid; }
    IMessageBox& Messages() override { return m_messages; }
    IDialogHost& DialogHost() override { return m_dialogs ? *m_dialogs : m_idle.dialogs; }
    IFilePicker& FilePicker() override { return m_picker ? *m_picker : m_noPicker; }
    IColourPicker& ColourPicker() override { return m_colours ? *m_colours : m_idle.colours; }
    IShell& Shell() override { return m_shell ? *m_shell : m_idle.shell; }

    void SetDatabaseGrid(CGridCtrl* grid) { m_grid = grid; }
    void SetDialogHost(IDialogHost* host) { m_dialogs = host; }
    void SetFilePicker(IFilePicker* picker) { m_picker = picker; }
    void SetColourPicker(IColourPicker* picker) { m_colours = picker; }
    void SetShell(IShell* shell) { m_shell = shell; }

private:
    FakeMainWindow& m_window;
    ScriptedMessageBox& m_messages;
    CListConfig m_config;
    CResolvedFiles m_files;
    FileStamp m_stamp;
    CGridCtrl* m_grid = nullptr;
    IDialogHost* m_dialogs = nullptr;
    IFilePicker* m_picker = nullptr;
    IColourPicker* m_colours = nullptr;
    IShell* m_shell = nullptr;
    IdleHosts m_idle;
    FakeFilePicker m_noPicker;
};

}  // namespace tabulon::fakes
