#pragma once
// What the harnesses share: a session whose hosts answer as nobody would,
// a folder of scratch files that lives as long as the process, and the way a
// harness reports a finding (an abort, which libFuzzer keeps with its input).

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "HeadlessSession.h"
#include "grid/CellPool.h"
#include "grid/GridCtrl.h"

namespace tabulon::fuzz {

[[noreturn]] inline void Finding(std::string_view what) {
    std::fprintf(stderr, "FINDING: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

// Files of one harness process, in memory where the system offers it.
class ScratchFiles {
public:
    ScratchFiles() {
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::path shm = "/dev/shm";
        const fs::path base =
            fs::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0 ? shm : fs::temp_directory_path();
        m_folder = base / ("tabulon-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(m_folder, ec);
    }
    ~ScratchFiles() {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    std::string Path(const std::string& name) const { return (m_folder / name).string(); }
    // Plain system calls: a stream's buffer would cost more than the file.
    std::string Write(const std::string& name, std::string_view bytes) const {
        const std::string path = Path(name);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            Finding("the harness cannot write its input file");
        ::close(fd);
        return path;
    }
    static std::string Read(const std::string& path) {
        std::string bytes;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return bytes;
        char block[512];
        for (ssize_t got; (got = ::read(fd, block, sizeof block)) > 0;)
            bytes.append(block, static_cast<std::size_t>(got));
        ::close(fd);
        return bytes;
    }

private:
    std::filesystem::path m_folder;
};

// One session for the whole run; each input starts it afresh.
struct World : fakes::HeadlessSession {
    World() {
        // The address sanitizer watches every cell only when the pool is off.
        if (cellpool::IsPooled()) Finding("the cell pool is on under the address sanitizer");
    }

    // Lets go of what an input loaded. An input that frees less than it
    // allocated makes libFuzzer run it again and search the whole heap for a
    // leak, which would take most of the run's time.
    void Empty() {
        session.DatabasePane().ClearDatabase();
        CGridCtrl& items = *session.NewItemsPane().GetGrid();
        items.DeleteNonFixedRows();
        for (int col = items.GetColumnCount() - 1; col >= 1; --col) items.DeleteColumn(col);
        // What was deleted went into the steps to undo: they go too.
        session.Frame().UndoStack().Clear();
        messages.shown.clear();
        publisher.calls.clear();
    }
};

// Empties the world when an input is done, however the harness returns.
class EmptiedAfter {
public:
    explicit EmptiedAfter(World& world) : m_world(world) {}
    ~EmptiedAfter() { m_world.Empty(); }
    EmptiedAfter(const EmptiedAfter&) = delete;
    EmptiedAfter& operator=(const EmptiedAfter&) = delete;

private:
    World& m_world;
};

}  // namespace tabulon::fuzz
