// Export CSV and Import CSV through the menu, on real files: what the dialog
// shows, where the fields land, what is told afterwards and one undo step.

#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "ScratchFolder.h"
#include "app/CommandTable.h"
#include "items/CsvImportDialog.h"

namespace tabulon::testing {

namespace {

namespace Id = CsvImportDlgId;

struct CsvCommands : CommandPanes {
    fakes::ScratchFolder scratch{"tabulon-csv"};

    // Import CSV on file, the dialog's user first running steps.
    void Import(const std::string& file, std::vector<fakes::DialogStep> steps) {
        picker.Answer(file);
        steps.push_back(fakes::Press(DialogId::kOk));
        dialogs.scripts.push_back(std::move(steps));
        frame.OnCommand(CommandId::kImportCsv);
    }
    static fakes::DialogStep Choose(ControlId list, int entry) {
        return [list, entry](fakes::ScriptedDialog& d, IDialogEvents& e) {
            d.SetControlText(list, std::to_string(entry));
            e.OnCommand(d, list);
        };
    }
    Strings Rows() const {
        Strings out;
        for (int r = 1; r < fresh->GetRowCount(); ++r) {
            std::string line;
            for (const std::string& cell : Row(*fresh, r)) line += cell + "|";
            out.push_back(line);
        }
        return out;
    }
    std::string LastMessage() const { return messages.shown.empty() ? std::string() : messages.shown.back().text; }
};

}  // namespace

TEST_F(CsvCommands, AnExportReadBackGivesTheSameItemsInOneUndoStep) {
    AddDatabase({"Name", "Note"}, {" x;\"quoted\", with comma", "caf\xE9;two words ", "plain;"});
    db->SetCellText(3, 2, " blank at both ends ");
    const std::string file = scratch.PathOf("out.csv");
    for (int separator : {0, 1}) {
        picker.Answer(file);
        picker.filterAnswer = separator;
        frame.OnCommand(CommandId::kExportCsv);
        EXPECT_EQ(picker.calls.back().options.filter, "CSV, comma (*.csv)|*.csv|CSV, semicolon (*.csv)|*.csv||");
        const std::string written = fakes::ScratchFolder::Contents(file);
        EXPECT_EQ(written.substr(0, 11), separator == 0 ? "Name,Note\r\n" : "Name;Note\r\n");
        EXPECT_EQ(window.status.find("Items exported to " + file), 0u) << window.status;

        AddNewItems({"kept;row"});
        Import(file, {fakes::Tick(Id::kNamesFirst, true)});
        EXPECT_EQ(dialogs.finalTexts.back().at(Id::kSeparator), std::to_string(separator));
        EXPECT_EQ(Rows(), (Strings{"kept|row|", "x|\"quoted\", with comma|", "caf\xC3\xA9|two words|",
                                   "plain| blank at both ends |"}));
        EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true, true}));
        EXPECT_EQ(frame.UndoStack().UndoName(), "Import CSV");
        frame.OnCommand(CommandId::kUndo);
        EXPECT_EQ(Rows(), (Strings{"kept|row|"}));
        fresh->SetRowCount(1);
    }
}

TEST_F(CsvCommands, NamedColumnsGoUnderTheirDatabaseColumnsAndFaultsAreTold) {
    AddDatabase({"Artist", "Title", "Year"}, {});
    // Windows-1252, ";" separated, a field with a line break and one with
    // ";" inside quotes, a row too short.
    const std::string file =
        scratch.MakeFile("in.csv", "title;ARTIST;Extra\r\n\"Two\r\nlines\";Ab\xE9;\"e;f\"\r\nShort\r\n");
    Import(file, {});
    const auto& preview = dialogs.finalLists.back().at(Id::kPreview);
    EXPECT_EQ(dialogs.finalTexts.back().at(Id::kSeparator), "1");
    EXPECT_EQ(dialogs.finalTexts.back().at(Id::kEncoding), "4");  // Windows-1252
    ASSERT_EQ(preview.size(), 3u);
    EXPECT_EQ(preview[0], "title | ARTIST | Extra");
    EXPECT_EQ(Rows(), (Strings{"title|ARTIST|Extra|", "Two  lines|Ab\xC3\xA9|e,f|", "Short|||"}));
    fresh->SetRowCount(1);

    Import(file, {fakes::Tick(Id::kNamesFirst, true)});
    EXPECT_EQ(dialogs.finalLists.back().at(Id::kPreview)[0], "Ab\xC3\xA9 | Two  lines |  | e,f");
    EXPECT_EQ(Rows(), (Strings{"Ab\xC3\xA9|Two  lines||e,f|", "|Short|||"}));
    EXPECT_EQ(LastMessage(), "Line 4 of\n" + file + "\nhas 1 field where the first has 3.\n\n" +
                                 "2 fields held \";\" or a line break, which the database file cannot store: \";\" "
                                 "became \",\" and a line break a blank. The first now reads:\nTwo  lines");
}

TEST_F(CsvCommands, HostileFilesAreReadAsFarAsSound) {
    struct Case {
        std::string bytes;
        Strings rows;
        std::string told;
    };
    const Case cases[] = {
        {"a,b\r\nc,\"never closed\r\nd,e\r\n", {"a|b|"}, "Line 2 of\nFILE\nopens a quote that is never closed"},
        {std::string("a,b\r\nc\0,d\r\n", 11), {"a|b|", "c|d|"}, "Line 2 of\nFILE\nholds a NUL byte"},
        {"\xFE\xFF", {}, "The file\nFILE\nholds no items."},
    };
    std::string wide = "a";
    for (int i = 1; i < 100000; ++i) wide += ",";
    for (const Case& c : cases) {
        const std::string file = scratch.MakeFile("hostile.csv", c.bytes);
        Import(file, {});
        EXPECT_EQ(Rows(), c.rows) << c.bytes;
        std::string told = c.told;
        told.replace(told.find("FILE"), 4, file);
        EXPECT_EQ(LastMessage().find(told), 0u) << LastMessage();
        fresh->SetRowCount(1);
    }
    // A hundred thousand fields in one row: as many columns, at once.
    Import(scratch.MakeFile("wide.csv", wide + "\r\nb\r\n"), {});
    EXPECT_EQ(fresh->GetColumnCount(), 100001);
    EXPECT_EQ(fresh->GetCellText(0, 100000), "Col 100000");
    EXPECT_EQ(LastMessage().find("Line 2 of\n"), 0u) << LastMessage();
}

}  // namespace tabulon::testing
