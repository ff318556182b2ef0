#pragma once
// The in-place edit box a text cell opens over itself: it decides how the
// edit starts from the key that started it, which keys end it, and reports
// the ending to the grid once. A key that would end it with a text the cell
// may not take leaves it open with that text.

#include <memory>
#include <string>

#include "platform/EditControl.h"

namespace tabulon {

class CGridCtrl;

// Added to a key code given as an edit's first character when the edit is
// started by a replayed key rather than a typed character, so that the
// navigation keys 0x21-0x28 are not taken for the characters "!" to "(".
constexpr unsigned kReplayedKey = 0x80000000u;
// The first character of an edit started by the mouse or by F2.
constexpr unsigned kEditByMouse = 1;

class CCellEditBox : public IEditControlEvents {
public:
    CCellEditBox(CGridCtrl& grid, const Rect& rect, EditAlignment alignment, unsigned id, int row, int col,
                 const std::string& text, unsigned firstChar);
    ~CCellEditBox() override;
    CCellEditBox(const CCellEditBox&) = delete;
    CCellEditBox& operator=(const CCellEditBox&) = delete;

    // Whether the platform gave a control to edit in.
    bool IsOpen() const { return m_control != nullptr; }
    int GetRow() const { return m_row; }
    int GetCol() const { return m_col; }
    unsigned GetId() const { return m_id; }
    const std::string& GetInitialText() const { return m_initialText; }
    unsigned GetLastKey() const { return m_lastKey; }
    bool GetExitOnArrows() const { return m_exitOnArrows; }
    std::string GetText() const;
    IEditControl* GetControl() const { return m_control.get(); }

    // The cell asks the box to finish: the focus goes back to the grid.
    void EndEdit();

    bool OnEditKeyDown(unsigned key, unsigned modifiers) override;
    void OnEditTextChanged() override;
    void OnEditKillFocus() override;

private:
    void FinishWithKey(unsigned key, unsigned modifiers);
    void End();

    CGridCtrl& m_grid;
    std::unique_ptr<IEditControl> m_control;
    int m_row;
    int m_col;
    std::string m_initialText;
    unsigned m_lastKey = 0;
    unsigned m_lastModifiers = 0;
    bool m_exitOnArrows;
    Rect m_rect;  // right and bottom excluded
    unsigned m_id;
    bool m_ended = false;
    bool m_asking = false;  // the frame is telling why the text cannot stay
};

}  // namespace tabulon
