#pragma once
// A message box that records every call and answers from a script. With the
// script used up it answers the first button (OK or Yes).

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace tabulon::fakes {

struct ShownMessage {
    std::string text;
    std::string caption;
    MbIcon icon;
    MbButtons buttons;
};

class ScriptedMessageBox : public IMessageBox {
public:
    MbResult Show(const std::string& text, const std::string& caption, MbIcon icon, MbButtons buttons) override {
        shown.push_back({text, caption, icon, buttons});
        if (onShow) onShow();
        if (!script.empty()) {
            MbResult answer = script.front();
            script.pop_front();
            return answer;
        }
        return buttons == MbButtons::Ok || buttons == MbButtons::OkCancel ? MbResult::Ok : MbResult::Yes;
    }
    void Answer(MbResult result) { script.push_back(result); }

    std::vector<ShownMessage> shown;
    std::deque<MbResult> script;
    // Runs while the box is up, to look at what the user sees behind it.
    std::function<void()> onShow;
};

}  // namespace tabulon::fakes
