#include "qt/QtLockKeys.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QLabel>
#if defined(TABULON_HAVE_XKB) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#endif

#include "qt/XkbIndicators.h"

namespace tabulon::qt {

void CQtLockKeys::SetState(const State& state) {
    if (state == m_state) return;
    m_state = state;
    emit Changed();
}

namespace {

class CXkbLockKeys final : public CQtLockKeys, public QAbstractNativeEventFilter {
public:
    CXkbLockKeys(const xkb::Indicators& indicators, QObject* parent) : CQtLockKeys(parent), m_indicators(indicators) {
        Apply(indicators.state);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~CXkbLockKeys() override {
        if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type == "xcb_generic_event_t")
            if (const auto state = xkb::StateFromEvent(m_indicators, message)) Apply(*state);
        return false;  // Qt still sees every event
    }

private:
    void Apply(std::uint32_t lights) {
        State state;
        for (std::size_t i = 0; i < state.size(); ++i)
            if (const int bit = m_indicators.bit[i]; bit >= 0) state[i] = (lights >> bit) & 1u;
        SetState(state);
    }

    xkb::Indicators m_indicators;
};

}  // namespace

std::unique_ptr<CQtLockKeys> CreateLockKeys(QObject* parent) {
#if defined(TABULON_HAVE_XKB) && QT_CONFIG(xcb)
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        if (const auto indicators = xkb::Open(x11->display()))
            return std::make_unique<CXkbLockKeys>(*indicators, parent);
#endif
    return std::make_unique<CQtLockKeys>(parent);
}

void ShowLockKeys(QLabel* caps, QLabel* num, QLabel* scroll, CQtLockKeys& keys) {
    const auto update = [caps, num, scroll, &keys] {
        const std::pair<QLabel*, LockKey> indicators[] = {
            {caps, LockKey::Caps}, {num, LockKey::Num}, {scroll, LockKey::Scroll}};
        for (const auto& [label, key] : indicators) {
            if (!label) continue;
            label->setVisible(keys.CanTell(key));
            label->setEnabled(keys.IsOn(key));
        }
    };
    update();
    QObject* context = caps ? static_cast<QObject*>(caps) : &keys;
    QObject::connect(&keys, &CQtLockKeys::Changed, context, update);
}

}  // namespace tabulon::qt
