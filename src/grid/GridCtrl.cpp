#include "grid/GridCtrl.h"

#include <algorithm>
#include <new>

#include "base/TextCompare.h"
#include "grid/CellEditBox.h"
#include "grid/TitleTip.h"

namespace tabulon {

namespace {
enum DefaultKind { kOrdinary = 0, kFixedColumn = 1, kFixedRow = 2, kCorner = 3 };
}

CGridCtrl::CGridCtrl(int rows, int cols, int fixedRows, int fixedCols, IDesktop* desktop)
    : m_desktop(desktop ? desktop : &HeadlessDesktop()), m_cellClass(&CGridCell::Class()) {
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
    m_editBox.reset();
    m_closedBoxes.clear();
    m_titleTip.reset();
    // Nobody is told of the cells going away with the grid, and no state
    // needs keeping in step: the cells simply go.
    for (Row& row : m_rowData)
        for (CGridCellBase* cell : row) delete cell;
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
        const Colour now = m_desktop->GetSysColour(kind == kOrdinary ? SysColour::Window
                                                                     : SysColour::ButtonFace);
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

void CGridCtrl::SendMessageToParent(int row, int col, int code) {
    if (m_owner) m_owner->OnGridNotify(*this, code, CellId(row, col));
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) const {
    if (fixedRow && fixedCol) return m_defaultCells[kCorner].get();
    if (fixedRow) return m_defaultCells[kFixedRow].get();
    if (fixedCol) return m_defaultCells[kFixedColumn].get();
    return m_defaultCells[kOrdinary].get();
}

// ---- counts and sizes ----

bool CGridCtrl::SetRowCount(int n) {
    EndEditingBeforeLayoutChange();
    if (n < 0) return false;
    if (n == m_rows) return true;
    ClearCachedTopLeft();
    RowHeightsChangedFrom(std::min(n, m_rows));
    if (n < m_fixedRows) m_fixedRows = n;
    if (n <= m_focus.row) m_focus = CellId(-1, -1);
    if (n < m_rows) {
        for (int r = n; r < m_rows; ++r) {
            for (int c = 0; c < m_cols; ++c) DestroyCell(r, c);
            m_totalHeight -= m_rowHeights[r];
        }
        m_rows = n;
        m_rowData.resize(n);
        m_rowHeights.resize(n);
    }
    try {
        m_rowData.reserve(n);
        m_rowHeights.reserve(n);
        const auto height = static_cast<std::uint32_t>(m_defaultCells[kOrdinary]->GetHeight());
        while (m_rows < n) {
            const int r = m_rows;
            Row row;
            row.reserve(m_cols);
            try {
                for (int c = 0; c < m_cols; ++c) row.push_back(CreateCell(r, c));
            } catch (const std::bad_alloc&) {
                for (CGridCellBase* cell : row) delete cell;
                throw;
            }
            m_rowData.push_back(std::move(row));
            m_rowHeights.push_back(height);
            m_totalHeight += height;
            ++m_rows;
        }
    } catch (const std::bad_alloc&) {
        m_desktop->ShowOutOfMemory();
    }
    SetModified(true, -1, -1);
    ResetScrollBars();
    Refresh();
    return true;
}

bool CGridCtrl::SetColumnCount(int n) {
    EndEditingBeforeLayoutChange();
    if (n < 0) return false;
    if (n == m_cols) return true;
    ClearCachedTopLeft();
    if (n < m_fixedCols) m_fixedCols = n;
    if (n <= m_focus.col) m_focus = CellId(-1, -1);
    bool ok = true;
    if (n < m_cols) {
        for (int r = 0; r < m_rows; ++r) {
            for (int c = n; c < m_cols; ++c) DestroyCell(r, c);
            m_rowData[r].resize(n);
        }
        for (int c = n; c < m_cols; ++c) m_totalWidth -= m_colWidths[c];
        m_colWidths.resize(n);
        m_cols = n;
    }
    const auto width = static_cast<std::uint32_t>(m_defaultCells[kFixedColumn]->GetWidth());
    while (m_cols < n) {
        const int c = m_cols;
        int done = 0;
        try {
            m_colWidths.reserve(c + 1);
            for (; done < m_rows; ++done) m_rowData[done].push_back(CreateCell(done, c));
            m_colWidths.push_back(width);
        } catch (const std::bad_alloc&) {
            // Take the half-made column out again so every row keeps the same width.
            for (int r = 0; r < done; ++r) {
                delete m_rowData[r].back();
                m_rowData[r].pop_back();
            }
            m_desktop->ShowOutOfMemory();
            ok = false;
            break;
        }
        m_totalWidth += width;
        ++m_cols;
    }
    SetModified(true, -1, -1);
    ResetScrollBars();
    Refresh();
    return ok;
}

bool CGridCtrl::SetFixedRowCount(int n) {
    if (n < 0) return false;
    if (n == m_fixedRows) return true;
    ResetSelection();
    ClearCachedTopLeft();
    if (n > m_rows && (!SetRowCount(n) || m_rows < n)) return false;
    if (m_focus.row >= 0 && m_focus.row < n) m_focus = CellId(-1, -1);
    if (n > m_fixedRows) {
        for (int r = m_fixedRows; r < n; ++r)
            for (int c = 0; c < m_cols; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                cell->SetState(cell->GetState() | CellState::kFixed | CellState::kFixedRow);
                cell->SetTextColour(kDefaultColour);
                cell->SetBackColour(kDefaultColour);
            }
    } else {
        for (int r = n; r < m_fixedRows; ++r)
            for (int c = 0; c < m_cols; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                if (c < m_fixedCols) {
                    cell->SetState(cell->GetState() & ~CellState::kFixedRow);
                } else {
                    cell->SetState(cell->GetState() & ~(CellState::kFixed | CellState::kFixedRow));
                    cell->SetTextColour(kDefaultColour);
                    cell->SetBackColour(kDefaultColour);
                }
            }
    }
    m_fixedRows = n;
    Refresh();
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int n) {
    if (n < 0) return false;
    if (n == m_fixedCols) return true;
    if (n > m_cols && (!SetColumnCount(n) || m_cols < n)) return false;
    if (m_focus.col >= 0 && m_focus.col < n) m_focus = CellId(-1, -1);
    ResetSelection();
    ClearCachedTopLeft();
    if (n > m_fixedCols) {
        for (int r = 0; r < m_rows; ++r)
            for (int c = m_fixedCols; c < n; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                cell->SetState(cell->GetState() | CellState::kFixed | CellState::kFixedCol);
                cell->SetTextColour(kDefaultColour);
                cell->SetBackColour(kDefaultColour);
            }
    } else {
        for (int r = 0; r < m_rows; ++r)
            for (int c = n; c < m_fixedCols; ++c) {
                CGridCellBase* cell = GetCell(r, c);
                if (r < m_fixedRows) {
                    cell->SetState(cell->GetState() & ~CellState::kFixedCol);
                } else {
                    cell->SetState(cell->GetState() & ~(CellState::kFixed | CellState::kFixedCol));
                    cell->SetTextColour(kDefaultColour);
                    cell->SetBackColour(kDefaultColour);
                }
            }
    }
    m_fixedCols = n;
    Refresh();
    return true;
}

int CGridCtrl::GetRowHeight(int row) const {
    if (row < 0 || row >= m_rows) return -1;
    return static_cast<int>(m_rowHeights[row]);
}

int CGridCtrl::GetColumnWidth(int col) const {
    if (col < 0 || col >= m_cols) return -1;
    return static_cast<int>(m_colWidths[col]);
}

bool CGridCtrl::SetRowHeight(int row, int height) {
    if (row < 0 || row >= m_rows || height < 0) return false;
    m_totalHeight += static_cast<long long>(height) - m_rowHeights[row];
    m_rowHeights[row] = static_cast<std::uint32_t>(height);
    RowHeightsChangedFrom(row);
    ResetScrollBars();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_cols || width < 0) return false;
    m_totalWidth += static_cast<long long>(width) - m_colWidths[col];
    m_colWidths[col] = static_cast<std::uint32_t>(width);
    ResetScrollBars();
    return true;
}

long long CGridCtrl::GetFixedRowHeight() const {
    long long sum = 0;
    for (int r = 0; r < m_fixedRows; ++r) sum += m_rowHeights[r];
    return sum;
}

long long CGridCtrl::GetFixedColumnWidth() const {
    long long sum = 0;
    for (int c = 0; c < m_fixedCols; ++c) sum += m_colWidths[c];
    return sum;
}

// ---- rows and columns ----

int CGridCtrl::InsertColumn(const std::string& heading, unsigned format, int col) {
    EndEditingBeforeLayoutChange();
    if (col >= 0 && (col < m_fixedCols || col > m_cols)) return -1;
    ClearCachedTopLeft();
    ResetSelection();
    if (m_rows < 1) SetRowCount(1);
    if (col == m_cols) col = -1;
    const bool append = col < 0;
    if (append) col = m_cols;
    int done = 0;
    try {
        m_colWidths.reserve(m_colWidths.size() + 1);
        for (; done < m_rows; ++done) {
            Row& row = m_rowData[done];
            row.reserve(row.size() + 1);
            CGridCellBase* cell = CreateCell(done, col);
            row.insert(row.begin() + col, cell);
        }
        m_colWidths.insert(m_colWidths.begin() + col, 0);
    } catch (const std::bad_alloc&) {
        for (int r = 0; r < done; ++r) {
            Row& row = m_rowData[r];
            delete row[col];
            row.erase(row.begin() + col);
        }
        m_desktop->ShowOutOfMemory();
        return -1;
    }
    ++m_cols;
    SetCellText(0, col, heading);
    for (int r = 0; r < m_rows; ++r) SetCellFormat(r, col, format);
    const int width = GetCell(0, col)->GetTextExtent(heading).cx;
    m_colWidths[col] = static_cast<std::uint32_t>(std::max(width, 0));
    m_totalWidth += m_colWidths[col];
    if (m_focus.col >= 0 && col < m_focus.col) ++m_focus.col;
    ResetScrollBars();
    SetModified(true, -1, -1);
    return col;
}

int CGridCtrl::HeadingRowHeight(int row, const std::string& heading) {
    if (heading.empty()) return m_defaultCells[kFixedRow]->GetHeight();
    return GetCell(row, 0)->GetTextExtent(heading).cy;
}

int CGridCtrl::InsertRow(const std::string& heading, int row) {
    EndEditingBeforeLayoutChange();
    if (row >= 0 && (row < m_fixedRows || row >= m_rows)) return -1;
    ClearCachedTopLeft();
    ResetSelection();
    if (m_cols < 1) SetColumnCount(1);
    if (row < 0) row = m_rows;
    RowHeightsChangedFrom(row);
    Row cells;
    bool inserted = false;
    try {
        cells.reserve(m_cols);
        for (int c = 0; c < m_cols; ++c) cells.push_back(CreateCell(row, c));
        m_rowData.insert(m_rowData.begin() + row, std::move(cells));
        inserted = true;
        m_rowHeights.insert(m_rowHeights.begin() + row, 0);
    } catch (const std::bad_alloc&) {
        if (inserted) {
            // The row went in but its height did not: take it out again.
            for (CGridCellBase* cell : m_rowData[row]) delete cell;
            m_rowData.erase(m_rowData.begin() + row);
        } else {
            for (CGridCellBase* cell : cells) delete cell;
        }
        m_desktop->ShowOutOfMemory();
        return -1;
    }
    ++m_rows;
    SetCellText(row, 0, heading);
    const int height = std::max(HeadingRowHeight(row, heading), 0);
    m_rowHeights[row] = static_cast<std::uint32_t>(height);
    m_totalHeight += height;
    if (m_focus.row >= 0 && row < m_focus.row) ++m_focus.row;
    ResetScrollBars();
    SetModified(true, -1, -1);
    return row;
}

bool CGridCtrl::DeleteColumn(int col) {
    EndEditingBeforeLayoutChange();
    if (col < 0 || col >= m_cols) return false;
    ResetSelection();
    for (int r = 0; r < m_rows; ++r) {
        DestroyCell(r, col);
        Row& row = m_rowData[r];
        row.erase(row.begin() + col);
    }
    m_totalWidth -= m_colWidths[col];
    m_colWidths.erase(m_colWidths.begin() + col);
    --m_cols;
    if (col < m_fixedCols) --m_fixedCols;
    if (col == m_focus.col)
        m_focus = CellId(-1, -1);
    else if (col < m_focus.col)
        --m_focus.col;
    ClearCachedTopLeft();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

bool CGridCtrl::DeleteRow(int row) {
    EndEditingBeforeLayoutChange();
    if (row < 0 || row >= m_rows) return false;
    ResetSelection();
    for (int c = 0; c < m_cols; ++c) DestroyCell(row, c);
    m_rowData.erase(m_rowData.begin() + row);
    m_totalHeight -= m_rowHeights[row];
    m_rowHeights.erase(m_rowHeights.begin() + row);
    RowHeightsChangedFrom(row);
    --m_rows;
    if (row < m_fixedRows) --m_fixedRows;
    if (row == m_focus.row)
        m_focus = CellId(-1, -1);
    else if (row < m_focus.row)
        --m_focus.row;
    ClearCachedTopLeft();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

bool CGridCtrl::DeleteRows(const std::vector<char>& remove) {
    EndEditingBeforeLayoutChange();
    ResetSelection();
    const int count = std::min(m_rows, static_cast<int>(remove.size()));
    int first = -1;
    int kept = 0;
    int fixedKept = 0;
    // One pass: the rows that stay slide down over the removed ones.
    for (int r = 0; r < m_rows; ++r) {
        if (r < count && remove[static_cast<std::size_t>(r)]) {
            if (first < 0) first = r;
            for (int c = 0; c < m_cols; ++c) DestroyCell(r, c);
            m_totalHeight -= m_rowHeights[r];
            continue;
        }
        if (r < m_fixedRows) ++fixedKept;
        if (kept != r) {
            m_rowData[kept] = std::move(m_rowData[r]);
            m_rowHeights[kept] = m_rowHeights[r];
            if (m_hasCoordCells)
                for (int c = 0; c < m_cols; ++c) m_rowData[kept][c]->SetCoords(kept, c);
        }
        ++kept;
    }
    if (first < 0) return false;
    m_rowData.resize(kept);
    m_rowHeights.resize(kept);
    m_rows = kept;
    m_fixedRows = fixedKept;
    RowHeightsChangedFrom(first);
    ClearCachedTopLeft();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

bool CGridCtrl::DeleteNonFixedRows() {
    ResetSelection();
    for (int r = m_rows; r >= m_fixedRows; --r) DeleteRow(r);
    return true;
}

bool CGridCtrl::DeleteAllCells() {
    EndEditingBeforeLayoutChange();
    ResetSelection();
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c) DestroyCell(r, c);
    m_rowData.clear();
    m_rowHeights.clear();
    m_colWidths.clear();
    RowHeightsChangedFrom(0);
    m_totalHeight = 0;
    m_totalWidth = 0;
    m_focus = CellId(-1, -1);
    m_rows = m_cols = m_fixedRows = m_fixedCols = 0;
    ClearCachedTopLeft();
    ResetScrollBars();
    SetModified(true, -1, -1);
    return true;
}

// ---- cells ----

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
    if (!IsValidCell(row, col)) return nullptr;
    return m_rowData[row][col];
}

CGridCellBase* CGridCtrl::CreateCell(int row, int col) {
    if (!m_cellClass || !m_cellClass->create) return nullptr;
    CGridCellBase* cell = m_cellClass->create();
    cell->SetGrid(this);
    cell->SetCoords(row, col);
    m_hasCoordCells = m_hasCoordCells || cell->KeepsCoords();
    unsigned state = cell->GetState();
    if (col < m_fixedCols) state |= CellState::kFixed | CellState::kFixedCol;
    if (row < m_fixedRows) state |= CellState::kFixed | CellState::kFixedRow;
    cell->SetState(state);
    cell->SetFormat(GetDefaultCell(row < m_fixedRows, col < m_fixedCols)->GetFormat());
    return cell;
}

void CGridCtrl::DestroyCell(int row, int col) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return;
    SetCellState(row, col, 0);
    delete cell;
    m_rowData[row][col] = nullptr;
}

bool CGridCtrl::SetDefaultCellType(const CellClass& cellClass) {
    if (!cellClass.IsDerivedFrom(CGridCellBase::Class()) || !cellClass.create) return false;
    m_cellClass = &cellClass;
    return true;
}

bool CGridCtrl::SetCellType(int row, int col, const CellClass& cellClass) {
    CGridCellBase* old = GetCell(row, col);
    if (!old || !cellClass.IsDerivedFrom(CGridCellBase::Class()) || !cellClass.create) return false;
    std::unique_ptr<CGridCellBase> cell(cellClass.create());
    // Coordinates first: copying the text into a check box may already tell
    // the owner about the cell.
    cell->SetCoords(row, col);
    cell->CopyFrom(*old);
    m_hasCoordCells = m_hasCoordCells || cell->KeepsCoords();
    m_rowData[row][col] = cell.release();
    delete old;
    return true;
}

const std::string& CGridCtrl::GetCellText(int row, int col) const {
    static const std::string empty;
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetText() : empty;
}

bool CGridCtrl::SetCellText(int row, int col, const std::string& text) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetText(text);
    SetModified(true, row, col);
    return true;
}

unsigned CGridCtrl::GetCellState(int row, int col) const {
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetState() : 0;
}

bool CGridCtrl::SetCellState(int row, int col, unsigned state) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    const bool selected = IsCellSelected(row, col);
    if (!selected && (state & CellState::kSelected))
        AddCell(m_selected, CellId(row, col));
    else if (selected && !(state & CellState::kSelected))
        EraseCell(m_selected, CellId(row, col));
    cell->SetState(state);
    return true;
}

bool CGridCtrl::SetCellFormat(int row, int col, unsigned format) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetFormat(format);
    return true;
}

unsigned CGridCtrl::GetCellFormat(int row, int col) const {
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetFormat() : 0;
}

bool CGridCtrl::SetCellTextColour(int row, int col, Colour colour) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetTextColour(colour);
    return true;
}

bool CGridCtrl::SetCellBackColour(int row, int col, Colour colour) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetBackColour(colour);
    return true;
}

bool CGridCtrl::SetCellData(int row, int col, std::uint32_t data) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetData(data);
    return true;
}

bool CGridCtrl::SetCellImage(int row, int col, int image) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return false;
    cell->SetImage(image);
    return true;
}

bool CGridCtrl::SetGridItem(const GridItem& item) {
    CGridCellBase* cell = GetCell(item.row, item.col);
    if (!cell) return false;
    SetModified(true, item.row, item.col);
    if (item.mask & GridItemMask::kText) cell->SetText(item.text);
    if (item.mask & GridItemMask::kData) cell->SetData(item.data);
    if (item.mask & GridItemMask::kImage) cell->SetImage(item.image);
    if (item.mask & GridItemMask::kState) cell->SetState(item.state);
    if (item.mask & GridItemMask::kFormat) cell->SetFormat(item.format);
    if (item.mask & GridItemMask::kBackColour) cell->SetBackColour(item.backColour);
    if (item.mask & GridItemMask::kTextColour) cell->SetTextColour(item.textColour);
    if (item.mask & GridItemMask::kFont) cell->SetFont(&item.font);
    if (item.mask & GridItemMask::kMargin) cell->SetMargin(item.margin);
    return true;
}

// ---- selection, focus, modified mark ----

void CGridCtrl::AddCell(CellSet& set, CellId cell) { set[CellKey(cell.row, cell.col)] = cell; }

void CGridCtrl::EraseCell(CellSet& set, CellId cell) { set.erase(CellKey(cell.row, cell.col)); }

bool CGridCtrl::IsCellSelected(int row, int col) const {
    if (!m_enableSelection) return false;
    CGridCellBase* cell = GetCell(row, col);
    return cell && cell->IsSelected();
}

bool CGridCtrl::IsCellEditable(int row, int col) const {
    CGridCellBase* cell = GetCell(row, col);
    return m_editable && cell && !cell->IsReadOnly();
}

void CGridCtrl::RedrawHeadingsOf(CellId cell) {
    for (int r = 0; r < m_fixedRows; ++r) RedrawCell(r, cell.col);
    for (int c = 0; c < m_fixedCols; ++c) RedrawCell(cell.row, c);
}

CellId CGridCtrl::SetFocusCell(int row, int col) {
    const CellId previous = m_focus;
    if (previous == CellId(row, col)) return previous;
    if (row >= 0 && row < m_fixedRows) row = m_fixedRows;
    if (col >= 0 && col < m_fixedCols) col = m_fixedCols;
    m_focus = CellId(row, col);
    if (IsValidCell(previous.row, previous.col)) {
        SendMessageToParent(previous.row, previous.col, GridNotify::kFocusLeaving);
        CGridCellBase* cell = GetCell(previous.row, previous.col);
        cell->SetState(cell->GetState() & ~CellState::kFocused);
        RedrawCell(previous.row, previous.col);
        if (m_trackFocusCell) {
            if (previous.col != m_focus.col)
                for (int r = 0; r < m_fixedRows; ++r) RedrawCell(r, previous.col);
            if (previous.row != m_focus.row)
                for (int c = 0; c < m_fixedCols; ++c) RedrawCell(previous.row, c);
        }
    }
    if (IsValidCell(m_focus.row, m_focus.col)) {
        CGridCellBase* cell = GetCell(m_focus.row, m_focus.col);
        cell->SetState(cell->GetState() | CellState::kFocused);
        RedrawCell(m_focus.row, m_focus.col);
        if (m_trackFocusCell) RedrawHeadingsOf(m_focus);
        SendMessageToParent(m_focus.row, m_focus.col, GridNotify::kFocusArriving);
    }
    return previous;
}

void CGridCtrl::ResetSelection() {
    m_previousSelected.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
}

void CGridCtrl::EnableSelection(bool on) {
    ResetSelection();
    m_enableSelection = on;
    ResetSelection();
}

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint,
                                 bool select) {
    if (!m_enableSelection) return;
    const auto intoData = [](int& index, int fixed) {
        if (index >= 0 && index < fixed) index = fixed;
    };
    intoData(minRow, m_fixedRows);
    intoData(maxRow, m_fixedRows);
    intoData(minCol, m_fixedCols);
    intoData(maxCol, m_fixedCols);
    const CellRange range(minRow, minCol, maxRow, maxCol);
    std::unique_ptr<IDeviceContext> dc;
    if (forceRepaint && m_window) dc = m_window->GetDC();
    const auto redraw = [&](int r, int c) {
        if (!m_window || !m_allowDraw) return;
        if (dc) {
            RedrawCell(r, c, dc.get());
            return;
        }
        Rect rect;
        if (GetCellRect(r, c, rect)) m_window->InvalidateRect({rect.left, rect.top, rect.right + 1, rect.bottom + 1});
    };

    if (select) {
        CellSet old;
        old.swap(m_selected);
        for (const auto& [key, id] : old) {
            CGridCellBase* cell = GetCell(id.row, id.col);
            if (!cell) continue;
            cell->SetState(cell->GetState() & ~CellState::kSelected);
            if (!range.Contains(id.row, id.col)) redraw(id.row, id.col);
        }
        if (!(m_listMode && m_singleRowSelection) && minRow >= 0 && minCol >= 0 && maxRow >= 0 &&
            maxCol >= 0) {
            for (const auto& [key, id] : m_previousSelected) {
                if (!IsValidCell(id.row, id.col)) continue;
                SetCellState(id.row, id.col, GetCellState(id.row, id.col) | CellState::kSelected);
                redraw(id.row, id.col);
            }
        }
    }
    if (range.IsValid() && range.maxRow < m_rows && range.maxCol < m_cols) {
        for (int r = range.minRow; r <= range.maxRow; ++r)
            for (int c = range.minCol; c <= range.maxCol; ++c) {
                const unsigned state = GetCellState(r, c);
                const bool selected = state & CellState::kSelected;
                if (select && !selected) {
                    SetCellState(r, c, state | CellState::kSelected);
                    redraw(r, c);
                } else if (!select && selected) {
                    SetCellState(r, c, state & ~CellState::kSelected);
                    redraw(r, c);
                }
            }
    }
}

void CGridCtrl::SelectAllCells() {
    SetSelectedRange(m_fixedRows, m_fixedCols, m_rows - 1, m_cols - 1);
}

void CGridCtrl::SelectRows(CellId cell) {
    if (!IsValidCell(cell.row, cell.col) || cell.row < m_fixedRows) return;
    if (m_listMode && m_singleRowSelection) {
        SetSelectedRange(cell.row, m_fixedCols, cell.row, m_cols - 1);
        return;
    }
    const int anchor = IsValidCell(m_anchor.row, m_anchor.col) ? m_anchor.row : cell.row;
    SetSelectedRange(std::min(anchor, cell.row), m_fixedCols, std::max(anchor, cell.row), m_cols - 1);
}

void CGridCtrl::SelectColumns(CellId cell) {
    if (!IsValidCell(cell.row, cell.col) || cell.col < m_fixedCols) return;
    if (m_singleColSelection) {
        SetSelectedRange(m_fixedRows, cell.col, m_rows - 1, cell.col);
        return;
    }
    const int anchor = IsValidCell(m_anchor.row, m_anchor.col) ? m_anchor.col : cell.col;
    SetSelectedRange(m_fixedRows, std::min(anchor, cell.col), m_rows - 1, std::max(anchor, cell.col));
}

void CGridCtrl::SelectCells(CellId cell) {
    if (!IsValidCell(cell.row, cell.col)) return;
    const CellId anchor = IsValidCell(m_anchor.row, m_anchor.col) ? m_anchor : cell;
    SetSelectedRange(std::min(anchor.row, cell.row), std::min(anchor.col, cell.col),
                     std::max(anchor.row, cell.row), std::max(anchor.col, cell.col));
}

CellRange CGridCtrl::GetSelectedCellRange() const {
    CellRange range(m_rows, m_cols, -1, -1);
    for (const auto& [key, id] : m_selected) {
        range.minRow = std::min(range.minRow, id.row);
        range.minCol = std::min(range.minCol, id.col);
        range.maxRow = std::max(range.maxRow, id.row);
        range.maxCol = std::max(range.maxCol, id.col);
    }
    return range;
}

void CGridCtrl::SetModified(bool modified, int row, int col) {
    if (col < 0 || col == m_sortColumn) SetSortColumn(-1);
    if (row > 0 && col > 0) {
        CGridCellBase* cell = GetCell(row, col);
        if (modified) {
            if (cell) cell->SetState(cell->GetState() | CellState::kModified);
            m_modified = true;
        } else if (cell) {
            cell->SetState(cell->GetState() & ~CellState::kModified);
        }
    } else {
        m_modified = modified;
    }
    if (!m_modified) {
        for (int r = 0; r < m_rows; ++r)
            for (CGridCellBase* cell : m_rowData[r])
                if (cell->GetState() & CellState::kModified)
                    cell->SetState(cell->GetState() & ~CellState::kModified);
    }
}

// ---- sorting ----

void CGridCtrl::SetSortColumn(int col) {
    if (m_sortColumn >= 0) RedrawCell(0, m_sortColumn);
    m_sortColumn = col;
    if (col >= 0) RedrawCell(0, col);
}

void CGridCtrl::SortByColumn(int col, bool ascending) {
    SetSortColumn(col);
    m_sortAscending = ascending;
    ResetSelection();
    SetFocusCell(-1, -1);
    SortRowRange(col, ascending, m_fixedRows, -1);
}

void CGridCtrl::OnHeaderClickSort(int col) {
    const bool ascending = col == m_sortColumn ? !m_sortAscending : true;
    SortByColumn(col, ascending);
    Refresh();
}

bool CGridCtrl::SortRowRange(int col, bool ascending, int low, int high) {
    EndEditingBeforeLayoutChange();
    if (col < 0 || col >= m_cols) return false;
    if (high == -1) high = m_rows - 1;
    if (low < 0 || high >= m_rows || low >= high) return false;

    // The sort runs on compact keys and the rows are put in their new order
    // once at the end: the same swaps as swapping whole rows each time, but
    // the inner loops read one small array instead of a million cells.
    // Scratch space kept between calls: sorting many small runs one after
    // another then allocates nothing.
    std::vector<SortKey>& keys = m_sortKeys;
    std::string& arena = m_sortArena;
    keys.clear();
    arena.clear();
    for (int r = low; r <= high; ++r) {
        const std::string& text = m_rowData[r][col]->GetText();
        keys.push_back({{FoldedPrefix(text, 0), FoldedPrefix(text, 8)},
                        arena.size(),
                        static_cast<std::uint32_t>(text.size()),
                        r});
        arena += text;
    }
    for (SortKey& key : keys) key.text += reinterpret_cast<std::uintptr_t>(arena.data());
    SortKeys(keys.data() - low, ascending, low, high);

    RowHeightsChangedFrom(low);
    std::vector<Row>& rows = m_sortRows;
    std::vector<std::uint32_t>& heights = m_sortHeights;
    rows.resize(keys.size());
    heights.resize(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        rows[k] = std::move(m_rowData[keys[k].row]);
        heights[k] = m_rowHeights[keys[k].row];
    }
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const int row = low + static_cast<int>(k);
        m_rowData[row] = std::move(rows[k]);
        m_rowHeights[row] = heights[k];
        if (keys[k].row != row && m_hasCoordCells)
            for (int c = 0; c < m_cols; ++c) m_rowData[row][c]->SetCoords(row, c);
    }
    if (keys.size() > kKeptSortScratch) {
        // A whole-table sort would otherwise keep its scratch for the grid's life.
        std::vector<SortKey>().swap(keys);
        std::string().swap(arena);
        std::vector<Row>().swap(rows);
        std::vector<std::uint32_t>().swap(heights);
    }
    return true;
}

// Eight bytes of a text from position from, with A-Z folded, as one number
// that orders like the bytes; past its end a text is padded with zero bytes.
// Two keys whose first sixteen bytes differ so compare as their texts would.
std::uint64_t CGridCtrl::FoldedPrefix(const std::string& text, std::size_t from) {
    std::uint64_t prefix = 0;
    for (std::size_t k = from; k < from + 8; ++k) {
        unsigned byte = k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
        if (byte >= 'A' && byte <= 'Z') byte += 'a' - 'A';
        prefix = (prefix << 8) | byte;
    }
    return prefix;
}

int CGridCtrl::CompareKeys(const SortKey& a, const SortKey& b) {
    if (a.prefix[0] != b.prefix[0]) return a.prefix[0] < b.prefix[0] ? -1 : 1;
    if (a.prefix[1] != b.prefix[1]) return a.prefix[1] < b.prefix[1] ? -1 : 1;
    return CompareNoCase(std::string_view(a.Text(), a.length), std::string_view(b.Text(), b.length));
}

bool CGridCtrl::KeysDiffer(const SortKey& a, const SortKey& b) {
    if (a.prefix[0] != b.prefix[0] || a.prefix[1] != b.prefix[1]) return true;
    return CompareWithCase(std::string_view(a.Text(), a.length), std::string_view(b.Text(), b.length)) != 0;
}

// Quicksort with the middle entry as pivot. Entries whose keys tie keep the
// order this exact scheme gives them, which stored lists rely on. The smaller
// part is sorted by recursion and the larger one by the loop, so the depth
// stays logarithmic whatever the input.
void CGridCtrl::SortKeys(SortKey* keys, bool ascending, int low, int high) {
    while (low < high) {
        const SortKey pivot = keys[(low + high) / 2];
        int i = low;
        int j = high;
        while (i <= j) {
            if (ascending) {
                while (i < high && CompareKeys(keys[i], pivot) < 0) ++i;
                while (j > low && CompareKeys(keys[j], pivot) > 0) --j;
            } else {
                while (i < high && CompareKeys(keys[i], pivot) > 0) ++i;
                while (j > low && CompareKeys(keys[j], pivot) < 0) --j;
            }
            if (i <= j) {
                if (KeysDiffer(keys[i], keys[j])) std::swap(keys[i], keys[j]);
                ++i;
                --j;
            }
        }
        // The two parts are disjoint, so sorting them in either order gives the same result.
        if (j - low < high - i) {
            if (low < j) SortKeys(keys, ascending, low, j);
            low = i;
        } else {
            if (i < high) SortKeys(keys, ascending, i, high);
            high = j;
        }
    }
}

}  // namespace tabulon
