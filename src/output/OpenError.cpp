#include "output/OpenError.h"

#include "base/ProgramName.h"
#include "platform/MessageBox.h"

namespace tabulon {

std::string OpenErrorText(int code) {
    switch (code) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30: return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: return "Unknown Error (" + std::to_string(code) + ") occurred.";
    }
}

void ShowOpenError(IMessageBox& messages, int code) {
    messages.Show("Unable to open hyperlink:\n\n" + OpenErrorText(code), kProgramName, MbIcon::Exclamation,
                  MbButtons::Ok);
}

}  // namespace tabulon
