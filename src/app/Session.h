#pragma once
// One run of the program: the main window's logic and its two panes, built
// from the host's objects. The desktop window, batch mode and the tests all
// start here, so the frame and the panes are wired in one place.

#include "app/MainFrame.h"
#include "app/SessionHosts.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"

namespace tabulon {

class CSession {
public:
    // The panes build their grids at once, drawn and measured with the
    // host's desktop.
    explicit CSession(const SessionHosts& hosts);
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    CMainFrame& Frame() { return m_frame; }
    CTabulonWnd1& NewItemsPane() { return m_frame.NewItemsPane(); }
    CTabulonWnd2& DatabasePane() { return m_frame.DatabasePane(); }

private:
    // The frame owns the panes, in the order that keeps them within its life.
    CMainFrame m_frame;
};

}  // namespace tabulon
