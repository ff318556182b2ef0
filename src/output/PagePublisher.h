#pragma once
// What follows a written list page, over the host's FTP connection and
// shell: upload first, then viewing, as the configuration asks.

#include <optional>
#include <string>

#include "output/FtpUpload.h"
#include "platform/ListPublisher.h"

namespace tabulon {

class IFtpSession;
class IMessageBox;
class IProgressHost;
class IShell;

enum class PublishMode {
    Window,  // a person watches: progress, and the page opens when asked
    Batch,   // nobody watches: no viewer is ever opened
};

class CPagePublisher final : public IListPublisher {
public:
    CPagePublisher(IFtpSession& ftp, IShell& shell, IMessageBox& messages, IProgressHost& progress,
                   PublishMode mode = PublishMode::Window);

    void UploadList(const CListConfig& config, const std::string& output) override;
    // Window mode opens file and tells the user when no program could show
    // it; batch mode opens nothing and reports success.
    int OpenTarget(const std::string& file, int show) override;
    // Batch mode says it on standard error at once instead.
    std::string UploadNote() const override { return m_note; }
    bool Uploaded() const override { return m_lastUpload && *m_lastUpload == UploadOutcome::Uploaded; }

    // How the last upload ended; empty before the first.
    std::optional<UploadOutcome> LastUpload() const { return m_lastUpload; }
    // An upload was asked for and the page did not reach the server.
    bool UploadFailed() const { return m_lastUpload && *m_lastUpload != UploadOutcome::Uploaded; }

private:
    IFtpSession& m_ftp;
    IShell& m_shell;
    IMessageBox& m_messages;
    IProgressHost& m_progress;
    PublishMode m_mode;
    std::optional<UploadOutcome> m_lastUpload;
    std::string m_note;
};

}  // namespace tabulon
