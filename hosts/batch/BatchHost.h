#pragma once
// The host for batch mode: every message goes to standard error as its
// caption and text, pickers and dialogs answer Cancel, questions answer No,
// menus choose nothing, and nothing waits for a person.

#include <cstdio>
#include <string>

#include "app/SessionHosts.h"
#include "base/ProgramName.h"
#include "output/PagePublisher.h"
#include "platform/ColourPicker.h"
#include "platform/Dialog.h"
#include "platform/FilePicker.h"
#include "platform/FolderNamespace.h"
#include "platform/FtpSession.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/Progress.h"
#include "platform/Shell.h"

namespace tabulon::batch {

class CStderrMessageBox : public IMessageBox {
public:
    explicit CStderrMessageBox(std::FILE* to = stderr) : m_to(to) {}
    MbResult Show(const std::string& text, const std::string& caption, MbIcon icon, MbButtons buttons) override;
    // The text as lines of standard error: a line end within a paragraph
    // becomes a blank, and each further paragraph (after an empty line)
    // starts a line of its own, indented, so that a file's name never runs
    // into the words that follow it.
    static std::string AsLines(const std::string& text);

private:
    std::FILE* m_to;
};

class CCancellingPicker : public IFilePicker, public IColourPicker {
public:
    std::optional<std::string> PickOpenFile(const FilePickerOptions&) override { return std::nullopt; }
    std::optional<std::string> PickSaveFile(const FilePickerOptions&) override { return std::nullopt; }
    std::optional<PickedColour> PickColour(const PickedColour&) override { return std::nullopt; }
};

// Dialogs are closed before they show; menus close without a choice.
class CCancellingDialogs : public IDialogHost, public IPopupMenuHost {
public:
    ControlId RunModal(const DialogTemplate&, IDialogEvents&) override { return DialogId::kCancel; }
    int ShowPopupMenu(const std::vector<MenuItem>&) override { return 0; }
};

// Nothing is opened for a person to look at.
class CNoShell : public IShell {
public:
    bool RunAssociatedCommand(const std::string&, const std::string&, int) override { return false; }
};

// Nobody picks a folder.
class CNoFolders : public IFolderNamespace {
public:
    std::vector<FolderEntry> TopLevel() override { return {}; }
    std::vector<FolderEntry> SubFolders(const std::string&) override { return {}; }
};

class CBatchWindow : public IMainWindow {
public:
    void SetTitle(const std::string& title) override { m_title = title; }
    std::string GetTitle() const override { return m_title; }
    bool IsGridLineChecked(bool horizontal) const override { return horizontal ? m_horizontal : m_vertical; }
    void SetGridLineChecked(bool horizontal, bool checked) override {
        (horizontal ? m_horizontal : m_vertical) = checked;
    }

private:
    std::string m_title = kProgramName;
    bool m_horizontal = true;
    bool m_vertical = true;
};

// The host objects of one batch session, around the FTP session that its
// creator takes from another host. The page is uploaded as asked and never
// opened in a viewer.
struct CBatchHost {
    explicit CBatchHost(IFtpSession& ftp) : publisher(ftp, shell, messages, progress, PublishMode::Batch) {}

    // A session's hosts, its grids measured with desktop.
    SessionHosts Hosts(IDesktop& desktop = HeadlessDesktop()) {
        return {.window = window,
                .messages = messages,
                .filePicker = pickers,
                .colourPicker = pickers,
                .dialogs = dialogs,
                .popupMenus = dialogs,
                .shell = shell,
                .publisher = publisher,
                .progress = progress,
                .folders = folders,
                .desktop = desktop};
    }

    CStderrMessageBox messages;
    CBatchWindow window;
    CCancellingPicker pickers;
    CCancellingDialogs dialogs;
    CNoShell shell;
    CSilentProgressHost progress;
    CNoFolders folders;
    CPagePublisher publisher;
};

}  // namespace tabulon::batch
