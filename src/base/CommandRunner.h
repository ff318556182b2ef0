#pragma once
// Where the user's commands enter the system, whoever starts them: the
// menus, the toolbar and its keys, the right-click menus, the buttons of the
// tool windows, the find bar and the gestures in a grid. The main window runs
// each one the same way (one step of work to undo, running out of memory
// told and taken back); the layers below it only hand their work over.

#include <string_view>
#include <type_traits>
#include <utility>

namespace tabulon {

// A call of something that lives while it is called, taken without copying
// it anywhere: handing work over asks for no memory, so it cannot fail
// before the guard that catches memory running out.
class CWorkRef {
public:
    template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, CWorkRef>>>
    CWorkRef(F&& work) noexcept  // NOLINT(google-explicit-constructor): lambdas are handed over as they are
        : m_object(const_cast<void*>(static_cast<const void*>(&work))),
          m_call([](void* object) { (*static_cast<std::remove_reference_t<F>*>(object))(); }) {}

    void operator()() const { m_call(m_object); }

private:
    void* m_object;
    void (*m_call)(void*);
};

class ICommandRunner {
public:
    // Runs work as one command of the user's, named step for Undo: what was
    // changed by hand before it becomes a step of its own, what it changes
    // is one step, and when memory runs out in it what it changed is taken
    // back and the user told. False when it ran out of memory.
    virtual bool RunCommand(std::string_view step, CWorkRef work) = 0;

protected:
    ~ICommandRunner() = default;
};

}  // namespace tabulon
