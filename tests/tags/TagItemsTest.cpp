// Items from the tags of real music files: silence made by sox (and MPEG
// frames written here), tagged through TagLib itself, scanned as files and
// as albums, and what has no tags falling back to its name.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "RecordingProgress.h"
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
    std::string Audio(const std::string& name, int frames = 40) {
        const std::string path = (scratch.folder / name).string();
        fs::create_directories(fs::path(path).parent_path());
        if (name.ends_with(".mp3")) {
            std::string frame(417, '\0');
            frame.replace(0, 4, "\xFF\xFB\x90\x00", 4);
            std::ofstream out(path, std::ios::binary);
            for (int i = 0; i < frames; ++i) out << frame;
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
    // An MPEG file of 200 kB with only the tag kinds given.
    void BigMpeg(const std::string& name, int kinds, const std::function<void(TagLib::MPEG::File&)>& tag) {
        TagLib::MPEG::File file(Audio(name, 480).c_str());
        tag(file);
        EXPECT_TRUE(file.save(kinds, TagLib::File::StripOthers, TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate));
    }
    std::string Bytes(const std::string& name) const {
        std::ifstream in(scratch.folder / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

TEST_F(TagScan, TagsAreFoundFarFromTheStartAndWhateverTheExtensionSays) {
    // A title behind a comment of 100 kB, and one in the last 128 bytes.
    BigMpeg("a far.mp3", TagLib::MPEG::File::ID3v2, [](TagLib::MPEG::File& file) {
        file.ID3v2Tag(true)->setComment(TagLib::String(std::string(100000, 'c')));
        file.ID3v2Tag(true)->setTitle("Past the head");
    });
    ASSERT_GT(Bytes("a far.mp3").find("Past the head"), 64u * 1024);
    BigMpeg("b tail.mp3", TagLib::MPEG::File::ID3v1,
            [](TagLib::MPEG::File& file) { file.ID3v1Tag(true)->setTitle("At the tail"); });
    ASSERT_EQ(Bytes("b tail.mp3").rfind("At the tail"), fs::file_size(scratch.folder / "b tail.mp3") - 125);
    // A tag after 96 kB of audio and more than the last 4 kB.
    const std::string wave = scratch.PathOf("b2 wave.wav");
    ASSERT_EQ(std::system(("sox -n -r 48000 -c 1 '" + wave + "' trim 0 1").c_str()), 0);
    TagLib::RIFF::WAV::File waveFile(wave.c_str());
    waveFile.ID3v2Tag()->setTitle("After the audio");
    waveFile.ID3v2Tag()->setComment(TagLib::String(std::string(8000, 'c')));
    ASSERT_TRUE(waveFile.save(TagLib::RIFF::WAV::File::ID3v2));
    ASSERT_GT(Bytes("b2 wave.wav").find("After the audio"), 64u * 1024);
    ASSERT_LT(Bytes("b2 wave.wav").find("After the audio") + 4096, fs::file_size(wave));
    Audio("c.flac", {"", "FLAC named MP3"});
    fs::rename(scratch.folder / "c.flac", scratch.folder / "c flac.mp3");
    Audio("d.ogg", {"", "Vorbis named FLAC"});
    fs::rename(scratch.folder / "d.ogg", scratch.folder / "d vorbis.flac");
    // Nothing waits for a writer that never comes.
    ASSERT_EQ(::mkfifo(scratch.PathOf("e pipe - name.mp3").c_str(), 0600), 0);
    AddItemsOptions options;
    options.m_bFiles = 1;
    options.m_bDirectories = 0;
    options.m_bFileTags = 1;
    options.m_strFileTagFields = "title";
    Scan(options);
    EXPECT_EQ(Rows(), (Strings{"Past the head|", "At the tail|", "After the audio|", "FLAC named MP3|",
                               "Vorbis named FLAC|", "e pipe|name"}));
}

TEST_F(TagScan, ManyFilesKeepTheirOrderAndCancelWhileReadingAddsNothing) {
    Strings expected;
    for (int i = 100; i < 250; ++i) {
        const std::string title = "Title " + std::to_string(i);
        Audio(std::to_string(i) + ".mp3", {"Artist", title.c_str()});
        expected.push_back("Artist|" + title);
    }
    AddItemsOptions options;
    options.m_bFiles = 1;
    options.m_bDirectories = 0;
    options.m_bFileTags = 1;
    options.m_strFileTagFields = "artist;title";
    fakes::RecordingProgressHost progress;
    ASSERT_TRUE(AddDirectoryItems(newItems, Folder(), options, &progress, folders));
    EXPECT_EQ(Rows(), expected);

    grid->DeleteNonFixedRows();
    for (long at : {1L, 100L}) {
        progress.cancelAtStep = at;
        EXPECT_FALSE(AddDirectoryItems(newItems, Folder(), options, &progress, folders)) << "cancelled at " << at;
        EXPECT_EQ(grid->GetRowCount(), 1) << "cancelled at " << at;
    }
}

TEST_F(TagScan, AFolderIsTheAlbumItsFilesAgreeOn) {
    Audio("Agree/1.flac", {"One", "First", "Same Album", 1999, "Various", "Jazz"});
    Audio("Agree/2.flac", {"Two", "Second", "Same Album", 1999, "Various", "Jazz"});
    Audio("Disagree/1.ogg", {"Band", "First", "Live", 2001, "", "Rock"});
    Audio("Disagree/2.ogg", {"Band", "Second", "Live", 2002, "", "Pop"});
    scratch.MakeFile("Disagree/notes.txt", "no music: no say in the album");
    MakeFolder("No tags - Just a name");
    AddItemsOptions options;  // the default fields for folders
    options.m_bDirTags = 1;
    Scan(options);
    EXPECT_EQ(Rows(), (Strings{"Various|Same Album|1999|Jazz", "Band|Live||", "No tags|Just a name||"}));

    // Files among the folders, with fields of their own.
    Audio("Loose.mp3", {"Solo", "Loose track", "", 0, "The Band"});
    grid->DeleteNonFixedRows();
    options.m_bFiles = 1;
    options.m_bFileTags = 1;
    options.m_strFileTagFields = "title;albumartist";
    Scan(options);
    EXPECT_EQ(Rows(), (Strings{"Various|Same Album|1999|Jazz", "Band|Live||", "Loose track|The Band||",
                               "No tags|Just a name||"}));
}

}  // namespace
}  // namespace tabulon::testing
