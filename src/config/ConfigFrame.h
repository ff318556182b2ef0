#pragma once
// What the configuration and its dialog ask of the main window they belong
// to: the record and the files it names, the title that shows whether a
// configuration is open and saved (config/ConfigTitle.h), the grid-line menu
// marks that are its [grid] switches, the 'Database' grid whose headings are
// its column names, and whom to ask and tell.

#include <string>

#include "base/TextFile.h"
#include "config/ListConfig.h"
#include "platform/ColourPicker.h"
#include "platform/Dialog.h"
#include "platform/FilePicker.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

namespace tabulon {

class CGridCtrl;

class IConfigFrame {
public:
    virtual ~IConfigFrame() = default;

    virtual CListConfig& Config() = 0;
    virtual const CListConfig& Config() const = 0;
    // The files the record names now, resolved (ListConfig.h).
    virtual const ConfigFiles& Files() = 0;
    // The .cfg file as it was last read or written here.
    virtual FileStamp& ConfigFileStamp() = 0;

    virtual void SetWindowText(const std::string& title) = 0;
    virtual bool IsGridLineChecked(bool horizontal) const = 0;
    // None where no 'Database' pane holds one.
    virtual CGridCtrl* GetDatabaseGrid() const = 0;

    virtual IMessageBox& Messages() = 0;
    virtual IDialogHost& DialogHost() = 0;
    virtual IFilePicker& FilePicker() = 0;
    virtual IColourPicker& ColourPicker() = 0;
    virtual IShell& Shell() = 0;
};

}  // namespace tabulon
