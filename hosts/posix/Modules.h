#pragma once
// The program's own parts that are loaded only when needed: the window (Qt)
// and the upload (libcurl). Making the list in batch mode loads neither, so
// it starts as fast as a plain command-line tool. The parts lie in a folder
// of their own, found from where the program itself is (never from the
// library search path), and stay loaded to the end of the process. A part of
// another build of the program is never loaded (see posix/BuildIdentity.h).

#include <memory>
#include <string>

namespace tabulon::posix {

// The file of the part called name ("window.so"), in the program's folder
// of parts; "" when the program's own folder cannot be found.
std::string ModulePath(const std::string& name);

// Opens the file of the part called name, once: the part loaded later is
// the one that was there now, whatever replaces the file in between (a
// package upgraded while the program runs). A file that cannot be opened is
// told of when the part is needed.
void OpenModule(const std::string& name);

// The entry point called symbol of the part called name, loading the part
// (opened by OpenModule, or now) the first time; nullptr, with why in
// reason, when the part or the entry cannot be found or the part is of
// another build.
void* ModuleEntry(const std::string& name, const char* symbol, std::string& reason);

// The object that the entry symbol of the part called name makes (the
// entry takes nothing and hands over what it made); nullptr, with why in
// failure, when the part or its entry cannot be had.
template <typename T>
std::unique_ptr<T> NewFromPart(const std::string& name, const char* symbol, const char* part, std::string& failure) {
    std::string reason;
    std::unique_ptr<T> made;
    if (auto* entry = reinterpret_cast<T* (*)()>(ModuleEntry(name, symbol, reason))) made.reset(entry());
    if (!made)
        failure = std::string("Tabulon's ") + part + " part could not be loaded" +
                  (reason.empty() ? std::string() : ": " + reason);
    return made;
}

// The object of a part, made the first time it is asked for; when it cannot
// be, Failure says why and every later call gets nullptr at once.
template <typename T>
class CPartObject {
public:
    CPartObject(const char* name, const char* symbol, const char* part)
        : m_name(name), m_symbol(symbol), m_part(part) {}

    T* Get() {
        if (!m_tried) {
            m_tried = true;
            m_object = NewFromPart<T>(m_name, m_symbol, m_part, m_failure);
        }
        return m_object.get();
    }
    // The object if it was made, without making it.
    T* IfMade() const { return m_object.get(); }
    const std::string& Failure() const { return m_failure; }

private:
    const char* m_name;
    const char* m_symbol;
    const char* m_part;
    std::unique_ptr<T> m_object;
    bool m_tried = false;
    std::string m_failure;
};

}  // namespace tabulon::posix
