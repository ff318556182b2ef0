// The window part of the program (window.so): the main window on Qt, opened
// on the configuration given, if any, as Open configuration opens a chosen
// file. The system itself it finds in the program that loads it.

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "WindowEntry.h"
#include "app/BatchMakeList.h"
#include "app/CommandTable.h"
#include "base/ProgramName.h"
#include "qt/QtApplication.h"
#include "qt/QtMainWindow.h"
#include "qt/QtMainWindowIcons.h"
#include "tags/TagLibReader.h"

namespace {

using namespace tabulon;

QtMessageHandler g_qtMessages = nullptr;

// What Qt says while the application starts, held back until it has: should
// the window not open, the user reads first what is wrong, then what Qt
// said of it.
struct HeldMessage {
    QtMsgType type;
    int line;
    std::string file, function, category;
    QString text;
};
std::vector<HeldMessage> g_held;

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

QMessageLogContext ContextOf(const HeldMessage& held) {
    return QMessageLogContext(OrNull(held.file), held.line, OrNull(held.function), OrNull(held.category));
}

// Without a display Qt ends the program with an abort and advice to
// reinstall it: the user is told what is wrong instead, and the exit status
// is an ordinary failure.
void NoWindowWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        g_held.push_back({type, context.line, context.file ? context.file : "",
                          context.function ? context.function : "", context.category ? context.category : "", message});
        return;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool none = (!display || !*display) && (!wayland || !*wayland);
    std::fprintf(
        stderr, "tabulon: the window cannot be opened: %s.\n",
        none ? "there is no display (DISPLAY is not set)"
             : ("the display " + std::string(display && *display ? display : wayland) + " could not be used").c_str());
    std::fprintf(stderr,
                 "Start Tabulon in a graphical session, or make the list without a window:\n"
                 "  tabulon --make-list CONFIG.cfg\n");
    // Why a display that is set could not be used (a library missing, a
    // server that refused) only Qt can tell; without one it has nothing to add.
    if (!none && !g_held.empty()) {
        std::fprintf(stderr, "Qt said:\n");
        for (const HeldMessage& held : g_held)
            std::fprintf(stderr, "  %s\n",
                         qFormatLogMessage(held.type, ContextOf(held), held.text).toLocal8Bit().constData());
    }
    std::fflush(stderr);
    std::_Exit(BatchStatus::kFailed);
}

// The application has started: what Qt said meanwhile goes where it would have.
void PassOnHeldMessages() {
    if (g_qtMessages)
        for (const HeldMessage& held : g_held) g_qtMessages(held.type, ContextOf(held), held.text);
    g_held.clear();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int tabulon_run_window(const WindowStart& start) {
    g_qtMessages = qInstallMessageHandler(&NoWindowWithoutDisplay);
    // Qt is given the program's name alone: the configuration, whatever it
    // is called, is never taken for one of Qt's own options.
    int qtArgc = 1;
    qt::CQtApplication app(qtArgc, start.argv);
    qInstallMessageHandler(g_qtMessages);
    PassOnHeldMessages();
    // Where Qt would keep the framework's own settings (the program keeps
    // everything the user sets in the .cfg file).
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QApplication::setApplicationVersion(QStringLiteral(TABULON_VERSION));
    QApplication::setWindowIcon(qt::ApplicationIcon());
    // Lets the desktop match the window to the installed desktop entry.
    QApplication::setDesktopFileName(QStringLiteral(TABULON_APP_ID));
    // The folders of 'Add items', their files' tags read by TagLib.
    tags::CFoldersWithTags folders(start.folders);
    qt::CQtMainWindow window{{.shell = start.shell, .ftp = start.ftp, .folders = folders}};
    // The File menu lists the configurations opened in earlier runs too.
    window.Frame().RecentConfigurations().UseFile(RecentConfigurationsFile());
    window.show();
    // Once the desktop has put the window on the screen, so that any
    // question stands centred over it rather than where the window was
    // before it was placed; after two seconds regardless.
    const std::string cfgPath = start.cfgPath;
    std::function<void(int)> openWhenShown = [&window, &openWhenShown, cfgPath](int triesLeft) {
        const QWindow* handle = window.windowHandle();
        if (triesLeft > 0 && !(handle && handle->isExposed())) {
            QTimer::singleShot(20, &window, [&openWhenShown, triesLeft] { openWhenShown(triesLeft - 1); });
            return;
        }
        window.Frame().RunCommand(StepNameOf(CommandId::kOpenConfiguration),
                                  [&window, &cfgPath] { window.Frame().OpenConfiguration(cfgPath); });
    };
    if (!cfgPath.empty()) QTimer::singleShot(0, &window, [&openWhenShown] { openWhenShown(100); });
    return app.exec();
}
