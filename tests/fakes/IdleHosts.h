#pragma once
// The hosts a test does not look at, answering as nobody would: a menu closed
// without a choice, dialogs that the user closes at once, no colour picked,
// no program started, progress that nobody watches.

#include <optional>
#include <string>

#include "ScriptedDialogHost.h"
#include "ScriptedPopupMenu.h"
#include "platform/ColourPicker.h"
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

struct IdleHosts {
    ScriptedPopupMenu menus;
    ScriptedDialogHost dialogs;
    NoColourPicker colours;
    NoShell shell;
    CSilentProgressHost progress;
};

}  // namespace tabulon::fakes
