#pragma once
// Caps Lock, Num Lock and Scroll Lock for the status bar. Only the desktop
// knows them: on X11 the keyboard extension tells their lights and every
// change; where the platform tells nothing (Wayland, no screen), the locks
// are unknown and their indicators are left out.

#include <QObject>
#include <array>
#include <memory>
#include <optional>

class QLabel;

namespace tabulon::qt {

enum class LockKey { Caps, Num, Scroll };

class CQtLockKeys : public QObject {
    Q_OBJECT
public:
    using State = std::array<std::optional<bool>, 3>;  // by LockKey; none: unknown

    explicit CQtLockKeys(QObject* parent = nullptr) : QObject(parent) {}

    bool CanTell(LockKey key) const { return m_state[Index(key)].has_value(); }
    bool IsOn(LockKey key) const { return m_state[Index(key)].value_or(false); }

signals:
    void Changed();

protected:
    void SetState(const State& state);
    static std::size_t Index(LockKey key) { return static_cast<std::size_t>(key); }

private:
    State m_state;
};

// The locks as this desktop tells them: read from the X keyboard extension
// on X11, unknown elsewhere.
std::unique_ptr<CQtLockKeys> CreateLockKeys(QObject* parent = nullptr);

// The three indicators follow the locks: lit while on, dimmed while off,
// hidden while unknown.
void ShowLockKeys(QLabel* caps, QLabel* num, QLabel* scroll, CQtLockKeys& keys);

}  // namespace tabulon::qt
