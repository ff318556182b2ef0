#pragma once
// The hosts a test does not look at, answering as nobody would: a menu closed
// without a choice, dialogs that the user closes at once, no colour picked,
// no program started, progress that nobody watches.

#include <optional>
#include <string>

#include "ScriptedDialogHost.h"
#include "ScriptedPopupMenu.h"
#include "app/SessionHosts.h"
#include "platform/ColourPicker.h"
#include "platform/FolderNamespace.h"
#include "platform/Progress.h"
#include "platform/Shell.h"

namespace tabulon::fakes {

class NoColourPicker : public IColourPicker {
public:
    std::optional<PickedColour> PickColour(const PickedColour&) override { return std::nullopt; }
};

class NoShell : public IShell {
public:
    bool RunAssociatedCommand(const std::string&, const std::string&, int) override { return false; }
};

class NoFolders : public IFolderNamespace {
public:
    std::vector<FolderEntry> TopLevel() override { return {}; }
    std::vector<FolderEntry> SubFolders(const std::string&) override { return {}; }
};

struct IdleHosts {
    ScriptedPopupMenu menus;
    ScriptedDialogHost dialogs;
    NoColourPicker colours;
    NoShell shell;
    CSilentProgressHost progress;
    NoFolders folders;
};

// A session's hosts: the ones a test looks at, and idle ones for the rest.
inline SessionHosts HostsFor(IMainWindow& window, IMessageBox& messages, IFilePicker& picker, IDialogHost& dialogs,
                             IPopupMenuHost& menus, IListPublisher& publisher, IdleHosts& idle,
                             IDesktop& desktop = HeadlessDesktop()) {
    return {.window = window,
            .messages = messages,
            .filePicker = picker,
            .colourPicker = idle.colours,
            .dialogs = dialogs,
            .popupMenus = menus,
            .shell = idle.shell,
            .publisher = publisher,
            .progress = idle.progress,
            .folders = idle.folders,
            .desktop = desktop};
}

}  // namespace tabulon::fakes
