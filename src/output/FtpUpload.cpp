#include "output/FtpUpload.h"

#include <memory>

#include "config/ListConfig.h"
#include "platform/FtpSession.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"

namespace tabulon {

namespace {

constexpr char kConnectionCaption[] = "Ftp connection error";
constexpr char kUploadCaption[] = "Ftp upload";
constexpr int kDefaultFtpPort = 21;

// Closes the connection and drops the progress callback however the upload ends.
class SessionGuard {
public:
    explicit SessionGuard(IFtpSession& ftp) : m_ftp(ftp) {}
    ~SessionGuard() {
        m_ftp.Close();
        m_ftp.SetProgress({});
    }
    SessionGuard(const SessionGuard&) = delete;
    SessionGuard& operator=(const SessionGuard&) = delete;

private:
    IFtpSession& m_ftp;
};

}  // namespace

std::string TemporaryRemoteName(const std::string& remote) { return remote + ".tabulon-part"; }

UploadOutcome UploadList(const CListConfig& config, const std::string& output, IFtpSession& ftp, IMessageBox& messages,
                         IProgressHost& progressHost) {
    const std::string& remote = config.filename;
    auto notUploaded = [&](const std::string& reason) {
        const std::string where = config.server.empty() || remote.empty()
                                      ? output + " was not sent."
                                      : output + " was not sent to " + config.server + " as " + remote + ".";
        messages.Show("The list could not be uploaded:\n\n" + reason + "\n\n" + where, kUploadCaption, MbIcon::Stop,
                      MbButtons::Ok);
        return UploadOutcome::NotUploaded;
    };
    auto cancelled = [&] {
        messages.Show("The list was written to " + output + " but not uploaded: the upload was cancelled.",
                      kUploadCaption, MbIcon::Information, MbButtons::Ok);
        return UploadOutcome::Cancelled;
    };

    if (config.server.empty()) return notUploaded("No FTP server is named in the configuration.");
    if (remote.empty()) return notUploaded("No remote file name is set in the configuration.");

    std::unique_ptr<IProgress> progress = progressHost.BeginProgress(kUploadCaption, true);
    ftp.SetProgress([&progress](std::uint64_t sent, std::uint64_t total) { return progress->Step(sent, total); });
    SessionGuard guard(ftp);

    progress->SetText("Connecting to " + config.server);
    const int port = config.port == 0 ? kDefaultFtpPort : config.port;
    FtpResult result = ftp.Connect(config.server, config.loginname, config.password, port);
    if (result.status == FtpStatus::Cancelled) return cancelled();
    if (!result.Ok()) {
        messages.Show(result.text, kConnectionCaption, MbIcon::Stop, MbButtons::Ok);
        return UploadOutcome::NotConnected;
    }

    progress->SetText("Sending " + output + " to " + config.server);
    const std::string temporary = TemporaryRemoteName(remote);
    result = ftp.PutFile(output, temporary);
    if (result.Ok()) {
        const FtpResult renamed = ftp.Rename(temporary, remote);
        if (renamed.Ok()) return UploadOutcome::Uploaded;
        if (renamed.status == FtpStatus::Cancelled) return cancelled();
        // Some servers refuse to rename onto an existing file, or at all:
        // the page then goes straight to its name.
        result = ftp.PutFile(output, remote);
    }
    // A cancel returns at once; a server that stalled would only stall the
    // clean-up too, and the next upload replaces what is left.
    if (result.status == FtpStatus::Cancelled) return cancelled();
    // Nothing half-sent or left over stays beside the page.
    ftp.Delete(temporary);
    if (result.Ok()) return UploadOutcome::Uploaded;
    return notUploaded(result.text);
}

}  // namespace tabulon
