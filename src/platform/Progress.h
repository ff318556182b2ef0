#pragma once
// Work that may run long on a big list tells the user how far it has got and,
// where stopping halfway is safe, lets them cancel it. The host shows its
// progress window only once the work has run for about half a second, and
// keeps the program's windows painted while the work goes on; quick work
// shows nothing.

#include <cstdint>
#include <memory>
#include <string>

namespace tabulon {

// One piece of long work; it ends when the object is destroyed.
class IProgress {
public:
    virtual ~IProgress() = default;
    // What is being done now ("Loading items", the folder being measured).
    virtual void SetText(const std::string& text) = 0;
    // done of total units (total 0: unknown). Cheap enough to call for every
    // row: the host looks at the clock only now and then. False once the
    // user has cancelled; the work then stops and undoes what it must.
    virtual bool Step(std::uint64_t done, std::uint64_t total) = 0;
    virtual bool Cancelled() const = 0;
};

class IProgressHost {
public:
    virtual ~IProgressHost() = default;
    // Starts reporting work titled caption; cancellable adds a Cancel button.
    virtual std::unique_ptr<IProgress> BeginProgress(const std::string& caption, bool cancellable) = 0;
};

// For hosts where nobody watches (batch mode, tests that do not care).
class CSilentProgress final : public IProgress {
public:
    void SetText(const std::string&) override {}
    bool Step(std::uint64_t, std::uint64_t) override { return true; }
    bool Cancelled() const override { return false; }
};

class CSilentProgressHost final : public IProgressHost {
public:
    std::unique_ptr<IProgress> BeginProgress(const std::string&, bool) override {
        return std::make_unique<CSilentProgress>();
    }
};

}  // namespace tabulon
