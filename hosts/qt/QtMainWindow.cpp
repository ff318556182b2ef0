#include "qt/QtMainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <utility>

#include "app/CommandTable.h"
#include "base/ProgramName.h"
#include "output/ListGenerator.h"
#include "qt/QtAboutBox.h"
#include "qt/QtApplication.h"
#include "qt/QtFindBar.h"
#include "qt/QtGridWidget.h"
#include "qt/QtMainWindowIcons.h"
#include "qt/QtText.h"

namespace tabulon::qt {

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

const QString kReady = QStringLiteral("Ready");

// The local files and folders a drag carries, as the system names them.
std::vector<std::string> LocalPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    return paths;
}

// Whether widget is w or lies inside it.
bool Within(const QWidget* widget, const QWidget* w) {
    for (; widget; widget = widget->parentWidget())
        if (widget == w) return true;
    return false;
}

}  // namespace

CQtMainWindow::CQtMainWindow(const QtWindowHosts& hosts, QWidget* parent)
    : QMainWindow(parent),
      m_publisher(hosts.ftp, hosts.shell, m_messages, m_progress),
      m_session({.window = *this,
                 .messages = m_messages,
                 .filePicker = m_picker,
                 .colourPicker = m_colourPicker,
                 .dialogs = m_dialogs,
                 .popupMenus = m_popupMenu,
                 .shell = hosts.shell,
                 .publisher = m_publisher,
                 .progress = m_progress,
                 .folders = hosts.folders,
                 .desktop = m_desktop}) {
    setWindowIcon(ApplicationIcon());
    BuildStatusBar();
    BuildMenus();
    BuildToolBar();
    BuildFindBar();
    BuildPanes();
    SetTitle(kProgramName);
    CQtApplication::SetLastGuard([this](const std::exception& error) { Frame().OnUncaughtError(error); });
    resize(820, 640);
    setAcceptDrops(true);
}

CQtMainWindow::~CQtMainWindow() {
    // The widgets about to go move the keyboard focus on, and the window is
    // no whole window any more to hear of it.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    CQtApplication::SetLastGuard(nullptr);
    // The grid widgets end their edits into the panes' grids, so they go
    // while the panes and the frame are still here.
    delete m_splitter;
    m_splitter = nullptr;
    // The drop-down menus draw from the menu model, which goes before the
    // menu bar would take them along.
    qDeleteAll(menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
}

void CQtMainWindow::BuildMenus() {
    m_iconMenu = std::make_unique<CIconMenu>(m_menuLook, &m_pictures);
    LoadMainMenu(*m_iconMenu);
    BuildIconMenuBar(
        *menuBar(), *m_iconMenu, m_menuLook,
        [this](QMenu* menu, bool topLevel) {
            // An edit in progress is committed before any command is chosen.
            if (topLevel)
                connect(menu, &QMenu::aboutToShow, this, [this, menu] {
                    Frame().OnMenuOpening();
                    UpdateStepItems();
                    UpdateRecentItems(menu);
                });
            ShowPromptsOf(menu);
        },
        [this](QAction* action, int item) {
            // The menu with pictures knows its items by number: the command's.
            const CommandId id = static_cast<CommandId>(item);
            action->setStatusTip(Text(PromptOf(id)));
            connect(action, &QAction::triggered, this, [this, id, action] {
                // Qt has already flipped the mark; the command reads the
                // mark as it was and sets it itself.
                if (action->isCheckable()) action->setChecked(!action->isChecked());
                RunCommand(id);
            });
            m_actions[id] = action;
        });
    BindShortcuts();
    UpdateStepItems();
}

void CQtMainWindow::UpdateRecentItems(QMenu* file) {
    QAction* exit = m_actions[CommandId::kExit];
    if (!exit || !file->actions().contains(exit)) return;
    for (QAction* action : m_recentActions) {
        file->removeAction(action);
        delete action;
    }
    m_recentActions.clear();
    const std::vector<std::string>& paths = Frame().RecentConfigurations().List();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // Numbered 1 to 8, the number its letter; a "&" of the path is shown as one.
        QString path = QFile::decodeName(paths[i].c_str());
        path.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), file);
        action->setStatusTip(QStringLiteral("Open this configuration"));
        const auto id =
            static_cast<CommandId>(static_cast<int>(CommandId::kRecentConfiguration1) + static_cast<int>(i));
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        file->insertAction(exit, action);
        m_recentActions.push_back(action);
    }
    if (!paths.empty()) {
        QAction* gap = new QAction(file);
        gap->setSeparator(true);
        file->insertAction(exit, gap);
        m_recentActions.push_back(gap);
    }
}

void CQtMainWindow::UpdateStepItems() {
    for (const CommandId id : {CommandId::kUndo, CommandId::kRedo}) {
        const CMainFrame::CommandState state = Frame().StateOf(id);
        const std::string text = MenuItemText(id, state.caption);
        m_iconMenu->SetItemPicture(text, static_cast<int>(id), PictureOf(id));
        if (QAction* action = m_actions[id]) {
            action->setText(PlainMenuText(text));
            action->setEnabled(state.enabled);
            action->setStatusTip(Text(state.prompt));
        }
    }
}

void CQtMainWindow::BindShortcuts() {
    // The menu items show their keys; the keys themselves belong to the
    // program, so they work whichever pane or tool window has the focus
    // (not under a dialog that waits for an answer).
    for (const MenuEntry& entry : MainMenu()) {
        if (entry.kind != MenuEntryKind::Item || entry.shortcut.empty()) continue;
        auto* key = new QAction(this);
        key->setShortcut(QKeySequence(Text(entry.shortcut), QKeySequence::PortableText));
        const CommandId id = entry.id;
        // The clipboard's keys work on the panes; in a tool window they stay
        // with its own fields.
        const bool clipboard =
            id == CommandId::kCut || id == CommandId::kCopy || id == CommandId::kCopyItem || id == CommandId::kPaste;
        key->setShortcutContext(clipboard ? Qt::WindowShortcut : Qt::ApplicationShortcut);
        connect(key, &QAction::triggered, this, [this, id] { RunCommand(id); });
        addAction(key);
    }
    // Redo has a second key, as in most programs.
    auto* redo = new QAction(this);
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    redo->setShortcutContext(Qt::ApplicationShortcut);
    connect(redo, &QAction::triggered, this, [this] { RunCommand(CommandId::kRedo); });
    addAction(redo);
    // The clipboard's older keys, as well.
    for (const auto& [keys, id] : {std::pair{QKeySequence(Qt::SHIFT | Qt::Key_Delete), CommandId::kCut},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::Key_Insert), CommandId::kCopy},
                                   std::pair{QKeySequence(Qt::SHIFT | Qt::Key_Insert), CommandId::kPaste}}) {
        auto* key = new QAction(this);
        key->setShortcut(keys);
        key->setShortcutContext(Qt::WindowShortcut);
        connect(key, &QAction::triggered, this, [this, id] { RunCommand(id); });
        addAction(key);
    }
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)}) {
        auto* key = new QAction(this);
        key->setShortcut(keys);
        key->setShortcutContext(Qt::WindowShortcut);
        connect(key, &QAction::triggered, this, &CQtMainWindow::SwitchPane);
        addAction(key);
    }
}

void CQtMainWindow::SwitchPane() {
    // With two panes the next one and the one before are the same.
    QWidget* to = Within(QApplication::focusWidget(), m_newItemsWidget) ? static_cast<QWidget*>(m_databaseWidget)
                                                                        : m_newItemsWidget;
    to->setFocus(Qt::ShortcutFocusReason);
    Frame().EnterPane(to == m_databaseWidget);
}

void CQtMainWindow::ShowPromptsOf(QMenu* menu) {
    // However the menu was opened, its highlighted item's prompt shows.
    connect(menu, &QMenu::hovered, this, [this](QAction* action) {
        m_message->setText(action->statusTip().isEmpty() ? kReady : action->statusTip());
    });
    connect(menu, &QMenu::aboutToHide, this, [this] { m_message->setText(kReady); });
}

void CQtMainWindow::BuildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setIconSize(QSize(kToolbarPictureSize, kToolbarPictureSize));
    m_toolBar->setMovable(true);
    for (const ToolbarSlot& slot : Toolbar()) {
        if (slot.id == CommandId{}) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = m_toolBar->addAction(CommandIcon(slot.command), Text(slot.tooltip));
        action->setToolTip(Text(slot.tooltip));
        action->setStatusTip(Text(slot.prompt));
        const CommandId id = slot.id;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        m_actions[id] = action;
    }
}

void CQtMainWindow::BuildFindBar() {
    addToolBarBreak();
    m_findBar = new CQtFindBar(
        Frame(),
        [this](bool databasePane) {
            (databasePane ? m_databaseWidget : m_newItemsWidget)->setFocus(Qt::OtherFocusReason);
        },
        this);
    addToolBar(m_findBar);
    m_findBar->hide();
}

int CQtMainWindow::GetBarsBottom() const {
    // Room for the find bar under the toolbar even while it is closed: a tool
    // window opened now would cover it once it opens.
    const int toolBarBottom = m_toolBar->mapToGlobal(QPoint(0, m_toolBar->height())).y();
    if (m_findBar->isVisible())
        return std::max(toolBarBottom, m_findBar->mapToGlobal(QPoint(0, m_findBar->height())).y());
    return toolBarBottom + m_findBar->sizeHint().height();
}

std::string CQtMainWindow::GetClipboardText() const {
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    return {text.constData(), static_cast<std::size_t>(text.size())};
}

void CQtMainWindow::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void CQtMainWindow::ShowFindBar(bool databasePane) { m_findBar->Open(databasePane); }

void CQtMainWindow::ColumnsChanged(bool databasePane) {
    if (m_findBar) m_findBar->ColumnsChanged(databasePane);
}

void CQtMainWindow::SetBusy(bool busy) {
    // Shown at once; a quick command takes it back before the eye catches it.
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CQtMainWindow::BuildStatusBar() {
    m_message = new QLabel(kReady);
    m_message->setObjectName(QStringLiteral("message"));
    statusBar()->addWidget(m_message, 1);
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(QString::fromLatin1(name));
        indicator->setObjectName(QString::fromLatin1(name));
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        indicator->setEnabled(false);
        statusBar()->addPermanentWidget(indicator);
    }
    ShowLockIndicators();
}

void CQtMainWindow::ShowLockIndicators() {
    m_lockKeys = CreateLockKeys();
    ShowLockKeys(statusBar()->findChild<QLabel*>(QStringLiteral("CAP")),
                 statusBar()->findChild<QLabel*>(QStringLiteral("NUM")),
                 statusBar()->findChild<QLabel*>(QStringLiteral("SCRL")), *m_lockKeys);
}

void CQtMainWindow::BuildPanes() {
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("panes"));
    m_splitter->setChildrenCollapsible(false);
    m_newItemsWidget = new CQtGridWidget(*NewItemsPane().GetGrid(), m_splitter);
    m_newItemsWidget->setObjectName(QStringLiteral("newItems"));
    m_databaseWidget = new CQtGridWidget(*DatabasePane().GetGrid(), m_splitter);
    m_databaseWidget->setObjectName(QStringLiteral("database"));
    m_splitter->addWidget(m_newItemsWidget);
    m_splitter->addWidget(m_databaseWidget);
    // 'New items' keeps its 300 pixels; 'Database' takes what is left.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({300, 300});
    setCentralWidget(m_splitter);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (Within(now, m_databaseWidget))
            Frame().SetActivePane(true);
        else if (Within(now, m_newItemsWidget))
            Frame().SetActivePane(false);
    });
    m_newItemsWidget->setFocus();
}

QAction* CQtMainWindow::Action(CommandId id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CQtMainWindow::RunCommand(CommandId id) {
    if (MenuCommandOf(id) == CommandId::kAbout) {
        ShowAbout();
        return;
    }
    // With the find bar open, F3 finds what the bar holds now, typed or not.
    if ((id == CommandId::kFindNext || id == CommandId::kFindPrevious) && m_findBar->isVisible()) {
        m_findBar->Find(id == CommandId::kFindPrevious);
        return;
    }
    if (Frame().OnCommand(id)) return;
    ShowNotBuilt(id);
}

void CQtMainWindow::ShowNotBuilt(CommandId id) {
    // Named as the menu shows it, without its mnemonic or dots.
    const QAction* action = Action(id);
    const std::string name = action ? Utf8FromText(action->iconText()) : std::string();
    const std::string what = name.empty() ? "This command" : "The command \"" + name + "\"";
    m_messages.Show(what + " is not part of this version of Tabulon yet.", kProgramName, MbIcon::Information,
                    MbButtons::Ok);
}

void CQtMainWindow::SetStatusText(const std::string& text) {
    m_message->setText(text.empty() ? kReady : TextFromBytes(text));
}

void CQtMainWindow::SetTitle(const std::string& title) {
    m_title = title;
    setWindowTitle(TextFromBytes(title));
}

bool CQtMainWindow::IsGridLineChecked(bool horizontal) const {
    const QAction* action = Action(horizontal ? CommandId::kGridLinesHorizontal : CommandId::kGridLinesVertical);
    return action && action->isChecked();
}

void CQtMainWindow::SetGridLineChecked(bool horizontal, bool checked) {
    if (QAction* action = Action(horizontal ? CommandId::kGridLinesHorizontal : CommandId::kGridLinesVertical))
        action->setChecked(checked);
}

void CQtMainWindow::CloseWindow() {
    m_closeConfirmed = true;
    close();
}

Rect CQtMainWindow::GetWindowRect() const {
    const QRect frame = frameGeometry();
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

void CQtMainWindow::ShowAbout() {
    CQtAboutBox box(Frame().Shell(), this);
    box.exec();
}

bool CQtMainWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        m_message->setText(tip.isEmpty() ? kReady : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CQtMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void CQtMainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void CQtMainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths = LocalPaths(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    const QPoint at = m_newItemsWidget->mapFrom(this, event->position().toPoint());
    const bool onNewItems = m_newItemsWidget->rect().contains(at);
    // Run once the drop is over: the file manager waits for it to end, and
    // the save questions or a long scan would hold it up.
    QTimer::singleShot(0, this, [this, paths = std::move(paths), onNewItems] {
        if (QApplication::activeModalWidget()) return;  // a dialog came up meanwhile
        activateWindow();
        Frame().OnDropFiles(paths, onNewItems);
    });
}

void CQtMainWindow::closeEvent(QCloseEvent* event) {
    if (m_closeConfirmed || Frame().OnCloseRequest()) {
        m_closeConfirmed = true;
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace tabulon::qt
