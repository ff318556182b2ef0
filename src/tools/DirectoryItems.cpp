#include "tools/DirectoryItems.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "base/TextCompare.h"
#include "base/TextTrim.h"
#include "grid/GridCtrl.h"
#include "items/FieldText.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "platform/Progress.h"
#include "tools/TagsAhead.h"

namespace tabulon {

namespace {

constexpr char kProgressCaption[] = "Add items";

// digits with a blank before the last three digits, and, for each further
// group asked for, before the last six and nine. A number of three digits
// or fewer gets its one blank in front (the cell's trimming removes it).
std::string Grouped(const std::string& digits, int groups) {
    const std::size_t length = digits.size();
    std::string out;
    out.reserve(length + static_cast<std::size_t>(groups));
    if (length <= 3) out += ' ';
    for (std::size_t i = 0; i < length; ++i) {
        const std::size_t left = length - i;  // digits from here to the end
        if (i > 0 && left % 3 == 0 && left <= static_cast<std::size_t>(3 * groups)) out += ' ';
        out += digits[i];
    }
    return out;
}

// Leaves a file's title: "Artist - Title.mp3" becomes "Artist - Title",
// ".profile" becomes "".
void DropExtension(std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
}

void RemoveLeadingWhiteSpace(std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    text.erase(0, i);
}

// A folder as a message names it: without the "/" that ends the path.
std::string FolderName(const std::string& path) {
    return path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
}

struct Entry {
    std::string name;  // becomes the row's text
    bool directory = false;
    std::uint64_t size = 0;  // of a file, when sizes are asked for
    bool tagged = false;     // the text is made of tags, separated by ";"
};

// What tags a scan reads, for files or for folders.
struct TagsAsked {
    bool asked = false;
    std::vector<TagField> fields;
    TagsWanted wanted;
};

TagsAsked TagsOf(ITagReader* reader, int on, const std::string& names, bool folders) {
    TagsAsked tags;
    if (!reader || on != 1) return tags;
    std::string unknown;
    tags.fields = ParseTagFields(names, unknown);
    tags.asked = !tags.fields.empty();
    const auto has = [&](TagField field) {
        return std::find(tags.fields.begin(), tags.fields.end(), field) != tags.fields.end();
    };
    tags.wanted.length = has(TagField::Length);
    // An album's artist is its files' album artist, where they name one.
    tags.wanted.albumArtist = has(TagField::AlbumArtist) || (folders && has(TagField::Artist));
    tags.wanted.composer = has(TagField::Composer);
    return tags;
}

// Adds the visible files directly in folder, their tags wanted, to files:
// the files whose tags make its album. False when keepGoing said stop.
bool AddAlbumFiles(IFolderReader& reader, const std::string& folder, const TagsWanted& wanted,
                   const std::function<bool()>& keepGoing, std::vector<TagsToRead>& files) {
    bool stopped = false;
    reader.ReadFolder(folder + '/', false, [&](const FolderItem& item) {
        if (!keepGoing()) return !(stopped = true);
        if (!item.folder && !item.name.empty() && item.name[0] != '.')
            files.push_back(TagsToRead{folder + '/' + item.name, wanted});
        return true;
    });
    return !stopped;
}

// Name order as a file manager shows it: ASCII case aside, then by bytes so
// the order never depends on the file system.
bool NameOrder(const Entry& a, const Entry& b) {
    const int folded = CompareNoCase(a.name, b.name);
    return folded != 0 ? folded < 0 : CompareWithCase(a.name, b.name) < 0;
}

// The visible entries of folder that the options take (or those named in
// only, sorted, hidden or not and whatever the options say of files), in
// name order, with the sizes of files when they are asked for; stops (with
// nothing) when keepGoing says so. A folder that cannot be read goes to
// unread.
std::optional<std::vector<Entry>> ReadEntries(IFolderReader& reader, const std::string& folder,
                                              const AddItemsOptions& options, const std::function<bool()>& keepGoing,
                                              ScanNotes::Tally& unread, const std::vector<std::string>* only) {
    std::vector<Entry> entries;
    bool stopped = false;
    const bool read = reader.ReadFolder(folder, options.m_bFileSize == 1, [&](const FolderItem& item) {
        if (!keepGoing()) return !(stopped = true);
        if (only) {
            if (!std::binary_search(only->begin(), only->end(), item.name)) return true;
        } else {
            if (item.name.empty() || item.name[0] == '.') return true;  // hidden
            // A link to a folder is taken as the folder it shows; a link to
            // a file shows the file's size, a broken one none.
            if (item.folder ? options.m_bDirectories == 0 : options.m_bFiles == 0) return true;
        }
        entries.push_back(Entry{item.name, item.folder, item.folder ? 0 : item.size});
        return true;
    });
    if (stopped) return std::nullopt;
    if (!read) unread.Add(FolderName(folder));
    std::sort(entries.begin(), entries.end(), NameOrder);
    return entries;
}

// A size that leaves out folders that could not be read reads ">= 12 kb":
// the true size is at least that.
// After tags the size is a field of its own, after a ";".
std::string SizePart(std::uint64_t bytes, int unit, int addUnit, const std::string& unitText, bool partial,
                     bool tagged) {
    std::string part = tagged ? ";" : "-";
    if (partial) {
        std::string size = FormatSize(std::to_string(bytes), unit);
        RemoveLeadingWhiteSpace(size);
        part += ">= " + size;
    } else {
        part += FormatSize(std::to_string(bytes), unit);
    }
    if (addUnit == 1) {
        part += ' ';
        part += unitText;
    }
    return part;
}

CGridCellCheckBox* CheckBoxOf(const CGridCtrl& grid, int row) {
    return dynamic_cast<CGridCellCheckBox*>(grid.GetCell(row, 0));
}

bool IsFreeRow(const CGridCtrl& grid, int row) {
    if (const CGridCellCheckBox* box = CheckBoxOf(grid, row); box && box->GetCheck()) return false;
    for (int col = 1; col < grid.GetColumnCount(); ++col) {
        const std::string_view text = grid.GetCellText(row, col);
        if (!std::all_of(text.begin(), text.end(), IsBlank)) return false;
    }
    return true;
}

// "1 name holds" or "3 names hold".
std::string Counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string ScanNotesText(const ScanNotes& notes) {
    std::string text;
    auto paragraph = [&](const std::string& said, const std::string& first) {
        if (!text.empty()) text += "\n\n";
        text += said + "\n" + first;
    };
    if (notes.markup.count > 0)
        paragraph(Counted(notes.markup.count, "added name holds", "added names hold") +
                      " \"<\" or \">\", which the page will read as markup, not as text. Edit such names in "
                      "'New items' before you move them. The first:",
                  notes.markup.first);
    if (notes.changed.count > 0)
        paragraph(Counted(notes.changed.count, "name held", "names held") +
                      " \";\" or a line break, which the database file cannot store: \";\" became \",\" and a line "
                      "break a blank. The first now reads:",
                  notes.changed.first);
    if (notes.unread.count > 0)
        paragraph(Counted(notes.unread.count, "folder", "folders") + " could not be read: what is in " +
                      (notes.unread.count == 1 ? "it is" : "them is") +
                      " missing, and a size that leaves something out reads \">=\". The first:",
                  notes.unread.first);
    return text;
}

std::string UnstorableUnitText(const std::string& unit) {
    const std::size_t at = unit.find_first_of(";\r\n");
    if (at == std::string::npos) return {};
    return std::string("The unit text \"") + unit + "\" holds " + (unit[at] == ';' ? "a \";\"" : "a line break") +
           ", which the database file cannot store.\n\nType another unit.";
}

std::string FormatSize(const std::string& digits, int unit) {
    const std::size_t length = digits.size();
    if (digits == "0") return "0";
    if (unit == 0) {
        if (length <= 5) return "<0.1";
        if (length == 6) return std::string{'0', '.', digits[0]};
        const std::string megabytes = digits.substr(0, length - 6);
        return megabytes.size() <= 6 ? Grouped(megabytes, 1) : megabytes;
    }
    if (unit == 1) {
        if (length <= 2) return "<0.1";
        if (length == 3) return std::string{'0', '.', digits[0]};
        const std::string kilobytes = digits.substr(0, length - 3);
        if (kilobytes.size() <= 6) return Grouped(kilobytes, 1);
        if (kilobytes.size() <= 9) return Grouped(kilobytes, 2);
        return kilobytes;
    }
    if (length <= 6) return Grouped(digits, 1);
    if (length <= 9) return Grouped(digits, 2);
    if (length <= 12) return Grouped(digits, 3);
    return digits;
}

std::optional<std::uint64_t> DirectorySize(IFolderReader& reader, const std::string& path,
                                           const std::function<bool()>& keepGoing, ScanNotes::Tally* unread) {
    std::uint64_t total = 0;
    bool stopped = false;
    // Folders still to read: a list, not recursion, so no depth of nesting
    // can exhaust the stack.
    std::vector<std::string> pending{path};
    while (!pending.empty() && !stopped) {
        std::string folder = std::move(pending.back());
        pending.pop_back();
        if (folder.empty() || folder.back() != '/') folder += '/';
        const bool read = reader.ReadFolder(folder, true, [&](const FolderItem& item) {
            if (keepGoing && !keepGoing()) return !(stopped = true);
            // Links are never followed: a loop of links cannot make the
            // walk endless, and nothing is counted twice. A file gone
            // meanwhile counts nothing.
            if (item.link) return true;
            if (item.folder)
                pending.push_back(folder + item.name);
            else
                total += item.size;
            return true;
        });
        if (!read && !stopped && unread) unread->Add(FolderName(folder));
    }
    if (stopped) return std::nullopt;
    return total;
}

std::uint64_t DirectorySize(const std::string& path) { return *DirectorySize(StandardFolderReader(), path, nullptr); }

int FirstFreeRow(const CGridCtrl& grid) {
    // From the end: in a long list the last row usually holds an item.
    for (int row = grid.GetRowCount() - 1; row >= grid.GetFixedRowCount(); --row)
        if (!IsFreeRow(grid, row)) return row;
    return 0;
}

bool AddDirectoryItems(CTabulonWnd1& pane, const std::string& path, const AddItemsOptions& options,
                       IProgressHost* progress, IFolderReader& reader, ScanNotes* notes,
                       const std::vector<std::string>* only) {
    CGridCtrl* grid = pane.GetGrid();
    if (!grid) return true;
    ScanNotes kept;
    ScanNotes& said = notes ? *notes : kept;
    std::unique_ptr<IProgress> work = progress ? progress->BeginProgress(kProgressCaption, true) : nullptr;
    if (work) work->SetText(path);
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    const std::function<bool()> keepGoing = [&] { return !work || work->Step(done, total); };

    // Every text is ready before the grid is touched, so a cancelled scan
    // leaves 'New items' as it was.
    std::vector<std::string> named;
    if (only) {
        named = *only;
        std::sort(named.begin(), named.end());
    }
    std::optional<std::vector<Entry>> entries =
        ReadEntries(reader, path, options, keepGoing, said.unread, only ? &named : nullptr);
    if (!entries) return false;
    total = entries->size();
    ITagReader* const tagReader = reader.Tags();
    const TagsAsked fileTags = TagsOf(tagReader, options.m_bFileTags, options.m_strFileTagFields, false);
    const TagsAsked folderTags = TagsOf(tagReader, options.m_bDirTags, options.m_strDirTagFields, true);
    const std::string folderPath = path.empty() || path.back() == '/' ? path : path + '/';
    // The tags to read, in the order the entries use them (a file's own, the
    // files of a folder's album), read ahead on threads of their own: the
    // entries of the i-th are toRead[firstRead[i]] up to toRead[firstRead[i + 1]].
    std::vector<TagsToRead> toRead;
    std::vector<std::size_t> firstRead(entries->size() + 1);
    for (std::size_t i = 0; i < entries->size(); ++i) {
        const Entry& entry = (*entries)[i];
        firstRead[i] = toRead.size();
        if (!entry.directory && fileTags.asked)
            toRead.push_back(TagsToRead{folderPath + entry.name, fileTags.wanted});
        else if (entry.directory && folderTags.asked &&
                 !AddAlbumFiles(reader, folderPath + entry.name, folderTags.wanted, keepGoing, toRead))
            return false;
    }
    firstRead.back() = toRead.size();
    std::optional<CTagsAhead> ahead;
    if (!toRead.empty()) ahead.emplace(*tagReader, std::move(toRead));
    // Each entry's name becomes its text in place; empty texts are dropped.
    std::size_t count = 0;
    for (std::size_t i = 0; i < entries->size(); ++i) {
        Entry& entry = (*entries)[i];
        if (!keepGoing()) return false;
        std::string& text = entry.name;
        // Measured and read under its own name, before the name is made storable.
        const std::string full = folderPath + text;
        const std::string folder = entry.directory && options.m_bDirSize == 1 ? full : std::string();
        const TagsAsked& asked = entry.directory ? folderTags : fileTags;
        std::optional<FileTags> tags;
        std::vector<FileTags> read;
        for (std::size_t at = firstRead[i]; at < firstRead[i + 1]; ++at) {
            std::optional<FileTags> one;
            if (!keepGoing() || !ahead->Take(at, keepGoing, one)) return false;
            if (one) read.push_back(std::move(*one));
        }
        if (!read.empty()) tags = entry.directory ? AlbumTags(read) : std::move(read.front());
        if (tags) {
            std::vector<std::string> cells = TagCells(*tags, asked.fields);
            // Tags that give none of the fields asked for count as none.
            if (std::any_of(cells.begin(), cells.end(), [](const std::string& c) { return !Trim(c).empty(); })) {
                entry.tagged = true;
                text.clear();
                for (std::string& cell : cells) {
                    if (MakeFieldStorable(cell)) said.changed.Add(std::string(Trim(cell)));
                    if (cell.find_first_of("<>") != std::string::npos) said.markup.Add(std::string(Trim(cell)));
                    if (&cell != &cells.front()) text += ';';
                    text += cell;
                }
            }
        }
        // The database file ends a field at ";" and an item at a line end, so a
        // name holding either would be refused at every save.
        const bool changed = !entry.tagged && MakeFieldStorable(text);
        if (!entry.directory && options.m_bExtension != 1 && !entry.tagged) DropExtension(text);
        // The name alone: a size such as "<0.1" is no markup.
        std::string_view name = text;
        while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
        if (!name.empty() && !entry.tagged) {
            if (changed) said.changed.Add(std::string(name));
            if (name.find_first_of("<>") != std::string_view::npos) said.markup.Add(std::string(name));
        }
        if (entry.directory) {
            if (options.m_bDirSize == 1) {
                if (work) work->SetText(folder);
                const int unreadBefore = said.unread.count;
                const std::optional<std::uint64_t> size = DirectorySize(reader, folder, keepGoing, &said.unread);
                if (!size) return false;
                text += SizePart(*size, options.m_nDirUnit, options.m_bDirAddUnit, options.m_strDirUnit,
                                 said.unread.count > unreadBefore, entry.tagged);
            }
        } else {
            if (options.m_bFileSize == 1)
                text += SizePart(entry.size, options.m_nFileUnit, options.m_bFileAddUnit, options.m_strFileUnit, false,
                                 entry.tagged);
        }
        ++done;
        RemoveLeadingWhiteSpace(text);
        if (text.empty()) continue;
        if (count != i) (*entries)[count].name = std::move(text);
        ++count;
    }
    entries->resize(count);
    work.reset();
    said.message = ScanNotesText(said);

    const int rows = grid->GetRowCount();
    const int columns = grid->GetColumnCount();
    const int first = FirstFreeRow(*grid) + 1;
    try {
        CQuietGrid quiet(*grid);
        CStrictGrid strict(*grid);
        int next = first;
        for (const Entry& entry : *entries) {
            pane.AddItemFromText(entry.name, entry.tagged ? ";" : "-", next);
            // An empty row it used becomes a new item like the appended ones.
            if (CGridCellCheckBox* box = CheckBoxOf(*grid, next)) box->SetCheck(true);
            ++next;
        }
    } catch (const std::bad_alloc&) {
        // Shrinking allocates nothing; the empty rows that were used are
        // emptied and unticked again.
        grid->SetRowCount(rows);
        grid->SetColumnCount(columns);
        for (int row = first; row < rows; ++row) {
            for (int col = 1; col < columns; ++col) grid->SetCellText(row, col, std::string());
            if (CGridCellCheckBox* box = CheckBoxOf(*grid, row)) box->SetCheck(false);
        }
        grid->Refresh();
        throw;
    }
    try {
        if (grid->GetRowCount() > 1)
            pane.FitNewItemsColumns();
        else
            grid->Refresh();
    } catch (const std::bad_alloc&) {
        // Every item is in; only the widths stay as they were.
    }
    return true;
}

}  // namespace tabulon
