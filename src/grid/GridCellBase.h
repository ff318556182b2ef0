#pragma once
// The root of the cell classes: the state bits, the virtual interface every
// cell offers, and the drawing and measuring shared by the text cells.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "grid/CellClass.h"
#include "grid/CellId.h"
#include "grid/CellPool.h"
#include "platform/DeviceContext.h"

namespace tabulon {

class CGridCtrl;
class CCellEditBox;

class CGridCellBase {
public:
    static const CellClass& Class();
    virtual const CellClass& GetRuntimeClass() const { return Class(); }
    virtual ~CGridCellBase() = default;

    // Cells come from the cell pool; the sized delete tells it which block size.
    static void* operator new(std::size_t size) { return cellpool::AllocateCell(size); }
    static void operator delete(void* block, std::size_t size) noexcept { cellpool::FreeCell(block, size); }

    // Attributes.
    virtual void SetText(std::string_view) {}
    virtual void SetImage(int) {}
    virtual void SetData(std::uint32_t) {}
    virtual void SetState(CellStates state) { m_state = static_cast<std::uint8_t>(state.ToBits()); }
    virtual void SetFormat(TextFormats) {}
    virtual void SetTextColour(Colour) {}
    virtual void SetBackColour(Colour) {}
    virtual void SetFont(const LogFont*) {}
    virtual void SetMargin(unsigned) {}
    virtual void SetGrid(CGridCtrl*) {}
    virtual void SetCoords(int, int) {}
    virtual bool KeepsCoords() const { return false; }

    // The text lives as long as the cell and its text are unchanged.
    virtual std::string_view GetText() const { return {}; }
    virtual std::string_view GetTipText() const { return GetText(); }
    virtual int GetImage() const { return -1; }
    virtual std::uint32_t GetData() const { return 0; }
    virtual CellStates GetState() const { return CellStates::FromBits(m_state); }
    virtual TextFormats GetFormat() const { return {}; }
    virtual Colour GetTextColour() const { return 0; }
    virtual Colour GetBackColour() const { return 0; }
    virtual const LogFont* GetFont() const { return nullptr; }
    virtual const LogFont* GetFontObject() const { return nullptr; }
    virtual CGridCtrl* GetGrid() const { return nullptr; }
    virtual unsigned GetMargin() const { return 0; }
    virtual CGridCellBase* GetDefaultCell() const;
    virtual bool IsDefaultFont() const { return false; }
    virtual bool IsEditing() const { return false; }

    bool IsFocused() const { return static_cast<bool>(GetState() & CellState::kFocused); }
    bool IsFixed() const { return static_cast<bool>(GetState() & CellState::kFixed); }
    bool IsFixedCol() const { return static_cast<bool>(GetState() & CellState::kFixedCol); }
    bool IsFixedRow() const { return static_cast<bool>(GetState() & CellState::kFixedRow); }
    bool IsSelected() const { return static_cast<bool>(GetState() & CellState::kSelected); }
    bool IsReadOnly() const { return static_cast<bool>(GetState() & CellState::kReadOnly); }
    bool IsModified() const { return static_cast<bool>(GetState() & CellState::kModified); }
    bool IsDropHighlighted() const { return static_cast<bool>(GetState() & CellState::kDropHighlighted); }

    // Copies every attribute of other through this object's own setters.
    virtual void CopyFrom(const CGridCellBase& other);
    virtual void Reset() { m_state = {}; }

    // rect is inclusive: right and bottom are the cell's last pixel.
    virtual bool Draw(IDeviceContext* dc, int row, int col, Rect rect, bool eraseBackground);
    virtual bool GetTextRect(Rect& rect);
    virtual bool GetTipTextRect(Rect& rect) { return GetTextRect(rect); }
    virtual Size GetTextExtent(std::string_view text, IDeviceContext* dc = nullptr);
    virtual Size GetCellExtent(IDeviceContext* dc = nullptr);
    // Whether GetCellExtent is the extent of GetText() as measured here. A
    // class that measures its cells otherwise says no; sizing a column then
    // measures each such cell instead of only the widest text.
    virtual bool IsSizedByItsText() const { return true; }

    // In-place editing.
    virtual bool Edit(int, int, const Rect&, Point, unsigned, unsigned) { return false; }
    virtual void EndEdit() {}
    virtual bool PrintCell(IDeviceContext* dc, int row, int col, const Rect& rect) {
        return Draw(dc, row, col, rect, false);
    }
    virtual void OnEndEdit() {}

    // Mouse.
    virtual void OnMouseEnter() {}
    virtual void OnMouseOver() {}
    virtual void OnMouseLeave() {}
    virtual void OnClick(Point) {}
    virtual void OnClickDown(Point) {}
    virtual void OnRClick(Point) {}
    virtual void OnDblClick(Point) {}
    virtual bool OnSetCursor() { return true; }

protected:
    CGridCellBase() = default;

private:
    // One byte, so that the cell classes' own small fields follow it.
    std::uint8_t m_state = 0;
    static_assert(static_cast<unsigned>(CellState::kModified) <= 0xFF, "the states fit a byte");
};

}  // namespace tabulon
