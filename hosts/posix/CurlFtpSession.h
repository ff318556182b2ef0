#pragma once
// The FTP connection over libcurl: passive mode, TLS whenever the server
// offers it (with its certificate checked, so the password never crosses
// the network in clear text to such a server), binary transfers, and time
// limits so that a dead or stalled server never holds the program for long.

#include <cstdio>
#include <string>
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
    // A file of certificates to trust instead of the system's.
    void SetCaFile(const std::string& path) { m_caFile = path; }

private:
    enum class Request { Login, Store, Commands };
    FtpResult Perform(Request request, const std::string& path, std::FILE* upload = nullptr, long long uploadSize = 0,
                      const std::vector<std::string>& commands = {});

    void* m_curl = nullptr;  // the library's handle, open from Connect to Close
    std::string m_host;
    int m_port = 21;
    std::string m_user;
    std::string m_password;
    std::string m_caFile;
    FtpProgress m_progress;
    std::FILE* m_verbose = nullptr;
    long m_connectTimeout = 30;
    long m_stallTimeout = 60;
};

}  // namespace tabulon::posix
