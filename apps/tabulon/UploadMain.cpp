// The upload part of the program (upload.so): the FTP and SFTP session over
// libcurl, loaded the first time the program talks to a server.

#include "posix/CurlFtpSession.h"
#include "posix/LoadedFtpSession.h"

extern "C" __attribute__((visibility("default"))) tabulon::IFtpSession* tabulon_new_ftp_session() {
    return new tabulon::posix::CCurlFtpSession();
}
