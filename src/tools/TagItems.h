#pragma once
// Items from the tags of music and video files: which tags become the
// item's fields, in which order, and what a folder of such files (an
// album) has in common.

#include <string>
#include <vector>

#include "platform/TagReader.h"

namespace tabulon {

enum class TagField { Artist, Title, Album, Year, Genre, Track, Length, AlbumArtist, Composer, Comment };

constexpr char kFileTagFields[] = "artist;title;album;year";
constexpr char kFolderTagFields[] = "artist;album;year;genre";

// The fields named in text, separated by ";" (blanks and case aside); an
// empty list and the first unknown name in unknown when a name is none of
// artist, title, album, year, genre, track, length, albumartist, composer,
// comment.
std::vector<TagField> ParseTagFields(const std::string& text, std::string& unknown);

// What the dialog says of a "Tag fields" text it cannot take; "" when fine.
std::string TagFieldsProblemText(const std::string& text);

// The tags a folder's files share: for the artist the album artist, else
// the artist; a field on which they disagree is left empty; the playing
// time is the sum, when every file's is known.
FileTags AlbumTags(const std::vector<FileTags>& files);

// The texts of fields, in order: numbers in decimal (none: empty), the
// playing time as m:ss.
std::vector<std::string> TagCells(const FileTags& tags, const std::vector<TagField>& fields);

}  // namespace tabulon
