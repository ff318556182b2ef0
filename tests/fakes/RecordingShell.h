#pragma once
// A shell that opens nothing: it records each target it was asked to open,
// with the show mode, and answers with the result a test sets.

#include <string>
#include <vector>

#include "platform/Shell.h"

namespace tabulon::fakes {

struct RecordingShell : IShell {
    bool RunAssociatedCommand(const std::string&, const std::string&, int) override { return false; }
    int OpenTarget(const std::string& target, int show) override {
        opened.push_back(target + " " + std::to_string(show));
        return result;
    }
    std::string ProgramNotStarted() const override { return notStarted; }

    std::vector<std::string> opened;
    int result = OpenResult::kStarted;
    std::string notStarted;
};

}  // namespace tabulon::fakes
