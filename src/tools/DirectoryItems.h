#pragma once
// Items from a folder: one 'New items' row for each file and/or sub-folder
// directly in it, the name cut at "-" into columns, optionally followed by
// its size in Mb, kb or b.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/FolderNamespace.h"

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
};

// The byte count in digits, cut (never rounded) to unit (0 Mb, 1 kb, any
// other b; decimal: 1 kb is 1,000 bytes) with blanks between digit groups.
std::string FormatSize(const std::string& digits, int unit);

// Bytes in every file below path, at any depth, hidden ones included.
// Links count as nothing and are never followed; folders that cannot be
// read or vanish meanwhile are passed over.
std::uint64_t DirectorySize(const std::string& path);
// The same, reading folders with reader and asking keepGoing (may be
// empty) now and then; nothing once it says stop.
std::optional<std::uint64_t> DirectorySize(IFolderReader& reader, const std::string& path,
                                           const std::function<bool()>& keepGoing);

// The number of item rows, from row 1 on, before the first whose column 1
// is empty (leading blanks aside).
int FirstFreeRow(const CGridCtrl& grid);

// Adds the entries of folder path (which ends in "/") to 'New items' from
// its first free row on, in name order. Long work reports to progress (may
// be null); false when the user cancelled it, and then nothing was added.
// Folders are read by reader.
bool AddDirectoryItems(CTabulonWnd1& pane, const std::string& path, const AddItemsOptions& options,
                       IProgressHost* progress, IFolderReader& reader = StandardFolderReader());

}  // namespace tabulon
