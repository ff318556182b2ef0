// What the user does inside a grid: keys, the mouse, in-place editing and
// the title tip.

#include <algorithm>
#include <cstdlib>

#include "grid/CellEditBox.h"
#include "grid/GridCtrl.h"
#include "grid/GridWork.h"
#include "grid/TitleTip.h"

namespace tabulon {

namespace {

constexpr unsigned kEditControlId = 8;
namespace Gesture = HeadingGesture;

bool Held(unsigned modifiers, unsigned which) { return (modifiers & which) != 0; }

}  // namespace

// ---- in-place editing ----

bool CGridCtrl::IsEditing() const { return m_editBox != nullptr; }

CCellEditBox* CGridCtrl::CreateCellEditBox(const Rect& rect, TextFormats alignment, unsigned editId, int row, int col,
                                           const std::string& text, unsigned firstChar) {
    if (m_editBox) EndEditing();
    const EditAlignment align = (alignment & TextFormat::kRight)    ? EditAlignment::Right
                                : (alignment & TextFormat::kCenter) ? EditAlignment::Centre
                                                                    : EditAlignment::Left;
    // The box covers the cell; cell rectangles include their last pixel.
    auto box = std::make_unique<CCellEditBox>(*this, Rect{rect.left, rect.top, rect.right + 1, rect.bottom + 1}, align,
                                              editId, row, col, text, firstChar);
    if (!box->IsOpen()) return nullptr;
    m_editBox = std::move(box);
    return m_editBox.get();
}

void CGridCtrl::OnEditCell(int row, int col, std::optional<Point> point, unsigned firstChar) {
    if (m_titleTip) m_titleTip->Hide();
    if (!IsValidCell(row, col) || !IsCellEditable(row, col) || !m_window) return;
    EnsureVisible(row, col);
    Rect rect;
    if (!GetCellRect(row, col, rect)) return;
    const Size client = m_window->GetClientSize();
    if (rect.left >= client.cx || rect.top >= client.cy || rect.right < 0 || rect.bottom < 0) return;
    SendMessageToParent(row, col, GridNotify::kBeginEdit);
    CGridCellBase* cell = GetCell(row, col);
    const auto edit = [&] { cell->Edit(row, col, rect, point.value_or(Point{-1, -1}), kEditControlId, firstChar); };
    // A tick set from the keyboard is a step of its own, as a clicked one is.
    if (const auto* box = dynamic_cast<const CGridCellCheckBox*>(cell))
        RunGesture(box->GetCheck() ? kUncheckGesture : kCheckGesture, edit);
    else
        edit();
}

void CGridCtrl::EndEditing() {
    // There is at most one box; it ends whichever cell it was opened on.
    if (m_editBox) m_editBox->EndEdit();
}

bool CGridCtrl::MayTakeTypedText(int row, int col, const std::string& text, bool editing) {
    const CGridCellBase* cell = GetCell(row, col);
    return !cell || !m_frame || text == cell->GetText() || m_frame->MayTypeIntoCell(*this, row, col, text, editing);
}

void CGridCtrl::OnEndEditCell(int row, int col, const std::string& text) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return;
    if (text != cell->GetText() && MayTakeTypedText(row, col, text, false)) {
        RunGesture(kEditCellGesture, [&] { SetCellText(row, col, text); });
    }
    cell->OnEndEdit();
}

void CGridCtrl::OnEditBoxEnded(int row, int col, const std::string& text, unsigned lastKey, unsigned modifiers) {
    ++m_endEditDepth;
    CCellEditBox* ending = m_editBox.get();
    if (m_editBox) m_closedBoxes.push_back(std::move(m_editBox));
    OnEndEditCell(row, col, text);
    SendMessageToParent(row, col, GridNotify::kEndEdit);
    if (lastKey == Key::kTab || Key::IsNavigation(lastKey)) {
        // The key that ended the edit moves on and opens the next cell.
        OnKeyDown(lastKey, modifiers & (Modifier::kShift | Modifier::kControl));
        OnEditCell(m_focus.row, m_focus.col, std::nullopt, lastKey == Key::kTab ? Key::kTab : (lastKey | kReplayedKey));
    }
    if (m_frame && m_frame->IsDatabasePaneActive() && m_focus.col >= 2) m_frame->OnDatabaseEditEnded(*this, m_focus);
    if (--m_endEditDepth == 0) {
        // Only the box that reported this end may still be running.
        std::erase_if(m_closedBoxes, [ending](const auto& box) { return box.get() != ending; });
    }
}

// ---- keys ----

bool CGridCtrl::WantsKey(unsigned key, unsigned modifiers) const {
    if (key == Key::kTab) return m_handleTab && !Held(modifiers, Modifier::kControl);
    return true;
}

bool CGridCtrl::IsCellFullyVisible(int row, int col) {
    Rect rect;
    if (!m_window || !GetCellRect(row, col, rect)) return false;
    const Size client = m_window->GetClientSize();
    return rect.right < client.cx && rect.bottom < client.cy;
}

bool CGridCtrl::OnKeyDown(unsigned key, unsigned modifiers) {
    if (m_titleTip) m_titleTip->Hide();
    if (!IsValidCell(m_focus.row, m_focus.col)) return false;
    const bool shift = Held(modifiers, Modifier::kShift);
    const bool ctrl = Held(modifiers, Modifier::kControl);
    CellId next = m_focus;
    bool wrapped = false;
    switch (key) {
    case Key::kRight: next.col = StepColumn(m_focus.col, +1); break;
    case Key::kLeft: next.col = StepColumn(m_focus.col, -1); break;
    case Key::kDown: next.row = StepRow(m_focus.row, +1); break;
    case Key::kUp: next.row = StepRow(m_focus.row, -1); break;
    case Key::kTab: {
        if (!WantsKey(key, modifiers)) return false;
        if (!shift) {
            next.col = StepColumn(m_focus.col, +1);
            if (next.col == m_focus.col) {
                const int row = StepRow(m_focus.row, +1);
                if (row == m_focus.row) return false;
                next = CellId(row, StepColumn(m_table.FixedCols() - 1, +1));
                wrapped = true;
            }
        } else {
            next.col = StepColumn(m_focus.col, -1);
            if (next.col == m_focus.col) {
                const int row = StepRow(m_focus.row, -1);
                if (row == m_focus.row) return false;
                next = CellId(row, StepColumn(m_table.Cols(), -1));
                wrapped = true;
            }
        }
        break;
    }
    case Key::kNext:
    case Key::kPrior: {
        const int oldTop = GetTopLeftNonFixedCell().row;
        OnVScroll(key == Key::kNext ? ScrollCode::PageDown : ScrollCode::PageUp);
        const int moved = GetTopLeftNonFixedCell().row - oldTop;
        if (moved != 0)
            next.row = std::clamp(m_focus.row + moved, m_table.FixedRows(), m_table.Rows() - 1);
        else
            next.row = key == Key::kNext ? m_table.Rows() - 1 : m_table.FixedRows();
        break;
    }
    case Key::kHome:
        if (ctrl) {
            OnVScroll(ScrollCode::Top);
            next.row = StepRow(m_table.FixedRows() - 1, +1);
        }
        OnHScroll(ScrollCode::Top);
        next.col = FirstTypableColumn(next.row);
        break;
    case Key::kEnd:
        if (ctrl) {
            OnVScroll(ScrollCode::Bottom);
            next.row = StepRow(m_table.Rows(), -1);
        }
        OnHScroll(ScrollCode::Bottom);
        next.col = StepColumn(m_table.Cols(), -1);
        break;
    case Key::kDelete:
        if (IsCellEditable(m_focus.row, m_focus.col)) {
            const CellId cell = m_focus;
            RunGesture(kEditCellGesture, [&] {
                SendMessageToParent(cell.row, cell.col, GridNotify::kBeginEdit);
                SetCellText(cell.row, cell.col, "");
                SetModified(true, cell.row, cell.col);
                SendMessageToParent(cell.row, cell.col, GridNotify::kEndEdit);
                RedrawCell(cell.row, cell.col);
            });
        }
        return true;
    case Key::kF2: OnEditCell(m_focus.row, m_focus.col, std::nullopt, kEditByMouse); return true;
    default: return false;
    }
    if (next != m_focus && IsValidCell(next.row, next.col) && m_mouseMode == MouseMode::None)
        MoveFocusByKey(next, key, modifiers, wrapped);
    return true;
}

int CGridCtrl::FirstTypableColumn(int row) const {
    // A column of read-only cells at the start (the item numbers) is no
    // place to type in; Home goes past it.
    const int first = StepColumn(m_table.FixedCols() - 1, +1);
    for (int c = first; c < m_table.Cols(); c = StepColumn(c, +1)) {
        if (!(GetCellState(row, c) & CellState::kReadOnly)) return c;
        if (StepColumn(c, +1) == c) break;
    }
    return first;
}

void CGridCtrl::MoveFocusByKey(CellId next, unsigned key, unsigned modifiers, bool wrapped) {
    const bool shift = Held(modifiers, Modifier::kShift);
    m_previousSelected.clear();
    if (!shift || key == Key::kTab) m_anchor = next;
    if (m_listMode)
        SelectRows(next);
    else
        SelectCells(next);
    SetFocusCell(next);
    if (IsCellFullyVisible(next.row, next.col)) return;
    switch (key) {
    case Key::kRight: OnHScroll(ScrollCode::LineDown); break;
    case Key::kLeft: OnHScroll(ScrollCode::LineUp); break;
    case Key::kDown: OnVScroll(ScrollCode::LineDown); break;
    case Key::kUp: OnVScroll(ScrollCode::LineUp); break;
    case Key::kTab:
        if (wrapped) {
            if (!shift) OnHScroll(ScrollCode::Top);
            OnVScroll(shift ? ScrollCode::LineUp : ScrollCode::LineDown);
        } else {
            OnHScroll(shift ? ScrollCode::LineUp : ScrollCode::LineDown);
        }
        break;
    default: break;
    }
    EnsureVisible(next.row, next.col);
}

void CGridCtrl::OnChar(char32_t ch, unsigned modifiers) {
    if (ch == Key::kEscape || (ch == Key::kTab && m_handleTab)) return;
    if (Held(modifiers, Modifier::kControl) || m_mouseMode != MouseMode::None) return;
    if (ch == 0 || (ch < 0x20 && ch != Key::kBack && ch != Key::kReturn)) return;
    if (!IsValidCell(m_focus.row, m_focus.col)) return;
    OnEditCell(m_focus.row, m_focus.col, std::nullopt, static_cast<unsigned>(ch));
}

void CGridCtrl::EnsureVisible(int row, int col) {
    if (!IsValidCell(row, col) || !m_window) return;
    const auto stepUntilStill = [&](ScrollBar bar, ScrollCode code) {
        const int before = m_window->GetScrollPos(bar);
        OnScroll(bar, code, 0);
        return m_window->GetScrollPos(bar) != before;
    };
    CellRange visible = GetVisibleNonFixedCellRange();
    if (col >= m_table.FixedCols()) {
        for (int c = visible.maxCol + 1; c <= col; ++c)
            if (m_table.Widths()[c] > 0 && !stepUntilStill(ScrollBar::Horizontal, ScrollCode::LineDown)) break;
        for (int c = col; c < visible.minCol; ++c)
            if (m_table.Widths()[c] > 0 && !stepUntilStill(ScrollBar::Horizontal, ScrollCode::LineUp)) break;
    }
    visible = GetVisibleNonFixedCellRange();
    if (row >= m_table.FixedRows()) {
        // A far row is reached in one jump rather than line by line.
        const int span = std::max(visible.maxRow - visible.minRow + 1, 1);
        if (row > visible.maxRow + span || row + span < visible.minRow) {
            ScrollTo(ScrollBar::Vertical, m_table.RowTop(row) - m_table.RowTop(m_table.FixedRows()), false);
            visible = GetVisibleNonFixedCellRange();
        }
        for (int r = visible.maxRow + 1; r <= row; ++r)
            if (m_table.Heights()[r] > 0 && !stepUntilStill(ScrollBar::Vertical, ScrollCode::LineDown)) break;
        for (int r = row; r < visible.minRow; ++r)
            if (m_table.Heights()[r] > 0 && !stepUntilStill(ScrollBar::Vertical, ScrollCode::LineUp)) break;
    }
    const Size client = m_window->GetClientSize();
    Rect rect;
    while (GetCellRect(row, col, rect) && rect.right >= client.cx && rect.left > GetFixedColumnWidth())
        if (!stepUntilStill(ScrollBar::Horizontal, ScrollCode::LineDown)) break;
    while (GetCellRect(row, col, rect) && rect.bottom >= client.cy && rect.top > GetFixedRowHeight())
        if (!stepUntilStill(ScrollBar::Vertical, ScrollCode::LineDown)) break;
}

// ---- the mouse ----

bool CGridCtrl::IsOverColumnDivider(Point point) {
    if (point.y < 0 || point.y >= GetFixedRowHeight()) return false;
    const CellId cell = GetCellFromPt(point);
    if (cell.col < 0) return false;
    Rect rect;
    if (!GetCellRect(std::max(cell.row, 0), cell.col, rect)) return false;
    if (point.x - rect.left < m_resizeCaptureRange && cell.col != 0) return true;
    return rect.right - point.x < m_resizeCaptureRange;
}

bool CGridCtrl::IsOverRowDivider(Point point) {
    if (point.x < 0 || point.x >= GetFixedColumnWidth()) return false;
    const CellId cell = GetCellFromPt(point);
    if (cell.row < 0) return false;
    Rect rect;
    if (!GetCellRect(cell.row, std::max(cell.col, 0), rect)) return false;
    if (point.y - rect.top < m_resizeCaptureRange && cell.row != 0) return true;
    return rect.bottom - point.y < m_resizeCaptureRange;
}

int CGridCtrl::ColumnOfDivider(Point point, CellId cell) {
    // A divider at a column's left edge belongs to the column before it.
    Rect rect;
    if (GetCellRect(std::max(cell.row, 0), cell.col, rect) && point.x - rect.left < m_resizeCaptureRange &&
        cell.col > 0)
        return cell.col - 1;
    return cell.col;
}

int CGridCtrl::RowOfDivider(Point point, CellId cell) {
    Rect rect;
    if (GetCellRect(cell.row, std::max(cell.col, 0), rect) && point.y - rect.top < m_resizeCaptureRange && cell.row > 0)
        return cell.row - 1;
    return cell.row;
}

void CGridCtrl::ApplySelectionFrom(CellId cell) {
    switch (m_mouseMode) {
    case MouseMode::SelectAll: SelectAllCells(); break;
    case MouseMode::SelectColumns: SelectColumns(cell); break;
    case MouseMode::SelectRows: SelectRows(cell); break;
    case MouseMode::SelectCells: SelectCells(cell); break;
    default: break;
    }
}

void CGridCtrl::StopSelectionTimer() {
    if (m_timerRunning && m_window) m_window->StopTimer(kSelectionTimer);
    m_timerRunning = false;
}

void CGridCtrl::OnFixedRowClick(CellId cell) {
    if (m_sortOnClick) OnHeaderClickSort(cell.col);
    if (m_fixedRowSelection) {
        m_mouseMode = cell.col < m_table.FixedCols() ? MouseMode::SelectAll : MouseMode::SelectColumns;
        ApplySelectionFrom(cell);
    }
}

void CGridCtrl::OnFixedColumnClick(CellId cell) {
    if (m_fixedColSelection) {
        m_mouseMode = cell.row < m_table.FixedRows() ? MouseMode::SelectAll : MouseMode::SelectRows;
        ApplySelectionFrom(cell);
    }
}

void CGridCtrl::OnLButtonDown(Point point, unsigned modifiers) {
    const bool ctrl = Held(modifiers, Modifier::kControl);
    const bool shift = Held(modifiers, Modifier::kShift);
    m_lastMouseDown = point;
    m_movedSinceDown = false;
    m_clickedCell = GetCellFromPt(point);
    m_leftButtonDown = true;
    m_heading.ForgetColumn();  // only a press with Ctrl on a heading picks a column to move
    if (m_window) m_window->SetFocus();
    if (!IsValidCell(m_clickedCell.row, m_clickedCell.col)) return;
    const CellId clicked = m_clickedCell;
    const bool onDivider = m_mouseMode == MouseMode::OverColumnDivider || m_mouseMode == MouseMode::OverRowDivider;

    if (m_heading.State() == Gesture::kIdle && ctrl && IsHeadingCell(clicked) && !IsOverColumnDivider(point)) {
        if (m_window) m_window->SetCursor(GridCursor::MoveColumn);
        m_heading.PickColumn(clicked.col);
    }
    // A heading click sorts the pane; a press that grabs a divider only sizes.
    if (!ctrl && IsHeadingCell(clicked) && !onDivider) {
        RunGesture(kSortGesture, [&] {
            CGridWork work(m_frame, "Sorting", {this});
            if (clicked.col == 1 && m_frame) {
                m_frame->SortActivePaneByAllColumns();
            } else {
                SortByColumn(clicked.col, true);
                if (m_frame && m_frame->IsDatabasePaneActive()) m_frame->NumberDatabaseItemRows();
            }
            Refresh();
        });
    }
    if (shift) {
        if (!IsValidCell(m_anchor.row, m_anchor.col)) m_anchor = m_focus;
    } else {
        m_anchor = clicked;
    }
    EndEditing();
    Point origin;
    if (GetCellOrigin(clicked.row, clicked.col, origin)) {
        CGridCellBase* cell = GetCell(clicked.row, clicked.col);
        const auto click = [&] { cell->OnClickDown({point.x - origin.x, point.y - origin.y}); };
        if (const auto* box = dynamic_cast<const CGridCellCheckBox*>(cell))
            RunGesture(box->GetCheck() ? kUncheckGesture : kCheckGesture, click);
        else
            click();
    }

    if (m_mouseMode == MouseMode::OverColumnDivider) {
        m_sizedCell = CellId(-1, ColumnOfDivider(point, clicked));
        m_mouseMode = MouseMode::SizingColumn;
        if (m_window) m_window->ShowTrackingLine({point.x, 0, point.x + 2, m_window->GetClientSize().cy});
    } else if (m_mouseMode == MouseMode::OverRowDivider) {
        m_sizedCell = CellId(RowOfDivider(point, clicked), -1);
        m_mouseMode = MouseMode::SizingRow;
        if (m_window) m_window->ShowTrackingLine({0, point.y, m_window->GetClientSize().cx, point.y + 2});
    } else {
        if (clicked == m_focus) {
            if (IsCellEditable(clicked.row, clicked.col)) m_mouseMode = MouseMode::PrepareEdit;
            return;
        }
        if (!IsCellSelected(clicked.row, clicked.col)) {
            SetFocusCell(clicked);
        } else if (ctrl) {
            SetFocusCell(clicked);
            if (m_listMode)
                SetSelectedRange(clicked.row, m_table.FixedCols(), clicked.row, m_table.Cols() - 1, false, false);
            else
                SetSelectedRange(clicked.row, clicked.col, clicked.row, clicked.col, false, false);
            return;
        } else if (m_dragAndDrop) {
            m_mouseMode = MouseMode::PrepareDrag;
        }
    }

    if (m_window) m_window->SetCapture();
    if (m_mouseMode == MouseMode::PrepareDrag || m_mouseMode == MouseMode::SizingColumn ||
        m_mouseMode == MouseMode::SizingRow)
        return;
    m_previousSelected.clear();
    if (ctrl) m_previousSelected = m_selected;
    if (clicked.row < m_table.FixedRows()) {
        OnFixedRowClick(clicked);
    } else if (clicked.col < m_table.FixedCols()) {
        OnFixedColumnClick(clicked);
    } else {
        m_mouseMode = m_listMode ? MouseMode::SelectRows : MouseMode::SelectCells;
        ApplySelectionFrom(clicked);
        if (m_window) {
            m_window->StartTimer(kSelectionTimer, kSelectionTimerInterval);
            m_timerRunning = true;
        }
    }
}

void CGridCtrl::OnMouseMove(Point point, unsigned modifiers) {
    const bool ctrl = Held(modifiers, Modifier::kControl);
    if (m_leftButtonDown && !Held(modifiers, Modifier::kLeftButton) && m_mouseMode != MouseMode::None &&
        m_mouseMode != MouseMode::PrepareEdit && m_mouseMode != MouseMode::OverColumnDivider &&
        m_mouseMode != MouseMode::OverRowDivider) {
        // The release went elsewhere (over a pop-up, say): the drag is over.
        OnCaptureLost();
        if (m_window) m_window->ReleaseCapture();
    }
    const bool leftDown = Held(modifiers, Modifier::kLeftButton) || m_leftButtonDown;
    if (point.x != m_lastMouseDown.x || point.y != m_lastMouseDown.y) m_movedSinceDown = true;
    const CellId cell = GetCellFromPt(point);

    if (leftDown && ctrl) {
        const bool divider = IsOverColumnDivider(point);
        const Gesture::Value gesture = m_heading.State();
        if ((gesture == Gesture::kIdle || gesture == Gesture::kMovingColumnToDivider) && IsHeadingCell(cell) &&
            !divider) {
            if (m_window) m_window->SetCursor(GridCursor::MoveColumn);
            m_heading.Set(Gesture::kReadyToMoveColumn);
        } else if ((gesture == Gesture::kReadyToMoveColumn || gesture == Gesture::kMovingColumnToDivider) && divider) {
            if (m_window) m_window->SetCursor(GridCursor::MoveColumnDivider);
            m_heading.Set(Gesture::kMovingColumnToDivider);
        }
    } else if (m_heading.IsMovingColumn()) {
        if (m_window) m_window->SetCursor(GridCursor::Arrow);
        m_heading.Set(Gesture::kIdle);
    }

    switch (m_mouseMode) {
    case MouseMode::None:
    case MouseMode::OverColumnDivider:
    case MouseMode::OverRowDivider: {
        const Gesture::Value gesture = m_heading.State();
        if ((gesture == Gesture::kIdle || gesture == Gesture::kOverColumnDivider) && IsOverColumnDivider(point)) {
            if (m_window) m_window->SetCursor(GridCursor::SizeColumns);
            m_heading.Set(Gesture::kOverColumnDivider);
            m_mouseMode = MouseMode::OverColumnDivider;
        } else if ((gesture == Gesture::kIdle || gesture == Gesture::kOverColumnDivider ||
                    gesture == Gesture::kOverRowDivider) &&
                   IsOverRowDivider(point)) {
            if (m_window) m_window->SetCursor(GridCursor::SizeRows);
            m_heading.Set(Gesture::kOverRowDivider);
            m_mouseMode = MouseMode::OverRowDivider;
        } else if (m_mouseMode != MouseMode::None || gesture == Gesture::kOverColumnDivider ||
                   gesture == Gesture::kOverRowDivider) {
            if (m_window) m_window->SetCursor(GridCursor::Arrow);
            m_heading.Set(Gesture::kIdle);
            m_mouseMode = MouseMode::None;
        }
        if (m_mouseMode == MouseMode::None && IsValidCell(cell.row, cell.col)) {
            GetCell(cell.row, cell.col)->OnMouseOver();
            ShowTitleTipFor(cell);
        }
        break;
    }
    case MouseMode::SelectAll:
    case MouseMode::SelectColumns:
    case MouseMode::SelectRows:
    case MouseMode::SelectCells:
        if (leftDown && IsValidCell(cell.row, cell.col)) ApplySelectionFrom(cell);
        break;
    case MouseMode::SizingColumn:
        if (m_window) m_window->ShowTrackingLine({point.x, 0, point.x + 2, m_window->GetClientSize().cy});
        break;
    case MouseMode::SizingRow:
        if (m_window) m_window->ShowTrackingLine({0, point.y, m_window->GetClientSize().cx, point.y + 2});
        break;
    default: break;
    }
}

void CGridCtrl::ShowTitleTipFor(CellId cell) {
    if (!m_window) return;
    CGridCellBase* c = GetCell(cell.row, cell.col);
    if (!c || c->IsEditing() || c->GetTipText().empty()) return;
    Rect cellRect;
    if (!GetCellRect(cell.row, cell.col, cellRect)) return;
    Rect textRect = cellRect;
    if (!c->GetTipTextRect(textRect)) return;
    if (!m_titleTip) m_titleTip = std::make_unique<CTitleTipWnd>(*this);
    m_titleTip->Show(textRect, std::string(c->GetTipText()), static_cast<int>(c->GetMargin()), cellRect, c->GetFont());
}

void CGridCtrl::OnLButtonUp(Point point, unsigned modifiers) {
    const bool ctrl = Held(modifiers, Modifier::kControl);
    m_leftButtonDown = false;
    if (m_heading.State() == Gesture::kMovingColumnToDivider && ctrl && m_frame && m_heading.MovedColumn() >= 0) {
        const CellId target = GetCellFromPt({point.x - 10, point.y});
        RunGesture(kMoveColumnGesture, [&] { m_frame->MoveColumnInActivePane(m_heading.MovedColumn(), target.col); });
    }
    if (m_heading.IsMovingColumn() || m_heading.State() == Gesture::kOverColumnDivider) m_heading.Set(Gesture::kIdle);
    if (m_window) m_window->ReleaseCapture();
    StopSelectionTimer();

    if (m_mouseMode == MouseMode::PrepareEdit) {
        OnEditCell(m_focus.row, m_focus.col, point, kEditByMouse);
    } else if (m_mouseMode == MouseMode::SizingColumn || m_mouseMode == MouseMode::SizingRow) {
        if (m_window) m_window->ShowTrackingLine({});
        if (m_movedSinceDown) {
            const bool column = m_mouseMode == MouseMode::SizingColumn;
            const int index = column ? m_sizedCell.col : m_sizedCell.row;
            // The left (or top) edge of what is sized, wherever it is scrolled to.
            Point origin;
            long long edge = 0;
            if (column) {
                if (GetCellOrigin(0, index, origin))
                    edge = origin.x;
                else
                    edge = GetFixedColumnWidth();
            } else {
                if (GetCellOrigin(index, 0, origin))
                    edge = origin.y;
                else
                    edge = GetFixedRowHeight();
            }
            // A column or row may be sized away to nothing.
            const int size = static_cast<int>(std::max(0LL, (column ? point.x : point.y) - edge));
            if (column)
                SetColumnWidth(index, size);
            else
                SetRowHeight(index, size);
            ResetScrollBars();
            Refresh();
        }
    } else if (IsValidCell(m_clickedCell.row, m_clickedCell.col)) {
        Point origin;
        if (GetCellOrigin(m_clickedCell.row, m_clickedCell.col, origin))
            GetCell(m_clickedCell.row, m_clickedCell.col)->OnClick({point.x - origin.x, point.y - origin.y});
        SendMessageToParent(m_clickedCell.row, m_clickedCell.col, GridNotify::kClick);
    }
    m_mouseMode = MouseMode::None;
    if (m_window) m_window->SetCursor(GridCursor::Arrow);
    if (IsValidCell(m_clickedCell.row, m_clickedCell.col)) {
        if (m_owner) m_owner->OnGridCommand(*this);
        if (m_frame) m_frame->ResetNumberColumnWidths();
    }
}

void CGridCtrl::OnLButtonDblClk(Point point, unsigned modifiers) {
    (void)modifiers;
    const CellId cell = GetCellFromPt(point);
    if (IsOverColumnDivider(point)) {
        AutoSizeColumn(ColumnOfDivider(point, cell));
        ResetScrollBars();
        Refresh();
    } else if (IsOverRowDivider(point)) {
        AutoSizeRow(RowOfDivider(point, cell));
        ResetScrollBars();
        Refresh();
    } else if (IsValidCell(cell.row, cell.col) && cell.row >= m_table.FixedRows() && cell.col >= m_table.FixedCols() &&
               IsCellEditable(cell.row, cell.col)) {
        OnEditCell(cell.row, cell.col, point, kEditByMouse);
    }
    if (IsValidCell(cell.row, cell.col)) {
        Point origin;
        if (GetCellOrigin(cell.row, cell.col, origin))
            GetCell(cell.row, cell.col)->OnDblClick({point.x - origin.x, point.y - origin.y});
        SendMessageToParent(cell.row, cell.col, GridNotify::kDoubleClick);
    }
}

void CGridCtrl::OnRButtonUp(Point point, unsigned modifiers) {
    (void)modifiers;
    // The menu belongs to this grid's pane, also when the click came by way
    // of the title tip, which does not move the keyboard focus.
    if (m_window) m_window->SetFocus();
    EndEditing();
    const CellId cell = GetCellFromPt(point);
    if (!IsValidCell(cell.row, cell.col)) {
        SendMessageToParent(-1, -1, GridNotify::kRightClick);
        if (m_frame) m_frame->OnGridContextMenu(-1, -1);
        return;
    }
    SetFocusCell(-1, -1);
    if (cell.row != 0) SetFocusCell(cell);
    const CellId target = IsValidCell(m_focus.row, m_focus.col) ? m_focus : cell;
    Point origin;
    if (GetCellOrigin(target.row, target.col, origin))
        GetCell(target.row, target.col)->OnRClick({point.x - origin.x, point.y - origin.y});
    SendMessageToParent(cell.row, cell.col, GridNotify::kRightClick);
    if (m_frame) m_frame->OnGridContextMenu(cell.row, cell.col);
}

void CGridCtrl::OnContextMenuKey() {
    EndEditing();
    const CellId focus = m_focus;
    Rect place{0, 0, 0, 0};
    if (IsValidCell(focus.row, focus.col)) {
        EnsureVisible(focus.row, focus.col);
        GetCellRect(focus.row, focus.col, place);
    }
    if (m_window) m_window->PlaceNextMenu(place);
    if (!IsValidCell(focus.row, focus.col)) {
        if (m_frame) m_frame->OnGridContextMenu(-1, -1);
        return;
    }
    SendMessageToParent(focus.row, focus.col, GridNotify::kRightClick);
    if (m_frame) m_frame->OnGridContextMenu(focus.row, focus.col);
}

void CGridCtrl::OnMouseWheel(int delta, unsigned modifiers) {
    (void)modifiers;
    if (delta == 0) return;
    EndEditing();
    const bool up = delta > 0;
    if (m_wheelLines < 0) {
        for (int n = std::max(std::abs(delta) / 120, 1); n > 0; --n)
            OnVScroll(up ? ScrollCode::PageUp : ScrollCode::PageDown);
        return;
    }
    for (int n = std::abs(delta) * m_wheelLines / 120; n > 0; --n)
        OnVScroll(up ? ScrollCode::LineUp : ScrollCode::LineDown);
}

void CGridCtrl::OnTimer(int id) {
    if (id != kSelectionTimer || !m_window) return;
    if (m_mouseMode != MouseMode::SelectAll && m_mouseMode != MouseMode::SelectColumns &&
        m_mouseMode != MouseMode::SelectRows && m_mouseMode != MouseMode::SelectCells) {
        StopSelectionTimer();
        return;
    }
    const Point mouse = m_window->GetCursorPos();
    const Size client = m_window->GetClientSize();
    const int fixedW = static_cast<int>(GetFixedColumnWidth());
    const int fixedH = static_cast<int>(GetFixedRowHeight());
    // The view follows the mouse past an edge, a line at a time.
    if (mouse.y >= client.cy) OnVScroll(ScrollCode::LineDown);
    if (mouse.y < fixedH) OnVScroll(ScrollCode::LineUp);
    if (mouse.x >= client.cx) OnHScroll(ScrollCode::LineDown);
    if (mouse.x < fixedW) OnHScroll(ScrollCode::LineUp);
    const Point clamped{std::clamp(mouse.x, fixedW, std::max(client.cx - 1, fixedW)),
                        std::clamp(mouse.y, fixedH, std::max(client.cy - 1, fixedH))};
    const CellId cell = GetCellFromPt(clamped);
    if (IsValidCell(cell.row, cell.col)) ApplySelectionFrom(cell);
}

void CGridCtrl::OnCaptureLost() {
    StopSelectionTimer();
    if (m_window && (m_mouseMode == MouseMode::SizingColumn || m_mouseMode == MouseMode::SizingRow))
        m_window->ShowTrackingLine({});
    m_leftButtonDown = false;
    m_mouseMode = MouseMode::None;
    m_heading.Set(Gesture::kIdle);
}

}  // namespace tabulon
