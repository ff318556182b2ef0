// Items from the tags of real music files: silence made by sox (and MPEG
// frames written here), tagged through TagLib itself, scanned as files and
// as albums, and what has no tags falling back to its name.

#include <gtest/gtest.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <cstdlib>
#include <fstream>

#include "ToolsTestSupport.h"
#include "tags/TagLibReader.h"
#include "tools/DirectoryItems.h"

namespace tabulon::testing {
namespace {

struct Tagged {
    const char* artist = "";
    const char* title = "";
    const char* album = "";
    unsigned year = 0;
    const char* albumArtist = "";
    const char* genre = "";
};

// The desktop's folders, none of them shown: only their files are read.
struct NoPlaces : IFolderNamespace {
    std::vector<FolderEntry> TopLevel() override { return {}; }
    std::vector<FolderEntry> SubFolders(const std::string&) override { return {}; }
};

TagLib::String Utf8(const char* text) { return TagLib::String(text, TagLib::String::UTF8); }

struct TagScan : NewItemsFixture {
    NoPlaces places;
    tags::CFoldersWithTags folders{places};

    // A second of silence in the format the name's extension says; an .mp3
    // is a run of silent MPEG-1 Layer III frames, which sox cannot write.
    std::string Audio(const std::string& name) {
        const std::string path = (scratch.folder / name).string();
        fs::create_directories(fs::path(path).parent_path());
        if (name.ends_with(".mp3")) {
            std::string frame(417, '\0');
            frame.replace(0, 4, "\xFF\xFB\x90\x00", 4);
            std::ofstream out(path, std::ios::binary);
            for (int i = 0; i < 40; ++i) out << frame;
        } else {
            const std::string command = "sox -n -r 8000 -c 1 '" + path + "' trim 0 1";
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
        }
        return path;
    }
    void Audio(const std::string& name, const Tagged& t) {
        TagLib::FileRef file(Audio(name).c_str());
        ASSERT_FALSE(file.isNull()) << name;
        file.tag()->setArtist(Utf8(t.artist));
        file.tag()->setTitle(Utf8(t.title));
        file.tag()->setAlbum(Utf8(t.album));
        file.tag()->setGenre(Utf8(t.genre));
        file.tag()->setYear(t.year);
        if (*t.albumArtist) {
            TagLib::PropertyMap properties = file.file()->properties();
            properties.replace("ALBUMARTIST", TagLib::StringList(Utf8(t.albumArtist)));
            file.file()->setProperties(properties);
        }
        EXPECT_TRUE(file.save()) << name;
    }
    std::string SizeOf(const std::string& name) const {
        std::string size = FormatSize(std::to_string(fs::file_size(scratch.folder / name)), 2);
        return size.substr(size.find_first_not_of(' '));
    }
    ScanNotes Scan(const AddItemsOptions& options) {
        ScanNotes notes;
        EXPECT_TRUE(AddDirectoryItems(newItems, Folder(), options, nullptr, folders, &notes));
        return notes;
    }
};

TEST_F(TagScan, EachFormatFamilyGivesItsTagsAndFilesWithoutThemTheirNames) {
    Audio("a.wav", {"Jay-Z", "Title; Two", "Alb", 2001});
    Audio("b.flac", {"\xC3\x89"
                     "dith",
                     "<b>Bold</b>", "Alb", 1960});
    Audio("c.ogg", {"C", "Vorbis", "", 2020});
    Audio("d.aiff", {"D", "Aiff\nline", "", 0});
    Audio("e.mp3", {"E", "Mpeg", "", 1999});
    Audio("Untagged - Wave.wav");
    scratch.MakeFile("Plain - Name.txt", "not music");
    AddItemsOptions options;
    options.m_bFiles = 1;
    options.m_bDirectories = 0;
    options.m_bFileTags = 1;
    options.m_strFileTagFields = " Artist; title;year ;length";
    options.m_bFileSize = 1;
    const ScanNotes notes = Scan(options);
    EXPECT_EQ(Rows(), (Strings{"Jay-Z|Title, Two|2001|0:01|" + SizeOf("a.wav"),
                               "\xC3\x89"
                               "dith|<b>Bold</b>|1960|0:01|" +
                                   SizeOf("b.flac"),
                               "C|Vorbis|2020|0:01|" + SizeOf("c.ogg"), "D|Aiff line||0:01|" + SizeOf("d.aiff"),
                               "E|Mpeg|1999|0:01|" + SizeOf("e.mp3"), "Plain|Name|" + SizeOf("Plain - Name.txt") + "||",
                               "Untagged|Wave|" + SizeOf("Untagged - Wave.wav") + "||"}));
    EXPECT_EQ(notes.changed.count, 2);
    EXPECT_EQ(notes.changed.first, "Title, Two");
    EXPECT_EQ(notes.markup.first, "<b>Bold</b>");
}

TEST_F(TagScan, AFolderIsTheAlbumItsFilesAgreeOn) {
    Audio("Agree/1.flac", {"One", "First", "Same Album", 1999, "Various", "Jazz"});
    Audio("Agree/2.flac", {"Two", "Second", "Same Album", 1999, "Various", "Jazz"});
    Audio("Disagree/1.ogg", {"Band", "First", "Live", 2001, "", "Rock"});
    Audio("Disagree/2.ogg", {"Band", "Second", "Live", 2002, "", "Pop"});
    scratch.MakeFile("Disagree/notes.txt", "no music: no say in the album");
    MakeFolder("No tags - Just a name");
    AddItemsOptions options;  // folders only, the default fields
    options.m_bDirTags = 1;
    Scan(options);
    EXPECT_EQ(Rows(), (Strings{"Various|Same Album|1999|Jazz", "Band|Live||", "No tags|Just a name||"}));
}

}  // namespace
}  // namespace tabulon::testing
