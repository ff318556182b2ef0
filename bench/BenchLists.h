#pragma once
// What the whole-process benchmarks share: a folder with a generated list and
// its configuration, and running a program while timing it.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tabulon::bench {

struct ProcessFigures {
    double seconds = 0;
    double peakMb = 0;
    int status = -1;
};

// Runs argv with stdin from inputFile (when given) and its output discarded;
// wall time, peak memory and exit status.
ProcessFigures RunProcess(const std::vector<std::string>& argv, const std::string& inputFile = "");

// A figure of this process's /proc/self/status in kB: key "VmHWM:" is the
// peak of its memory, "VmRSS:" what it holds now; -1 when there is none.
long StatusKilobytes(const std::string& key);

// The wall time work takes, in seconds.
double Seconds(const std::function<void()>& work);

// root/COUNT with items.db (count generated items), head.htm, end.htm,
// list.cfg naming them (five columns, index mode 3) and sqlite.sql, a
// script that makes the same page with sqlite3.
std::filesystem::path PrepareList(const std::filesystem::path& root, std::size_t count);

}  // namespace tabulon::bench
