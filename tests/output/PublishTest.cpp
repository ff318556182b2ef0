// Uploading the written page over a scripted FTP session, the publisher that
// follows Make list, and the texts of a failed open.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "FakeFtpSession.h"
#include "RecordingProgress.h"
#include "RecordingShell.h"
#include "ScriptedMessageBox.h"
#include "config/ListConfig.h"
#include "output/FtpUpload.h"
#include "output/OpenError.h"
#include "output/PagePublisher.h"

namespace tabulon {
namespace {

using Calls = std::vector<std::string>;

using fakes::RecordingShell;

class Upload : public ::testing::Test {
protected:
    Upload() {
        config.server = "ftp.example.org";
        config.loginname = "maker";
        config.password = "s3cret-word";
        config.port = 2121;
        config.filename = "www/list.htm";
    }
    UploadOutcome Run() { return UploadList(config, "/home/u/list.htm", ftp, messages, progress); }
    // No message may carry the password.
    void TearDown() override {
        for (const auto& m : messages.shown) EXPECT_EQ(m.text.find(config.password), std::string::npos) << m.text;
    }

    CListConfig config;
    fakes::FakeFtpSession ftp;
    fakes::ScriptedMessageBox messages;
    fakes::RecordingProgressHost progress;
};

TEST_F(Upload, SendsUnderATemporaryNameAndRenamesWithProgress) {
    EXPECT_EQ(Run(), UploadOutcome::Uploaded);
    EXPECT_EQ(ftp.calls, (Calls{"connect ftp.example.org maker s3cret-word 2121", "delete www/list.htm.tabulon-part",
                                "put /home/u/list.htm www/list.htm.tabulon-part",
                                "rename www/list.htm.tabulon-part www/list.htm", "close"}));
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(progress.reports.size(), 1u);
    EXPECT_TRUE(progress.reports[0].cancellable);
    EXPECT_EQ(progress.reports[0].steps.back(), std::make_pair(std::uint64_t{1000}, std::uint64_t{1000}));
    EXPECT_TRUE(progress.reports[0].ended);
}

TEST_F(Upload, PortZeroAndTheSecurityFollowTheProtocolAndAnUnknownOneIsRefused) {
    config.port = 0;
    config.cfgfile = "/home/u/lists/my.cfg";
    config.certfile = "own.pem";
    for (const auto& [name, protocol, port] :
         {std::tuple{"ftp", FtpProtocol::Ftp, 21}, {"ftps", FtpProtocol::Ftps, 21}, {"sftp", FtpProtocol::Sftp, 22}}) {
        config.protocol = name;
        ftp.calls.clear();
        Run();
        EXPECT_EQ(ftp.calls.front(), "connect ftp.example.org maker s3cret-word " + std::to_string(port));
        EXPECT_EQ(ftp.protocol, protocol);
        EXPECT_EQ(ftp.certificate, "/home/u/lists/own.pem");
        EXPECT_FALSE(ftp.unknownKey) << "batch never accepts an unknown host key";
    }
    config.protocol = "sfpt";
    ftp.calls.clear();
    EXPECT_EQ(Run(), UploadOutcome::NotUploaded);
    EXPECT_TRUE(ftp.calls.empty());
    EXPECT_NE(messages.shown.back().text.find("\"sfpt\" is not one of ftp, ftps and sftp"), std::string::npos);
}

TEST_F(Upload, InTheWindowAnUnknownHostKeyIsAskedAboutWithoutTheProgressWindow) {
    config.protocol = "sftp";
    messages.Answer(MbResult::No);
    messages.onShow = [&] { EXPECT_TRUE(progress.reports.back().ended); };
    UploadList(config, "/home/u/list.htm", ftp, messages, progress, true);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("SHA256:fake"), std::string::npos);
    EXPECT_EQ(messages.shown[0].buttons, MbButtons::YesNo);
    EXPECT_FALSE(ftp.keyAccepted);
    EXPECT_EQ(progress.reports.size(), 2u);  // back for the rest of the upload
}

TEST_F(Upload, AHostKeyTrustedButNotSavedIsSaidAndTheUploadGoesOn) {
    ftp.Script("connect", {FtpStatus::Ok, "", 0, "The host key of ftp.example.org was trusted but not saved."});
    EXPECT_EQ(Run(), UploadOutcome::Uploaded);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "The host key of ftp.example.org was trusted but not saved.");
}

TEST_F(Upload, AFailedConnectionIsShownOnceWithTheServersText) {
    ftp.Script("connect", {FtpStatus::Failed, "530 Login incorrect."});
    EXPECT_EQ(Run(), UploadOutcome::NotConnected);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "530 Login incorrect.");
    EXPECT_EQ(messages.shown[0].caption, "Ftp connection error");
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Stop);
    EXPECT_EQ(ftp.calls, (Calls{"connect ftp.example.org maker s3cret-word 2121", "abandon", "close"}));
}

// A server that stops answering, or a cancel: the connection is dropped
// without a word, the part sent removed over a new one (or the user told
// it is still there), and only then, the progress window gone, the message.
TEST_F(Upload, AfterSilenceOrCancelThePartSentIsRemovedOverANewConnectionBeforeTheMessage) {
    const FtpResult silence{FtpStatus::Failed, "Operation timed out after 60000 milliseconds"};
    const std::string part = "www/list.htm.tabulon-part";
    const struct {
        const char* what;
        const char* silentVerb;  // the call that gets no answer
        bool cleanUpFails;
        Calls calls;
    } cases[] = {
        {"silent rename",
         "rename",
         false,
         {"put /home/u/list.htm " + part, "rename " + part + " www/list.htm", "abandon",
          "connect ftp.example.org maker s3cret-word 2121", "delete " + part, "abandon", "close"}},
        {"silent store",
         "put",
         true,
         {"put /home/u/list.htm " + part, "abandon", "connect ftp.example.org maker s3cret-word 2121", "delete " + part,
          "abandon", "close"}},
    };
    for (const auto& c : cases) {
        ftp.calls.clear();
        messages.shown.clear();
        progress.reports.clear();
        ftp.Script(c.silentVerb, silence);
        ftp.Script("delete", {FtpStatus::Failed, "550 No such file."});  // no part of an earlier run
        if (c.cleanUpFails) ftp.Script("delete", silence);
        messages.onShow = [this] { EXPECT_TRUE(progress.reports.back().ended); };
        EXPECT_EQ(Run(), UploadOutcome::NotUploaded) << c.what;
        EXPECT_EQ(Calls(ftp.calls.begin() + 2, ftp.calls.end()), c.calls) << c.what;
        ASSERT_EQ(messages.shown.size(), 1u) << c.what;
        EXPECT_NE(messages.shown[0].text.find("timed out"), std::string::npos) << c.what;
        EXPECT_EQ(messages.shown[0].text.find(part + ", could not be removed") != std::string::npos, c.cleanUpFails)
            << messages.shown[0].text;
    }
}

TEST_F(Upload, ServerTextIsShownWithoutControlCharactersOrThePassword) {
    EXPECT_EQ(ServerTextAsShown("530 No\x1b]0;owned\x07 for s3cret-word\r\n\xC2\x9B"
                                "2J",
                                "s3cret-word"),
              "530 No?]0;owned? for ****\n?2J");
    EXPECT_EQ(ServerTextAsShown("550 \xE9t\xE9", ""), "550 ?t?");  // not UTF-8: bytes beyond ASCII too
    EXPECT_EQ(ServerTextAsShown("550 été", ""), "550 été");
    ftp.Script("connect", {FtpStatus::Failed, "530 Login incorrect for s3cret-word\x1b[2J"});
    Run();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "530 Login incorrect for ****?[2J");
}

TEST_F(Upload, ARefusedTransferIsReportedAndItsRemainsRemoved) {
    ftp.Script("put", {FtpStatus::Failed, "550 Permission denied."});
    EXPECT_EQ(Run(), UploadOutcome::NotUploaded);
    EXPECT_EQ(ftp.calls[3], "delete www/list.htm.tabulon-part");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("The list could not be uploaded:\n\n550 Permission denied.", 0), 0u)
        << messages.shown[0].text;
    EXPECT_NE(messages.shown[0].text.find("/home/u/list.htm"), std::string::npos);
    EXPECT_EQ(messages.shown[0].icon, MbIcon::Stop);
}

TEST_F(Upload, ARefusedRenameSendsThePageStraightToItsName) {
    ftp.Script("rename", {FtpStatus::Failed, "553 Rename refused."});
    EXPECT_EQ(Run(), UploadOutcome::Uploaded);
    EXPECT_EQ(ftp.calls,
              (Calls{"connect ftp.example.org maker s3cret-word 2121", "delete www/list.htm.tabulon-part",
                     "put /home/u/list.htm www/list.htm.tabulon-part", "rename www/list.htm.tabulon-part www/list.htm",
                     "put /home/u/list.htm www/list.htm", "delete www/list.htm.tabulon-part", "close"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Upload, CancelIsReportedAsNotUploaded) {
    progress.cancelAtStep = 1;
    EXPECT_EQ(Run(), UploadOutcome::Cancelled);
    EXPECT_EQ(ftp.calls.back(), "close");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("not uploaded"), std::string::npos);
}

TEST_F(Upload, MissingServerOrRemoteNameConnectsNowhere) {
    config.filename.clear();
    EXPECT_EQ(Run(), UploadOutcome::NotUploaded);
    config.server.clear();
    EXPECT_EQ(Run(), UploadOutcome::NotUploaded);
    EXPECT_TRUE(ftp.calls.empty());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].caption, "Ftp upload");
    EXPECT_NE(messages.shown[1].text.find("No FTP server"), std::string::npos);
}

TEST_F(Upload, PublisherViewsAfterAFailedUploadAndBatchModeLearnsOfIt) {
    RecordingShell shell;
    ftp.Script("connect", {FtpStatus::Failed, "Could not connect"});
    CPagePublisher window(ftp, shell, messages, progress);
    EXPECT_FALSE(window.UploadFailed());
    window.UploadList(config, "/home/u/list.htm");
    EXPECT_EQ(window.OpenTarget("/home/u/list.htm", kShowNormal), OpenResult::kStarted);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"/home/u/list.htm 5"}));
    EXPECT_EQ(window.LastUpload(), UploadOutcome::NotConnected);

    CPagePublisher batch(ftp, shell, messages, progress, PublishMode::Batch);
    batch.OpenTarget("/home/u/list.htm", kShowNormal);
    EXPECT_EQ(shell.opened.size(), 1u);  // batch mode never opens a viewer
    batch.UploadList(config, "/home/u/list.htm");
    EXPECT_FALSE(batch.UploadFailed());
    ftp.Script("put", {FtpStatus::Failed, "550 No."});
    batch.UploadList(config, "/home/u/list.htm");
    EXPECT_TRUE(batch.UploadFailed());
}

TEST_F(Upload, APageNoProgramCanShowIsReported) {
    RecordingShell shell;
    shell.result = OpenResult::kNoAssociation;
    CPagePublisher publisher(ftp, shell, messages, progress);
    EXPECT_EQ(publisher.OpenTarget("/home/u/list.htm", kShowNormal), OpenResult::kNoAssociation);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("/home/u/list.htm"), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find(OpenErrorText(OpenResult::kNoAssociation)), std::string::npos);
    // The page is there; the program is not, and is named.
    shell.result = OpenResult::kFileNotFound;
    shell.notStarted = "firefox";
    publisher.OpenTarget("/home/u/list.htm", kShowNormal);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("The program \"firefox\" could not be started"), std::string::npos);
}

TEST(OpenError, EveryCodeHasItsText) {
    const std::pair<int, const char*> table[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {4, "Unknown Error (4) occurred."},
        {-13, "Unknown Error (-13) occurred."},
    };
    fakes::ScriptedMessageBox messages;
    for (const auto& [code, text] : table) {
        ShowOpenError(messages, code);
        EXPECT_EQ(messages.shown.back().text, std::string("Unable to open hyperlink:\n\n") + text) << code;
        EXPECT_EQ(messages.shown.back().icon, MbIcon::Exclamation);
        EXPECT_EQ(messages.shown.back().buttons, MbButtons::Ok);
    }
}

}  // namespace
}  // namespace tabulon
