#pragma once
// What the tool windows ('Find dublicate', 'Replace') ask of the main
// window they work for, and the host services they show themselves with.

#include "base/CommandRunner.h"
#include "platform/Dialog.h"
#include "platform/DrawingTypes.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"

#include <span>
#include <string_view>

namespace tabulon {

class CGridCtrl;

class IToolFrame : public ICommandRunner {
public:
    virtual ~IToolFrame() = default;
    // The grids of the two panes; none before the panes are built.
    virtual CGridCtrl* GetNewItemsGrid() const = 0;
    virtual CGridCtrl* GetDatabaseGrid() const = 0;
    // The 'Database' items hold unsaved changes: "Database*" in its corner.
    virtual void MarkDatabaseModified() = 0;
    // Column 0 of 'Database' numbers its items again, 1 from the top.
    virtual void NumberDatabaseItemRows() = 0;
    // The main window on the screen, frame included (right and bottom one
    // past it): the tool windows open beside it.
    virtual Rect MainWindowRect() const = 0;
    // The screen y below the main window's bars (menu, toolbar and find
    // bar), which the tool windows leave free; 0 where there are none.
    virtual int MainWindowBarsBottom() const { return 0; }
    // What a tool's button does to the lists is a command of its own, one
    // step to take back by its name; without a main window it simply runs.
    bool RunCommand(std::string_view step, CWorkRef work) override {
        (void)step;
        work();
        return true;
    }
};

// A button of a tool window that changes the lists, and the name of the
// step it makes.
struct ToolButtonStep {
    ControlId button;
    std::string_view step;
};

// The step of button in steps; "" for a button that makes none.
constexpr std::string_view StepOfButton(std::span<const ToolButtonStep> steps, ControlId button) {
    for (const ToolButtonStep& s : steps)
        if (s.button == button) return s.step;
    return {};
}

// Everything a tool window works with.
struct ToolContext {
    IToolFrame& frame;
    IMessageBox& messages;
    IDialogHost& dialogs;
    IProgressHost& progress;
};

}  // namespace tabulon
