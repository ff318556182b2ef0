#pragma once
// The small dialog of Import CSV: the first records as they will come in,
// the separator and the encoding found (both changeable), and whether the
// first record holds column names.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "items/CsvFile.h"
#include "platform/Dialog.h"

namespace tabulon {

namespace CsvImportDlgId {
constexpr ControlId kSeparator{1101};
constexpr ControlId kEncoding{1102};
constexpr ControlId kNamesFirst{1103};
constexpr ControlId kPreview{1104};
}  // namespace CsvImportDlgId

// The data columns (from 1) that the fields of a record go to. With names,
// a field whose name is that of a 'Database' column (ASCII case ignored)
// goes under it, the others after the 'Database' columns, in their order.
std::vector<int> CsvColumnTargets(std::span<const std::string> names, const std::vector<std::string>& databaseNames);
// Fields past those targets has room for (a record wider than the first)
// follow the last column they name.
void WidenCsvTargets(std::vector<int>& targets, std::size_t fields);

class CCsvImportDlg : public IDialogEvents {
public:
    // head: the file's first bytes; databaseNames: the 'Database' column
    // names, from column 1; choice: what was found, changed by the user.
    CCsvImportDlg(std::string_view head, std::vector<std::string> databaseNames, CsvImportChoice choice)
        : m_head(head), m_databaseNames(std::move(databaseNames)), m_choice(choice) {}

    static DialogTemplate Template();
    // DialogId::kOk when "Import" ended it.
    ControlId DoModal(IDialogHost& host) { return host.RunModal(Template(), *this); }
    const CsvImportChoice& Choice() const { return m_choice; }

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, ControlId id) override;

    // The preview's lines for the choice: each record as it will stand in
    // 'New items', its cells between " | ".
    std::vector<std::string> PreviewLines() const;

private:
    void TakeChoice(IDialogWindow& dialog);
    void ShowPreview(IDialogWindow& dialog);

    std::string_view m_head;
    std::vector<std::string> m_databaseNames;
    CsvImportChoice m_choice;
};

}  // namespace tabulon
