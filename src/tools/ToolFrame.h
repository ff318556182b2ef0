#pragma once
// What the tool windows ('Find dublicate', 'Replace') ask of the main
// window they work for, and the host services they show themselves with.

#include "platform/Dialog.h"
#include "platform/DrawingTypes.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"

#include <string_view>

namespace tabulon {

class CGridCtrl;

class IToolFrame {
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
    // What a tool did to the lists is one step to take back, by this name.
    virtual void CommitStep(std::string_view /*name*/) {}
};

// Everything a tool window works with.
struct ToolContext {
    IToolFrame& frame;
    IMessageBox& messages;
    IDialogHost& dialogs;
    IProgressHost& progress;
};

}  // namespace tabulon
