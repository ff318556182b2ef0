#include "app/Session.h"

#include "grid/GridCtrl.h"

namespace tabulon {

CSession::CSession(const SessionHosts& hosts) : m_frame(hosts) {
    m_frame.NewItemsPane().OnInitialUpdate(&hosts.desktop);
    m_frame.DatabasePane().OnInitialUpdate(&hosts.desktop);
    m_frame.AttachUndoStack();
    for (CGridCtrl* grid : {m_frame.GetNewItemsGrid(), m_frame.GetDatabaseGrid()})
        if (grid) grid->SetSortOrderSource(&m_frame);
}

}  // namespace tabulon
