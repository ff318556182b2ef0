#include "app/Session.h"

namespace tabulon {

CSession::CSession(const SessionHosts& hosts)
    : m_frame(hosts, m_newItems, m_database), m_newItems(m_frame), m_database(m_frame) {
    m_newItems.OnInitialUpdate(&hosts.desktop);
    m_database.OnInitialUpdate(&hosts.desktop);
}

}  // namespace tabulon
