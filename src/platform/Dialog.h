#pragma once
// Dialogs, modal and modeless. The system describes a dialog by its control
// table, in dialog units (the host scales them by the dialog font, as the classic
// desktop does: horizontal units are a quarter of the font's average
// character width, vertical units an eighth of its height), and runs it by
// control id through IDialogWindow. The host builds the window from the
// table, reports commands and ends the dialog when asked.

#include <string>
#include <utility>
#include <vector>

#include "platform/DrawingTypes.h"
#include "platform/TreeControl.h"

namespace tabulon {

class CGridCtrl;

enum class ControlKind {
    Label,          // static text
    Edit,           // one-line edit box
    Button,         // push button
    DefaultButton,  // the push button Return presses
    CheckBox,
    GroupBox,
    ColourSwatch,  // a small box filled with a colour (text: "RRGGBB" hex)
    // A drop-down list to choose one entry from. The template's text holds
    // the entries, one per line ("\n" between them); once shown, the
    // control's text is the index of the chosen entry in decimal ("-1": none).
    DropDownList,
    // One of a set of choices. Radio buttons that follow one another in the
    // control table form one group, and one with ControlStyle::kGroup begins
    // a new group: ticking one unticks the others of its group. Clicking one
    // reports it as a command.
    RadioButton,
    // A tree view (ITreeControl), reached through IDialogWindow::TreeControl.
    TreeView,
    // A list of texts to pick one from; filled and read through the list
    // operations of IDialogWindow, never through its text.
    ListBox,
    // A bar showing how far work has got, filled smoothly.
    ProgressBar,
    // A place for a grid the dialog's logic owns (IDialogWindow::AttachGrid).
    Grid
};

namespace ControlStyle {
constexpr unsigned kNone = 0x0;
constexpr unsigned kDisabled = 0x1;
constexpr unsigned kPassword = 0x2;
constexpr unsigned kReadOnly = 0x4;
constexpr unsigned kNumber = 0x8;  // an edit that takes digits only
constexpr unsigned kAutoHScroll = 0x10;
constexpr unsigned kRightAlign = 0x20;
// A small push button that shows the program's picture named by its text
// ("br" browse, "ed" edit, "c" colour) instead of the text.
constexpr unsigned kIcon = 0x40;
constexpr unsigned kCentered = 0x100;  // a label whose lines are centred
// The first radio button of a group.
constexpr unsigned kGroup = 0x10000;
}  // namespace ControlStyle

// A control of a dialog, by the number its table gives it. A number of its
// own type, so that a row, an index or a result code is never taken for one.
// A modal dialog's result is the id of the control that ended it.
enum class ControlId : int {};

// The ids the framework gives the usual buttons.
namespace DialogId {
constexpr ControlId kNone{-1};  // labels nobody addresses
constexpr ControlId kOk{1};
constexpr ControlId kCancel{2};
}  // namespace DialogId

struct DialogControl {
    ControlKind kind = ControlKind::Label;
    ControlId id = DialogId::kNone;
    std::string text;
    Rect units;  // left, top, right, bottom in dialog units (right and bottom excluded)
    unsigned style = ControlStyle::kNone;
    // What a screen reader says for the control where its text is a picture's
    // name or shortened to fit; empty: the host names it from its text or
    // the label before it.
    std::string spokenName = {};
};

// A control of a dialog's table at x, y in dialog units, width by height.
inline DialogControl MakeControl(ControlKind kind, ControlId id, std::string text, int x, int y, int width, int height,
                                 unsigned style = ControlStyle::kNone) {
    return {kind, id, std::move(text), Rect{x, y, x + width, y + height}, style};
}

// The control with the name a screen reader says for it.
inline DialogControl Spoken(DialogControl control, std::string name) {
    control.spokenName = std::move(name);
    return control;
}

struct DialogTemplate {
    std::string caption;
    Size units;  // width and height in dialog units
    std::string fontFace = "MS Sans Serif";
    int fontPoints = 8;
    bool hasCloseBox = true;
    std::vector<DialogControl> controls;
};

// The shown dialog, addressed by control id.
class IDialogWindow {
public:
    virtual ~IDialogWindow() = default;
    virtual void SetControlText(ControlId id, const std::string& text) = 0;
    virtual std::string GetControlText(ControlId id) const = 0;
    virtual void SetCheck(ControlId id, bool checked) = 0;
    virtual bool GetCheck(ControlId id) const = 0;
    virtual void EnableControl(ControlId id, bool enable) = 0;
    virtual bool IsControlEnabled(ControlId id) const = 0;
    virtual void SetFocus(ControlId id) = 0;
    // Selects the whole text of an edit.
    virtual void SelectAll(ControlId id) = 0;
    virtual void EndDialog(ControlId result) = 0;

    // The tree view with this id; null when there is none.
    virtual ITreeControl* TreeControl(ControlId /*id*/) { return nullptr; }

    // ---- List boxes, progress bars and grids ----
    // Hosts without them leave these empty.
    virtual void ResetList(ControlId /*id*/) {}
    // Appends an entry; its index.
    virtual int AddListEntry(ControlId /*id*/, const std::string& /*text*/) { return -1; }
    virtual int GetListCount(ControlId /*id*/) const { return 0; }
    virtual std::string GetListEntry(ControlId /*id*/, int /*index*/) const { return {}; }
    // The selected entry, -1 when none is.
    virtual int GetListSelection(ControlId /*id*/) const { return -1; }
    // Selects entry index; -1 selects none.
    virtual void SetListSelection(ControlId /*id*/, int /*index*/) {}
    virtual void SetProgressRange(ControlId /*id*/, int /*lower*/, int /*upper*/) {}
    virtual void SetProgressPos(ControlId /*id*/, int /*pos*/) {}
    // Shows grid in the place of control id. The grid must stay until the
    // dialog has ended.
    virtual void AttachGrid(ControlId /*id*/, CGridCtrl& /*grid*/) {}
};

// What the system's dialog logic answers.
class IDialogEvents {
public:
    virtual ~IDialogEvents() = default;
    virtual void OnInitDialog(IDialogWindow& dialog) = 0;
    // A button was pressed (or a check box clicked); Return presses the
    // default button. Escape and the close box arrive as DialogId::kCancel.
    virtual void OnCommand(IDialogWindow& dialog, ControlId id) = 0;
    // The text of an edit changed by typing.
    virtual void OnEditChange(IDialogWindow&, ControlId /*id*/) {}
    // Something happened in the tree view id; the answer goes back to the
    // tree (0: go ahead).
    virtual int OnTreeNotify(IDialogWindow&, ControlId /*id*/, const TreeNotify&) { return 0; }
    // A modeless dialog's window is gone after it ended. No handler of the
    // dialog is running any more, so its logic may now be destroyed.
    virtual void OnDialogClosed() {}
};

// ---- Modeless dialogs ----
// A dialog that stays open beside the main window while the user goes on
// working there. It ends as a modal one does, by EndDialog from its logic
// (Escape arrives as DialogId::kCancel); the host then takes its window
// away and reports OnDialogClosed.
class IModelessDialog {
public:
    virtual ~IModelessDialog() = default;
    virtual IDialogWindow& Window() = 0;
    // Brings the window to the front and gives it the keyboard.
    virtual void BringToFront() = 0;
    // Moves the window's top-left corner, frame included, to that point of
    // the screen, keeping its size.
    virtual void MoveWindow(Point topLeft) = 0;
    // Takes the window away at once, reporting nothing more to the logic:
    // for logic that goes before its window does.
    virtual void Destroy() = 0;
};

class IDialogHost {
public:
    virtual ~IDialogHost() = default;
    // Shows the dialog modally until the logic calls EndDialog; its result.
    virtual ControlId RunModal(const DialogTemplate& dialog, IDialogEvents& events) = 0;
    // Shows the dialog without waiting for it; OnInitDialog has run when it
    // returns. The window lives until OnDialogClosed or Destroy. None where
    // the host shows no windows.
    virtual IModelessDialog* ShowModeless(const DialogTemplate& /*dialog*/, IDialogEvents& /*events*/) {
        return nullptr;
    }
};

}  // namespace tabulon
