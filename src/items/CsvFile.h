#pragma once
// Items to and from comma-separated values, the files spreadsheets read and
// write: Export CSV writes the 'Database' items, Import CSV puts a file's
// records into 'New items'.

#include <optional>
#include <string>

#include "base/CsvText.h"
#include "grid/GridCtrl.h"
#include "items/ItemsFrame.h"

namespace tabulon {

class IDialogHost;

// Writes the item rows of grid to path as UTF-8 CSV with CR LF line ends,
// the column names first, through a temporary file: the old file stays
// whole when anything fails. False, with the reason in plain words.
bool WriteCsvFile(CGridCtrl& grid, const std::string& path, char separator, std::string& reason);

// What the configuration keeps at path ("the database file", "the
// configuration file", ...), or "" when it is none of its files: an export
// over one would be the end of it.
std::string_view ConfigurationFileAt(IItemsFrame& frame, const std::string& path);

// Asks where, and whether with "," or ";", and writes the 'Database' items
// there. The path written, or nothing when the user cancelled or it failed
// (which has been shown).
std::optional<std::string> ExportCsvFile(IItemsFrame& frame);

// What an import of a CSV file takes from the user: how to read it.
struct CsvImportChoice {
    CsvEncoding encoding = CsvEncoding::Utf8;
    char separator = ',';
    bool namesFirst = false;  // the first record holds column names
};

// Puts the records of the CSV text into 'New items' as checked items after
// the rows there. With names first, a column goes under the 'Database'
// column of the same name (ASCII case ignored), the others after the
// 'Database' columns. ";" in a field becomes "," and a line break a blank.
// The message to show afterwards ("" when there is none); file names it.
std::string PutCsvItems(IItemsFrame& frame, const std::string& file, std::string_view text,
                        const CsvImportChoice& choice);

// Asks for a CSV file, shows how it will be read, and imports it.
void ImportCsvFile(IItemsFrame& frame, IDialogHost& dialogs);

}  // namespace tabulon
