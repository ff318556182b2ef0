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

struct HeadlessSession {
    FakeMainWindow window;
    ScriptedMessageBox messages;
    FakeFilePicker picker;
    RecordingPublisher publisher;
    IdleHosts idle;
    CSession session{HostsFor(window, messages, picker, idle.dialogs, idle.menus, publisher, idle)};
};

}  // namespace tabulon::fakes
