#include "tools/TagItems.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "base/TextCompare.h"
#include "base/TextTrim.h"

namespace tabulon {

namespace {

struct NamedField {
    std::string_view name;
    TagField field;
};
constexpr NamedField kNames[] = {
    {"artist", TagField::Artist},     {"title", TagField::Title},
    {"album", TagField::Album},       {"year", TagField::Year},
    {"genre", TagField::Genre},       {"track", TagField::Track},
    {"length", TagField::Length},     {"albumartist", TagField::AlbumArtist},
    {"composer", TagField::Composer}, {"comment", TagField::Comment},
};

std::string Number(unsigned value) { return value == 0 ? std::string() : std::to_string(value); }

std::string MinutesAndSeconds(int seconds) {
    if (seconds < 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

// The value all files agree on, or the empty one.
template <typename Value, typename Of>
Value Agreed(const std::vector<FileTags>& files, Of of) {
    const Value first = of(files.front());
    for (const FileTags& file : files)
        if (of(file) != first) return Value{};
    return first;
}

}  // namespace

std::vector<TagField> ParseTagFields(const std::string& text, std::string& unknown) {
    std::vector<TagField> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::string_view name = Trim(std::string_view(text).substr(start, end - start));
        if (!name.empty()) {
            const auto* found = std::find_if(std::begin(kNames), std::end(kNames),
                                             [&](const NamedField& n) { return CompareNoCase(n.name, name) == 0; });
            if (found == std::end(kNames)) {
                unknown = std::string(name);
                return {};
            }
            fields.push_back(found->field);
        }
        if (end == text.size()) return fields;
        start = end + 1;
    }
}

std::string TagFieldsProblemText(const std::string& text) {
    std::string unknown;
    const std::vector<TagField> fields = ParseTagFields(text, unknown);
    if (!unknown.empty())
        return "The tag field \"" + unknown +
               "\" is not known.\n\nKnown fields, separated by \";\": artist, title, album, year, genre, track, "
               "length, albumartist, composer, comment.";
    if (fields.empty()) return "Name at least one tag field, for example: " + std::string(kFileTagFields);
    return {};
}

FileTags AlbumTags(const std::vector<FileTags>& files) {
    FileTags album;
    if (files.empty()) return album;
    album.artist =
        Agreed<std::string>(files, [](const FileTags& f) { return f.albumArtist.empty() ? f.artist : f.albumArtist; });
    album.title = Agreed<std::string>(files, [](const FileTags& f) { return f.title; });
    album.album = Agreed<std::string>(files, [](const FileTags& f) { return f.album; });
    album.albumArtist = Agreed<std::string>(files, [](const FileTags& f) { return f.albumArtist; });
    album.genre = Agreed<std::string>(files, [](const FileTags& f) { return f.genre; });
    album.composer = Agreed<std::string>(files, [](const FileTags& f) { return f.composer; });
    album.comment = Agreed<std::string>(files, [](const FileTags& f) { return f.comment; });
    album.year = Agreed<unsigned>(files, [](const FileTags& f) { return f.year; });
    album.track = Agreed<unsigned>(files, [](const FileTags& f) { return f.track; });
    album.seconds = 0;
    for (const FileTags& file : files) {
        if (file.seconds < 0) {
            album.seconds = -1;
            break;
        }
        album.seconds += file.seconds;
    }
    return album;
}

std::vector<std::string> TagCells(const FileTags& tags, const std::vector<TagField>& fields) {
    std::vector<std::string> cells;
    cells.reserve(fields.size());
    for (const TagField field : fields) {
        switch (field) {
        case TagField::Artist: cells.push_back(tags.artist); break;
        case TagField::Title: cells.push_back(tags.title); break;
        case TagField::Album: cells.push_back(tags.album); break;
        case TagField::Year: cells.push_back(Number(tags.year)); break;
        case TagField::Genre: cells.push_back(tags.genre); break;
        case TagField::Track: cells.push_back(Number(tags.track)); break;
        case TagField::Length: cells.push_back(MinutesAndSeconds(tags.seconds)); break;
        case TagField::AlbumArtist: cells.push_back(tags.albumArtist); break;
        case TagField::Composer: cells.push_back(tags.composer); break;
        case TagField::Comment: cells.push_back(tags.comment); break;
        }
    }
    return cells;
}

}  // namespace tabulon
