#pragma once
// The window a grid is shown in. A grid without one keeps working on its
// data; its refresh and scroll-bar calls then do nothing.

#include <memory>

#include "platform/DeviceContext.h"
#include "platform/EditControl.h"
#include "platform/LogFont.h"
#include "platform/TitleTipWindow.h"

namespace tabulon {

enum class ScrollBar { Horizontal, Vertical };

// Scroll-bar requests, for either bar ("up" is also "left").
enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition, Top, Bottom, EndScroll };

enum class GridCursor {
    Arrow,
    SizeColumns,       // over a column divider
    SizeRows,          // over a row divider
    MoveColumn,        // Ctrl held over a heading: ready to move the column
    MoveColumnDivider  // Ctrl-dragging a heading over a divider: drop here
};

class IGridWindow {
public:
    virtual ~IGridWindow() = default;
    virtual Size GetClientSize() const = 0;
    virtual void InvalidateAll() = 0;
    // rect excludes its right and bottom edge.
    virtual void InvalidateRect(const Rect& rect) = 0;
    virtual void UpdateWindow() = 0;
    // A context drawing straight into the window, or none.
    virtual std::unique_ptr<IDeviceContext> GetDC() = 0;
    virtual void ShowScrollBar(ScrollBar bar, bool show) = 0;
    // Classic scroll-bar arithmetic: positions run from 0 to
    // maximum - page + 1.
    virtual void SetScrollRange(ScrollBar bar, int maximum, int page) = 0;
    virtual int GetScrollPos(ScrollBar bar) const = 0;
    virtual void SetScrollPos(ScrollBar bar, int pos) = 0;

    // Input. The defaults suit a window that takes no input.
    virtual void SetCapture() {}
    virtual void ReleaseCapture() {}
    virtual void SetCursor(GridCursor) {}
    virtual void SetFocus() {}
    // Whether the keyboard focus is in this program at all.
    virtual bool IsApplicationActive() const { return true; }
    virtual void StartTimer(int /*id*/, int /*milliseconds*/) {}
    virtual void StopTimer(int /*id*/) {}
    // The mouse position in client coordinates.
    virtual Point GetCursorPos() const { return {}; }
    virtual int GetDoubleClickTime() const { return 500; }
    // Milliseconds of a steady clock, for telling double clicks.
    virtual long long GetTickCount() const { return 0; }
    // The feedback while a divider is dragged: a thin line over rect (right
    // and bottom excluded); an empty rect takes it away.
    virtual void ShowTrackingLine(const Rect&) {}
    // The right-click menu about to open was asked for from the keyboard: it
    // belongs at rect (client coordinates), not at the mouse pointer.
    virtual void PlaceNextMenu(const Rect&) {}

    // The child controls of in-place editing and the title tip, or none.
    virtual std::unique_ptr<IEditControl> CreateEditControl(IEditControlEvents&, const Rect& /*rect*/, EditAlignment,
                                                            const LogFont&) {
        return nullptr;
    }
    virtual std::unique_ptr<ITitleTipWindow> CreateTitleTip(ITitleTipEvents&) { return nullptr; }

    // What a screen reader would want to hear of: the focus cell moved (row
    // and col are -1 when no cell has it), a cell's text or tick changed,
    // rows or columns came, went or changed their order. They come often,
    // a load calls them for every row, so they must cost next to nothing
    // while nobody listens.
    virtual void FocusCellChanged(int /*row*/, int /*col*/) {}
    virtual void CellChanged(int /*row*/, int /*col*/) {}
    virtual void TableChanged() {}
};

}  // namespace tabulon
