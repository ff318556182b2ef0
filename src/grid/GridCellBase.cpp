#include "grid/GridCellBase.h"

#include "grid/GridCtrl.h"
#include "grid/SchemeColour.h"
#include "platform/Desktop.h"

namespace tabulon {

const CellClass& CGridCellBase::Class() {
    static const CellClass c{"CGridCellBase", nullptr, nullptr};
    return c;
}

CGridCellBase* CGridCellBase::GetDefaultCell() const {
    CGridCtrl* grid = GetGrid();
    if (!grid) return nullptr;
    const CellStates state = GetState();
    return grid->GetDefaultCell(static_cast<bool>(state & CellState::kFixedRow),
                                static_cast<bool>(state & CellState::kFixedCol));
}

void CGridCellBase::CopyFrom(const CGridCellBase& other) {
    SetGrid(other.GetGrid());
    SetText(other.GetText());
    SetImage(other.GetImage());
    SetData(other.GetData());
    SetState(other.GetState());
    SetFormat(other.GetFormat());
    SetTextColour(other.GetTextColour());
    SetBackColour(other.GetBackColour());
    SetFont(other.IsDefaultFont() ? nullptr : other.GetFont());
    SetMargin(other.GetMargin());
}

namespace {

bool IsRotated(const LogFont* font) { return font && font->escapement == 900; }

void DrawTriangle(IDeviceContext& dc, int x, int y, int s, bool apexUp, Colour colour) {
    if (apexUp)
        dc.FillPolygon({{x, y + s}, {x + s, y + s}, {x + s / 2, y}}, colour);
    else
        dc.FillPolygon({{x, y}, {x + s, y}, {x + s / 2, y + s}}, colour);
}

// The rect one pixel wider and taller: a fill covers the grid line too.
Rect Extended(Rect r) {
    ++r.right;
    ++r.bottom;
    return r;
}

Rect Inside(Rect r) {
    ++r.left;
    ++r.top;
    --r.right;
    --r.bottom;
    return r;
}

// The cell's background (the selection's, the default cell's or its own),
// the focus frame and the text colour; the rect inside the frame.
Rect FillBackground(const CGridCellBase& cell, const CGridCellBase& def, const CGridCtrl& grid, IDeviceContext& dc,
                    Rect rect, bool eraseBackground) {
    const IDesktop& desktop = grid.GetDesktop();
    Colour textColour = cell.GetTextColour() == kDefaultColour ? def.GetTextColour() : cell.GetTextColour();
    Colour backColour;
    if (cell.GetBackColour() == kDefaultColour) {
        backColour = def.GetBackColour();
    } else {
        backColour = cell.GetBackColour();
        eraseBackground = true;
    }
    backColour = SchemeBackColour(backColour, textColour, desktop);

    if (!cell.IsFocused() && !cell.IsDropHighlighted()) {
        if (cell.IsSelected()) {
            dc.FillRect(Extended(rect), desktop.GetSysColour(SysColour::Highlight));
            textColour = desktop.GetSysColour(SysColour::HighlightText);
        } else if (eraseBackground) {
            dc.FillRect(Extended(rect), backColour);
        }
        dc.SetTextColour(textColour);
        return rect;
    }
    if (cell.IsSelected()) {
        backColour = desktop.GetSysColour(SysColour::Highlight);
        textColour = desktop.GetSysColour(SysColour::HighlightText);
        eraseBackground = true;
    }
    rect = Extended(rect);
    if (eraseBackground) dc.FillRect(rect, backColour);
    const bool gridLines = grid.GetGridLines() != GridLines::kNone;
    if (gridLines) {
        --rect.right;
        --rect.bottom;
    }
    if (grid.GetFrameFocusCell()) dc.FrameRect(rect, textColour);
    dc.SetTextColour(textColour);
    if (!gridLines) {
        --rect.right;
        --rect.bottom;
    }
    return Inside(rect);
}

// A heading's 3-D edge: raised, or sunken for a heading of the focus cell
// while the grid tracks it; the rect inside the edge.
Rect DrawHeadingEdge(const CGridCtrl& grid, IDeviceContext& dc, int row, int col, Rect rect) {
    const CellId focus = grid.GetFocusCell();
    const bool headingOfFocus =
        grid.GetTrackFocusCell() && grid.IsValidCell(focus.row, focus.col) && (focus.row == row || focus.col == col);
    if (!headingOfFocus) {
        const IDesktop& desktop = grid.GetDesktop();
        const Colour light = desktop.GetSysColour(SysColour::Highlight3D);
        const Colour dark = desktop.GetSysColour(SysColour::DarkShadow3D);
        dc.DrawLine({rect.left, rect.top}, {rect.right, rect.top}, light);
        dc.DrawLine({rect.left, rect.top}, {rect.left, rect.bottom}, light);
        dc.DrawLine({rect.right, rect.top}, {rect.right, rect.bottom}, dark);
        dc.DrawLine({rect.left, rect.bottom}, {rect.right, rect.bottom}, dark);
    } else {
        dc.DrawEdge(Extended(rect), EdgeStyle::SunkenInner);
    }
    return Inside(rect);
}

// The cell's picture at the left, where it fits; the text goes right of it.
void DrawImage(const CGridCellBase& cell, CGridCtrl& grid, IDeviceContext& dc, int margin, Rect& rect) {
    IImageList* images = grid.GetImageList();
    if (!images || cell.GetImage() < 0 || cell.GetImage() >= images->GetImageCount()) return;
    const Size image = images->GetImageSize();
    if (rect.left + image.cx <= rect.right + 2 * margin && rect.top + image.cy <= rect.bottom + 2 * margin)
        images->Draw(dc, cell.GetImage(), {rect.left, rect.top});
    rect.left += margin + image.cx;
}

// The sort column's heading shows the direction as an engraved triangle at
// the right (below the text of a rotated heading), where it fits.
void DrawSortArrow(const CGridCtrl& grid, IDeviceContext& dc, const LogFont* font, int margin, Rect& rect) {
    int s = dc.GetTextExtent("M").cy - 4;
    const int height = rect.bottom - rect.top;
    if (s >= height) s = height - 4;
    if (rect.left + s >= rect.right + 2 * margin) return;
    const IDesktop& desktop = grid.GetDesktop();
    const bool rotated = IsRotated(font);
    const int y = rect.bottom - s - 2;
    const int x = rotated ? (rect.right - s + rect.left) / 2 : rect.right - s;
    const bool up = grid.GetSortAscending();
    DrawTriangle(dc, x + 1, y + 1, s, up, desktop.GetSysColour(SysColour::Highlight3D));
    DrawTriangle(dc, x, y, s, up, desktop.GetSysColour(SysColour::Shadow3D));
    if (!rotated) rect.right -= s;
}

}  // namespace

bool CGridCellBase::Draw(IDeviceContext* dc, int row, int col, Rect rect, bool eraseBackground) {
    CGridCtrl* grid = GetGrid();
    if (!grid || !dc || rect.right <= rect.left || rect.bottom <= rect.top) return false;
    CGridCellBase* def = GetDefaultCell();
    if (!def) return false;

    dc->SaveState();
    dc->SetTransparentBackground();
    rect = FillBackground(*this, *def, *grid, *dc, rect, eraseBackground);
    if (IsFixed() && grid->GetGridLines() != GridLines::kNone) rect = DrawHeadingEdge(*grid, *dc, row, col, rect);

    const LogFont* font = GetFontObject();
    if (font) dc->SelectFont(*font);
    const int margin = static_cast<int>(GetMargin());
    rect.left += margin;
    rect.right -= margin;
    DrawImage(*this, *grid, *dc, margin, rect);
    if (row == 0 && col == grid->GetSortColumn()) DrawSortArrow(*grid, *dc, font, margin, rect);

    dc->DrawText(GetText(), rect, GetFormat() | TextFormat::kNoPrefix);
    dc->RestoreState();
    return true;
}

bool CGridCellBase::GetTextRect(Rect& rect) {
    CGridCtrl* grid = GetGrid();
    IImageList* images = grid ? grid->GetImageList() : nullptr;
    if (images && GetImage() >= 0 && GetImage() < images->GetImageCount())
        rect.left += static_cast<int>(GetMargin()) + images->GetImageSize().cx;
    return true;
}

Size CGridCellBase::GetTextExtent(std::string_view text, IDeviceContext* dc) {
    std::unique_ptr<IDeviceContext> own;
    CGridCtrl* grid = GetGrid();
    if (!dc && grid && grid->GetWindow()) {
        own = grid->GetWindow()->GetDC();
        dc = own.get();
    }
    auto* def = dynamic_cast<CGridDefaultCell*>(GetDefaultCell());
    if (!dc) {
        if (!def) return {0, 0};
        return {def->GetWidth(), def->GetHeight()};
    }
    dc->SaveState();
    const LogFont* font = GetFontObject();
    if (font) dc->SelectFont(*font);
    const TextFormats format = GetFormat();
    Size size;
    if ((format & TextFormat::kWordBreak) && !(format & TextFormat::kSingleLine)) {
        int widest = 0;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t lf = text.find('\n', start);
            if (lf == std::string::npos) lf = text.size();
            widest = std::max(widest, dc->GetTextExtent(text.substr(start, lf - start)).cx);
            start = lf + 1;
        }
        Rect measure{0, 0, widest, 0};
        size.cy = dc->DrawText(text, measure, format | TextFormat::kCalcRect);
        size.cx = widest;
    } else {
        size = dc->GetTextExtent(text);
    }
    const int margin = static_cast<int>(GetMargin());
    size.cx += dc->GetFontOverhang() + 4 * margin;
    size.cy += 2 * margin;
    dc->RestoreState();
    if (font && (font->escapement == 900 || font->escapement == -900)) return {size.cy, size.cx + 4 * margin};
    return size;
}

Size CGridCellBase::GetCellExtent(IDeviceContext* dc) {
    Size size = GetTextExtent(GetText(), dc);
    CGridCtrl* grid = GetGrid();
    IImageList* images = grid ? grid->GetImageList() : nullptr;
    if (images && GetImage() >= 0 && GetImage() < images->GetImageCount()) {
        const Size image = images->GetImageSize();
        size.cx += image.cx;
        size.cy = std::max(size.cy, image.cy);
    }
    return size;
}

}  // namespace tabulon
