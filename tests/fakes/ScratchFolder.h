#pragma once
// A folder of its own for each test, with small helpers for the files in it.
// It is made empty at the start of the test and removed at its end.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tabulon::fakes {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = prefix + "-" + std::to_string(::getpid());
        if (test) name += std::string("-") + test->test_suite_name() + "-" + test->name();
        folder = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }
    // Writes bytes to the file name in the folder; its path.
    std::string MakeFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    std::filesystem::path folder;
};

}  // namespace tabulon::fakes
