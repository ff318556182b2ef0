// The two save prompts, Exit and the close request, Save configuration and
// Save database: what is asked, in which order, and what each answer leaves.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "AppTestSupport.h"

namespace tabulon::testing {
namespace {

TEST_F(AppTest, NothingIsAskedWithoutMarksAndTheWindowCloses) {
    OpenConfiguration();
    EXPECT_TRUE(frame.OnAppExit());
    EXPECT_TRUE(window.closed);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AppTest, ConfigurationPromptComesFirstAndItsYesSavesBeforeTheDatabaseIsAsked) {
    OpenConfiguration();
    MarkBoth();
    const std::string db = Contents(PathOf("items.db"));
    std::string cfgWhenAsked;
    messages.onShow = [&] { cfgWhenAsked = Contents(PathOf("list.cfg")); };
    messages.Answer(MbResult::Yes);
    messages.Answer(MbResult::Cancel);

    EXPECT_FALSE(frame.OnAppExit());
    EXPECT_FALSE(window.closed);
    ASSERT_EQ(Texts(), (std::vector<std::string>{kConfigPrompt, kDatabasePrompt}));
    EXPECT_EQ(messages.shown[0].caption, "Configuration");
    EXPECT_EQ(messages.shown[1].caption, "Database");
    for (const auto& m : messages.shown) {
        EXPECT_EQ(m.icon, MbIcon::Question);
        EXPECT_EQ(m.buttons, MbButtons::YesNoCancel);
    }
    // Written when the database question came; the width lines are kept, so
    // the list width survives the next opening.
    EXPECT_TRUE(cfgWhenAsked.ends_with("usewidth = 1\r\nwidth    = 640\r\ncolumns  = Name;Size")) << cfgWhenAsked;
    EXPECT_EQ(Title(), OpenTitle());
    EXPECT_EQ(Corner(), "Database*");
    EXPECT_EQ(Contents(PathOf("items.db")), db);
    EXPECT_FALSE(fs::exists(PathOf("items.db.bak")));
}

TEST_F(AppTest, DatabasePromptYesBacksUpThenWritesAndClearsTheMark) {
    OpenConfiguration();
    MarkBoth();
    messages.Answer(MbResult::No);
    messages.Answer(MbResult::Yes);
    const std::string cfg = Contents(PathOf("list.cfg"));

    EXPECT_TRUE(frame.OnAppExit());
    EXPECT_TRUE(window.closed);
    EXPECT_EQ(Contents(PathOf("list.cfg")), cfg);  // No: left as it was
    EXPECT_EQ(Contents(PathOf("items.db.bak")), "a;1\r\nb;2\r\n");
    EXPECT_EQ(Contents(PathOf("items.db")), "edited;1\r\nb;2\r\n");
    EXPECT_EQ(Corner(), "Database");
}

TEST_F(AppTest, CancelInTheConfigurationPromptAsksNothingMore) {
    OpenConfiguration();
    MarkBoth();
    messages.Answer(MbResult::Cancel);
    EXPECT_FALSE(frame.OnCloseRequest());
    EXPECT_EQ(Texts(), std::vector<std::string>{kConfigPrompt});
    EXPECT_EQ(Title(), OpenTitle() + "*");
}

TEST_F(AppTest, ConfigurationFileGoneMeanwhileStopsTheExit) {
    OpenConfiguration();
    MarkBoth();
    fs::remove(PathOf("list.cfg"));
    messages.Answer(MbResult::Yes);

    EXPECT_FALSE(frame.OnAppExit());
    EXPECT_FALSE(window.closed);
    ASSERT_EQ(Texts(), (std::vector<std::string>{kConfigPrompt, "File configuration not found!\n" + PathOf("list.cfg") +
                                                                    "\n\nSpecify a valid file in configuration"}));
    EXPECT_EQ(messages.shown[1].icon, MbIcon::Exclamation);
    EXPECT_EQ(Title(), OpenTitle() + "*");
    EXPECT_FALSE(fs::exists(PathOf("list.cfg")));
}

TEST_F(AppTest, DatabaseFolderGoneKeepsTheItemsAndTheMark) {
    OpenConfiguration();
    fs::create_directories(PathOf("sub"));
    frame.Config().database = PathOf("sub/items.db");
    MakeFile("sub/items.db", "");
    MarkBoth();
    fs::remove_all(PathOf("sub"));
    messages.Answer(MbResult::No);
    messages.Answer(MbResult::Yes);

    EXPECT_FALSE(frame.OnAppExit());
    ASSERT_EQ(Texts(),
              (std::vector<std::string>{kConfigPrompt, kDatabasePrompt, NoDatabaseFile(PathOf("sub/items.db"))}));
    EXPECT_EQ(messages.shown[2].caption, "Database");
    EXPECT_EQ(messages.shown[2].icon, MbIcon::Exclamation);
    EXPECT_EQ(Corner(), "Database*");
    EXPECT_EQ(Db().GetCellText(1, 1), "edited");
    EXPECT_FALSE(window.closed);

    // Save database says the same and keeps everything too.
    messages.shown.clear();
    frame.OnSaveDatabase();
    EXPECT_EQ(Texts(), std::vector<std::string>{NoDatabaseFile(PathOf("sub/items.db"))});
    EXPECT_EQ(Corner(), "Database*");
}

TEST_F(AppTest, AFailedDatabaseWriteStopsThePromptAndKeepsTheMark) {
    OpenConfiguration();
    database.SetDatabaseModified(true);
    Db().SetCellText(1, 2, "x;y");  // the file cannot hold it
    messages.Answer(MbResult::Yes);

    EXPECT_FALSE(frame.ConfirmSaveDatabase());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("cannot store"), std::string::npos) << messages.shown[1].text;
    EXPECT_EQ(Corner(), "Database*");
    EXPECT_EQ(Contents(PathOf("items.db")), "a;1\r\nb;2\r\n");

    messages.shown.clear();
    frame.OnSaveDatabase();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Corner(), "Database*");
}

TEST_F(AppTest, ReadOnlyFilesAreRefusedWithTheirMarksKept) {
    OpenConfiguration();
    MarkBoth();
    const std::string cfg = Contents(PathOf("list.cfg"));
    fs::permissions(PathOf("list.cfg"), fs::perms::owner_read);
    fs::permissions(PathOf("items.db"), fs::perms::owner_read);

    frame.OnSaveConfiguration();
    frame.OnSaveDatabase();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("list.cfg\nis read-only"), std::string::npos) << messages.shown[0].text;
    EXPECT_EQ(messages.shown[0].caption, "Configuration");
    EXPECT_NE(messages.shown[1].text.find("items.db\nis read-only"), std::string::npos) << messages.shown[1].text;
    EXPECT_EQ(messages.shown[1].caption, "Database");
    EXPECT_EQ(Title(), OpenTitle() + "*");
    EXPECT_EQ(Corner(), "Database*");
    EXPECT_EQ(Contents(PathOf("list.cfg")), cfg);
    EXPECT_EQ(Contents(PathOf("items.db")), "a;1\r\nb;2\r\n");
}

TEST_F(AppTest, SaveCommandsWriteWithoutAskingAndSaveDatabaseMakesNoBackup) {
    OpenConfiguration();
    MarkBoth();
    fs::permissions(PathOf("list.cfg"), fs::perms(0644));
    frame.OnSaveDatabase();
    frame.OnSaveConfiguration();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Contents(PathOf("items.db")), "edited;1\r\nb;2\r\n");
    EXPECT_FALSE(fs::exists(PathOf("items.db.bak")));
    EXPECT_EQ(Corner(), "Database");
    EXPECT_EQ(Title(), OpenTitle());
    EXPECT_TRUE(Contents(PathOf("list.cfg")).ends_with("width    = 640\r\ncolumns  = Name;Size"));
}

TEST_F(AppTest, SaveConfigurationWithNoneOpenNamesTheMissingFile) {
    frame.OnSaveConfiguration();
    EXPECT_EQ(Texts(), std::vector<std::string>{kNoConfigFile});
    EXPECT_EQ(Title(), "Tabulon");
}

TEST_F(AppTest, ALoneCrSavesBackAsItCameAndOnlyASuccessfulSaveMakesTheBackup) {
    WriteConfiguration("a\rb;1\r\nc;2\r\n");
    ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));
    EXPECT_EQ(Db().GetCellText(1, 1), "a\rb");
    frame.OnSaveDatabase();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Contents(PathOf("items.db")), "a\rb;1\r\nc;2\r\n");

    // Yes at the prompt, then a save that cannot be made: the old backup stays.
    MakeFile("items.db.bak", "older");
    Db().SetCellText(2, 1, "two\nlines");
    database.SetDatabaseModified(true);
    messages.Answer(MbResult::Yes);
    EXPECT_FALSE(frame.OnCloseRequest());
    EXPECT_EQ(Contents(PathOf("items.db.bak")), "older");
    EXPECT_EQ(Contents(PathOf("items.db")), "a\rb;1\r\nc;2\r\n");
    EXPECT_EQ(Corner(), "Database*");
}

TEST_F(AppTest, ADatabaseThatIsNoFileIsNamedForWhatItIsOnLoadAndOnSave) {
    fs::create_directory(PathOf("folder.db"));
    ASSERT_EQ(::mkfifo(PathOf("pipe.db").c_str(), 0600), 0);
    struct Case {
        std::string path, what;
    };
    for (const Case& t : {Case{PathOf("folder.db"), "is a folder"}, Case{PathOf("pipe.db"), "is not a regular file"},
                          Case{"/dev/zero", "is not a regular file"}}) {
        SCOPED_TRACE(t.path);
        WriteConfiguration();
        const std::string cfg = Contents(PathOf("list.cfg"));
        MakeFile("list.cfg", cfg.substr(0, cfg.find("items.db")) + t.path + cfg.substr(cfg.find("items.db") + 8));
        messages.shown.clear();
        ASSERT_TRUE(frame.OpenConfiguration(PathOf("list.cfg")));  // returns: nothing waits for a writer
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  "The database file\n" + t.path + "\n" + t.what + ".\n\nNo items were loaded.");
        EXPECT_EQ(Title(), OpenTitle());
        EXPECT_EQ(Db().GetRowCount(), 1);

        frame.OnSaveDatabase();
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.shown[1].text, "The database file\n" + t.path + "\n" + t.what + ".\n\nNothing was saved.");
    }
    EXPECT_TRUE(fs::is_directory(PathOf("folder.db")));
    EXPECT_TRUE(fs::is_fifo(PathOf("pipe.db")));
}

// Another program appends to the file after it was read: every save asks.
TEST_F(AppTest, EverySaveOverWhatAnotherProgramWroteAsksFirst) {
    using C = CommandId;
    for (const C command :
         {C::kSaveDatabase, C::kSaveConfiguration, C::kExit, C::kOpenConfiguration, C::kNewConfiguration, C::kMakeList})
        for (const bool config : {true, false})
            for (const auto& [changed, answer] :
                 {std::pair{true, MbResult::Yes}, {true, MbResult::No}, {false, MbResult::No}}) {
                const bool prompted = command != C::kSaveDatabase && command != C::kSaveConfiguration;
                if (!prompted && config != (command == C::kSaveConfiguration)) continue;
                SCOPED_TRACE(::testing::Message() << int(command) << " " << config << changed << int(answer));
                OpenConfiguration();
                const std::string path = PathOf(config ? "list.cfg" : "items.db");
                // Unchanged since this window's own save, which was no one else's.
                if (!changed) frame.OnCommand(config ? C::kSaveConfiguration : C::kSaveDatabase);
                config ? frame.MarkConfigurationModified() : database.SetDatabaseModified(true);
                {
                    const CGridCtrl::CUnrecorded marked(Db());  // only the mark set above
                    Db().SetCellText(1, 1, "edited");
                }
                ASSERT_EQ(changed ? std::system(("printf 'x;1\\r\\n' >> " + path).c_str()) : 0, 0);
                const std::string other = Contents(path);
                messages.shown.clear();
                messages.script = prompted ? std::deque{MbResult::Yes, answer} : std::deque{answer};
                frame.OnCommand(command);
                std::vector<std::string> asked;
                if (prompted) asked.push_back(config ? kConfigPrompt : kDatabasePrompt);
                if (changed)
                    asked.push_back("The file\n" + path +
                                    "\nwas changed by another program after Tabulon read it.\n\nReplace it with " +
                                    (config ? "the configuration open here" : "the items shown here") +
                                    "? The other program's changes will be lost.");
                ASSERT_EQ(Texts(), asked);
                EXPECT_TRUE(!changed || (messages.shown.back().icon == MbIcon::Exclamation &&
                                         messages.shown.back().buttons == MbButtons::YesNo &&
                                         messages.shown.back().caption == (config ? "Configuration" : "Database")));
                const bool kept = changed && answer == MbResult::No;
                EXPECT_EQ(Contents(path) == other, kept || (!changed && config));  // the same text written again
                EXPECT_EQ(config ? Title().ends_with("*") : Corner() == "Database*", kept);
            }
}

}  // namespace
}  // namespace tabulon::testing
