#include "qt/QtApplication.h"

#include <new>
#include <utility>

namespace tabulon::qt {

namespace {

std::function<void(const std::exception&)>& LastGuard() {
    static std::function<void(const std::exception&)> guard;
    return guard;
}

}  // namespace

void CQtApplication::SetLastGuard(std::function<void(const std::exception&)> guard) { LastGuard() = std::move(guard); }

bool CQtApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        try {
            if (LastGuard()) LastGuard()(error);
        } catch (const std::exception&) {
            // Not even the message could be shown: the event is dropped and
            // the program goes on.
        }
    }
    return false;
}

}  // namespace tabulon::qt
