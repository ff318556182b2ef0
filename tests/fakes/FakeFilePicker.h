#pragma once
// A file picker that records the options of every call and answers from a
// script: a path, or Cancel. With the script used up it cancels.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/FilePicker.h"

namespace tabulon::fakes {

struct PickerCall {
    bool save;
    FilePickerOptions options;
};

class FakeFilePicker : public IFilePicker {
public:
    std::optional<std::string> PickOpenFile(const FilePickerOptions& options) override { return Next(false, options); }
    std::optional<std::string> PickSaveFile(const FilePickerOptions& options) override { return Next(true, options); }
    void Answer(const std::string& path) { script.emplace_back(path); }
    void Cancel() { script.emplace_back(std::nullopt); }
    // The filter pair the next answers come with, for pickers that ask.
    int filterAnswer = 0;

    std::vector<PickerCall> calls;
    std::deque<std::optional<std::string>> script;

private:
    std::optional<std::string> Next(bool save, const FilePickerOptions& options) {
        calls.push_back({save, options});
        if (options.chosenFilter) *options.chosenFilter = filterAnswer;
        if (script.empty()) return std::nullopt;
        std::optional<std::string> answer = script.front();
        script.pop_front();
        return answer;
    }
};

}  // namespace tabulon::fakes
