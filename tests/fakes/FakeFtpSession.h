#pragma once
// An FTP session that records every call as one line ("put out.htm
// list.htm.tabulon-part") and answers from a script; unscripted calls
// succeed. A put reports its bytes to the progress callback first.

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/FtpSession.h"

namespace tabulon::fakes {

class FakeFtpSession : public IFtpSession {
public:
    void SetProgress(FtpProgress progress) override { m_progress = std::move(progress); }
    FtpResult Connect(const std::string& server, const std::string& user, const std::string& password,
                      int port) override {
        // A host key the session does not know, as SFTP would ask about it.
        if (unknownKey) keyAccepted = unknownKey(server, "SHA256:fake");
        return Answer("connect " + server + " " + user + " " + password + " " + std::to_string(port));
    }
    FtpResult PutFile(const std::string& localFile, const std::string& remote) override {
        for (std::uint64_t sent : {0, 500, 1000})
            if (m_progress && !m_progress(sent, 1000)) return Answer("put " + localFile + " " + remote, true);
        return Answer("put " + localFile + " " + remote);
    }
    FtpResult Rename(const std::string& from, const std::string& to) override {
        return Answer("rename " + from + " " + to);
    }
    FtpResult Delete(const std::string& remote) override { return Answer("delete " + remote); }
    void Close() override { calls.push_back("close"); }
    void Abandon() override { calls.push_back("abandon"); }
    void SetSecurity(FtpProtocol how, const std::string& certificateFile, UnknownHostKey ask) override {
        protocol = how;
        certificate = certificateFile;
        unknownKey = std::move(ask);
    }

    // The next call whose line starts with verb ("connect", "put", ...) gets result.
    void Script(const std::string& verb, FtpResult result) { script[verb].push_back(std::move(result)); }

    std::vector<std::string> calls;
    std::map<std::string, std::deque<FtpResult>> script;
    FtpProtocol protocol = FtpProtocol::Ftp;
    std::string certificate;
    UnknownHostKey unknownKey;
    bool keyAccepted = false;

private:
    FtpResult Answer(const std::string& call, bool cancelled = false) {
        calls.push_back(call);
        if (cancelled) return {FtpStatus::Cancelled, "Cancelled."};
        auto& answers = script[call.substr(0, call.find(' '))];
        if (answers.empty()) return {};
        FtpResult result = answers.front();
        answers.pop_front();
        return result;
    }

    FtpProgress m_progress;
};

}  // namespace tabulon::fakes
