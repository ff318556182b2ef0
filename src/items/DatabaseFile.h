#pragma once
// The database file: one item per line, its fields separated by ";", with no
// header, quoting or escape. These functions load it into the 'Database' grid,
// write that grid back, keep a backup copy and import such a file into
// 'New items'. None of them touches the 'Database' corner mark
// ("Database"/"Database*"): their callers set it once they know the outcome.

#include <string>
#include <string_view>

#include "grid/GridCtrl.h"
#include "items/ItemsFrame.h"

namespace tabulon {

// Appends the items of the configuration's database file to the 'Database'
// grid. A missing file leads to the question whether to browse for one; a
// file picked there is created empty when needed and then loaded, and the
// configuration is marked as changed. Cancelling the picker closes the
// configuration. True when the items were loaded or the user chose to go on
// without a file; false when the picker was cancelled or the file could not
// be read (which has been shown, and the grid left as it was).
bool LoadDatabaseFile(IItemsFrame& frame);

// Puts one line, cut at ";", into a new item row numbered in column 0,
// widening the grid when the line has more fields than it has columns. The
// row goes in at index row when that lies among the item rows, otherwise at
// the end; rows after an inserted one keep their old numbers until renumbered.
void AddDatabaseLine(CGridCtrl& grid, std::string_view line, int row);

// Replaces the database file with the 'Database' items, CR LF after each.
// Refuses, before writing anything, text that the file or the configuration's
// column names cannot hold. withBackup copies the old file to its backup
// first, once the new text is complete; when the copy cannot be made the
// user is asked whether to save without it. A file that another program
// changed since the items were loaded from it or saved to it is replaced
// only when the user says so. Every failure has been shown when this
// returns false (No to that question included), and the file on disk is
// then as it was.
bool WriteDatabaseFile(IItemsFrame& frame, bool withBackup = false);

// Copies the database file byte for byte to its name with ".bak" appended,
// replacing an older backup. False, after a message, when that failed.
bool BackupDatabaseFile(IItemsFrame& frame);

// Asks for a database file and appends its items to 'New items' as checked
// rows. The configuration is neither needed nor changed.
void ImportDatabaseFile(IItemsFrame& frame);
// The same for the database file at path, without asking.
void ImportDatabaseFrom(IItemsFrame& frame, const std::string& path);

}  // namespace tabulon
