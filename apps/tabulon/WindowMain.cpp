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

#include "WindowEntry.h"
#include "app/BatchMakeList.h"
#include "app/CommandTable.h"
#include "base/ProgramName.h"
#include "qt/QtApplication.h"
#include "qt/QtMainWindow.h"
#include "qt/QtMainWindowIcons.h"

namespace {

using namespace tabulon;

QtMessageHandler g_qtMessages = nullptr;

// Without a display Qt ends the program with an abort and advice to
// reinstall it: the user is told what is wrong instead, and the exit status
// is an ordinary failure.
void NoWindowWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (g_qtMessages) g_qtMessages(type, context, message);
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
    std::fflush(stderr);
    std::_Exit(BatchStatus::kFailed);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int tabulon_run_window(const WindowStart& start) {
    g_qtMessages = qInstallMessageHandler(&NoWindowWithoutDisplay);
    // Qt is given the program's name alone: the configuration, whatever it
    // is called, is never taken for one of Qt's own options.
    int qtArgc = 1;
    qt::CQtApplication app(qtArgc, start.argv);
    qInstallMessageHandler(g_qtMessages);
    // Where Qt would keep the framework's own settings (the program keeps
    // everything the user sets in the .cfg file).
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QApplication::setApplicationVersion(QStringLiteral(TABULON_VERSION));
    QApplication::setWindowIcon(qt::ApplicationIcon());
    // Lets the desktop match the window to the installed desktop entry.
    QApplication::setDesktopFileName(QStringLiteral(TABULON_APP_ID));
    qt::CQtMainWindow window{{.shell = start.shell, .ftp = start.ftp, .folders = start.folders}};
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
