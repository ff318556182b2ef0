#include "items/CsvFile.h"

#include <algorithm>
#include <new>
#include <vector>

#include "base/ShownText.h"
#include "base/TextFile.h"
#include "grid/GridWork.h"
#include "items/CsvImportDialog.h"
#include "items/FieldText.h"
#include "items/PaneLayout.h"
#include "items/TabulonWnd1.h"
#include "items/TabulonWnd2.h"
#include "platform/Dialog.h"

namespace tabulon {

namespace {

constexpr char kExportCaption[] = "Export CSV";
constexpr char kImportCaption[] = "Import CSV";
constexpr char kExportFilter[] = "CSV, comma (*.csv)|*.csv|CSV, semicolon (*.csv)|*.csv||";
constexpr char kImportFilter[] = "CSV files (*.csv)|*.csv|Text files (*.txt)|*.txt|All Files (*.*)|*.*||";
// What the dialog reads to guess the separator and to show the first rows.
constexpr std::size_t kHeadBytes = std::size_t{64} << 10;

void ShowProblem(IItemsFrame& frame, const char* caption, const std::string& text) {
    frame.Messages().Show(text, caption, MbIcon::Exclamation, MbButtons::Ok);
}

// The whole file; false with the reason as CFileReader gives it.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason) {
    CFileReader in;
    if (!in.Open(path)) {
        reason = in.Error();
        return false;
    }
    // One byte more than the size, so that the end is seen without growing.
    bytes.resize(static_cast<std::size_t>(in.Size()) + 1);
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) bytes.resize(std::max<std::size_t>(bytes.size() * 2, 4096));
        const long long got = in.Read(bytes.data() + have, bytes.size() - have);
        if (got < 0) {
            reason = in.Error();
            return false;
        }
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);
    return true;
}

}  // namespace

std::string_view ConfigurationFileAt(IItemsFrame& frame, const std::string& path) {
    const ConfigFiles& files = frame.Files();
    const std::pair<std::string, std::string_view> own[] = {
        {files.database, "the database file"},
        {files.database.empty() ? std::string() : files.database + ".bak", "the database's backup"},
        {frame.Config().cfgfile, "the configuration file"},
        {files.output, "the list's page"},
        {files.headfile, "the page's head file"},
        {files.endfile, "the page's end file"},
    };
    for (const auto& [file, role] : own)
        if (!file.empty() && IsSameFile(file, path)) return role;
    return {};
}

namespace {

std::vector<std::string> DatabaseNames(IItemsFrame& frame) {
    std::vector<std::string> names;
    if (const CGridCtrl* grid = frame.DatabasePane().GetGrid())
        for (int col = 1; col < grid->GetColumnCount(); ++col) names.emplace_back(grid->GetCellText(0, col));
    return names;
}

std::string LineText(std::uint64_t line) { return "Line " + std::to_string(line); }

}  // namespace

bool WriteCsvFile(CGridCtrl& grid, const std::string& path, char separator, std::string& reason) {
    CSafeFileWriter writer;
    if (!writer.Open(path)) {
        reason = writer.Error();
        return false;
    }
    const int rows = grid.GetRowCount();
    const int cols = grid.GetColumnCount();
    std::vector<std::string_view> fields(cols > 1 ? static_cast<std::size_t>(cols - 1) : 0);
    // Cells that are not UTF-8, converted; kept apart so that the views stay valid.
    std::vector<std::string> converted(fields.size());
    std::string record;
    for (int row = 0; row < rows && !fields.empty(); ++row) {
        for (int col = 1; col < cols; ++col) {
            const std::size_t at = static_cast<std::size_t>(col - 1);
            fields[at] = grid.GetCellText(row, col);
            if (!IsValidUtf8(fields[at])) {
                converted[at].clear();
                AppendShownAsUtf8(converted[at], fields[at]);
                fields[at] = converted[at];
            }
        }
        record.clear();
        AppendCsvRecord(record, fields, separator);
        writer.Write(record);
        grid.ReportProgress("Writing the items", static_cast<std::uint64_t>(row + 1), static_cast<std::uint64_t>(rows));
    }
    if (!writer.Commit()) {
        reason = writer.Error();
        return false;
    }
    return true;
}

std::optional<std::string> ExportCsvFile(IItemsFrame& frame) {
    CGridCtrl* grid = frame.DatabasePane().GetGrid();
    if (!grid) return std::nullopt;
    FilePickerOptions options;
    options.defaultExtension = "csv";
    options.initialName = "database.csv";
    options.filter = kExportFilter;
    int filter = 0;
    options.chosenFilter = &filter;
    StartPickerAt(options, frame.Files().database);
    const std::optional<std::string> chosen = frame.FilePicker().PickSaveFile(options);
    if (!chosen || chosen->empty()) return std::nullopt;
    const std::string& path = *chosen;
    if (const std::string_view own = ConfigurationFileAt(frame, path); !own.empty()) {
        ShowProblem(frame, kExportCaption,
                    "The file\n" + path + "\nis " + std::string(own) + ".\n\nNothing was exported.");
        return std::nullopt;
    }
    if (const std::string notAFile = NotAFileText(path); !notAFile.empty()) {
        ShowProblem(frame, kExportCaption, "The file\n" + path + "\n" + notAFile + ".\n\nNothing was exported.");
        return std::nullopt;
    }
    std::string reason;
    try {
        const CGridWork work(&frame, "Exporting the items", {grid});
        if (WriteCsvFile(*grid, path, filter == 1 ? ';' : ',', reason)) return path;
    } catch (const std::bad_alloc&) {
        ShowProblem(frame, kExportCaption, OutOfMemoryText("export to", path, "The file was left as it was."));
        return std::nullopt;
    }
    ShowProblem(
        frame, kExportCaption,
        "The items could not be exported to\n" + path + "\n\nReason: " + reason + "\n\nThe file was left as it was.");
    return std::nullopt;
}

std::string PutCsvItems(IItemsFrame& frame, const std::string& file, std::string_view text,
                        const CsvImportChoice& choice) {
    CTabulonWnd1& pane = frame.NewItemsPane();
    CGridCtrl* grid = pane.GetGrid();
    if (!grid) return {};
    const std::vector<std::string> databaseNames =
        choice.namesFirst ? DatabaseNames(frame) : std::vector<std::string>{};
    const int rows = grid->GetRowCount();
    const int columns = grid->GetColumnCount();
    std::vector<int> targets;
    bool first = true;
    CsvFault fault;
    int changed = 0;
    std::string firstChanged;
    std::string cell;
    try {
        CGridWork work(&frame, "Importing items", {grid});
        CQuietGrid quiet(*grid);
        CStrictGrid strict(*grid);
        ReadCsv(
            text, choice.separator,
            [&](std::span<const std::string> fields, std::uint64_t) {
                if (first) {
                    first = false;
                    if (choice.namesFirst) {
                        targets = CsvColumnTargets(fields, databaseNames);
                        return true;
                    }
                }
                WidenCsvTargets(targets, fields.size());
                const int needed = *std::max_element(targets.begin(), targets.begin() + fields.size()) + 1;
                while (grid->GetColumnCount() < needed)
                    if (pane::AppendDataColumn(*grid) < 0) throw std::bad_alloc();
                const int row = grid->InsertRow("", -1);
                if (row < 0) throw std::bad_alloc();
                pane.MakeCheckCell(row);
                if (auto* box = dynamic_cast<CGridCellCheckBox*>(grid->GetCell(row, 0))) box->SetCheck(true);
                for (std::size_t i = 0; i < fields.size(); ++i) {
                    if (!HoldsFieldBreak(fields[i])) {
                        pane::SetItemCell(*grid, row, targets[i], fields[i]);
                        continue;
                    }
                    cell = fields[i];
                    MakeFieldStorable(cell);
                    if (changed++ == 0) firstChanged = cell;
                    pane::SetItemCell(*grid, row, targets[i], cell);
                }
                return true;
            },
            fault, [&](std::size_t done) { grid->ReportProgress("Reading items", done, text.size()); });
    } catch (const std::bad_alloc&) {
        // The items already in 'New items' stay; none of the file's do.
        grid->SetRowCount(rows);
        grid->SetColumnCount(columns);
        return OutOfMemoryText("import", file, "Nothing was imported.");
    }
    try {
        if (grid->GetColumnCount() != columns) pane.NumberColumnHeadings();
        pane.FitNewItemsColumns();
    } catch (const std::bad_alloc&) {
        // The items are in; only the headings and widths stay as they were.
    }
    std::string message;
    const auto paragraph = [&](const std::string& said) {
        if (!message.empty()) message += "\n\n";
        message += said;
    };
    if (grid->GetRowCount() == rows) paragraph("The file\n" + file + "\nholds no items.");
    if (fault.line != 0) paragraph(LineText(fault.line) + " of\n" + file + "\n" + fault.what + ".");
    if (changed > 0)
        paragraph(std::to_string(changed) + (changed == 1 ? " field held" : " fields held") +
                  " \";\" or a line break, which the database file cannot store: \";\" became \",\" and a line "
                  "break a blank. The first now reads:\n" +
                  firstChanged);
    return message;
}

void ImportCsvFile(IItemsFrame& frame, IDialogHost& dialogs) {
    FilePickerOptions options;
    options.defaultExtension = "csv";
    options.filter = kImportFilter;
    options.mustExist = true;
    options.hideReadOnly = true;
    StartPickerAt(options, frame.Files().database);
    const std::optional<std::string> chosen = frame.FilePicker().PickOpenFile(options);
    if (!chosen || chosen->empty()) return;
    const std::string& path = *chosen;

    std::string bytes;
    std::string reason;
    try {
        if (!ReadWholeFile(path, bytes, reason)) {
            ShowProblem(frame, kImportCaption, "The file\n" + path + "\n" + reason + ".\n\nNothing was imported.");
            return;
        }
        CsvImportChoice choice;
        const std::string_view head = std::string_view(bytes).substr(0, kHeadBytes);
        // Found from the head: a cell further on that is not UTF-8 after all
        // is shown, and exported, as the Windows-1252 it then is.
        std::string_view whole = head;
        if (head.size() < bytes.size() && head.rfind('\n') != std::string_view::npos)
            whole = head.substr(0, head.rfind('\n') + 1);  // no character cut in two
        choice.encoding = DetectCsvEncoding(whole);
        choice.separator = DetectCsvSeparator(CsvBytesToUtf8(head, choice.encoding));
        CCsvImportDlg dialog(head, DatabaseNames(frame), choice);
        if (dialog.DoModal(dialogs) != DialogId::kOk) return;
        choice = dialog.Choice();
        // UTF-8 is read where it lies; anything else is converted first.
        std::string converted;
        std::string_view text = bytes;
        if (choice.encoding == CsvEncoding::Utf8Bom && text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        else if (choice.encoding != CsvEncoding::Utf8) {
            converted = CsvBytesToUtf8(bytes, choice.encoding);
            std::string().swap(bytes);
            text = converted;
        }
        const std::string message = PutCsvItems(frame, path, text, choice);
        if (!message.empty()) frame.Messages().Show(message, kImportCaption, MbIcon::Information, MbButtons::Ok);
    } catch (const std::bad_alloc&) {
        ShowProblem(frame, kImportCaption, OutOfMemoryText("import", path, "Nothing was imported."));
    }
}

}  // namespace tabulon
