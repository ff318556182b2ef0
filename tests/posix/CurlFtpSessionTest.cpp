// The libcurl FTP session against a real FTP server on 127.0.0.1.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "FtpTestServer.h"
#include "RealServers.h"
#include "ScratchFolder.h"
#include "Unprivileged.h"
#include "posix/CurlFtpSession.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;
using fakes::ScratchFolder;

class CurlFtp : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root / "sub");
        ASSERT_NE(server.Port(), 0) << "the test FTP server did not start";
    }
    FtpResult Login(const std::string& user, const std::string& password = "secret") {
        return ftp.Connect("127.0.0.1", user, password, server.Port());
    }

    ScratchFolder scratch{"curl-ftp"};
    fs::path root = scratch.folder / "root";
    fakes::FtpTestServer server{(fs::create_directories(root), root.string())};
    posix::CCurlFtpSession ftp;
};

TEST_F(CurlFtp, APageOfSeveralMegabytesArrivesByteForByteAndIsRenamed) {
    std::string bytes;
    for (int i = 0; i < 3 * 1024 * 1024; ++i) bytes += static_cast<char>((i * 7 + i / 251) & 0xFF);
    const std::string local = scratch.MakeFile("list.htm", bytes);
    std::uint64_t lastSent = 0, lastTotal = 0;
    ftp.SetProgress([&](std::uint64_t sent, std::uint64_t total) {
        lastSent = std::max(lastSent, sent);
        lastTotal = std::max(lastTotal, total);
        return true;
    });
    // The server as users copy it, with its port.
    ASSERT_TRUE(ftp.Connect("ftp://127.0.0.1:" + std::to_string(server.Port()) + "/", "user", "secret", 21).Ok());
    const FtpResult put = ftp.PutFile(local, "sub/my list.htm.part");
    ASSERT_TRUE(put.Ok()) << put.text;
    const FtpResult renamed = ftp.Rename("sub/my list.htm.part", "sub/my list.htm");
    ASSERT_TRUE(renamed.Ok()) << renamed.text;
    ftp.Close();
    EXPECT_EQ(ScratchFolder::Contents((root / "sub" / "my list.htm").string()), bytes);
    EXPECT_FALSE(fs::exists(root / "sub" / "my list.htm.part"));
    EXPECT_EQ(lastSent, bytes.size());
    EXPECT_EQ(lastTotal, bytes.size());
}

TEST_F(CurlFtp, AWrongPasswordFailsWithTheServersTextAndIsNeverPrinted) {
    std::FILE* verbose = std::tmpfile();
    ftp.SetVerboseOutput(verbose);
    const FtpResult result = Login("user", "wrong-Pa55");
    EXPECT_EQ(result.status, FtpStatus::Failed);
    EXPECT_EQ(result.text.rfind("530 ", 0), 0u) << result.text;
    std::rewind(verbose);
    std::string conversation;
    for (int c; (c = std::fgetc(verbose)) != EOF;) conversation += static_cast<char>(c);
    std::fclose(verbose);
    EXPECT_NE(conversation.find("> PASS ****"), std::string::npos) << conversation;
    EXPECT_EQ(conversation.find("wrong-Pa55"), std::string::npos) << conversation;
}

TEST_F(CurlFtp, RefusalsAfterLoginCarryTheServersText) {
    const std::string local = scratch.MakeFile("list.htm", "<p>page</p>");
    ASSERT_TRUE(Login("reader").Ok());
    FtpResult result = ftp.PutFile(local, "list.htm");
    EXPECT_EQ(result.status, FtpStatus::Failed);
    EXPECT_EQ(result.text.rfind("550 ", 0), 0u) << result.text;
    EXPECT_FALSE(fs::exists(root / "list.htm"));

    ASSERT_TRUE(Login("norename").Ok());
    ASSERT_TRUE(ftp.PutFile(local, "list.htm.part").Ok());
    result = ftp.Rename("list.htm.part", "list.htm");
    EXPECT_EQ(result.status, FtpStatus::Failed);
    EXPECT_EQ(result.text.rfind("550 ", 0), 0u) << result.text;
    EXPECT_TRUE(ftp.Delete("list.htm.part").Ok());
    EXPECT_FALSE(fs::exists(root / "list.htm.part"));
}

TEST_F(CurlFtp, NoServerAndASilentServerFailWithinTheTimeLimit) {
    EXPECT_EQ(ftp.Connect("127.0.0.1", "user", "secret", fakes::UnusedPort()).status, FtpStatus::Failed);

    const auto [port, socket] = fakes::SilentServer();
    ftp.SetTimeouts(1, 1);
    const auto start = std::chrono::steady_clock::now();
    const FtpResult result = ftp.Connect("127.0.0.1", "user", "secret", port);
    close(socket);
    EXPECT_EQ(result.status, FtpStatus::Failed);
    EXPECT_FALSE(result.text.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(CurlFtp, AServerSilentAfterLoginFailsInTimeAndIsLeftWithoutWaiting) {
    fakes::SilentAfterLoginServer silent;
    ftp.SetTimeouts(1, 1);
    const std::string local = scratch.MakeFile("list.htm", "<p>page</p>");
    const auto start = std::chrono::steady_clock::now();
    FtpResult result = ftp.Connect("127.0.0.1", "user", "secret", silent.Port());
    if (result.Ok()) result = ftp.PutFile(local, "list.htm");
    EXPECT_EQ(result.status, FtpStatus::Failed);
    EXPECT_EQ(result.ReplyCode(), 0) << result.text;  // no answer, not a refusal
    const auto failed = std::chrono::steady_clock::now();
    EXPECT_LT(failed - start, std::chrono::seconds(5));
    ftp.Abandon();  // no QUIT waited for
    EXPECT_LT(std::chrono::steady_clock::now() - failed, std::chrono::milliseconds(500));
}

TEST_F(CurlFtp, TheProgressCallbackCancels) {
    const std::string local = scratch.MakeFile("list.htm", std::string(1 << 20, 'x'));
    ASSERT_TRUE(Login("user").Ok());
    ftp.SetProgress([](std::uint64_t, std::uint64_t) { return false; });
    EXPECT_EQ(ftp.PutFile(local, "list.htm").status, FtpStatus::Cancelled);
}

TEST(CurlFtpTls, AServerOfferingTlsGetsTheLoginOnlyOverAVerifiedConnection) {
    ScratchFolder scratch("curl-ftps");
    fs::create_directories(scratch.folder / "root");
    fakes::FtpTestServer server((scratch.folder / "root").string(), scratch.folder.string());
    ASSERT_NE(server.Port(), 0);
    posix::CCurlFtpSession ftp;
    // Its certificate is its own: refused, with the reason.
    FtpResult result = ftp.Connect("127.0.0.1", "user", "secret", server.Port());
    EXPECT_EQ(result.status, FtpStatus::Failed);
    EXPECT_NE(result.text.find("certificate"), std::string::npos) << result.text;
    // Trusted, the login passes, which this server takes only after TLS.
    ftp.SetSecurity(FtpProtocol::Ftp, scratch.PathOf("cert.pem"), {});
    result = ftp.Connect("127.0.0.1", "user", "secret", server.Port());
    EXPECT_TRUE(result.Ok()) << result.text;
}

TEST_F(CurlFtp, RequiredTlsRefusesAServerWithoutIt) {
    ftp.SetSecurity(FtpProtocol::Ftps, "", {});
    const FtpResult result = Login("user");
    EXPECT_EQ(result.status, FtpStatus::Failed);
    EXPECT_NE(result.text.find("offers no TLS"), std::string::npos) << result.text;
}

TEST(CurlFtpsServer, AnUploadWithTlsRequiredArrivesTrustedThroughTheCertificateFile) {
    ScratchFolder scratch("curl-vsftpd");
    fakes::RealServer server;
    fakes::RealServer::Vsftpd(server, scratch);
    if (!server.Missing().empty()) GTEST_SKIP() << server.Missing();
    posix::CCurlFtpSession ftp;
    ftp.SetSecurity(FtpProtocol::Ftps, "", {});
    EXPECT_NE(ftp.Connect("127.0.0.1", "", "", server.Port()).text.find("certificate"), std::string::npos);
    ftp.SetSecurity(FtpProtocol::Ftps, scratch.PathOf("cert.pem"), {});
    const std::string page(300000, 'p');
    ASSERT_TRUE(ftp.Connect("127.0.0.1", "", "", server.Port()).Ok());
    const FtpResult put = ftp.PutFile(scratch.MakeFile("list.htm", page), "pub/list.htm.part");
    ASSERT_TRUE(put.Ok()) << put.text;
    const FtpResult renamed = ftp.Rename("pub/list.htm.part", "pub/list.htm");
    EXPECT_TRUE(renamed.Ok()) << renamed.text;
    EXPECT_EQ(ScratchFolder::Contents(scratch.PathOf("root/pub/list.htm")), page);
}

// sshd with a host key and the user's key made in the scratch folder, which
// is the session's ~/.ssh.
class CurlSftp : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::RealServer::Sshd(server, scratch);
        if (!server.Missing().empty()) GTEST_SKIP() << server.Missing();
        ftp.SetSshFolder(scratch.PathOf(".ssh"));
    }
    FtpResult Login(posix::CCurlFtpSession& session, UnknownHostKey ask = {}) {
        session.SetSshFolder(scratch.PathOf(".ssh"));
        session.SetSecurity(FtpProtocol::Sftp, "", std::move(ask));
        return session.Connect("sftp://127.0.0.1", "", "", server.Port());
    }
    // The host key's fingerprint as ssh-keygen shows it.
    std::string Fingerprint() const {
        const std::string command = "ssh-keygen -lf " + scratch.PathOf("host_ed25519.pub");
        std::FILE* pipe = popen(command.c_str(), "r");
        char line[512] = {};
        if (!pipe || !std::fgets(line, sizeof line, pipe)) return "no fingerprint";
        pclose(pipe);
        const std::string text = line;
        const std::size_t at = text.find("SHA256:");
        return text.substr(at, text.find(' ', at) - at);
    }

    ScratchFolder scratch{"curl-sftp"};
    fakes::RealServer server;
    posix::CCurlFtpSession ftp;
};

TEST_F(CurlSftp, AnUnknownHostKeyIsRefusedWithItsFingerprintUnlessAcceptedAndThenKnown) {
    FtpResult result = Login(ftp);
    EXPECT_EQ(result.status, FtpStatus::Failed);
    EXPECT_NE(result.text.find(Fingerprint()), std::string::npos) << result.text;
    std::string asked;
    result = Login(ftp, [&](const std::string&, const std::string& fingerprint) {
        asked = fingerprint;
        return true;
    });
    ASSERT_TRUE(result.Ok()) << result.text;
    EXPECT_EQ(asked, Fingerprint());
    posix::CCurlFtpSession later;
    EXPECT_TRUE(Login(later).Ok()) << "known_hosts holds the key now";
    // Another key for the same server is refused, never asked about.
    const std::string knownHosts = ScratchFolder::Contents(scratch.PathOf(".ssh/known_hosts"));
    const std::string otherKey = ScratchFolder::Contents(scratch.PathOf(".ssh/id_ed25519.pub"));
    scratch.MakeFile(".ssh/known_hosts", knownHosts.substr(0, knownHosts.find(' ') + 1) + otherKey);
    posix::CCurlFtpSession changed;
    result = Login(changed, [](const std::string&, const std::string&) { return true; });
    EXPECT_NE(result.text.find("has changed"), std::string::npos) << result.text;
}

TEST_F(CurlSftp, APageGoesUnderATemporaryNameAndIsRenamedOverTheOldOne) {
    ASSERT_TRUE(Login(ftp, [](const std::string&, const std::string&) { return true; }).Ok());
    std::string page;
    for (int i = 0; i < 1 << 20; ++i) page += static_cast<char>(i * 31 & 0xFF);
    const std::string remote = scratch.PathOf("my list.htm");
    scratch.MakeFile("my list.htm", "the old page");
    ASSERT_TRUE(ftp.PutFile(scratch.MakeFile("local.htm", page), remote + ".part").Ok());
    const FtpResult renamed = ftp.Rename(remote + ".part", remote);
    ASSERT_TRUE(renamed.Ok()) << renamed.text;
    EXPECT_EQ(ScratchFolder::Contents(remote), page);
    EXPECT_FALSE(fs::exists(remote + ".part"));
    EXPECT_EQ(ftp.Delete(remote + ".part").ReplyCode(), 550);
}

TEST_F(CurlSftp, AKnownHostsThatCannotBeReadOrWrittenIsSaidAndAKnownKeyOfAnotherTypeIsAChangedKey) {
    ASSERT_TRUE(fakes::RunQuietly({"ssh-keygen", "-q", "-t", "ecdsa", "-N", "", "-f", scratch.PathOf("ecdsa")}));
    const std::string name = "[127.0.0.1]:" + std::to_string(server.Port()) + " ";
    const std::string ecdsa = name + ScratchFolder::Contents(scratch.PathOf("ecdsa.pub"));
    const std::string ed25519 = name + ScratchFolder::Contents(scratch.PathOf("host_ed25519.pub"));
    const std::string knownHosts = scratch.PathOf(".ssh/known_hosts");
    // What known_hosts is ("link": into a folder not there), whether the key passes, is asked about, what is said.
    const std::tuple<std::string, std::string, bool, bool, std::string> cases[] = {
        {"folder", "", false, false, knownHosts + " cannot be read: Is a directory"},
        {"hashed", ecdsa, false, false,
         "has changed: the server sent the ssh-ed25519 key " + Fingerprint() + ", not the ecdsa-sha2-nistp256 key"},
        {"link", "", true, true, "could not be saved in " + knownHosts + ": No such file or directory"},
        {"lines", ecdsa + ed25519, true, false, ""},
    };
    for (const auto& [state, lines, passes, asks, said] : cases) {
        fs::remove_all(knownHosts);
        if (state == "folder") fs::create_directory(knownHosts);
        if (state == "link") fs::create_symlink(scratch.PathOf("gone/known_hosts"), knownHosts);
        if (!lines.empty()) scratch.MakeFile(".ssh/known_hosts", lines);
        if (state == "hashed") fakes::RunQuietly({"ssh-keygen", "-H", "-f", knownHosts});
        bool asked = false;
        posix::CCurlFtpSession session;
        const FtpResult result = Login(session, [&](const std::string&, const std::string&) { return asked = true; });
        EXPECT_EQ(result.Ok(), passes) << state << ": " << result.text;
        EXPECT_EQ(asked, asks) << state;
        EXPECT_NE((result.text + result.notice).find(said), std::string::npos) << result.text << result.notice;
    }
    // A file that holds the key but that its reader may not read.
    scratch.MakeFile(".ssh/known_hosts", ed25519);
    chmod(knownHosts.c_str(), 0);
    const auto said = fakes::RunUnprivileged([&] {
        posix::CCurlFtpSession session;
        return Login(session, [](const std::string&, const std::string&) { return true; }).text;
    });
    ASSERT_TRUE(said.has_value());
    EXPECT_NE(said->find(knownHosts + " cannot be read: Permission denied"), std::string::npos) << *said;
}

}  // namespace
}  // namespace tabulon
