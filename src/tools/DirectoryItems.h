#pragma once
// Items from a folder: one 'New items' row for each file and/or sub-folder
// directly in it, the name cut at "-" into columns, optionally followed by
// its size in Mb, kb or b.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FolderNamespace.h"
#include "tools/TagItems.h"

namespace tabulon {

class CGridCtrl;
class CTabulonWnd1;
class IProgressHost;

// What the 'Add items' dialog sets; the options live for the run.
struct AddItemsOptions {
    int m_bFiles = 0;
    int m_bFileSize = 0;
    int m_nFileUnit = 2;  // 0 Mb, 1 kb, anything else b
    int m_bExtension = 0;
    int m_bFileAddUnit = 0;
    std::string m_strFileUnit = "b";
    int m_bDirectories = 1;
    int m_bDirSize = 0;
    int m_nDirUnit = 2;
    int m_bDirAddUnit = 0;
    std::string m_strDirUnit = "b";
    // Items from the tags of music and video files, where the folders'
    // reader reads tags: the fields named, in order ("artist;title;...").
    int m_bFileTags = 0;
    std::string m_strFileTagFields = kFileTagFields;
    int m_bDirTags = 0;
    std::string m_strDirTagFields = kFolderTagFields;
};

// What a scan met that the user should hear of before moving its items:
// for each kind, how many and the first one.
struct ScanNotes {
    struct Tally {
        int count = 0;
        std::string first;
        void Add(const std::string& what) {
            if (count++ == 0) first = what;
        }
    };
    Tally markup;   // added texts holding "<" or ">": the page reads them as markup
    Tally changed;  // names whose ";" or line breaks were replaced, as they now read
    Tally unread;   // folders that could not be read
    // ScanNotesText of the above, made before the items go in: once they
    // are in, nothing may fail for want of memory to tell of them.
    std::string message;
};
// The one message that tells the notes of a scan of folder; "" when there
// is nothing to tell.
std::string ScanNotesText(const ScanNotes& notes);

// A unit text that the names cannot carry (it holds ";" or a line break,
// which the database file cannot store): what the dialog says of it, or ""
// when it is fine.
std::string UnstorableUnitText(const std::string& unit);

// The byte count in digits, cut (never rounded) to unit (0 Mb, 1 kb, any
// other b; decimal: 1 kb is 1,000 bytes) with blanks between digit groups.
std::string FormatSize(const std::string& digits, int unit);

// Bytes in every file below path, at any depth, hidden ones included.
// Links count as nothing and are never followed; folders that cannot be
// read or vanish meanwhile are passed over.
std::uint64_t DirectorySize(const std::string& path);
// The same, reading folders with reader and asking keepGoing (may be
// empty) now and then; nothing once it says stop. Folders that could not be
// read are added to unread (may be null).
std::optional<std::uint64_t> DirectorySize(IFolderReader& reader, const std::string& path,
                                           const std::function<bool()>& keepGoing, ScanNotes::Tally* unread = nullptr);

// The last item row that holds anything (a data cell that is not blank, or
// a ticked box); 0 when none does. The rows after it are free for new items.
int FirstFreeRow(const CGridCtrl& grid);

// Adds the entries of folder path (which ends in "/") to 'New items', in
// name order, as checked items after the last row that holds anything: the
// empty rows after it are used first, then rows are appended; no item
// already there changes. ";" in a name becomes "," and a line break a
// blank. With tags asked for, a file the reader's tag reader reads becomes
// an item of the tag fields asked for, and a folder one of the tags its
// files share; anything without tags falls back to its name. Long work
// reports to progress (may be null); false when the user cancelled it, and
// then nothing was added. Folders are read by reader; what the user should
// hear of goes to notes (may be null). Running out of memory leaves 'New
// items' as it was and reaches the caller. With only, just the entries it
// names are added (files dropped on the window), hidden or not and whatever
// the options say of files.
bool AddDirectoryItems(CTabulonWnd1& pane, const std::string& path, const AddItemsOptions& options,
                       IProgressHost* progress, IFolderReader& reader = StandardFolderReader(),
                       ScanNotes* notes = nullptr, const std::vector<std::string>* only = nullptr);

}  // namespace tabulon
