#pragma once
// Everything a session takes from its host. All of them are references: a
// host with nobody to answer (batch mode) gives objects that answer Cancel,
// choose nothing and show nothing.

#include "platform/ColourPicker.h"
#include "platform/Desktop.h"
#include "platform/Dialog.h"
#include "platform/FilePicker.h"
#include "platform/FolderNamespace.h"
#include "platform/ListPublisher.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/Progress.h"
#include "platform/Shell.h"

namespace tabulon {

struct SessionHosts {
    IMainWindow& window;
    IMessageBox& messages;
    IFilePicker& filePicker;
    IColourPicker& colourPicker;
    IDialogHost& dialogs;
    IPopupMenuHost& popupMenus;
    IShell& shell;
    IListPublisher& publisher;
    IProgressHost& progress;
    // The folders the 'Add items' dialog shows.
    IFolderNamespace& folders;
    // The colours, metrics and fonts the grids are drawn and measured with.
    IDesktop& desktop;
};

}  // namespace tabulon
