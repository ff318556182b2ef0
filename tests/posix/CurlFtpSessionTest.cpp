// The libcurl FTP session against a real FTP server on 127.0.0.1.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "FtpTestServer.h"
#include "ScratchFolder.h"
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
    ftp.SetCaFile(scratch.PathOf("cert.pem"));
    result = ftp.Connect("127.0.0.1", "user", "secret", server.Port());
    EXPECT_TRUE(result.Ok()) << result.text;
}

}  // namespace
}  // namespace tabulon
