#pragma once
// The FTP and SFTP connection over libcurl. FTP: passive mode, TLS whenever
// the server offers it or always (with its certificate checked, so the
// password never crosses the network in clear text to such a server),
// binary transfers. SFTP: the server's host key checked against the user's
// known_hosts, login by password or by the user's key or SSH agent. Both
// with time limits so that a dead or stalled server never holds the program
// for long.

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FtpSession.h"

namespace tabulon::posix {

class CCurlFtpSession final : public IFtpSession {
public:
    // With TABULON_FTP_VERBOSE set in the environment, the conversation with
    // the server goes to standard error (the password masked).
    CCurlFtpSession();
    ~CCurlFtpSession() override;
    CCurlFtpSession(const CCurlFtpSession&) = delete;
    CCurlFtpSession& operator=(const CCurlFtpSession&) = delete;

    void SetProgress(FtpProgress progress) override { m_progress = std::move(progress); }
    FtpResult Connect(const std::string& server, const std::string& user, const std::string& password,
                      int port) override;
    FtpResult PutFile(const std::string& localFile, const std::string& remote) override;
    FtpResult Rename(const std::string& from, const std::string& to) override;
    FtpResult Delete(const std::string& remote) override;
    void Close() override;

    // The conversation with the server, for finding out why an upload fails;
    // nullptr: none. The password never appears in it.
    void SetVerboseOutput(std::FILE* to) { m_verbose = to; }
    // How long to wait for a connection, and for a server that stopped
    // answering or a transfer that stopped moving.
    void SetTimeouts(long connectSeconds, long stallSeconds) override;
    void Abandon() override;
    void SetTimeLimit(long milliseconds) override;
    void SetSecurity(FtpProtocol protocol, const std::string& certificateFile, UnknownHostKey unknownKey) override;
    // The folder of the user's SSH keys and known_hosts (~/.ssh).
    void SetSshFolder(const std::string& folder) { m_sshFolder = folder; }

private:
    enum class Request { Login, Store, Commands };
    friend struct HostKeyCallback;
    // The remote name as a path of the URL: from the login folder unless
    // it begins with "/".
    std::string RemotePath(const std::string& remote) const;
    // The server's name or address without the brackets of an IPv6 one.
    std::string BareHost() const;
    // Whether the host key the server sent may be used: known and the same,
    // or unknown and accepted by the user (and then added to known_hosts).
    bool CheckHostKey(std::string_view key, bool known, bool changed);
    FtpResult Perform(Request request, const std::string& path, std::FILE* upload = nullptr, long long uploadSize = 0,
                      const std::vector<std::string>& commands = {});

    void* m_curl = nullptr;  // the library's handle, open from Connect to Close
    std::string m_host;
    int m_port = 21;
    std::string m_user;
    std::string m_password;
    std::string m_caFile;
    FtpProtocol m_protocol = FtpProtocol::Ftp;
    UnknownHostKey m_unknownKey;
    std::string m_sshFolder;
    std::string m_hostKeyRefusal;  // why the last host key was refused
    std::string m_acceptedKey;     // "host:port fingerprint" the user accepted
    std::string m_hostKeyNotice;   // why the key the user accepted was not saved
    bool m_keySeen = false;        // the server's host key reached the check
    int m_lastCode = 0;            // the library's result of the last call
    std::string m_knownHosts;      // the library keeps the pointers to these
    std::string m_keyFile;
    FtpProgress m_progress;
    std::FILE* m_verbose = nullptr;
    long m_connectTimeout = 30;
    long m_stallTimeout = 60;
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
};

}  // namespace tabulon::posix
