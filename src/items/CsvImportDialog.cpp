#include "items/CsvImportDialog.h"

#include <algorithm>
#include <cstdlib>

#include "base/TextCompare.h"
#include "items/FieldText.h"

namespace tabulon {

namespace {

namespace Id = CsvImportDlgId;

// Records the preview shows.
constexpr std::size_t kPreviewRecords = 8;
// Characters of a cell the preview shows; the rest is cut.
constexpr std::size_t kPreviewCell = 40;

std::string Entries(const auto& list, const auto& nameOf) {
    std::string text;
    for (const auto& entry : list) {
        if (!text.empty()) text += '\n';
        text += nameOf(entry);
    }
    return text;
}

template <typename List, typename Value>
int IndexOf(const List& list, Value value) {
    const auto at = std::find(std::begin(list), std::end(list), value);
    return at == std::end(list) ? 0 : static_cast<int>(at - std::begin(list));
}

// The entry a drop-down list shows chosen, or -1.
int ChosenEntry(IDialogWindow& dialog, ControlId id) {
    const std::string text = dialog.GetControlText(id);
    char* end = nullptr;
    const long index = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0' ? static_cast<int>(index) : -1;
}

}  // namespace

std::vector<int> CsvColumnTargets(std::span<const std::string> names, const std::vector<std::string>& databaseNames) {
    std::vector<int> targets;
    std::vector<bool> taken(databaseNames.size(), false);
    int next = static_cast<int>(databaseNames.size()) + 1;
    for (const std::string& name : names) {
        int target = 0;
        for (std::size_t j = 0; j < databaseNames.size() && !name.empty(); ++j) {
            if (!taken[j] && CompareNoCase(name, databaseNames[j]) == 0) {
                taken[j] = true;
                target = static_cast<int>(j) + 1;
                break;
            }
        }
        targets.push_back(target != 0 ? target : next++);
    }
    return targets;
}

void WidenCsvTargets(std::vector<int>& targets, std::size_t fields) {
    int next = targets.empty() ? 1 : *std::max_element(targets.begin(), targets.end()) + 1;
    while (targets.size() < fields) targets.push_back(next++);
}

DialogTemplate CCsvImportDlg::Template() {
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "Import CSV";
    t.units = {300, 170};
    t.controls = {
        MakeControl(K::Label, DialogId::kNone, "Separator:", 7, 8, 40, 10),
        MakeControl(K::DropDownList, Id::kSeparator, Entries(kCsvSeparators, CsvSeparatorName), 48, 6, 50, 60),
        MakeControl(K::Label, DialogId::kNone, "Encoding:", 108, 8, 40, 10),
        MakeControl(K::DropDownList, Id::kEncoding, Entries(kCsvEncodings, CsvEncodingName), 150, 6, 80, 80),
        MakeControl(K::CheckBox, Id::kNamesFirst, "First row holds column names", 7, 24, 200, 10),
        MakeControl(K::Label, DialogId::kNone, "The first rows as they will come in:", 7, 40, 200, 10),
        MakeControl(K::ListBox, Id::kPreview, "", 7, 51, 286, 94),
        MakeControl(K::DefaultButton, DialogId::kOk, "Import", 188, 150, 50, 14),
        MakeControl(K::Button, DialogId::kCancel, "Cancel", 243, 150, 50, 14),
    };
    return t;
}

void CCsvImportDlg::OnInitDialog(IDialogWindow& dialog) {
    dialog.SetControlText(Id::kSeparator, std::to_string(IndexOf(kCsvSeparators, m_choice.separator)));
    dialog.SetControlText(Id::kEncoding, std::to_string(IndexOf(kCsvEncodings, m_choice.encoding)));
    dialog.SetCheck(Id::kNamesFirst, m_choice.namesFirst);
    ShowPreview(dialog);
}

void CCsvImportDlg::OnCommand(IDialogWindow& dialog, ControlId id) {
    if (id == DialogId::kCancel) {
        dialog.EndDialog(DialogId::kCancel);
        return;
    }
    TakeChoice(dialog);
    if (id == DialogId::kOk) {
        dialog.EndDialog(DialogId::kOk);
        return;
    }
    ShowPreview(dialog);
}

void CCsvImportDlg::TakeChoice(IDialogWindow& dialog) {
    const int separator = ChosenEntry(dialog, Id::kSeparator);
    if (separator >= 0 && separator < static_cast<int>(std::size(kCsvSeparators)))
        m_choice.separator = kCsvSeparators[separator];
    const int encoding = ChosenEntry(dialog, Id::kEncoding);
    if (encoding >= 0 && encoding < static_cast<int>(std::size(kCsvEncodings)))
        m_choice.encoding = kCsvEncodings[encoding];
    m_choice.namesFirst = dialog.GetCheck(Id::kNamesFirst);
}

void CCsvImportDlg::ShowPreview(IDialogWindow& dialog) {
    dialog.ResetList(Id::kPreview);
    for (const std::string& line : PreviewLines()) dialog.AddListEntry(Id::kPreview, line);
}

std::vector<std::string> CCsvImportDlg::PreviewLines() const {
    const std::string text = CsvBytesToUtf8(m_head, m_choice.encoding);
    std::vector<std::string> lines;
    std::vector<int> targets;
    bool first = true;
    CsvFault fault;
    ReadCsv(
        text, m_choice.separator,
        [&](std::span<const std::string> fields, std::uint64_t) {
            if (first && m_choice.namesFirst) {
                first = false;
                targets = CsvColumnTargets(fields, m_databaseNames);
                return true;
            }
            first = false;
            WidenCsvTargets(targets, fields.size());
            std::vector<std::string> cells;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const auto at = static_cast<std::size_t>(targets[i]) - 1;
                if (cells.size() <= at) cells.resize(at + 1);
                std::string cell = fields[i].substr(0, kPreviewCell);
                MakeFieldStorable(cell);
                cells[at] = std::move(cell);
            }
            std::string line;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                if (i > 0) line += " | ";
                line += cells[i];
            }
            lines.push_back(std::move(line));
            return lines.size() < kPreviewRecords;
        },
        fault);
    return lines;
}

}  // namespace tabulon
