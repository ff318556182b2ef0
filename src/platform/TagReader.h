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

class ITagReader {
public:
    virtual ~ITagReader() = default;
    // The tags of the file at path, with its playing time when withLength;
    // nothing when it is no file the reader knows or it holds no tags.
    virtual std::optional<FileTags> ReadTags(const std::string& path, bool withLength) = 0;
};

}  // namespace tabulon
