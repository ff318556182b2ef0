// The grid on screen: where cells lie for the scroll position, painting,
// the scroll bars and scrolling, sizing columns to their content.

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <new>
#include <optional>
#include <string_view>

#include "grid/GridCtrl.h"
#include "grid/MemoryHint.h"
#include "grid/TitleTip.h"
#include "grid/WidestText.h"

namespace tabulon {

namespace {

int Clamped(long long value) { return static_cast<int>(std::clamp<long long>(value, -(1LL << 30), 1LL << 30)); }

Rect Intersection(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

void CGridCtrl::SetGridLines(int mode) {
    m_gridLines = mode;
    Refresh();
}

void CGridCtrl::SetRedraw(bool allow, bool resetScrollBars) {
    m_allowDraw = allow;
    if (allow) {
        if (resetScrollBars) ResetScrollBars();
        Refresh();
    }
}

// Drawing is the last step of whatever changed the grid: when memory runs
// out for it, the change stands and the window repaints when it can.
void CGridCtrl::Refresh() {
    if (!m_window || !m_allowDraw) return;
    try {
        m_window->InvalidateAll();
        m_window->UpdateWindow();
    } catch (const std::bad_alloc&) {
    }
}

// ---- geometry ----

CellId CGridCtrl::GetTopLeftNonFixedCell() {
    if (m_topLeft.row >= 0 && m_topLeft.col >= 0) return m_topLeft;
    const int vPos = m_window ? m_window->GetScrollPos(ScrollBar::Vertical) : 0;
    const int hPos = m_window ? m_window->GetScrollPos(ScrollBar::Horizontal) : 0;
    const int row = vPos > 0 ? m_table.RowAtOffset(vPos, m_table.FixedRows()) : m_table.FixedRows();
    int col = m_table.FixedCols();
    if (hPos > 0) {
        for (long long sum = 0; col < m_table.Cols() - 1; ++col) {
            sum += m_table.Widths()[col];
            if (sum > hPos) break;
        }
    }
    m_topLeft = CellId(row, col);
    return m_topLeft;
}

CellRange CGridCtrl::GetVisibleNonFixedCellRange(Rect* covered) {
    const CellId topLeft = GetTopLeftNonFixedCell();
    const Size client = m_window ? m_window->GetClientSize() : Size{};
    long long y = GetFixedRowHeight();
    int maxRow = topLeft.row - 1;
    for (int r = topLeft.row; r < m_table.Rows() && y < client.cy; ++r) {
        y += m_table.Heights()[r];
        maxRow = r;
    }
    long long x = GetFixedColumnWidth();
    int maxCol = topLeft.col - 1;
    for (int c = topLeft.col; c < m_table.Cols() && x < client.cx; ++c) {
        x += m_table.Widths()[c];
        maxCol = c;
    }
    if (covered) *covered = {0, 0, Clamped(x), Clamped(y)};
    return CellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

bool CGridCtrl::GetCellOrigin(int row, int col, Point& origin) {
    if (!IsValidCell(row, col)) return false;
    const CellId topLeft =
        (row >= m_table.FixedRows() || col >= m_table.FixedCols()) ? GetTopLeftNonFixedCell() : CellId();
    long long x = 0;
    if (col < m_table.FixedCols()) {
        for (int c = 0; c < col; ++c) x += m_table.Widths()[c];
    } else {
        if (col < topLeft.col) return false;
        x = GetFixedColumnWidth();
        for (int c = topLeft.col; c < col; ++c) x += m_table.Widths()[c];
    }
    long long y = 0;
    if (row < m_table.FixedRows()) {
        y = m_table.RowTop(row);
    } else {
        if (row < topLeft.row) return false;
        y = GetFixedRowHeight() + m_table.RowTop(row) - m_table.RowTop(topLeft.row);
    }
    origin = {Clamped(x), Clamped(y)};
    return true;
}

bool CGridCtrl::GetCellRect(int row, int col, Rect& rect) {
    Point origin;
    if (!GetCellOrigin(row, col, origin)) return false;
    rect = {origin.x, origin.y, origin.x + GetColumnWidth(col) - 1, origin.y + GetRowHeight(row) - 1};
    return true;
}

CellId CGridCtrl::GetCellFromPt(Point point, bool allowFixed) {
    CellId cell;
    const CellId topLeft = GetTopLeftNonFixedCell();
    const long long fixedW = GetFixedColumnWidth();
    if (point.x < 0) {
        cell.col = -1;
    } else if (point.x < fixedW) {
        cell.col = -1;
        if (allowFixed) {
            long long x = 0;
            for (int c = 0; c < m_table.FixedCols(); ++c) {
                x += m_table.Widths()[c];
                if (point.x < x) {
                    cell.col = c;
                    break;
                }
            }
        }
    } else {
        cell.col = -1;
        long long x = fixedW;
        for (int c = topLeft.col; c < m_table.Cols(); ++c) {
            x += m_table.Widths()[c];
            if (point.x < x) {
                cell.col = c;
                break;
            }
        }
    }
    const long long fixedH = GetFixedRowHeight();
    if (point.y < 0) {
        cell.row = -1;
    } else if (point.y < fixedH) {
        cell.row = -1;
        if (allowFixed) {
            for (int r = 0; r < m_table.FixedRows(); ++r)
                if (point.y < m_table.RowTop(r + 1)) {
                    cell.row = r;
                    break;
                }
        }
    } else {
        cell.row = -1;
        if (topLeft.row < m_table.Rows()) {
            const long long offset = point.y - fixedH;
            const long long bottomOfAll = m_table.RowTop(m_table.Rows()) - m_table.RowTop(topLeft.row);
            if (offset < bottomOfAll) cell.row = m_table.RowAtOffset(offset, topLeft.row);
        }
    }
    return cell;
}

// ---- painting ----

void CGridCtrl::OnPaint(IDeviceContext& dc, const Rect& clip) {
    if (IsEmpty(clip)) return;
    // While work fills or reorders the table nothing of it is read; the
    // window shows the grid's own background meanwhile, not a blank.
    if (!m_allowDraw) {
        dc.FillRect(clip, m_gridBkColour);
        return;
    }
    try {
        OnDraw(dc, clip);
    } catch (const std::bad_alloc&) {
        // What was drawn stays; the next paint draws the rest.
    }
}

void CGridCtrl::DrawGridLinesOfCell(IDeviceContext& dc, const Rect& rect) {
    if (m_gridLines == GridLines::kVertical || m_gridLines == GridLines::kBoth)
        dc.DrawLine({rect.right, rect.top}, {rect.right, rect.bottom}, m_gridLineColour);
    if (m_gridLines == GridLines::kHorizontal || m_gridLines == GridLines::kBoth)
        dc.DrawLine({rect.left, rect.bottom}, {rect.right, rect.bottom}, m_gridLineColour);
}

void CGridCtrl::OnDraw(IDeviceContext& dc, const Rect& clip) {
    Rect covered;
    const CellRange visible = GetVisibleNonFixedCellRange(&covered);
    const Size client = m_window ? m_window->GetClientSize() : Size{clip.right, clip.bottom};
    const int fixedW = Clamped(GetFixedColumnWidth());
    const int fixedH = Clamped(GetFixedRowHeight());

    // 1. The background, region by region.
    const auto fill = [&](const Rect& r, Colour colour) {
        const Rect part = Intersection(r, clip);
        if (!IsEmpty(part)) dc.FillRect(part, colour);
    };
    fill({0, 0, fixedW, fixedH}, GetDefaultCell(true, true)->GetBackColour());
    fill({fixedW, 0, covered.right, fixedH}, GetDefaultCell(true, false)->GetBackColour());
    fill({0, fixedH, fixedW, covered.bottom}, GetDefaultCell(false, true)->GetBackColour());
    fill({fixedW, fixedH, covered.right, covered.bottom}, GetDefaultCell(false, false)->GetBackColour());
    fill({covered.right, 0, client.cx, client.cy}, m_gridBkColour);
    fill({0, covered.bottom, covered.right, client.cy}, m_gridBkColour);

    // 2. The cells: corner, fixed columns, fixed rows, the rest. Rows and
    // columns outside the clip box are skipped; a loop ends at the first one
    // beyond it.
    const auto drawBlock = [&](int firstRow, int lastRow, int firstCol, int lastCol, int top, int left) {
        int y = top;
        for (int r = firstRow; r <= lastRow; ++r) {
            const int height = static_cast<int>(m_table.Heights()[r]);
            const int bottom = y + height;
            if (y >= clip.bottom) break;
            if (bottom > clip.top && height > 0) {
                int x = left;
                for (int c = firstCol; c <= lastCol; ++c) {
                    const int width = static_cast<int>(m_table.Widths()[c]);
                    if (x >= clip.right) break;
                    if (x + width > clip.left && width > 0) {
                        CGridCellBase* cell = GetCell(r, c);
                        if (cell) cell->Draw(&dc, r, c, {x, y, x + width - 1, bottom - 1}, false);
                    }
                    x += width;
                }
            }
            y = bottom;
        }
    };
    drawBlock(0, m_table.FixedRows() - 1, 0, m_table.FixedCols() - 1, 0, 0);
    drawBlock(visible.minRow, visible.maxRow, 0, m_table.FixedCols() - 1, fixedH, 0);
    drawBlock(0, m_table.FixedRows() - 1, visible.minCol, visible.maxCol, 0, fixedW);
    drawBlock(visible.minRow, visible.maxRow, visible.minCol, visible.maxCol, fixedH, fixedW);

    // 3. Grid lines over the non-fixed area; fixed cells draw their own edges.
    if (visible.maxRow < visible.minRow || visible.maxCol < visible.minCol) return;
    if (m_gridLines == GridLines::kVertical || m_gridLines == GridLines::kBoth) {
        int x = fixedW;
        for (int c = visible.minCol; c <= visible.maxCol; ++c) {
            x += static_cast<int>(m_table.Widths()[c]);
            if (x - 1 >= clip.right) break;
            if (x - 1 >= clip.left) dc.DrawLine({x - 1, fixedH}, {x - 1, covered.bottom - 1}, m_gridLineColour);
        }
    }
    if (m_gridLines == GridLines::kHorizontal || m_gridLines == GridLines::kBoth) {
        int y = fixedH;
        for (int r = visible.minRow; r <= visible.maxRow; ++r) {
            y += static_cast<int>(m_table.Heights()[r]);
            if (y - 1 >= clip.bottom) break;
            if (y - 1 >= clip.top) dc.DrawLine({fixedW, y - 1}, {covered.right - 1, y - 1}, m_gridLineColour);
        }
    }
}

bool CGridCtrl::RedrawCell(int row, int col, IDeviceContext* dc) {
    try {
        return DrawCellNow(row, col, dc);
    } catch (const std::bad_alloc&) {
        return false;  // the cell is drawn at the next paint
    }
}

bool CGridCtrl::DrawCellNow(int row, int col, IDeviceContext* dc) {
    if (!m_allowDraw || !m_window) return false;
    Rect rect;
    if (!GetCellRect(row, col, rect)) return false;
    const Size client = m_window->GetClientSize();
    if (rect.left >= client.cx || rect.top >= client.cy) return false;
    std::unique_ptr<IDeviceContext> own;
    if (!dc) {
        own = m_window->GetDC();
        dc = own.get();
    }
    if (!dc) {
        m_window->InvalidateRect({rect.left, rect.top, rect.right + 1, rect.bottom + 1});
        return true;
    }
    CGridCellBase* cell = GetCell(row, col);
    const bool drawn = cell->Draw(dc, row, col, rect, true);
    if (row >= m_table.FixedRows() && col >= m_table.FixedCols()) DrawGridLinesOfCell(*dc, rect);
    return drawn;
}

// ---- scroll bars and scrolling ----

void CGridCtrl::ResetScrollBars() {
    ClearCachedTopLeft();
    if (!m_allowDraw || !m_window) return;
    Size client = m_window->GetClientSize();
    if (client.cx <= 0 || client.cy <= 0) return;
    const int vBar = m_desktop->GetSystemMetric(SysMetric::VScrollWidth);
    const int hBar = m_desktop->GetSystemMetric(SysMetric::HScrollHeight);
    if (m_scrollBars.IsShown(ScrollBar::Vertical))
        client.cx += vBar + m_desktop->GetSystemMetric(SysMetric::BorderWidth);
    if (m_scrollBars.IsShown(ScrollBar::Horizontal))
        client.cy += hBar + m_desktop->GetSystemMetric(SysMetric::BorderHeight);
    const long long fixedW = GetFixedColumnWidth();
    const long long fixedH = GetFixedRowHeight();
    const auto show = [&](ScrollBar bar, bool on, long long maximum, long long page) {
        m_window->ShowScrollBar(bar, on);
        const int max = Clamped(maximum);
        const int pg = Clamped(page);
        m_window->SetScrollRange(bar, max, pg);
        m_scrollBars.Set(bar, on, max, pg);
        // A shorter range pulls the position back inside it.
        const int pos = m_window->GetScrollPos(bar);
        const int highest = std::max(0, max - std::max(pg, 1) + 1);
        if (pos > highest || (!on && pos != 0)) m_window->SetScrollPos(bar, on ? highest : 0);
    };
    if (client.cx <= fixedW || client.cy <= fixedH) {
        show(ScrollBar::Horizontal, false, 0, 0);
        show(ScrollBar::Vertical, false, 0, 0);
        return;
    }
    const long long v = m_table.TotalHeight() - fixedH;
    const long long h = m_table.TotalWidth() - fixedW;
    long long availW = client.cx;
    if (client.cy - fixedH < v) availW -= vBar;
    long long availH = client.cy;
    if (availW - fixedW < h) availH -= hBar;
    if (availH - fixedH < v)
        show(ScrollBar::Vertical, true, ReachingExtent(ScrollBar::Vertical, v, availH - fixedH) - 1, availH - fixedH);
    else
        show(ScrollBar::Vertical, false, 0, 0);
    if (availW - fixedW < h)
        show(ScrollBar::Horizontal, true, ReachingExtent(ScrollBar::Horizontal, h, availW - fixedW) - 1,
             availW - fixedW);
    else
        show(ScrollBar::Horizontal, false, 0, 0);
    ClearCachedTopLeft();
}

long long CGridCtrl::ReachingExtent(ScrollBar bar, long long extent, long long page) {
    // The view starts at the top of its top-left row, whatever pixel of that
    // row the bar stands at; the bar's end must be a row from which the last
    // row shows whole, or the last row stays cut off at the bottom however
    // far the user scrolls. Likewise for columns.
    const bool rows = bar == ScrollBar::Vertical;
    const int fixed = rows ? m_table.FixedRows() : m_table.FixedCols();
    const int count = rows ? m_table.Rows() : m_table.Cols();
    if (count <= fixed) return extent;
    // The first row from which the rest fits in a page, but at most the last.
    long long offset = 0;  // of that row from the first non-fixed one
    if (rows) {
        offset = m_table.LastPageOffset(fixed, page);
    } else {
        long long rest = 0;  // the widths of columns c to the last
        int c = count;
        while (c > fixed && rest + m_table.Widths()[c - 1] <= page) rest += m_table.Widths()[--c];
        if (c == count) rest = m_table.Widths()[count - 1];
        offset = extent - rest;
    }
    return std::max(extent, offset + page);
}

int CGridCtrl::StepColumn(int col, int step) const {
    // The next column of non-zero width in the direction of step, or col.
    for (int c = col + step; c >= m_table.FixedCols() && c < m_table.Cols(); c += step)
        if (m_table.Widths()[c] > 0) return c;
    return col;
}

int CGridCtrl::StepRow(int row, int step) const {
    for (int r = row + step; r >= m_table.FixedRows() && r < m_table.Rows(); r += step)
        if (m_table.Heights()[r] > 0) return r;
    return row;
}

void CGridCtrl::ScrollTo(ScrollBar bar, long long pos, bool wholeWindow) {
    if (!m_window) return;
    const int highest = std::max(0, ScrollMax(bar) - std::max(ScrollPage(bar), 1) + 1);
    const int target = static_cast<int>(std::clamp<long long>(pos, 0, highest));
    const int old = m_window->GetScrollPos(bar);
    if (target == old) return;
    m_window->SetScrollPos(bar, target);
    ClearCachedTopLeft();
    if (wholeWindow) {
        m_window->InvalidateAll();
        return;
    }
    // Only the band that moves: right of the fixed columns, or below the fixed rows.
    const Size client = m_window->GetClientSize();
    if (bar == ScrollBar::Horizontal)
        m_window->InvalidateRect({Clamped(GetFixedColumnWidth()), 0, client.cx, client.cy});
    else
        m_window->InvalidateRect({0, Clamped(GetFixedRowHeight()), client.cx, client.cy});
}

void CGridCtrl::OnHScroll(ScrollCode code, int thumbPos) { OnScroll(ScrollBar::Horizontal, code, thumbPos); }

void CGridCtrl::OnVScroll(ScrollCode code, int thumbPos) { OnScroll(ScrollBar::Vertical, code, thumbPos); }

void CGridCtrl::OnScroll(ScrollBar bar, ScrollCode code, int thumbPos) {
    if (!m_window) return;
    EndEditing();
    if (m_titleTip) m_titleTip->Hide();
    const bool horizontal = bar == ScrollBar::Horizontal;
    const int p = m_window->GetScrollPos(bar);
    const int max = ScrollMax(bar);
    const Size client = m_window->GetClientSize();
    const long long pageStep = horizontal ? client.cx - GetFixedColumnWidth() : client.cy - GetFixedRowHeight();
    const CellId topLeft = GetTopLeftNonFixedCell();
    const auto size = [&](int index) {
        return static_cast<long long>(horizontal ? m_table.Widths()[index] : m_table.Heights()[index]);
    };
    const int fixed = horizontal ? m_table.FixedCols() : m_table.FixedRows();
    const int count = horizontal ? m_table.Cols() : m_table.Rows();
    const int first = horizontal ? topLeft.col : topLeft.row;
    switch (code) {
    case ScrollCode::LineUp:
        if (p > 0 && first > fixed) {
            int c = first - 1;
            while (c > fixed && size(c) == 0) --c;
            ScrollTo(bar, std::max<long long>(0, p - size(c)), false);
        }
        break;
    case ScrollCode::LineDown:
        if (p < max && first < count) {
            int c = first;
            while (c < count - 1 && size(c) == 0) ++c;
            ScrollTo(bar, p + size(c), false);
        }
        break;
    case ScrollCode::PageUp: ScrollTo(bar, std::max<long long>(0, p - pageStep), false); break;
    case ScrollCode::PageDown: ScrollTo(bar, std::min<long long>(max, p + pageStep), false); break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::ThumbPosition: ScrollTo(bar, thumbPos, false); break;
    case ScrollCode::Top: ScrollTo(bar, 0, true); break;
    case ScrollCode::Bottom: ScrollTo(bar, max, true); break;
    case ScrollCode::EndScroll: break;
    }
}

// ---- sizes, fonts, colours ----

std::unique_ptr<IDeviceContext> CGridCtrl::MeasuringContext() {
    // A host may give no window context outside painting; the screen's measures alike.
    std::unique_ptr<IDeviceContext> dc = m_window ? m_window->GetDC() : nullptr;
    return dc ? std::move(dc) : m_desktop->CreateScreenContext();
}

bool CGridCtrl::IsSizedLikeItsKind(const CGridCellBase& cell, IImageList* images) const {
    const TextFormats format = cell.GetFormat();
    const LogFont* font = cell.GetFontObject();
    return cell.IsSizedByItsText() && cell.IsDefaultFont() &&
           !(images && cell.GetImage() >= 0 && cell.GetImage() < images->GetImageCount()) &&
           (!(format & TextFormat::kWordBreak) || (format & TextFormat::kSingleLine)) &&
           !(font && (font->escapement == 900 || font->escapement == -900));
}

// The advances of the printable ASCII characters and of their pairs in the
// font of one kind of cell, each measured when first needed.
struct CKnownExtents::Kind {
    static constexpr int kFirst = 0x20;
    static constexpr int kCount = 0x7F - kFirst;
    // Not measured yet, and measured without an advance.
    static constexpr double kUnknown = std::numeric_limits<double>::infinity();
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

    const CGridCellBase* defaultCell = nullptr;
    unsigned margin = 0;
    const LogFont* font = nullptr;
    int overhead = 0;  // what the cell adds to its text's width
    std::array<double, kCount> advance = MakeUnknown();
    std::vector<double> pairExtra = std::vector<double>(kCount * kCount, kUnknown);

    double Measure(IDeviceContext& dc, std::u32string_view chars) const {
        dc.SaveState();
        if (font) dc.SelectFont(*font);
        const std::optional<double> measured = dc.GetCharsAdvance(chars);
        dc.RestoreState();
        return measured && std::isfinite(*measured) && *measured >= 0 ? *measured : kNone;
    }
    static bool IsNone(double value) { return std::isnan(value); }
    static std::array<double, kCount> MakeUnknown() {
        std::array<double, kCount> all;
        all.fill(kUnknown);
        return all;
    }
    double Advance(IDeviceContext& dc, int ch) {
        double& known = advance[static_cast<std::size_t>(ch - kFirst)];
        if (known == kUnknown) {
            const char32_t one = static_cast<char32_t>(ch);
            known = Measure(dc, std::u32string_view(&one, 1));
        }
        return known;
    }
    // What the pair adds to its two advances; kNone for a pair without an advance.
    double PairExtra(IDeviceContext& dc, int first, int second) {
        double& known = pairExtra[static_cast<std::size_t>((first - kFirst) * kCount + (second - kFirst))];
        if (known == kUnknown) {
            const char32_t pair[2] = {static_cast<char32_t>(first), static_cast<char32_t>(second)};
            known = Measure(dc, std::u32string_view(pair, 2)) - Advance(dc, first) - Advance(dc, second);
        }
        return known;
    }
};

CKnownExtents::CKnownExtents(int atLeast) : m_atLeast(atLeast) {}

CKnownExtents::~CKnownExtents() = default;

CKnownExtents::Kind& CKnownExtents::KindOf(const CGridCellBase& cell, IDeviceContext& dc) {
    const CGridCellBase* defaultCell = cell.GetDefaultCell();
    const unsigned margin = cell.GetMargin();
    for (const auto& kind : m_kinds)
        if (kind->defaultCell == defaultCell && kind->margin == margin) return *kind;
    auto kind = std::make_unique<Kind>();
    kind->defaultCell = defaultCell;
    kind->margin = margin;
    kind->font = cell.GetFontObject();
    dc.SaveState();
    if (kind->font) dc.SelectFont(*kind->font);
    kind->overhead = dc.GetFontOverhang() + 4 * static_cast<int>(margin);
    dc.RestoreState();
    m_kinds.push_back(std::move(kind));
    return *m_kinds.back();
}

bool CKnownExtents::SurelyWithin(Kind& kind, std::string_view text, IDeviceContext& dc) {
    // The advances of the characters and what each pair adds are the most
    // the text can measure (a pair that takes away only makes it narrower);
    // the host rounds to the nearest pixel, and so does the bound.
    const double room = m_atLeast - kind.overhead - 0.5 - 1e-9;
    double sum = 0;
    int previous = -1;
    for (const char byte : text) {
        const int ch = static_cast<unsigned char>(byte);
        if (ch < Kind::kFirst || ch >= Kind::kFirst + Kind::kCount) return false;
        const double advance = kind.Advance(dc, ch);
        if (Kind::IsNone(advance)) return false;
        sum += advance;
        if (previous >= 0) {
            const double extra = kind.PairExtra(dc, previous, ch);
            if (Kind::IsNone(extra)) return false;
            if (extra > 0) sum += extra;
        }
        if (sum >= room) return false;
        previous = ch;
    }
    return true;
}

int CKnownExtents::Extent(CGridCellBase& cell, IDeviceContext& dc) {
    const std::string_view text = cell.GetText();
    if (text.size() > kLongest) return cell.GetCellExtent(&dc).cx;
    Kind& kind = KindOf(cell, dc);
    // Texts that hardly ever recur are not worth keeping.
    const bool keeping = m_lookups < kTrial || m_hits * 8 >= m_lookups;
    std::string key;
    if (keeping) {
        ++m_lookups;
        const Kind* id = &kind;
        key.assign(reinterpret_cast<const char*>(&id), sizeof id);
        key += text;
        if (const auto it = m_extents.find(key); it != m_extents.end()) {
            ++m_hits;
            return it->second;
        }
    }
    const int extent = m_atLeast > 0 && SurelyWithin(kind, text, dc) ? m_atLeast : cell.GetCellExtent(&dc).cx;
    if (keeping && m_extents.size() < kMostKept) m_extents.emplace(std::move(key), extent);
    return extent;
}

int CGridCtrl::WidestCellExtent(int col, int first, int last, IDeviceContext& dc, std::uint64_t doneBefore,
                                std::uint64_t total, CKnownExtents* known) {
    if (total == 0) total = static_cast<std::uint64_t>(std::max(last - first + 1, 0));
    IImageList* images = GetImageList();
    // A few cells are measured as they are: setting up the search below
    // costs more than measuring them, which counts in a table of one row
    // and 400,000 columns. Their widths are kept for the other columns.
    constexpr int kMeasuredOneByOne = 8;
    if (last - first < kMeasuredOneByOne) {
        int width = 0;
        std::uint64_t blank = 0;
        for (int r = first; r <= last; ++r) {
            CGridCellBase* cell = CellForMeasuring(r, col, blank);
            if (!cell) continue;
            const bool kept = known && !m_table.Slot(r, col).IsPending() && IsSizedLikeItsKind(*cell, images);
            width = std::max(width, kept ? known->Extent(*cell, dc) : cell->GetCellExtent(&dc).cx);
        }
        return width;
    }
    // Cells drawn alike (the same default font and margin, one line, no
    // picture) differ in width only by their texts, so of each such kind
    // only the cell with the widest text is measured whole. Other cells are
    // measured one by one.
    struct Kind {
        const CGridCellBase* defaultCell;
        unsigned margin;
        BigVector<int> rows;
        std::unique_ptr<CWidestText> texts;
    };
    std::vector<Kind> kinds;
    int width = 0;
    std::uint64_t blank = 0;
    for (int r = first; r <= last; ++r) {
        // The rows ahead are asked for early (grid/MemoryHint.h).
        if (r + 24 <= last) Prefetch(m_table.RowAt(r + 24).data());
        if (r + 16 <= last) Prefetch(m_table.Slot(r + 16, col).get());
        if (r + 8 <= last)
            if (const CGridCellBase* ahead = m_table.Slot(r + 8, col).get()) Prefetch(ahead->GetText().data());
        ReportProgress(kFittingPhase, doneBefore + static_cast<std::uint64_t>(r - first), total);
        CGridCellBase* cell = CellForMeasuring(r, col, blank);
        if (!cell) continue;
        if (m_table.Slot(r, col).IsPending()) {
            // A cell not made yet stands in once for its run of blanks alike.
            width = std::max(width, cell->GetCellExtent(&dc).cx);
            continue;
        }
        if (!IsSizedLikeItsKind(*cell, images)) {
            width = std::max(width, cell->GetCellExtent(&dc).cx);
            continue;
        }
        const CGridCellBase* defaultCell = cell->GetDefaultCell();
        const unsigned margin = cell->GetMargin();
        auto kind = std::find_if(kinds.begin(), kinds.end(),
                                 [&](const Kind& k) { return k.defaultCell == defaultCell && k.margin == margin; });
        if (kind == kinds.end()) {
            kind = kinds.insert(
                kinds.end(), Kind{defaultCell, margin, {}, std::make_unique<CWidestText>(dc, cell->GetFontObject())});
            // Most rows from here on are mostly of the first kind met.
            const auto rest = static_cast<std::size_t>(last - r + 1);
            if (kinds.size() == 1) {
                kind->rows.reserve(rest);
                kind->texts->Reserve(rest);
            }
        }
        kind->rows.push_back(r);
        kind->texts->Add(cell->GetText());
    }
    for (Kind& kind : kinds) {
        if (const std::optional<WidestText> widest = kind.texts->Find())
            width = std::max(width, GetCell(kind.rows[widest->index], col)->GetCellExtent(&dc).cx);
    }
    return width;
}

void CGridCtrl::AutoSizeColumn(int col, unsigned style) {
    if (col < 0 || col >= m_table.Cols() || m_table.Widths()[col] == 0 || !m_window) return;
    const std::unique_ptr<IDeviceContext> dc = MeasuringContext();
    if (!dc) return;
    if (style == 0) style = kAutoSizeStyle;
    const int first = (style & 0x1) ? 0 : m_table.FixedRows();
    const int last = (style & 0x2) ? m_table.Rows() - 1 : m_table.FixedRows() - 1;
    const int width = WidestCellExtent(col, first, last, *dc);
    m_table.SetWidth(col, static_cast<std::uint32_t>(width));
}

void CGridCtrl::AutoSizeRow(int row, unsigned style) {
    if (row < 0 || row >= m_table.Rows() || m_table.Heights()[row] == 0 || !m_window) return;
    const std::unique_ptr<IDeviceContext> dc = MeasuringContext();
    if (!dc) return;
    if (style == 0) style = kAutoSizeStyle;
    const int first = (style & 0x1) ? 0 : m_table.FixedCols();
    const int last = (style & 0x2) ? m_table.Cols() - 1 : m_table.FixedCols() - 1;
    int height = 0;
    std::uint64_t blank = 0;
    for (int c = first; c <= last; ++c)
        if (CGridCellBase* cell = CellForMeasuring(row, c, blank))
            height = std::max(height, cell->GetCellExtent(dc.get()).cy);
    SetRowHeight(row, height);
}

void CGridCtrl::AutoSizeColumns() {
    AutoSizeColumnRange(0, m_table.Cols() - 1, kAutoSizeStyle);
    ResetScrollBars();
}

void CGridCtrl::AutoSizeColumnRange(int firstCol, int lastCol, unsigned style, int atLeast) {
    firstCol = std::max(firstCol, 0);
    lastCol = std::min(lastCol, m_table.Cols() - 1);
    if (firstCol > lastCol || !m_window) return;
    const std::unique_ptr<IDeviceContext> dc = MeasuringContext();
    if (!dc) return;
    if (style == 0) style = kAutoSizeStyle;
    const int first = (style & 0x1) ? 0 : m_table.FixedRows();
    const int last = (style & 0x2) ? m_table.Rows() - 1 : m_table.FixedRows() - 1;
    const auto perColumn = static_cast<std::uint64_t>(std::max(last - first + 1, 0));
    const std::uint64_t total = perColumn * static_cast<std::uint64_t>(lastCol - firstCol + 1);
    CKnownExtents known(atLeast);
    for (int col = firstCol; col <= lastCol; ++col) {
        if (m_table.Widths()[col] == 0) continue;
        const std::uint64_t done = perColumn * static_cast<std::uint64_t>(col - firstCol);
        // Columns of few cells report as they go; long ones report inside.
        if (perColumn < 256) ReportProgress(kFittingPhase, done, total);
        const int width = std::max(WidestCellExtent(col, first, last, *dc, done, total, &known), atLeast);
        m_table.SetWidth(col, static_cast<std::uint32_t>(width));
    }
}

void CGridCtrl::ExpandLastColumn() {
    if (m_table.Cols() < 1 || !m_window) return;
    m_window->ShowScrollBar(ScrollBar::Horizontal, false);
    m_scrollBars.Hide(ScrollBar::Horizontal);
    const Size client = m_window->GetClientSize();
    long long slack = client.cx - m_table.TotalWidth();
    if (slack > 0) {
        if (client.cy < m_table.TotalHeight()) slack -= m_desktop->GetSystemMetric(SysMetric::VScrollWidth);
        if (slack > 0) {
            SetColumnWidth(m_table.Cols() - 1, GetColumnWidth(m_table.Cols() - 1) + static_cast<int>(slack));
            Refresh();
        }
    }
    ResetScrollBars();
}

void CGridCtrl::SetFont(const LogFont& font) {
    for (auto& cell : m_defaultCells) cell->SetFont(&font);
    Refresh();
}

LogFont CGridCtrl::GetFont() const {
    const LogFont* font = m_defaultCells[0]->GetFont();
    return font ? *font : m_desktop->GetMessageFont();
}

void CGridCtrl::OnSize() {
    if (m_inSize) return;
    m_inSize = true;
    EndEditing();
    ResetScrollBars();
    m_inSize = false;
}

}  // namespace tabulon
