#include "batch/BatchHost.h"

namespace tabulon::batch {

std::string CStderrMessageBox::AsLines(const std::string& text) {
    std::string lines;
    int breaks = 0;  // line feeds since the last character of text
    bool pendingBlank = false;
    for (char c : text) {
        if (c == '\r') {
            pendingBlank = true;
            continue;
        }
        if (c == '\n') {
            ++breaks;
            continue;
        }
        if (!lines.empty()) {
            if (breaks >= 2)
                lines += "\n  ";
            else if (breaks == 1 || pendingBlank)
                lines += ' ';
        }
        breaks = 0;
        pendingBlank = false;
        lines += c;
    }
    return lines;
}

MbResult CStderrMessageBox::Show(const std::string& text, const std::string& caption, MbIcon, MbButtons buttons) {
    std::fprintf(m_to, "%s: %s\n", caption.c_str(), AsLines(text).c_str());
    std::fflush(m_to);
    switch (buttons) {
    case MbButtons::Ok: return MbResult::Ok;
    case MbButtons::OkCancel: return MbResult::Cancel;
    case MbButtons::YesNo: return MbResult::No;
    case MbButtons::YesNoCancel: return MbResult::Cancel;
    }
    return MbResult::Cancel;
}

}  // namespace tabulon::batch
