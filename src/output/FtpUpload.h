#pragma once
// Sending the written list page to the FTP server of the configuration.

#include <functional>
#include <string>

namespace tabulon {

struct CListConfig;
class IFtpSession;
class IMessageBox;
class IProgressHost;

enum class UploadOutcome {
    Uploaded,
    NotConnected,  // no connection or no login: "Ftp connection error" was shown
    NotUploaded,   // a setting is missing, or the server or the network refused the page
    Cancelled,     // the user stopped it
};

// What an upload did beside its work that needs no answer, in a sentence.
using UploadNote = std::function<void(const std::string& text)>;

// Sends output to config.server as config.filename over the configuration's
// protocol (FTP, FTP with TLS required, or SFTP), logged in with its name and
// password on its port (0: the protocol's own, 21 or 22). The
// page travels under a temporary name beside filename and is renamed when
// complete, so nobody fetches half a page; a server that refuses the rename
// gets the page straight under filename. Every failure is shown to the user
// once, after the progress window has gone, and the password is never part
// of a message. While it runs longer than a moment, progress shows the bytes
// sent and lets the user cancel. Connecting may take 30 seconds and each
// wait for the server 60; after a failure, a time-out or a cancel the
// connection is dropped without waiting, and the part sent is removed
// within shorter limits (or the user told that it could not be). An SFTP
// server whose host key is unknown is trusted only when askUser and the
// user says so. An earlier run's part found on the server is removed first,
// and note told so. A signal that would end the program stops the upload;
// the part is removed within 10 seconds, and then the program ends.
UploadOutcome UploadList(const CListConfig& config, const std::string& output, IFtpSession& ftp, IMessageBox& messages,
                         IProgressHost& progress, bool askUser = false, const UploadNote& note = {});

// The name the page travels under before it is renamed to remote.
std::string TemporaryRemoteName(const std::string& remote);

// A server's text as the user is shown it: the password masked where the
// server repeats it, control characters as "?".
std::string ServerTextAsShown(std::string text, const std::string& password);

}  // namespace tabulon
