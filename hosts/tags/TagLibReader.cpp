#include "tags/TagLibReader.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

namespace tabulon::tags {

namespace {

std::string Utf8(const TagLib::String& text) { return text.to8Bit(true); }

std::string Property(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    return found == properties.end() || found->second.isEmpty() ? std::string() : Utf8(found->second.front());
}

}  // namespace

std::optional<FileTags> CTagLibReader::ReadTags(const std::string& path, bool withLength) {
    // The playing time costs a look into the audio; only when asked.
    const TagLib::FileRef file(path.c_str(), withLength, TagLib::AudioProperties::Fast);
    if (file.isNull() || !file.tag()) return std::nullopt;
    const TagLib::Tag& tag = *file.tag();
    FileTags tags;
    tags.artist = Utf8(tag.artist());
    tags.title = Utf8(tag.title());
    tags.album = Utf8(tag.album());
    tags.genre = Utf8(tag.genre());
    tags.comment = Utf8(tag.comment());
    tags.year = tag.year();
    tags.track = tag.track();
    const TagLib::PropertyMap properties = file.file()->properties();
    tags.albumArtist = Property(properties, "ALBUMARTIST");
    tags.composer = Property(properties, "COMPOSER");
    if (withLength && file.audioProperties()) tags.seconds = file.audioProperties()->lengthInSeconds();
    const bool any = !tags.artist.empty() || !tags.title.empty() || !tags.album.empty() || !tags.genre.empty() ||
                     !tags.comment.empty() || tags.year != 0 || tags.track != 0 || !tags.albumArtist.empty() ||
                     !tags.composer.empty();
    if (!any) return std::nullopt;
    return tags;
}

}  // namespace tabulon::tags
