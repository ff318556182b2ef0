#include "app/Session.h"

namespace tabulon {

CSession::CSession(const SessionHosts& hosts) : m_frame(hosts) {
    m_frame.NewItemsPane().OnInitialUpdate(&hosts.desktop);
    m_frame.DatabasePane().OnInitialUpdate(&hosts.desktop);
    m_frame.AttachUndoStack();
}

}  // namespace tabulon
