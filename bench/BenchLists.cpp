#include "BenchLists.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "TableGenerator.h"

namespace fs = std::filesystem;

namespace tabulon::bench {

namespace {

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

long StatusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

ProcessFigures RunProcess(const std::vector<std::string>& argv, const std::string& inputFile) {
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
    ProcessFigures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    f.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return f;
}

fs::path PrepareList(const fs::path& root, std::size_t count) {
    const fs::path dir = root / std::to_string(count);
    fs::create_directories(dir);
    {
        std::ofstream db(dir / "items.db", std::ios::binary);
        CTableGenerator generator(7);
        for (std::size_t i = 0; i < count; ++i) db << JoinFields(generator.NextItem()) << "\r\n";
    }
    WriteFile(dir / "head.htm", "<html><body>\r\n");
    WriteFile(dir / "end.htm", "</body></html>\r\n");
    WriteFile(dir / "list.cfg",
              "[files]\r\ndatabase = items.db\r\noutput   = list.htm\r\nheadfile = head.htm\r\n"
              "endfile  = end.htm\r\n\r\n[colors]\r\nheadcol  = C0C0C0\r\nindexcol = E0E0E0\r\n"
              "firstcol = FFFFFF\r\nsecondcol= F0F0F0\r\n\r\n[grid]\r\nh-lines  = 1\r\nv-lines  = 1\r\n\r\n"
              "[other]\r\naddindex = 3\r\ncolumns  = Artist;Title;Year;Size;Genre");
    WriteFile(dir / "sqlite.sql",
              "CREATE TABLE items(artist, title, year, size, genre);\n"
              ".separator \";\" \"\\n\"\n"
              ".import '" +
                  (dir / "items.db").string() +
                  "' items\n"
                  ".mode html\n"
                  ".output '" +
                  (dir / "sqlite.htm").string() +
                  "'\n"
                  "SELECT * FROM items ORDER BY artist COLLATE NOCASE, title COLLATE NOCASE, year COLLATE NOCASE,"
                  " size COLLATE NOCASE, genre COLLATE NOCASE;\n");
    return dir;
}

}  // namespace tabulon::bench
