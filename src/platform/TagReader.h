#pragma once
// The tags of music and video files (artist, title, album ...), as the host
// reads them. Texts are UTF-8.

#include <optional>
#include <string>

namespace tabulon {

struct FileTags {
    std::string artist;
    std::string title;
    std::string album;
    std::string albumArtist;
    std::string genre;
    std::string composer;
    std::string comment;
    unsigned year = 0;   // 0: none
    unsigned track = 0;  // 0: none
    int seconds = -1;    // the playing time; -1 when not asked for or unknown
};

// The parts of the tags that cost more to read than the rest, each read
// only when asked for.
struct TagsWanted {
    bool length = false;       // the playing time: a look into the audio
    bool albumArtist = false;  // these two come from the map of every tag
    bool composer = false;
};

class ITagReader {
public:
    virtual ~ITagReader() = default;
    // The tags of the file at path, with the parts wanted; nothing when it
    // is no file the reader knows or it holds no tags. Scans call it from
    // two threads at once.
    virtual std::optional<FileTags> ReadTags(const std::string& path, const TagsWanted& wanted) = 0;
};

}  // namespace tabulon
