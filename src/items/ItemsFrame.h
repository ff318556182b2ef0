#pragma once
// What the panes, the database file and the column and item commands ask of
// the main window. Besides what their grids ask (IGridFrame): the other pane,
// the configuration with its files and its marks, and whom to ask and tell.

#include <string_view>

#include "config/ListConfig.h"
#include "grid/GridFrame.h"
#include "platform/FilePicker.h"
#include "platform/MessageBox.h"

namespace tabulon {

class CTabulonWnd1;
class CTabulonWnd2;

class IItemsFrame : public IGridFrame {
public:
    virtual CTabulonWnd1& NewItemsPane() = 0;
    virtual CTabulonWnd2& DatabasePane() = 0;

    virtual CListConfig& Config() = 0;
    // The files the configuration names now, resolved (ListConfig.h).
    virtual const ConfigFiles& Files() = 0;
    virtual bool IsConfigurationOpen() const = 0;
    // The title gets its "*": the configuration holds unsaved changes.
    virtual void MarkConfigurationModified() = 0;
    // Back to no configuration open, with the record at its "New
    // configuration" values.
    virtual void CloseConfiguration() = 0;

    virtual IMessageBox& Messages() = 0;
    virtual IFilePicker& FilePicker() = 0;

    // The lists are about to be replaced: the steps are forgotten, and what
    // happens goes unrecorded until ResumeSteps (calls may nest).
    virtual void SuspendSteps() {}
    virtual void ResumeSteps() {}
};

// While one lives, the frame's steps are suspended.
class CStepsSuspended {
public:
    explicit CStepsSuspended(IItemsFrame& frame) : m_frame(frame) { frame.SuspendSteps(); }
    ~CStepsSuspended() { m_frame.ResumeSteps(); }
    CStepsSuspended(const CStepsSuspended&) = delete;
    CStepsSuspended& operator=(const CStepsSuspended&) = delete;

private:
    IItemsFrame& m_frame;
};

}  // namespace tabulon
