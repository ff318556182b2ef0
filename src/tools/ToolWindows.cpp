#include "tools/ToolWindows.h"

#include "grid/GridCtrl.h"

namespace tabulon {

CToolWindows::~CToolWindows() {
    m_pFindDuplicateDlg.reset();
    m_pReplaceDlg.reset();
}

void CToolWindows::OnFindDuplicate() {
    if (m_pFindDuplicateDlg) {
        m_pFindDuplicateDlg->BringToFront();
        return;
    }
    m_pFindDuplicateDlg = std::make_unique<CFindDuplicateDlg>(m_context, [this] { m_pFindDuplicateDlg.reset(); });
    if (!m_pFindDuplicateDlg->Create()) m_pFindDuplicateDlg.reset();
}

void CToolWindows::OnReplace() {
    if (m_pReplaceDlg) {
        m_pReplaceDlg->BringToFront();
        return;
    }
    m_pReplaceDlg = std::make_unique<CReplaceDlg>(m_context, [this] { m_pReplaceDlg.reset(); });
    if (!m_pReplaceDlg->Create()) m_pReplaceDlg.reset();
}

void CToolWindows::OnDatabaseColumnsChanged() {
    if (m_pFindDuplicateDlg) {
        const CGridCtrl* database = m_context.frame.GetDatabaseGrid();
        m_pFindDuplicateDlg->FillColumnList(database ? database->GetColumnCount() : 0);
    }
    if (m_pReplaceDlg && !m_pReplaceDlg->IsNewItemsTarget()) m_pReplaceDlg->LoadColumnNames(ToolPane::Database);
}

void CToolWindows::OnNewItemsColumnsChanged() {
    if (m_pReplaceDlg && m_pReplaceDlg->IsNewItemsTarget()) m_pReplaceDlg->LoadColumnNames(ToolPane::NewItems);
}

}  // namespace tabulon
