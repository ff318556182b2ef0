#pragma once
// What the user is told when a target could not be opened.

#include <string>

namespace tabulon {

class IMessageBox;

// The reason for an OpenResult failure code, as the message shows it.
std::string OpenErrorText(int code);

// "Unable to open hyperlink:" and the reason, with the exclamation icon.
void ShowOpenError(IMessageBox& messages, int code);

}  // namespace tabulon
