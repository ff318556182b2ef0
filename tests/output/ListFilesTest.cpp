// The head and end files, the page file itself, what happens when any of them
// fails, and the upload and viewing that follow a written page.

#include <sys/stat.h>

#include <string>

#include "ListTestSupport.h"

namespace tabulon::testing {
namespace {

using fakes::PublishCall;

class ListFilesTest : public OneItemListTest {
protected:
    // The one message a failed run must show.
    void ExpectOneFailureNaming(const std::string& path) {
        ASSERT_EQ(messages.shown.size(), 1u);
        const fakes::ShownMessage& m = messages.shown[0];
        EXPECT_EQ(m.caption, "Make list");
        EXPECT_EQ(m.icon, MbIcon::Exclamation);
        EXPECT_EQ(m.buttons, MbButtons::Ok);
        EXPECT_NE(m.text.find(path), std::string::npos) << m.text;
        EXPECT_NE(m.text.find("Reason: "), std::string::npos) << m.text;
    }
    // Nothing but the files the test made: no temporary page left behind.
    std::size_t FilesInFolder() const {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
        return count;
    }
    static bool RunningAsRoot() { return ::geteuid() == 0; }
};

TEST_F(ListFilesTest, HeadAndEndFilesAreCopiedByteForByte) {
    // Bare LF, CR LF, a lone CR, Ctrl-Z, NUL and high bytes; the end file has no final line end.
    const std::string head =
        std::string("<HTML>\n<HEAD>\r\n\r<TITLE>\x1A\xE9t\xC3\xA9", 16) + std::string(1, '\0') + "</TITLE>\n";
    const std::string end = "</BODY>\r\n</HTML>";
    MakeFile("head.htm", head);
    MakeFile("end.htm", end);
    const std::string page = Make();
    const std::string comment =
        "<!-- Created with Tabulon by Korvanex -->\r\n"
        "<!--        https://www.korvanex.com/         -->\r\n\r\n";
    EXPECT_EQ(page.substr(0, comment.size() + head.size()), comment + head);
    EXPECT_EQ(page.substr(comment.size() + head.size(), 9), "<TABLE>\r\n");
    EXPECT_TRUE(page.ends_with("</TABLE>\r\n" + end));
}

TEST_F(ListFilesTest, PagesLargerThanOneBlockComeOutWhole) {
    std::string head;
    for (int i = 0; head.size() < 3'000'000; ++i) head += "<!-- line " + std::to_string(i) + " -->\n";
    MakeFile("head.htm", head);
    const int items = 60'000;
    for (int i = 0; i < items; ++i) AddItem({"item" + std::to_string(100000 + i)});
    const std::string page = Make();

    EXPECT_EQ(page.find("<TABLE>"), page.find("-->\r\n\r\n") + 7 + head.size());
    std::size_t rows = 0;
    for (auto at = page.find("<TR bgcolor="); at != std::string::npos; at = page.find("<TR bgcolor=", at + 1)) ++rows;
    EXPECT_EQ(rows, static_cast<std::size_t>(items) + 1);
    EXPECT_TRUE(page.ends_with("<TD>\r\nitem159999</TD></TR>\r\n\r\n</TABLE>\r\n</BODY></HTML>\r\n"));
}

TEST_F(ListFilesTest, MissingHeadAndEndFilesAddNothing) {
    fs::remove(PathOf("head.htm"));
    fs::remove(PathOf("end.htm"));
    const std::string page = Make();
    EXPECT_TRUE(
        page.starts_with("<!-- Created with Tabulon by Korvanex -->\r\n"
                         "<!--        https://www.korvanex.com/         -->\r\n\r\n<TABLE>\r\n"));
    EXPECT_TRUE(page.ends_with("</TR>\r\n\r\n</TABLE>\r\n"));
    // Reading does not create them.
    EXPECT_FALSE(fs::exists(PathOf("head.htm")));
}

TEST_F(ListFilesTest, RelativeNamesAreTakenFromTheConfigurationsFolder) {
    fs::create_directories(folder / "web");
    MakeFile("web/top.htm", "TOP\r\n");
    frame.Config().headfile = "web/top.htm";
    frame.Config().output = "web/out.htm";
    frame.Config().ftpupload = 1;
    frame.Config().viewout = 1;
    ASSERT_TRUE(MakeList(frame));
    EXPECT_NE(Contents(PathOf("web/out.htm")).find("-->\r\n\r\nTOP\r\n<TABLE>"), std::string::npos);
    ASSERT_EQ(publisher.calls.size(), 2u);
    EXPECT_EQ(publisher.calls[0].file, PathOf("web/out.htm"));
    EXPECT_EQ(publisher.calls[1].file, PathOf("web/out.htm"));
}

TEST_F(ListFilesTest, AnOutputThatCannotBeWrittenIsReportedAndNotPublished) {
    frame.Config().ftpupload = 1;
    frame.Config().viewout = 1;
    frame.Config().output = "no-such-folder/list.htm";
    EXPECT_FALSE(MakeList(frame));
    ExpectOneFailureNaming(PathOf("no-such-folder/list.htm"));
    EXPECT_TRUE(publisher.calls.empty());

    // An output name that is a folder cannot be replaced by the page.
    messages.shown.clear();
    fs::create_directories(folder / "taken.htm");
    frame.Config().output = "taken.htm";
    EXPECT_FALSE(MakeList(frame));
    ExpectOneFailureNaming(PathOf("taken.htm"));
    EXPECT_TRUE(fs::is_directory(folder / "taken.htm"));
    EXPECT_TRUE(publisher.calls.empty());

    messages.shown.clear();
    frame.Config().output = "";
    EXPECT_FALSE(MakeList(frame));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Make list");
    EXPECT_TRUE(publisher.calls.empty());
}

TEST_F(ListFilesTest, AnUnreadableHeadOrEndFileLeavesTheOldPageAndPublishesNothing) {
    frame.Config().ftpupload = 1;
    frame.Config().viewout = 1;
    const std::string oldPage = "the page of yesterday\r\n";
    MakeFile("list.htm", oldPage);
    const std::size_t files = FilesInFolder();

    for (const char* which : {"head", "end"}) {
        SCOPED_TRACE(which);
        messages.shown.clear();
        MakeFile("head.htm", kHeadBytes);
        MakeFile("end.htm", kEndBytes);
        const std::string name = std::string(which) + ".htm";
        fs::remove(PathOf(name));
        fs::create_directories(folder / name);  // there, but no file to read

        EXPECT_FALSE(MakeList(frame));
        ExpectOneFailureNaming(PathOf(name));
        EXPECT_EQ(Page(), oldPage);
        EXPECT_EQ(FilesInFolder(), files);
        EXPECT_TRUE(publisher.calls.empty());
        fs::remove(folder / name);
    }
}

TEST_F(ListFilesTest, AnEndFileWithoutReadPermissionIsReported) {
    if (RunningAsRoot()) GTEST_SKIP() << "permissions do not stop root";
    frame.Config().ftpupload = 1;
    frame.Config().viewout = 1;
    const std::string oldPage = "the page of yesterday\r\n";
    MakeFile("list.htm", oldPage);
    fs::permissions(PathOf("end.htm"), fs::perms::none);
    EXPECT_FALSE(MakeList(frame));
    ExpectOneFailureNaming(PathOf("end.htm"));
    EXPECT_EQ(Page(), oldPage);
    EXPECT_TRUE(publisher.calls.empty());
}

TEST_F(ListFilesTest, AWrittenPageIsUploadedThenOpenedAsConfigured) {
    frame.Config().server = "ftp.example.org";
    frame.Config().filename = "public/list.htm";
    const std::string output = PathOf("list.htm");

    frame.Config().ftpupload = 1;
    frame.Config().viewout = 1;
    ASSERT_TRUE(MakeList(frame));
    ASSERT_EQ(publisher.calls.size(), 2u);
    const PublishCall& upload = publisher.calls[0];
    const PublishCall& open = publisher.calls[1];
    EXPECT_EQ(upload.kind, PublishCall::Upload);
    EXPECT_EQ(upload.file, output);
    EXPECT_EQ(upload.server, "ftp.example.org");
    EXPECT_EQ(upload.remoteName, "public/list.htm");
    EXPECT_EQ(open.kind, PublishCall::Open);
    EXPECT_EQ(open.file, output);
    EXPECT_EQ(open.show, kShowNormal);
    // Both see the finished page.
    EXPECT_EQ(upload.fileOnDisk, Page());
    EXPECT_EQ(open.fileOnDisk, Page());
    EXPECT_TRUE(Page().ends_with(kEndBytes));

    // Only 1 switches a step on; a viewer that fails changes nothing.
    struct Case {
        int ftpupload, viewout;
        std::vector<PublishCall::Kind> calls;
    };
    publisher.openResult = 2;
    for (const Case& c :
         {Case{1, 0, {PublishCall::Upload}}, Case{0, 1, {PublishCall::Open}}, Case{0, 0, {}}, Case{2, 2, {}}}) {
        publisher.calls.clear();
        frame.Config().ftpupload = c.ftpupload;
        frame.Config().viewout = c.viewout;
        EXPECT_TRUE(MakeList(frame));
        std::vector<PublishCall::Kind> kinds;
        for (const PublishCall& call : publisher.calls) kinds.push_back(call.kind);
        EXPECT_EQ(kinds, c.calls) << c.ftpupload << " " << c.viewout;
    }
    EXPECT_TRUE(messages.shown.empty());

    // A host without a publisher still gets its page.
    publisherSocket.to = nullptr;
    frame.Config().ftpupload = 1;
    frame.Config().viewout = 1;
    fs::remove(output);
    EXPECT_TRUE(MakeList(frame));
    EXPECT_TRUE(Page().ends_with(kEndBytes));
}

}  // namespace
}  // namespace tabulon::testing
