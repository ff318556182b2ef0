#include "output/FtpUpload.h"

#include <memory>
#include <optional>
#include <string>

#include "base/ShownText.h"
#include "base/TextFile.h"
#include "config/ConfigFile.h"
#include "config/ListConfig.h"
#include "platform/FtpSession.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"

namespace tabulon {

namespace {

constexpr char kConnectionCaption[] = "Ftp connection error";
constexpr char kUploadCaption[] = "Ftp upload";

// What the session makes of each of kUploadProtocols, in its order.
constexpr FtpProtocol kSessionProtocols[] = {FtpProtocol::Ftp, FtpProtocol::Ftps, FtpProtocol::Sftp};
static_assert(std::size(kSessionProtocols) == std::size(kUploadProtocols));
// How long connecting and each wait for the server may take; the clean-up
// after a failure has shorter limits of its own.
constexpr long kConnectSeconds = 30;
constexpr long kStallSeconds = 60;
constexpr long kCleanUpSeconds = 10;
// After a signal the part must be gone, and the program ended, within 10
// seconds: up to one goes by before the transfer notices.
constexpr long kSignalCleanUpMilliseconds = 7000;

// Closes the connection and drops the progress callback however the upload ends.
class SessionGuard {
public:
    explicit SessionGuard(IFtpSession& ftp) : m_ftp(ftp) {}
    ~SessionGuard() {
        m_ftp.Close();
        m_ftp.SetProgress({});
        m_ftp.SetTimeLimit(0);
    }
    SessionGuard(const SessionGuard&) = delete;
    SessionGuard& operator=(const SessionGuard&) = delete;

private:
    IFtpSession& m_ftp;
};

}  // namespace

std::string TemporaryRemoteName(const std::string& remote) { return remote + ".tabulon-part"; }

std::string ServerTextAsShown(std::string text, const std::string& password) {
    // A server may repeat what it was sent.
    MaskPassword(text, password);
    // Control characters would be obeyed by a terminal (colours, its title,
    // a cleared screen): each shows as "?". Line ends stay, without their CR.
    std::erase(text, '\r');
    const bool utf8 = IsValidUtf8(text);
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const bool control = (byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F;
        if (utf8 && byte == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) < 0xA0) {
            shown += '?';  // U+0080 to U+009F, controls too
            ++at;
        } else if (control || (byte >= 0x80 && !utf8)) {
            shown += '?';
        } else {
            shown += static_cast<char>(byte);
        }
    }
    return shown;
}

namespace {

// One upload of the page: the progress window, every message to the user,
// and what the upload may have left on the server.
class CUpload {
public:
    CUpload(const CListConfig& config, const std::string& output, IFtpSession& ftp, IMessageBox& messages,
            IProgressHost& progressHost)
        : m_config(config),
          m_remote(config.filename),
          m_output(output),
          m_ftp(ftp),
          m_messages(messages),
          m_progressHost(progressHost) {}

    UploadOutcome Run(bool askUser, const UploadNote& note);

private:
    // Every message comes after the progress window has gone.
    void Show(const std::string& text, const char* caption, MbIcon icon) {
        m_progress.reset();
        m_messages.Show(text, caption, icon, MbButtons::Ok);
    }
    UploadOutcome NotUploaded(const std::string& reason);
    UploadOutcome Cancelled();
    // The question whether to trust a host key not known yet.
    UnknownHostKey AskForKey();
    // Connects and logs in; the outcome shown when that failed.
    std::optional<UploadOutcome> Connect(int protocol, bool askUser);
    // Sends the page under temporary and renames it to its own name, else
    // sends it straight there when the server refuses the rename.
    // partOnServer: what was sent under temporary may still be there.
    FtpResult SendAndRename(const std::string& temporary, bool& partOnServer);
    // Removes temporary after the upload failed; false when it may still be there.
    bool RemovePart(const std::string& temporary, const FtpResult& result, bool partOnServer);

    const CListConfig& m_config;
    const std::string& m_remote;
    const std::string& m_output;
    IFtpSession& m_ftp;
    IMessageBox& m_messages;
    IProgressHost& m_progressHost;
    std::unique_ptr<IProgress> m_progress;
    int m_port = 0;
    bool m_cleaningUp = false;
    std::string m_leftOver;  // what could not be removed from the server, said after the failure
};

UploadOutcome CUpload::NotUploaded(const std::string& reason) {
    const std::string where = m_config.server.empty() || m_remote.empty()
                                  ? m_output + " was not sent."
                                  : m_output + " was not sent to " + m_config.server + " as " + m_remote + ".";
    Show("The list could not be uploaded:\n\n" + ServerTextAsShown(reason, m_config.password) + "\n\n" + where +
             m_leftOver,
         kUploadCaption, MbIcon::Stop);
    return UploadOutcome::NotUploaded;
}

UploadOutcome CUpload::Cancelled() {
    Show("The list was written to " + m_output + " but not uploaded: the upload was cancelled." + m_leftOver,
         kUploadCaption, MbIcon::Information);
    return UploadOutcome::Cancelled;
}

UnknownHostKey CUpload::AskForKey() {
    // The question comes without the progress window, which is back after it.
    return [this](const std::string& host, const std::string& fingerprint) {
        m_progress.reset();
        const bool yes =
            m_messages.Show("The server " + host + " is not known yet. Its host key has the fingerprint\n\n" +
                                fingerprint +
                                "\n\nCompare it with the one the server's owner gives. Trust this server from "
                                "now on?",
                            kUploadCaption, MbIcon::Question, MbButtons::YesNo) == MbResult::Yes;
        m_progress = m_progressHost.BeginProgress(kUploadCaption, true);
        m_progress->SetText("Connecting to " + m_config.server);
        return yes;
    };
}

std::optional<UploadOutcome> CUpload::Connect(int protocol, bool askUser) {
    m_progress->SetText("Connecting to " + m_config.server);
    m_port = m_config.port == 0 ? kUploadProtocols[protocol].port : m_config.port;
    m_ftp.SetSecurity(kSessionProtocols[protocol], ResolveConfigPath(m_config, m_config.certfile),
                      askUser ? AskForKey() : UnknownHostKey());
    m_ftp.SetTimeouts(kConnectSeconds, kStallSeconds);
    const FtpResult result = m_ftp.Connect(m_config.server, m_config.loginname, m_config.password, m_port);
    if (!result.Ok()) {
        m_ftp.Abandon();
        if (result.status == FtpStatus::Cancelled) return Cancelled();
        // A host key trusted but not saved is said here too, or never.
        const std::string notice = result.notice.empty() ? "" : "\n\n" + result.notice;
        Show(ServerTextAsShown(result.text, m_config.password) + notice, kConnectionCaption, MbIcon::Stop);
        return UploadOutcome::NotConnected;
    }
    if (!result.notice.empty()) {
        Show(result.notice, kUploadCaption, MbIcon::Exclamation);
        m_progress = m_progressHost.BeginProgress(kUploadCaption, true);
    }
    return std::nullopt;
}

FtpResult CUpload::SendAndRename(const std::string& temporary, bool& partOnServer) {
    m_progress->SetText("Sending " + m_output + " to " + m_config.server);
    const FtpResult sent =
        EndingSignalArrived() ? FtpResult{FtpStatus::Cancelled, "Cancelled."} : m_ftp.PutFile(m_output, temporary);
    partOnServer = sent.Ok() || sent.ReplyCode() == 0;
    if (!sent.Ok()) return sent;
    const FtpResult renamed = m_ftp.Rename(temporary, m_remote);
    if (renamed.Ok()) {
        partOnServer = false;  // it is the page now
        return renamed;
    }
    // Some servers refuse to rename onto an existing file, or at all: the
    // page then goes straight to its name. A rename that got no answer is a
    // connection that is gone.
    return renamed.ReplyCode() >= 500 && !EndingSignalArrived() ? m_ftp.PutFile(m_output, m_remote) : renamed;
}

bool CUpload::RemovePart(const std::string& temporary, const FtpResult& result, bool partOnServer) {
    // Nothing half-sent or left over may stay beside the page, where
    // visitors could fetch it: over the same connection while the server
    // answers, else over a new one, briefly.
    m_cleaningUp = true;
    if (EndingSignalArrived()) m_ftp.SetTimeLimit(kSignalCleanUpMilliseconds);
    if (result.Ok() || result.ReplyCode() != 0) return m_ftp.Delete(temporary).Ok() || !partOnServer;
    m_ftp.Abandon();
    if (!partOnServer) return true;
    if (m_progress) m_progress->SetText("Removing " + temporary + " from " + m_config.server);
    m_ftp.SetTimeouts(kCleanUpSeconds, kCleanUpSeconds);
    // A host key accepted for the upload is known by now.
    const bool removed = m_ftp.Connect(m_config.server, m_config.loginname, m_config.password, m_port).Ok() &&
                         m_ftp.Delete(temporary).Ok();
    m_ftp.Abandon();
    return removed;
}

UploadOutcome CUpload::Run(bool askUser, const UploadNote& note) {
    if (m_config.server.empty()) return NotUploaded("No FTP server is named in the configuration.");
    if (m_remote.empty()) return NotUploaded("No remote file name is set in the configuration.");
    const int protocol = UploadProtocolIndex(m_config.protocol);
    // Anything else might be taken for less safety than the user meant.
    if (protocol < 0)
        return NotUploaded("The protocol \"" + m_config.protocol + "\" is not one of ftp, ftps and sftp.");

    m_progress = m_progressHost.BeginProgress(kUploadCaption, true);
    // While the clean-up runs the window stays painted, but it cannot be
    // cancelled: it is short, and the user has cancelled once already.
    m_ftp.SetProgress([this](std::uint64_t sent, std::uint64_t total) {
        if (!m_cleaningUp && EndingSignalArrived()) return false;
        const bool goOn = !m_progress || m_progress->Step(sent, total);
        return goOn || m_cleaningUp;
    });
    SessionGuard guard(m_ftp);
    if (const std::optional<UploadOutcome> failed = Connect(protocol, askUser)) return *failed;

    const std::string temporary = TemporaryRemoteName(m_remote);
    FtpResult result;
    bool removed = true;
    {
        // From here a part of the page may be on the server: a signal that
        // would end the program stops the upload instead and ends it once the
        // part is gone, as the block ends.
        const CEndingDeferred ending;
        // An earlier run ended before it could remove its part.
        if (m_ftp.Delete(temporary).Ok() && note)
            note("Removed " + temporary + " from " + m_config.server +
                 ", left there by an earlier upload that did not finish.");
        bool partOnServer = false;
        result = SendAndRename(temporary, partOnServer);
        if (result.Ok() && !partOnServer) return UploadOutcome::Uploaded;
        removed = RemovePart(temporary, result, partOnServer);
    }
    if (result.Ok()) return UploadOutcome::Uploaded;
    if (!removed)
        m_leftOver =
            "\n\nThe part sent, " + temporary + ", could not be removed from " + m_config.server + ": delete it there.";
    if (result.status == FtpStatus::Cancelled) return Cancelled();
    return NotUploaded(result.text);
}

}  // namespace

UploadOutcome UploadList(const CListConfig& config, const std::string& output, IFtpSession& ftp, IMessageBox& messages,
                         IProgressHost& progressHost, bool askUser, const UploadNote& note) {
    return CUpload(config, output, ftp, messages, progressHost).Run(askUser, note);
}

}  // namespace tabulon
