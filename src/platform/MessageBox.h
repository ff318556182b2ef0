#pragma once
// Modal message boxes: a text, a caption, an icon and a set of buttons.

#include <string>

namespace tabulon {

enum class MbIcon { None, Information, Question, Exclamation, Stop };
enum class MbButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MbResult { Ok, Cancel, Yes, No };

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual MbResult Show(const std::string& text, const std::string& caption, MbIcon icon, MbButtons buttons) = 0;
};

}  // namespace tabulon
