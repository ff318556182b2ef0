// The configuration dialog through a scripted dialog host: its control
// table, the data exchange and its rules, the pickers, the edit and colour
// buttons, Save and Cancel.

#include <cstdlib>
#include <deque>
#include <memory>
#include <optional>

#include "ConfigTestSupport.h"
#include "FakeFilePicker.h"
#include "ScriptedDialogHost.h"
#include "config/ConfigDialog.h"
#include "platform/Collation.h"
#include "platform/ColourPicker.h"
#include "platform/Shell.h"

namespace tabulon::testing {
namespace {

namespace Id = ConfigDlgId;
using fakes::Press;
using fakes::ScriptedDialog;
using fakes::Tick;
using fakes::TypeText;

struct RecordingShell : IShell {
    bool RunAssociatedCommand(const std::string& extension, const std::string& file, int show) override {
        runs.push_back(extension + " " + file + " " + std::to_string(show));
        return result;
    }
    std::vector<std::string> runs;
    bool result = true;
};

struct ScriptedColourPicker : IColourPicker {
    std::optional<PickedColour> PickColour(const PickedColour& initial) override {
        starts.push_back(initial);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<PickedColour>> answers;
    std::vector<PickedColour> starts;
};

// A step that looks at the shown dialog in the middle of a script.
fakes::DialogStep Look(std::function<void(ScriptedDialog&)> look) {
    return [look](ScriptedDialog& d, IDialogEvents&) { look(d); };
}

class ConfigDialogTest : public ConfigTest {
protected:
    void SetUp() override {
        s.frame.SetDialogHost(&host);
        s.frame.SetFilePicker(&picker);
        s.frame.SetShell(&shell);
        s.frame.SetColourPicker(&colours);
    }
    ControlId Run(std::vector<fakes::DialogStep> steps) {
        host.scripts.push_back(std::move(steps));
        return CConfigDlg(s.frame).DoModal();
    }
    std::string Shown(ControlId id) const { return host.finalTexts.back().at(id); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : s.messages.shown) texts.push_back(m.text);
        return texts;
    }
    // An open configuration whose .cfg exists.
    std::string OpenOne() {
        const std::string cfg = MakeFile("c.cfg", "");
        s.frame.Config().cfgfile = cfg;
        s.window.title = "Tabulon - " + cfg;
        return cfg;
    }

    fakes::ScriptedDialogHost host;
    fakes::FakeFilePicker picker;
    RecordingShell shell;
    ScriptedColourPicker colours;
};

TEST_F(ConfigDialogTest, TemplateHoldsEveryControlWhereItBelongs) {
    const DialogTemplate t = CConfigDlg::Template();
    EXPECT_EQ(t.caption, "Configuration");
    EXPECT_EQ(t.units, (Size{364, 220}));
    EXPECT_EQ(t.fontFace, "MS Sans Serif");
    EXPECT_EQ(t.fontPoints, 8);
    ASSERT_EQ(t.controls.size(), 64u);
    auto find = [&](int id) -> const DialogControl& {
        for (const auto& c : t.controls)
            if (static_cast<int>(c.id) == id) return c;
        ADD_FAILURE() << "no control " << id;
        return t.controls.front();
    };
    // Each id once, and every one of them there.
    const int ids[] = {1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018,
                       1019, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1031, 1032, 1033,
                       1062, 1063, 1064, 1065, 1066, 1067, 1068, 1069, 1070, 1071, 1072, 1073, 1,    2};
    for (int id : ids) {
        int count = 0;
        for (const auto& c : t.controls) count += static_cast<int>(c.id) == id;
        EXPECT_EQ(count, 1) << id;
    }
    EXPECT_EQ(find(1005).units, (Rect{12, 25, 142, 37}));
    EXPECT_TRUE(find(1005).style & ControlStyle::kReadOnly);
    EXPECT_EQ(find(1018).units, (Rect{129, 131, 142, 144}));
    EXPECT_EQ(find(1018).text, "br");
    EXPECT_TRUE(find(1018).style & ControlStyle::kIcon);
    EXPECT_EQ(find(1008).text, "ed");
    EXPECT_EQ(find(1025).units, (Rect{195, 115, 208, 128}));
    EXPECT_TRUE(find(1032).style & ControlStyle::kPassword);  // masked
    EXPECT_EQ(find(1029).kind, ControlKind::DropDownList);
    EXPECT_EQ(find(1029).text, "none\n0..z\n0..z (all)\n0-9..z\n0-9..z (all)");
    EXPECT_EQ(find(1029).units, (Rect{293, 145, 348, 206}));
    EXPECT_EQ(find(1065).text, "ftp\nftps\nsftp");
    EXPECT_EQ(find(1068).text, "List other letters after Z");
    EXPECT_EQ(find(1069).text, "Page for today's browsers (sortable, searchable)");
    EXPECT_EQ(find(1069).kind, ControlKind::CheckBox);
    EXPECT_EQ(find(1063).text, "Help");
    EXPECT_TRUE(find(1063).style & ControlStyle::kDisabled);
    EXPECT_EQ(find(1).kind, ControlKind::DefaultButton);
    EXPECT_EQ(find(1).text, "Save");
    EXPECT_EQ(find(1).units, (Rect{234, 202, 284, 216}));
    EXPECT_EQ(find(1071).kind, ControlKind::DropDownList);
    EXPECT_EQ(find(1071).text, "byte order A-Z");  // no host that knows languages here
    EXPECT_EQ(find(1073).text, "Numbers by value");
    EXPECT_EQ(find(2).text, "Cancel");
    EXPECT_EQ(t.controls.front().kind, ControlKind::GroupBox);
    EXPECT_EQ(t.controls.front().text, "Files");
}

TEST_F(ConfigDialogTest, OpeningShowsTheRecordAndSaveTakesItBack) {
    const std::string cfg = OpenOne();
    CListConfig& c = s.frame.Config();
    c.database = "items.db";
    c.headcol = "FF8000";
    c.viewout = 1;
    c.port = 2121;
    c.addindex = 4;
    c.width = 700;
    EXPECT_EQ(Run({Look([&](ScriptedDialog& d) {
                       EXPECT_EQ(d.GetControlText(Id::kDatabase), "items.db");
                       EXPECT_EQ(d.GetControlText(Id::kCfgFile), cfg);
                       EXPECT_EQ(d.GetControlText(Id::kHeadColour), "FF8000");
                       EXPECT_EQ(d.GetControlText(Id::kPort), "2121");
                       EXPECT_EQ(d.GetControlText(Id::kWidth), "700");
                       EXPECT_EQ(d.GetControlText(Id::kAddIndex), "4");
                       EXPECT_TRUE(d.GetCheck(Id::kViewOut));
                       EXPECT_FALSE(d.GetCheck(Id::kFtpUpload));
                       EXPECT_FALSE(d.IsControlEnabled(Id::kWidth));  // usewidth 0
                       EXPECT_FALSE(d.IsControlEnabled(Id::kHelp));
                   }),
                   TypeText(Id::kServer, "ftp.example.org"), TypeText(Id::kAddIndex, "0"), Tick(Id::kFtpUpload, true),
                   TypeText(Id::kPort, " 65535 "), Press(DialogId::kOk)}),
              DialogId::kOk);
    EXPECT_TRUE(s.messages.shown.empty());
    EXPECT_EQ(c.server, "ftp.example.org");
    EXPECT_EQ(c.addindex, 0);
    EXPECT_EQ(c.ftpupload, 1);
    EXPECT_EQ(c.port, 65535);
    const std::string text = Contents(cfg);
    EXPECT_NE(text.find("server   = ftp.example.org\r\n"), std::string::npos);
    EXPECT_NE(text.find("width    = 700\r\n"), std::string::npos);
    EXPECT_NE(text.find("port     = 65535\r\n"), std::string::npos);
    EXPECT_EQ(s.window.title, "Tabulon - " + cfg);
}

TEST_F(ConfigDialogTest, SaveNeedsAChosenFileWhichBrowsingCreates) {
    const std::string cfg = PathOf("config.cfg");
    picker.Answer(cfg);
    EXPECT_EQ(Run({Press(DialogId::kOk), Look([&](ScriptedDialog& d) {
                       EXPECT_FALSE(d.ended);
                       EXPECT_EQ(Texts(),
                                 std::vector<std::string>{
                                     "File configuration not found!\n\nSpecify a valid file in configuration"});
                       EXPECT_FALSE(fs::exists(cfg));
                   }),
                   Press(Id::kBrowseCfgFile), Look([&](ScriptedDialog& d) {
                       EXPECT_EQ(Contents(cfg), "");  // made empty
                       EXPECT_TRUE(fs::exists(cfg));
                       EXPECT_EQ(d.GetControlText(Id::kCfgFile), cfg);
                       EXPECT_EQ(d.focus, Id::kCfgFile);
                   }),
                   Press(DialogId::kOk)}),
              DialogId::kOk);
    EXPECT_TRUE(Contents(cfg).starts_with("[files]\r\n"));
    EXPECT_EQ(s.window.title, "Tabulon - " + cfg);
    ASSERT_EQ(picker.calls.size(), 1u);
    EXPECT_TRUE(picker.calls[0].save);
}

TEST_F(ConfigDialogTest, EachBrowseButtonAsksWithItsOwnOptions) {
    struct Expected {
        ControlId button;
        bool save;
        const char* extension;
        const char* name;
        const char* filter;
    };
    const char* html = "HTML document (*.htm, *.html)|*.htm; *.html|All Files (*.*)|*.*||";
    const char* htmlOrText =
        "HTML document (*.htm, *.html)|*.htm; *.html|Text files (*.txt)|*.txt|All Files (*.*)|*.*||";
    const Expected expected[] = {
        {Id::kBrowseDatabase, false, "db", "database.db",
         "Database files (*.db)|*.db|Text files (*.txt)|*.txt|All Files (*.*)|*.*||"},
        {Id::kBrowseOutput, false, "htm", "list.htm", html},
        {Id::kBrowseHeadFile, false, "htm", "head.htm", htmlOrText},
        {Id::kBrowseEndFile, false, "htm", "end.htm", htmlOrText},
        {Id::kBrowseCfgFile, true, "cfg", "config.cfg", "Cfg files (*.cfg)|*.cfg|All Files (*.*)|*.*||"},
    };
    std::vector<fakes::DialogStep> steps;
    for (const Expected& e : expected) steps.push_back(Press(e.button));  // every picker cancels
    Run(steps);
    ASSERT_EQ(picker.calls.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const FilePickerOptions& o = picker.calls[i].options;
        EXPECT_EQ(picker.calls[i].save, expected[i].save);
        EXPECT_EQ(o.defaultExtension, expected[i].extension);
        EXPECT_EQ(o.initialName, expected[i].name);
        EXPECT_EQ(o.filter, expected[i].filter);
        EXPECT_FALSE(o.mustExist);
        EXPECT_FALSE(o.hideReadOnly);
    }
    EXPECT_EQ(s.frame.Config(), CListConfig{});
    EXPECT_EQ(Texts().size(), 0u);
}

TEST_F(ConfigDialogTest, APickedFileThatCannotBeMadeLeavesTheFieldAsItWas) {
    s.frame.Config().output = "old.htm";
    picker.Answer(PathOf("no-such-folder/list.htm"));
    Run({Press(Id::kBrowseOutput)});
    ASSERT_EQ(s.messages.shown.size(), 1u);
    EXPECT_NE(s.messages.shown[0].text.find("could not be created"), std::string::npos);
    EXPECT_EQ(s.frame.Config().output, "old.htm");
}

TEST_F(ConfigDialogTest, RulesRefuseBadNumbersAndLongColoursAndKeepTheDialogOpen) {
    OpenOne();
    s.frame.Config().indexcol = "1234567";  // too long, from a hand-edited file
    const std::string before = Contents(s.frame.Config().cfgfile);
    Run({Press(DialogId::kOk), Look([](ScriptedDialog& d) {
             EXPECT_FALSE(d.ended);
             EXPECT_EQ(d.focus, Id::kIndexColour);
             EXPECT_EQ(d.selectedAll, Id::kIndexColour);
         }),
         TypeText(Id::kIndexColour, "123456"), TypeText(Id::kPort, "65536"), Press(DialogId::kOk),
         Look([](ScriptedDialog& d) { EXPECT_EQ(d.focus, Id::kPort); }), TypeText(Id::kPort, "21x"),
         Press(DialogId::kOk), TypeText(Id::kPort, "99999999999"), Press(DialogId::kOk), TypeText(Id::kPort, "21"),
         TypeText(Id::kWidth, ""), Press(DialogId::kOk), Look([](ScriptedDialog& d) {
             EXPECT_EQ(d.focus, Id::kWidth);
             EXPECT_FALSE(d.ended);
         })});
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Please enter no more than 6 characters.", "Please enter an integer between 0 and 65535.",
                           "Please enter an integer.", "Please enter an integer.", "Please enter an integer."}));
    for (const auto& m : s.messages.shown) {
        EXPECT_EQ(m.caption, "Tabulon");
        EXPECT_EQ(m.icon, MbIcon::Exclamation);
    }
    EXPECT_EQ(Contents(s.frame.Config().cfgfile), before);
    // Nothing was saved, so the record is as it was.
    EXPECT_EQ(s.frame.Config().indexcol, "1234567");
    EXPECT_EQ(s.frame.Config().port, 21);
}

TEST_F(ConfigDialogTest, AColourEditTakesNoSeventhCharacter) {
    s.frame.Config().headcol = "12345";
    s.frame.Config().firstcol = "1234567";
    Run({TypeText(Id::kHeadColour, "123456"), TypeText(Id::kHeadColour, "1234567"),
         Look([](ScriptedDialog& d) { EXPECT_EQ(d.GetControlText(Id::kHeadColour), "123456"); }),
         // A longer value shown from the file may still be shortened.
         TypeText(Id::kFirstColour, "123457"), TypeText(Id::kFirstColour, "12345678"),
         Look([](ScriptedDialog& d) { EXPECT_EQ(d.GetControlText(Id::kFirstColour), "123457"); })});
}

TEST_F(ConfigDialogTest, ListWidthEnablesTheWidthAndKeepsItsValue) {
    const std::string cfg = OpenOne();
    Run({Tick(Id::kUseWidth, true), Look([](ScriptedDialog& d) { EXPECT_TRUE(d.IsControlEnabled(Id::kWidth)); }),
         TypeText(Id::kWidth, "640"), Tick(Id::kUseWidth, false),
         Look([](ScriptedDialog& d) { EXPECT_FALSE(d.IsControlEnabled(Id::kWidth)); }), Press(DialogId::kOk)});
    EXPECT_TRUE(Contents(cfg).find("usewidth = 0\r\nwidth    = 640\r\n") != std::string::npos) << Contents(cfg);
}

TEST_F(ConfigDialogTest, AnUnusedWidthOfNoneSavesAsTheFileReadsItAndAUsedOneIsRefusedAtItsBox) {
    const std::string cfg = OpenOne();
    Run({TypeText(Id::kWidth, "0"), Tick(Id::kUseWidth, true), Press(DialogId::kOk), Look([](ScriptedDialog& d) {
             EXPECT_FALSE(d.ended);
             EXPECT_TRUE(d.IsControlEnabled(Id::kWidth));
             EXPECT_EQ(d.focus, Id::kWidth);
         }),
         Tick(Id::kUseWidth, false), Press(DialogId::kOk)});
    EXPECT_EQ(Texts(), std::vector<std::string>{"Please enter an integer between 1 and 2147483647."});
    EXPECT_NE(Contents(cfg).find("usewidth = 0\r\nwidth    = 500\r\n"), std::string::npos) << Contents(cfg);
}

TEST_F(ConfigDialogTest, TheCertificateIsForFtpsAloneAndTheGroupIsNamedUpload) {
    bool groupNamed = false;
    for (const DialogControl& c : CConfigDlg::Template().controls) groupNamed |= c.text == "Upload (optional)";
    EXPECT_TRUE(groupNamed);
    auto certificate = [](bool enabled) {
        return Look([enabled](ScriptedDialog& d) {
            for (const ControlId id : {Id::kCertLabel, Id::kCertFile, Id::kBrowseCertFile})
                EXPECT_EQ(d.IsControlEnabled(id), enabled) << static_cast<int>(id);
        });
    };
    Run({certificate(false), TypeText(Id::kProtocol, "1"), Press(Id::kProtocol), certificate(true),
         TypeText(Id::kProtocol, "2"), Press(Id::kProtocol), certificate(false)});
}

TEST_F(ConfigDialogTest, ThePortFollowsTheProtocolUnlessTheUserChoseOne) {
    const std::string cfg = OpenOne();
    auto choose = [](const char* index) { return std::vector{TypeText(Id::kProtocol, index), Press(Id::kProtocol)}; };
    auto port = [](const char* expected) {
        return Look([expected](ScriptedDialog& d) { EXPECT_EQ(d.GetControlText(Id::kPort), expected); });
    };
    std::vector<fakes::DialogStep> steps = choose("2");
    steps.push_back(port("22"));
    for (const auto& step : choose("1")) steps.push_back(step);
    steps.insert(steps.end(), {port("21"), TypeText(Id::kPort, "2222")});
    for (const auto& step : choose("2")) steps.push_back(step);
    steps.insert(steps.end(),
                 {port("2222"), Tick(Id::kOtherLetters, true), Tick(Id::kPageStyle, true), Press(DialogId::kOk)});
    Run(steps);
    EXPECT_NE(Contents(cfg).find("port     = 2222\r\nprotocol = sftp\r\n"), std::string::npos) << Contents(cfg);
    EXPECT_NE(Contents(cfg).find("otherletters = 1\r\npagestyle = 1\r\n"), std::string::npos);
}

TEST_F(ConfigDialogTest, CancelLeavesTheRecordAsItWasWhateverButtonsWereUsedAndOnlySaveChangesIt) {
    const std::string cfg = OpenOne();
    s.frame.Config().indexcol = "C8D8E8";
    const CListConfig before = s.frame.Config();
    picker.Answer(PathOf("other.htm"));
    colours.answers.push_back(PickedColour{255, 128, 0});
    colours.answers.push_back(std::nullopt);
    const auto useEveryButton =
        std::vector<fakes::DialogStep>{TypeText(Id::kPassword, "secret"),
                                       Press(Id::kPickIndexColour),
                                       Look([](ScriptedDialog& d) {
                                           EXPECT_EQ(d.GetControlText(Id::kIndexColour), "FF8000");
                                           EXPECT_EQ(d.focus, Id::kIndexColour);
                                       }),
                                       Press(Id::kPickSecondColour),
                                       Tick(Id::kUseWidth, true),
                                       Press(Id::kBrowseOutput),
                                       TypeText(Id::kLogin, "typed")};
    std::vector<fakes::DialogStep> cancelled = useEveryButton;
    cancelled.push_back(Press(DialogId::kCancel));
    EXPECT_EQ(Run(cancelled), DialogId::kCancel);
    EXPECT_EQ(s.frame.Config(), before);
    EXPECT_EQ(Contents(cfg), "");
    EXPECT_EQ(s.window.title, "Tabulon - " + cfg);

    // The same with Save: the record takes it all, and the file with it.
    picker.Answer(PathOf("other.htm"));
    colours.answers.push_back(PickedColour{255, 128, 0});
    colours.answers.push_back(std::nullopt);
    std::vector<fakes::DialogStep> saved = useEveryButton;
    saved.push_back(Press(DialogId::kOk));
    EXPECT_EQ(Run(saved), DialogId::kOk);
    EXPECT_EQ(s.frame.Config().password, "secret");
    EXPECT_EQ(s.frame.Config().indexcol, "FF8000");
    EXPECT_EQ(s.frame.Config().loginname, "typed");
    EXPECT_EQ(s.frame.Config().output, PathOf("other.htm"));
    EXPECT_EQ(s.frame.Config().usewidth, 1);
    EXPECT_NE(Contents(cfg).find("password = secret\r\n"), std::string::npos);
}

TEST_F(ConfigDialogTest, TheColourPickerStartsAtTheFieldsColourOrTheLastOneItHeld) {
    s.frame.Config().headcol = "FF8000";
    s.frame.Config().indexcol = "C8D8E8";
    s.frame.Config().firstcol = "";  // never a colour: black
    Run({Press(Id::kPickHeadColour), TypeText(Id::kIndexColour, "C8D8"), Press(Id::kPickIndexColour),
         Press(Id::kPickFirstColour)});
    ASSERT_EQ(colours.starts.size(), 3u);
    const auto rgb = [](const PickedColour& c) { return std::vector<unsigned>{c.red, c.green, c.blue}; };
    EXPECT_EQ(rgb(colours.starts[0]), (std::vector<unsigned>{0xFF, 0x80, 0x00}));
    EXPECT_EQ(rgb(colours.starts[1]), (std::vector<unsigned>{0xC8, 0xD8, 0xE8}));
    EXPECT_EQ(rgb(colours.starts[2]), (std::vector<unsigned>{0, 0, 0}));
}

TEST_F(ConfigDialogTest, EditButtonsOpenAnExistingFileInTheTextEditor) {
    OpenOne();
    const std::string head = MakeFile("head.htm", "<html>");
    s.frame.Config().headfile = "head.htm";  // beside the .cfg
    s.frame.Config().endfile = "missing.htm";
    Run({Press(Id::kEditHead), Press(Id::kEditEnd), Look([](ScriptedDialog& d) { EXPECT_EQ(d.focus, Id::kEditEnd); })});
    EXPECT_EQ(shell.runs, std::vector<std::string>{".txt " + head + " 5"});
    ASSERT_EQ(s.messages.shown.size(), 1u);
    EXPECT_EQ(s.messages.shown[0].text, "File not found");
    EXPECT_EQ(s.messages.shown[0].caption, "Tabulon");
    EXPECT_EQ(s.messages.shown[0].icon, MbIcon::None);

    // No text editor to start is said, not passed over.
    shell.result = false;
    Run({Press(Id::kEditHead)});
    EXPECT_EQ(s.messages.shown.size(), 2u);
}

TEST_F(ConfigDialogTest, HelpDoesNothingAndWithoutAHostTheDialogCancels) {
    Run({Press(Id::kHelp)});
    EXPECT_TRUE(s.messages.shown.empty());
    EXPECT_TRUE(picker.calls.empty());
    s.frame.SetDialogHost(nullptr);
    EXPECT_EQ(CConfigDlg(s.frame).DoModal(), DialogId::kCancel);
}

TEST_F(ConfigDialogTest, SavingSettingsIntoAnotherFolderKeepsNamingTheSameFiles) {
    const std::string cfg = OpenOne();
    s.frame.Config().database = "items.db";
    s.frame.Config().output = "/already/absolute/list.htm";
    fs::create_directories(PathOf("other"));
    picker.Answer(PathOf("other/copy.cfg"));
    Run({Press(Id::kBrowseCfgFile), Press(DialogId::kOk)});
    const fs::path cfgFolder = fs::path(cfg).parent_path();
    EXPECT_EQ(s.frame.Config().cfgfile, PathOf("other/copy.cfg"));
    EXPECT_EQ(s.frame.Config().database, (cfgFolder / "items.db").string());  // not other/items.db
    EXPECT_EQ(s.frame.Config().output, "/already/absolute/list.htm");
    EXPECT_EQ(s.frame.Config().headfile, "");  // nothing named, nothing made up
}

TEST_F(ConfigDialogTest, EachBrowseStartsAtTheFileItsFieldNames) {
    const std::string cfg = OpenOne();
    const std::string cfgFolder = fs::path(cfg).parent_path().string();
    s.frame.Config().database = "items.db";  // relative: from the configuration's folder
    s.frame.Config().output = "/already/absolute/list.htm";
    s.frame.Config().certfile = "/etc/trusted/ca.pem";
    Run({Press(Id::kBrowseDatabase), Press(Id::kBrowseOutput), Press(Id::kBrowseHeadFile), Press(Id::kBrowseCfgFile),
         Press(Id::kBrowseCertFile)});
    ASSERT_EQ(picker.calls.size(), 5u);
    const std::pair<std::string, std::string> expected[] = {{cfgFolder, "items.db"},
                                                            {"/already/absolute", "list.htm"},
                                                            {"", "head.htm"},  // none named: as before
                                                            {cfgFolder, fs::path(cfg).filename().string()},
                                                            {"/etc/trusted", "ca.pem"}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(picker.calls[i].options.initialFolder, expected[i].first) << i;
        EXPECT_EQ(picker.calls[i].options.initialName, expected[i].second) << i;
    }
}

}  // namespace
}  // namespace tabulon::testing

namespace tabulon::testing {
namespace {

// Three languages, known by their tags alone.
struct ThreeLanguages : ICollation {
    struct Collator : ICollator {
        void AppendSortKey(std::u16string_view, std::string& key) const override { key.push_back('\0'); }
        std::unique_ptr<ISortKeyMaker> NewKeyMaker() const override { return nullptr; }
        const std::vector<std::string>& Letters() const override { return letters; }
        int LetterOf(std::u16string_view) const override { return -1; }
        std::vector<std::string> letters;
    };
    std::unique_ptr<ICollator> Open(const std::string& language, bool, std::string& reason) override {
        for (const CollationLanguage& known : Languages())
            if (known.tag == language) return std::make_unique<Collator>();
        reason = "unknown";
        return nullptr;
    }
    std::vector<CollationLanguage> Languages() override {
        return {{"sv", "svenska"}, {"fr", "fran\u00E7ais"}, {"de", "Deutsch"}};
    }
};

class ConfigLanguageTest : public ConfigDialogTest {
protected:
    void SetUp() override {
        ConfigDialogTest::SetUp();
        SetCollation(&languages);
    }
    void TearDown() override {
        SetCollation(nullptr);
        ConfigDialogTest::TearDown();
    }
    ThreeLanguages languages;
};

TEST_F(ConfigLanguageTest, TheOrderControlsShowAndTakeTheThreeKeys) {
    const std::string cfg = OpenOne();
    s.frame.Config().language = "fr";
    s.frame.Config().articles = "Le;La";
    s.frame.Config().numbers = 1;
    Run({Look([](ScriptedDialog& d) {
             EXPECT_EQ(d.Control(Id::kLanguage)->text,
                       "byte order A-Z\nDeutsch (de)\nfran\u00E7ais (fr)\nsvenska (sv)");
             EXPECT_EQ(d.GetControlText(Id::kLanguage), "2");
             EXPECT_EQ(d.GetControlText(Id::kArticles), "Le;La");
             EXPECT_TRUE(d.GetCheck(Id::kNumbers));
         }),
         TypeText(Id::kLanguage, "3"), TypeText(Id::kArticles, " The;A "), Tick(Id::kNumbers, false),
         Press(DialogId::kOk)});
    EXPECT_NE(Contents(cfg).find("language = sv\r\narticles = The;A\r\n"), std::string::npos) << Contents(cfg);
    EXPECT_EQ(Contents(cfg).find("numbers"), std::string::npos);
    // A tag the list holds otherwise is kept unless another is chosen; the
    // byte order clears it.
    s.frame.Config().language = "sv-SE";
    Run({Look([](ScriptedDialog& d) { EXPECT_EQ(d.GetControlText(Id::kLanguage), "-1"); }), Press(DialogId::kOk)});
    EXPECT_EQ(s.frame.Config().language, "sv-SE");
    Run({TypeText(Id::kLanguage, "0"), Press(DialogId::kOk)});
    EXPECT_EQ(s.frame.Config().language, "");
}

TEST_F(ConfigLanguageTest, ANewConfigurationTakesTheLanguageOfTheLocaleWhenItIsKnown) {
    struct Case {
        const char* lcAll;
        const char* lang;
        const char* language;
    };
    const Case cases[] = {{"", "sv_SE.UTF-8", "sv"}, {"fr_FR", "sv_SE", "fr"}, {"", "C", ""},
                          {"", "POSIX", ""},         {"", "xx_YY", ""},        {"", "de", "de"}};
    // The environment of the run is put back afterwards.
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(name);
        saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    for (const Case& c : cases) {
        ::setenv("LC_ALL", c.lcAll, 1);
        ::unsetenv("LC_COLLATE");
        ::setenv("LANG", c.lang, 1);
        EXPECT_EQ(LanguageOfUserLocale(), c.language) << c.lcAll << " " << c.lang;
    }
    for (const auto& [name, value] : saved) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
}

}  // namespace
}  // namespace tabulon::testing
