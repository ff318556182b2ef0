#include "output/FtpUpload.h"

#include <memory>
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

UploadOutcome UploadList(const CListConfig& config, const std::string& output, IFtpSession& ftp, IMessageBox& messages,
                         IProgressHost& progressHost, bool askUser, const UploadNote& note) {
    const std::string& remote = config.filename;
    std::unique_ptr<IProgress> progress;
    // Every message comes after the progress window has gone.
    const auto show = [&](const std::string& text, const char* caption, MbIcon icon) {
        progress.reset();
        messages.Show(text, caption, icon, MbButtons::Ok);
    };
    std::string leftOver;  // what could not be removed from the server, said after the failure
    auto notUploaded = [&](const std::string& reason) {
        const std::string where = config.server.empty() || remote.empty()
                                      ? output + " was not sent."
                                      : output + " was not sent to " + config.server + " as " + remote + ".";
        show("The list could not be uploaded:\n\n" + ServerTextAsShown(reason, config.password) + "\n\n" + where +
                 leftOver,
             kUploadCaption, MbIcon::Stop);
        return UploadOutcome::NotUploaded;
    };
    auto cancelled = [&] {
        show("The list was written to " + output + " but not uploaded: the upload was cancelled." + leftOver,
             kUploadCaption, MbIcon::Information);
        return UploadOutcome::Cancelled;
    };

    if (config.server.empty()) return notUploaded("No FTP server is named in the configuration.");
    if (remote.empty()) return notUploaded("No remote file name is set in the configuration.");
    const int protocol = UploadProtocolIndex(config.protocol);
    // Anything else might be taken for less safety than the user meant.
    if (protocol < 0) return notUploaded("The protocol \"" + config.protocol + "\" is not one of ftp, ftps and sftp.");

    progress = progressHost.BeginProgress(kUploadCaption, true);
    bool cleaningUp = false;
    // While the clean-up runs the window stays painted, but it cannot be
    // cancelled: it is short, and the user has cancelled once already.
    ftp.SetProgress([&progress, &cleaningUp](std::uint64_t sent, std::uint64_t total) {
        if (!cleaningUp && EndingSignalArrived()) return false;
        const bool goOn = !progress || progress->Step(sent, total);
        return goOn || cleaningUp;
    });
    SessionGuard guard(ftp);

    progress->SetText("Connecting to " + config.server);
    const int port = config.port == 0 ? kUploadProtocols[protocol].port : config.port;
    // The question comes without the progress window, which is back after it.
    UnknownHostKey askForKey;
    if (askUser)
        askForKey = [&](const std::string& host, const std::string& fingerprint) {
            progress.reset();
            const bool yes =
                messages.Show("The server " + host + " is not known yet. Its host key has the fingerprint\n\n" +
                                  fingerprint +
                                  "\n\nCompare it with the one the server's owner gives. Trust this server from "
                                  "now on?",
                              kUploadCaption, MbIcon::Question, MbButtons::YesNo) == MbResult::Yes;
            progress = progressHost.BeginProgress(kUploadCaption, true);
            progress->SetText("Connecting to " + config.server);
            return yes;
        };
    ftp.SetSecurity(kSessionProtocols[protocol], ResolveConfigPath(config, config.certfile), askForKey);
    ftp.SetTimeouts(kConnectSeconds, kStallSeconds);
    FtpResult result = ftp.Connect(config.server, config.loginname, config.password, port);
    if (!result.Ok()) {
        ftp.Abandon();
        if (result.status == FtpStatus::Cancelled) return cancelled();
        // A host key trusted but not saved is said here too, or never.
        const std::string notice = result.notice.empty() ? "" : "\n\n" + result.notice;
        show(ServerTextAsShown(result.text, config.password) + notice, kConnectionCaption, MbIcon::Stop);
        return UploadOutcome::NotConnected;
    }
    if (!result.notice.empty()) {
        show(result.notice, kUploadCaption, MbIcon::Exclamation);
        progress = progressHost.BeginProgress(kUploadCaption, true);
    }

    const std::string temporary = TemporaryRemoteName(remote);
    bool removed = true;
    {
        // From here a part of the page may be on the server: a signal that
        // would end the program stops the upload instead and ends it once the
        // part is gone, as the block ends.
        const CEndingDeferred ending;
        // An earlier run ended before it could remove its part.
        if (ftp.Delete(temporary).Ok() && note)
            note("Removed " + temporary + " from " + config.server +
                 ", left there by an earlier upload that did not finish.");
        progress->SetText("Sending " + output + " to " + config.server);
        const FtpResult sent =
            EndingSignalArrived() ? FtpResult{FtpStatus::Cancelled, "Cancelled."} : ftp.PutFile(output, temporary);
        result = sent;
        if (sent.Ok()) {
            const FtpResult renamed = ftp.Rename(temporary, remote);
            if (renamed.Ok()) return UploadOutcome::Uploaded;
            // Some servers refuse to rename onto an existing file, or at all:
            // the page then goes straight to its name. A rename that got no
            // answer is a connection that is gone.
            result = renamed.ReplyCode() >= 500 && !EndingSignalArrived() ? ftp.PutFile(output, remote) : renamed;
        }
        // Nothing half-sent or left over may stay beside the page, where
        // visitors could fetch it: over the same connection while the server
        // answers, else over a new one, briefly.
        const bool partOnServer = sent.Ok() || sent.ReplyCode() == 0;
        cleaningUp = true;
        if (EndingSignalArrived()) ftp.SetTimeLimit(kSignalCleanUpMilliseconds);
        if (result.Ok() || result.ReplyCode() != 0) {
            removed = ftp.Delete(temporary).Ok() || !partOnServer;
        } else {
            ftp.Abandon();
            if (partOnServer) {
                if (progress) progress->SetText("Removing " + temporary + " from " + config.server);
                ftp.SetTimeouts(kCleanUpSeconds, kCleanUpSeconds);
                // A host key accepted for the upload is known by now.
                removed = ftp.Connect(config.server, config.loginname, config.password, port).Ok() &&
                          ftp.Delete(temporary).Ok();
                ftp.Abandon();
            }
        }
    }
    if (result.Ok()) return UploadOutcome::Uploaded;
    if (!removed)
        leftOver =
            "\n\nThe part sent, " + temporary + ", could not be removed from " + config.server + ": delete it there.";
    if (result.status == FtpStatus::Cancelled) return cancelled();
    return notUploaded(result.text);
}

}  // namespace tabulon
