#include "output/PagePublisher.h"

#include "output/OpenError.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

namespace tabulon {

CPagePublisher::CPagePublisher(IFtpSession& ftp, IShell& shell, IMessageBox& messages, IProgressHost& progress,
                               PublishMode mode)
    : m_ftp(ftp), m_shell(shell), m_messages(messages), m_progress(progress), m_mode(mode) {}

void CPagePublisher::UploadList(const CListConfig& config, const std::string& output) {
    m_note.clear();
    const bool window = m_mode == PublishMode::Window;
    m_lastUpload = tabulon::UploadList(config, output, m_ftp, m_messages, m_progress, window,
                                       [this, window](const std::string& text) {
                                           if (window)
                                               m_note = text;
                                           else
                                               m_messages.Show(text, "Ftp upload", MbIcon::Information, MbButtons::Ok);
                                       });
}

int CPagePublisher::OpenTarget(const std::string& file, int show) {
    if (m_mode == PublishMode::Batch) return OpenResult::kStarted;
    const int result = m_shell.OpenTarget(file, show);
    if (!OpenResult::Succeeded(result)) {
        // The page is there: a program that is not says so by its name.
        const std::string program = m_shell.ProgramNotStarted();
        const std::string reason =
            program.empty() ? OpenErrorText(result)
                            : "The program \"" + program + "\" could not be started:\n" + OpenErrorText(result);
        m_messages.Show("The list was written to\n" + file + "\n\nbut could not be opened for viewing:\n" + reason,
                        "Make list", MbIcon::Exclamation, MbButtons::Ok);
    }
    return result;
}

}  // namespace tabulon
