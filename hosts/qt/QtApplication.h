#pragma once
// The window's application object. Every command catches memory running out
// itself; should an exception still reach the event loop (a paint, a timer,
// a handler no command wraps), the last guard set here is told instead of
// the program ending with the user's unsaved work.

#include <QApplication>
#include <exception>
#include <functional>

namespace tabulon::qt {

class CQtApplication final : public QApplication {
    Q_OBJECT
public:
    CQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // What becomes of an exception that reached the event loop; the main
    // window sets it while it is there. Without one the event is dropped.
    static void SetLastGuard(std::function<void(const std::exception&)> guard);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace tabulon::qt
