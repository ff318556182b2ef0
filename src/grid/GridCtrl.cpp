// The grid as a whole: making and ending it, its default cells and their
// colours, and what connects it to its host and owner. The table itself is
// GridStorage.cpp, the selection GridSelection.cpp, the sort GridSort.cpp,
// the view GridDraw.cpp and the user's input GridInput.cpp.

#include "grid/GridCtrl.h"

#include <atomic>

#include "grid/CellEditBox.h"
#include "grid/TitleTip.h"

namespace tabulon {

namespace {
enum DefaultKind { kOrdinary = 0, kFixedColumn = 1, kFixedRow = 2, kCorner = 3 };
}

namespace {

// Each grid counts its versions from its own start: a grid made where
// another was never seems to hold what that one held.
std::uint64_t NextVersionBase() {
    static std::atomic<std::uint64_t> grids{0};
    return ++grids << 32;
}

}  // namespace

CGridCtrl::CGridCtrl(int rows, int cols, int fixedRows, int fixedCols, IDesktop* desktop)
    : m_desktop(desktop ? desktop : &HeadlessDesktop()),
      m_table(*this, NextVersionBase()),
      m_cellClass(&CGridCell::Class()) {
    m_crWindowText = m_desktop->GetSysColour(SysColour::WindowText);
    m_crWindow = m_desktop->GetSysColour(SysColour::Window);
    m_crButtonFace = m_desktop->GetSysColour(SysColour::ButtonFace);
    m_crShadow = m_desktop->GetSysColour(SysColour::ButtonShadow);
    m_gridBkColour = m_crShadow;
    for (auto& cell : m_defaultCells) {
        cell = std::make_unique<CGridDefaultCell>(m_desktop);
        cell->SetGrid(this);
    }
    AssignDefaultColours();
    const int wheel = m_desktop->GetWheelScrollLines();
    m_wheelLines = wheel > 0 ? wheel : 3;
    SetRowCount(rows);
    SetColumnCount(cols);
    SetFixedRowCount(fixedRows);
    SetFixedColumnCount(fixedCols);
}

CGridCtrl::~CGridCtrl() {
    // The edit box and the tip go first: they still speak to the grid. Nobody
    // is told of the cells going away with it; their rows simply free them.
    m_editBox.reset();
    m_closedBoxes.clear();
    m_titleTip.reset();
    // Its place in the cells' table of grids is free for the next grid.
    CGridCell::ForgetGrid(this);
}

void CGridCtrl::AssignDefaultColours() {
    const Colour text = m_desktop->GetSysColour(SysColour::WindowText);
    const Colour face = m_desktop->GetSysColour(SysColour::ButtonFace);
    m_defaultCells[kOrdinary]->SetTextColour(text);
    m_defaultCells[kOrdinary]->SetBackColour(m_desktop->GetSysColour(SysColour::Window));
    for (int kind : {kFixedColumn, kFixedRow, kCorner}) {
        m_defaultCells[kind]->SetTextColour(text);
        m_defaultCells[kind]->SetBackColour(face);
    }
}

void CGridCtrl::OnSysColourChange() {
    const Colour text = m_desktop->GetSysColour(SysColour::WindowText);
    for (int kind = 0; kind < 4; ++kind) {
        CGridDefaultCell& cell = *m_defaultCells[kind];
        if (cell.GetTextColour() == m_crWindowText) cell.SetTextColour(text);
        const Colour cached = kind == kOrdinary ? m_crWindow : m_crButtonFace;
        const Colour now = m_desktop->GetSysColour(kind == kOrdinary ? SysColour::Window : SysColour::ButtonFace);
        if (cell.GetBackColour() == cached) cell.SetBackColour(now);
    }
    if (m_gridBkColour == m_crShadow) m_gridBkColour = m_desktop->GetSysColour(SysColour::ButtonShadow);
    m_crWindowText = text;
    m_crWindow = m_desktop->GetSysColour(SysColour::Window);
    m_crButtonFace = m_desktop->GetSysColour(SysColour::ButtonFace);
    m_crShadow = m_desktop->GetSysColour(SysColour::ButtonShadow);
}

void CGridCtrl::AttachWindow(IGridWindow* window) {
    m_window = window;
    ResetScrollBars();
}

void CGridCtrl::SendMessageToParent(int row, int col, GridNotify code) {
    if (m_owner) m_owner->OnGridNotify(*this, code, CellId(row, col));
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) const {
    if (fixedRow && fixedCol) return m_defaultCells[kCorner].get();
    if (fixedRow) return m_defaultCells[kFixedRow].get();
    if (fixedCol) return m_defaultCells[kFixedColumn].get();
    return m_defaultCells[kOrdinary].get();
}

}  // namespace tabulon
