#pragma once
// The main window: title, menu bar, toolbar, status bar and the two panes,
// 'New items' above 'Database', each grid in its own widget. It owns the
// system's session (the main-window logic, CMainFrame, with its panes) and
// the Qt host objects it uses, and hands every menu and toolbar command to
// the frame.

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "output/PagePublisher.h"
#include "platform/FtpSession.h"
#include "platform/MainWindow.h"
#include "platform/Shell.h"
#include "qt/QtColourPicker.h"
#include "qt/QtDesktop.h"
#include "qt/QtDialogHost.h"
#include "qt/QtFilePicker.h"
#include "qt/QtIconMenu.h"
#include "qt/QtLockKeys.h"
#include "qt/QtMessageBox.h"
#include "qt/QtPictures.h"
#include "qt/QtPopupMenu.h"
#include "qt/QtProgress.h"
#include "ui/IconMenu.h"

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

namespace tabulon::qt {

class CQtFindBar;
class CQtGridWidget;

// What the window takes from its creator rather than making itself: these
// come from another host than Qt.
struct QtWindowHosts {
    IShell& shell;
    IFtpSession& ftp;
    IFolderNamespace& folders;
};

class CQtMainWindow final : public QMainWindow, public IMainWindow {
    Q_OBJECT
public:
    explicit CQtMainWindow(const QtWindowHosts& hosts, QWidget* parent = nullptr);
    ~CQtMainWindow() override;

    CMainFrame& Frame() { return m_session.Frame(); }
    CTabulonWnd1& NewItemsPane() { return m_session.NewItemsPane(); }
    CTabulonWnd2& DatabasePane() { return m_session.DatabasePane(); }
    CQtGridWidget* NewItemsWidget() const { return m_newItemsWidget; }
    CQtGridWidget* DatabaseWidget() const { return m_databaseWidget; }
    QSplitter* Splitter() const { return m_splitter; }
    QToolBar* ToolBar() const { return m_toolBar; }
    // The menu item of a command id (toolbar ids give their button).
    QAction* Action(CommandId id) const;
    QLabel* MessagePane() const { return m_message; }
    CQtDialogHost& DialogHost() { return m_dialogs; }
    // The main menu with its pictures, as its drop-downs draw it.
    CIconMenu& IconMenu() { return *m_iconMenu; }

    // IMainWindow
    void SetTitle(const std::string& title) override;
    std::string GetTitle() const override { return m_title; }
    bool IsGridLineChecked(bool horizontal) const override;
    void SetGridLineChecked(bool horizontal, bool checked) override;
    void CloseWindow() override;
    Rect GetWindowRect() const override;
    int GetBarsBottom() const override;
    void SetStatusText(const std::string& text) override;
    void ShowFindBar(bool databasePane) override;
    void ColumnsChanged(bool databasePane) override;
    void SetBusy(bool busy) override;
    std::string GetClipboardText() const override;
    void SetClipboardText(const std::string& text) override;
    CQtFindBar* FindBar() const { return m_findBar; }

    void ShowAbout();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Files and folders dragged from a file manager.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::vector<QAction*> m_recentActions;
    void BuildMenus();
    // The File menu's list of recent configurations, as it is now.
    void UpdateRecentItems(QMenu* file);
    // Keyboard access beyond the menus' letters: the commands' shortcuts,
    // and F6 and Shift+F6 between the panes.
    void BindShortcuts();
    // The Undo and Redo items name the step they take, greyed when there is none.
    void UpdateStepItems();
    void SwitchPane();
    void ShowLockIndicators();
    void ShowPromptsOf(QMenu* menu);
    void BuildToolBar();
    // Under the toolbar, hidden until Find opens it.
    void BuildFindBar();
    void BuildStatusBar();
    void BuildPanes();
    void RunCommand(CommandId id);
    void ShowNotBuilt(CommandId id);

    CQtDesktop m_desktop;
    CQtMessageBox m_messages{this};
    CQtFilePicker m_picker{this};
    CQtColourPicker m_colourPicker{this};
    CQtDialogHost m_dialogs{this};
    CQtPopupMenu m_popupMenu{this};
    CQtProgressHost m_progress{this};
    CPagePublisher m_publisher;
    CSession m_session;
    CQtMenuLook m_menuLook;
    CQtPictureSource m_pictures;
    std::unique_ptr<CIconMenu> m_iconMenu;
    std::unique_ptr<CQtLockKeys> m_lockKeys;

    std::string m_title;
    std::map<CommandId, QAction*> m_actions;  // menu items and toolbar buttons by id
    QSplitter* m_splitter = nullptr;
    CQtGridWidget* m_newItemsWidget = nullptr;
    CQtGridWidget* m_databaseWidget = nullptr;
    QToolBar* m_toolBar = nullptr;
    CQtFindBar* m_findBar = nullptr;
    QLabel* m_message = nullptr;
    bool m_closeConfirmed = false;
};

}  // namespace tabulon::qt
