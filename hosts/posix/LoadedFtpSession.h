#pragma once
// The FTP and SFTP session of the upload part (libcurl), loaded the first
// time the program talks to a server. When the part cannot be loaded, every
// call that would reach the server fails and says why.

#include <memory>
#include <string>

#include "platform/FtpSession.h"
#include "posix/Modules.h"

namespace tabulon::posix {

// The part's entry: a new session, owned by the caller.
using NewFtpSessionEntry = IFtpSession*();
inline constexpr const char* kUploadModule = "upload.so";
inline constexpr const char* kNewFtpSession = "tabulon_new_ftp_session";

class CLoadedFtpSession final : public IFtpSession {
public:
    CLoadedFtpSession() = default;
    ~CLoadedFtpSession() override;
    CLoadedFtpSession(const CLoadedFtpSession&) = delete;
    CLoadedFtpSession& operator=(const CLoadedFtpSession&) = delete;

    void SetProgress(FtpProgress progress) override;
    FtpResult Connect(const std::string& server, const std::string& user, const std::string& password,
                      int port) override;
    FtpResult PutFile(const std::string& localFile, const std::string& remote) override;
    FtpResult Rename(const std::string& from, const std::string& to) override;
    FtpResult Delete(const std::string& remote) override;
    void Close() override;
    void Abandon() override;
    void SetTimeouts(long connectSeconds, long stallSeconds) override;
    void SetTimeLimit(long milliseconds) override;
    void SetSecurity(FtpProtocol protocol, const std::string& certificateFile, UnknownHostKey unknownKey) override;

private:
    // The part's session, loaded on the first call.
    IFtpSession* Session() { return m_session.Get(); }
    FtpResult Failure() const { return {FtpStatus::Failed, m_session.Failure(), 0}; }

    CPartObject<IFtpSession> m_session{kUploadModule, kNewFtpSession, "upload"};
};

}  // namespace tabulon::posix
