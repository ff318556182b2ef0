#include "tools/DirectoryItems.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/TextCompare.h"
#include "base/TextTrim.h"
#include "grid/GridCtrl.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "platform/Progress.h"

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

struct Entry {
    std::string name;  // becomes the row's text
    bool directory = false;
    std::uint64_t size = 0;  // of a file, when sizes are asked for
};

// Name order as a file manager shows it: ASCII case aside, then by bytes so
// the order never depends on the file system.
bool NameOrder(const Entry& a, const Entry& b) {
    const int folded = CompareNoCase(a.name, b.name);
    return folded != 0 ? folded < 0 : CompareWithCase(a.name, b.name) < 0;
}

// The visible entries of folder that the options take, in name order, with
// the sizes of files when they are asked for; stops (with nothing) when
// keepGoing says so.
std::optional<std::vector<Entry>> ReadEntries(IFolderReader& reader, const std::string& folder,
                                              const AddItemsOptions& options, const std::function<bool()>& keepGoing) {
    std::vector<Entry> entries;
    bool stopped = false;
    reader.ReadFolder(folder, options.m_bFileSize == 1, [&](const FolderItem& item) {
        if (!keepGoing()) return !(stopped = true);
        if (item.name.empty() || item.name[0] == '.') return true;  // hidden
        // A link to a folder is taken as the folder it shows; a link to a
        // file shows the file's size, a broken one none.
        if (item.folder ? options.m_bDirectories == 0 : options.m_bFiles == 0) return true;
        entries.push_back(Entry{item.name, item.folder, item.folder ? 0 : item.size});
        return true;
    });
    if (stopped) return std::nullopt;
    std::sort(entries.begin(), entries.end(), NameOrder);
    return entries;
}

std::string SizePart(std::uint64_t bytes, int unit, int addUnit, const std::string& unitText) {
    std::string part = "-";
    part += FormatSize(std::to_string(bytes), unit);
    if (addUnit == 1) {
        part += ' ';
        part += unitText;
    }
    return part;
}

}  // namespace

std::string FormatSize(const std::string& digits, int unit) {
    const std::size_t length = digits.size();
    if (digits == "0") return "0";
    if (unit == 0) {
        if (length <= 5) return ">0.1";
        if (length == 6) return std::string{'0', '.', digits[0]};
        const std::string megabytes = digits.substr(0, length - 6);
        return megabytes.size() <= 6 ? Grouped(megabytes, 1) : megabytes;
    }
    if (unit == 1) {
        if (length <= 2) return ">0.1";
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
                                           const std::function<bool()>& keepGoing) {
    std::uint64_t total = 0;
    bool stopped = false;
    // Folders still to read: a list, not recursion, so no depth of nesting
    // can exhaust the stack.
    std::vector<std::string> pending{path};
    while (!pending.empty() && !stopped) {
        std::string folder = std::move(pending.back());
        pending.pop_back();
        if (folder.empty() || folder.back() != '/') folder += '/';
        reader.ReadFolder(folder, true, [&](const FolderItem& item) {
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
    }
    if (stopped) return std::nullopt;
    return total;
}

std::uint64_t DirectorySize(const std::string& path) { return *DirectorySize(StandardFolderReader(), path, nullptr); }

int FirstFreeRow(const CGridCtrl& grid) {
    int count = 0;
    for (int row = 1; row < grid.GetRowCount(); ++row) {
        const std::string& text = grid.GetCellText(row, 1);
        if (std::all_of(text.begin(), text.end(), IsBlank)) break;
        ++count;
    }
    return count;
}

bool AddDirectoryItems(CTabulonWnd1& pane, const std::string& path, const AddItemsOptions& options,
                       IProgressHost* progress, IFolderReader& reader) {
    CGridCtrl* grid = pane.GetGrid();
    if (!grid) return true;
    std::unique_ptr<IProgress> work = progress ? progress->BeginProgress(kProgressCaption, true) : nullptr;
    if (work) work->SetText(path);
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    const std::function<bool()> keepGoing = [&] { return !work || work->Step(done, total); };

    // Every text is ready before the grid is touched, so a cancelled scan
    // leaves 'New items' as it was.
    std::optional<std::vector<Entry>> entries = ReadEntries(reader, path, options, keepGoing);
    if (!entries) return false;
    total = entries->size();
    // Each entry's name becomes its text in place; empty texts are dropped.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries->size(); ++i) {
        Entry& entry = (*entries)[i];
        if (!keepGoing()) return false;
        std::string& text = entry.name;
        if (entry.directory) {
            if (options.m_bDirSize == 1) {
                const std::string folder = (path.empty() || path.back() == '/' ? path : path + '/') + text;
                if (work) work->SetText(folder);
                const std::optional<std::uint64_t> size = DirectorySize(reader, folder, keepGoing);
                if (!size) return false;
                text += SizePart(*size, options.m_nDirUnit, options.m_bDirAddUnit, options.m_strDirUnit);
            }
        } else {
            if (options.m_bExtension != 1) DropExtension(text);
            if (options.m_bFileSize == 1)
                text += SizePart(entry.size, options.m_nFileUnit, options.m_bFileAddUnit, options.m_strFileUnit);
        }
        ++done;
        RemoveLeadingWhiteSpace(text);
        if (text.empty()) continue;
        if (kept != i) (*entries)[kept].name = std::move(text);
        ++kept;
    }
    entries->resize(kept);
    work.reset();

    {
        CQuietGrid quiet(*grid);
        int next = FirstFreeRow(*grid) + 1;
        for (const Entry& entry : *entries) pane.AddItemFromText(entry.name, "-", next++);
    }
    if (grid->GetRowCount() > 1)
        pane.FitNewItemsColumns();
    else
        grid->Refresh();
    return true;
}

}  // namespace tabulon
