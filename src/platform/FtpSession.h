#pragma once
// A connection to an FTP or SFTP server: log in, send a file, rename or remove one,
// close. Every call blocks until the server has answered; the progress
// callback runs while it waits, often enough to keep the windows painted,
// and can cancel.

#include <cstdint>
#include <functional>
#include <string>

namespace tabulon {

enum class FtpStatus { Ok, Failed, Cancelled };

// Plain FTP (TLS whenever the server offers it), FTP with TLS required, or
// SFTP over SSH.
enum class FtpProtocol { Ftp, Ftps, Sftp };

// An SFTP server whose host key is not yet among the known ones: true
// trusts it, and the session adds it to them. fingerprint is the key's
// "SHA256:..." as ssh shows it.
using UnknownHostKey = std::function<bool(const std::string& host, const std::string& fingerprint)>;

// text with every appearance of password as "****", for whatever shows or
// logs what a server said or was sent.
inline void MaskPassword(std::string& text, const std::string& password) {
    if (password.empty()) return;
    for (std::size_t at = text.find(password); at != std::string::npos; at = text.find(password, at + 4))
        text.replace(at, password.size(), "****");
}

struct FtpResult {
    FtpStatus status = FtpStatus::Ok;
    // Why it failed: the server's reply when the server refused, otherwise
    // the FTP library's own text. Never holds the password.
    std::string text;
    // The reply code when the session knows it otherwise than from text
    // (an SFTP server's refusal counts as 550); 0: taken from text.
    int code = 0;
    // What the user should know although the call worked (a host key
    // trusted but not saved); "" for nothing.
    std::string notice = {};

    bool Ok() const { return status == FtpStatus::Ok; }
    // The server's reply code when the server itself refused (550), else 0
    // (no answer in time, the connection lost, the library's own failure).
    int ReplyCode() const {
        if (code != 0) return code;
        const bool coded = text.size() >= 4 && text[0] >= '1' && text[0] <= '5' && text[1] >= '0' && text[1] <= '9' &&
                           text[2] >= '0' && text[2] <= '9' && (text[3] == ' ' || text[3] == '-');
        return coded ? (text[0] - '0') * 100 + (text[1] - '0') * 10 + (text[2] - '0') : 0;
    }
};

// Bytes sent so far of total (0: not known yet). False cancels the call.
using FtpProgress = std::function<bool(std::uint64_t sent, std::uint64_t total)>;

class IFtpSession {
public:
    virtual ~IFtpSession() = default;
    // Used by every later call until it is set again; empty: no reports.
    virtual void SetProgress(FtpProgress progress) = 0;
    // Connects to server on port (1 to 65535) and logs in.
    virtual FtpResult Connect(const std::string& server, const std::string& user, const std::string& password,
                              int port) = 0;
    // Sends the local file to remote (a path from the login folder, "/"
    // separated), in binary, replacing what is there.
    virtual FtpResult PutFile(const std::string& localFile, const std::string& remote) = 0;
    virtual FtpResult Rename(const std::string& from, const std::string& to) = 0;
    virtual FtpResult Delete(const std::string& remote) = 0;
    // Logs out and closes the connection; harmless when none is open.
    virtual void Close() = 0;
    // Closes the connection without a word to the server and without
    // waiting for one: after a failure, a time-out or a cancel the server
    // may answer nothing at all.
    virtual void Abandon() { Close(); }
    // How long connecting, and then any wait for the server, may take
    // before the call fails; for the calls from the next Connect on.
    virtual void SetTimeouts(long connectSeconds, long stallSeconds) {
        (void)connectSeconds;
        (void)stallSeconds;
    }
    // Every call from now on fails once milliseconds have passed from now,
    // whatever the time-outs allow; 0 lifts the limit.
    virtual void SetTimeLimit(long milliseconds) { (void)milliseconds; }
    // How the next Connect reaches the server: the protocol, a PEM file of
    // certificates trusted beside the system's ("" none), and who decides
    // on an unknown SFTP host key (empty: it is refused).
    virtual void SetSecurity(FtpProtocol protocol, const std::string& certificateFile, UnknownHostKey unknownKey) {
        (void)protocol;
        (void)certificateFile;
        (void)unknownKey;
    }
};

}  // namespace tabulon
