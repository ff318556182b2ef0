#include "batch/BatchHost.h"

namespace tabulon::batch {

std::string CStderrMessageBox::OneLine(const std::string& text) {
    std::string line;
    bool inBreak = false;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            inBreak = true;
            continue;
        }
        if (inBreak && !line.empty()) line += ' ';
        inBreak = false;
        line += c;
    }
    return line;
}

MbResult CStderrMessageBox::Show(const std::string& text, const std::string& caption, MbIcon,
                                 MbButtons buttons) {
    std::fprintf(m_to, "%s: %s\n", caption.c_str(), OneLine(text).c_str());
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
