#pragma once
// A whole session on hosts that show nothing: a fake main window, scripted
// message answers, a file picker, a publisher that records what it was asked,
// and idle hosts for the rest.

#include "FakeFilePicker.h"
#include "FakeMainWindow.h"
#include "IdleHosts.h"
#include "RecordingPublisher.h"
#include "ScriptedMessageBox.h"
#include "app/Session.h"

namespace tabulon::fakes {

// Dialogs: the dialog host (scripted dialogs, or tool windows that take
// clicks).
template <typename Dialogs>
struct HeadlessSessionWith {
    FakeMainWindow window;
    ScriptedMessageBox messages;
    FakeFilePicker picker;
    RecordingPublisher publisher;
    IdleHosts idle;
    Dialogs dialogs;
    CSession session{HostsFor(window, messages, picker, dialogs, idle.menus, publisher, idle)};
};

using HeadlessSession = HeadlessSessionWith<ScriptedDialogHost>;

}  // namespace tabulon::fakes
