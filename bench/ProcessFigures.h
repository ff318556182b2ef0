#pragma once
// The time and peak memory of one run of another program, as a user sees
// them: the whole process, from start to exit.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tabulon::bench {

struct Figures {
    double seconds = 0;
    double peakMb = 0;
    int status = -1;
};

// Runs argv with stdin from inputFile (when given) and output discarded.
inline Figures RunProcess(const std::vector<std::string>& argv, const std::string& inputFile = "") {
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!inputFile.empty() && !std::freopen(inputFile.c_str(), "r", stdin)) std::_Exit(127);
        if (!std::freopen("/dev/null", "w", stdout)) std::_Exit(127);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        std::_Exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Figures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    f.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return f;
}

}  // namespace tabulon::bench
