#include "posix/LoadedFtpSession.h"

#include <utility>

namespace tabulon::posix {

CLoadedFtpSession::~CLoadedFtpSession() = default;

void CLoadedFtpSession::SetProgress(FtpProgress progress) {
    if (IFtpSession* session = Session()) session->SetProgress(std::move(progress));
}

FtpResult CLoadedFtpSession::Connect(const std::string& server, const std::string& user, const std::string& password,
                                     int port) {
    IFtpSession* session = Session();
    return session ? session->Connect(server, user, password, port) : Failure();
}

FtpResult CLoadedFtpSession::PutFile(const std::string& localFile, const std::string& remote) {
    IFtpSession* session = Session();
    return session ? session->PutFile(localFile, remote) : Failure();
}

FtpResult CLoadedFtpSession::Rename(const std::string& from, const std::string& to) {
    IFtpSession* session = Session();
    return session ? session->Rename(from, to) : Failure();
}

FtpResult CLoadedFtpSession::Delete(const std::string& remote) {
    IFtpSession* session = Session();
    return session ? session->Delete(remote) : Failure();
}

// Nothing was opened by a session that never loaded: nothing to close.
void CLoadedFtpSession::Close() {
    if (IFtpSession* session = m_session.IfMade()) session->Close();
}

void CLoadedFtpSession::Abandon() {
    if (IFtpSession* session = m_session.IfMade()) session->Abandon();
}

void CLoadedFtpSession::SetTimeouts(long connectSeconds, long stallSeconds) {
    if (IFtpSession* session = Session()) session->SetTimeouts(connectSeconds, stallSeconds);
}

void CLoadedFtpSession::SetTimeLimit(long milliseconds) {
    if (IFtpSession* session = Session()) session->SetTimeLimit(milliseconds);
}

void CLoadedFtpSession::SetSecurity(FtpProtocol protocol, const std::string& certificateFile,
                                    UnknownHostKey unknownKey) {
    if (IFtpSession* session = Session()) session->SetSecurity(protocol, certificateFile, std::move(unknownKey));
}

}  // namespace tabulon::posix
