#include "config/ConfigDialog.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "base/ProgramName.h"
#include "base/TextCompare.h"
#include "base/TextFile.h"
#include "base/TextTrim.h"
#include "config/ConfigFile.h"
#include "platform/Collation.h"
#include "platform/ListPublisher.h"

namespace tabulon {

namespace {

namespace Id = ConfigDlgId;

constexpr std::size_t kColourChars = 6;
constexpr int kMinPort = 0;
constexpr int kMaxPort = 65535;

constexpr char kDatabaseFilter[] = "Database files (*.db)|*.db|Text files (*.txt)|*.txt|All Files (*.*)|*.*||";
constexpr char kHtmlFilter[] = "HTML document (*.htm, *.html)|*.htm; *.html|All Files (*.*)|*.*||";
constexpr char kHtmlOrTextFilter[] =
    "HTML document (*.htm, *.html)|*.htm; *.html|Text files (*.txt)|*.txt|All Files (*.*)|*.*||";
constexpr char kConfigFilter[] = "Cfg files (*.cfg)|*.cfg|All Files (*.*)|*.*||";

constexpr char kCertificateFilter[] = "Certificates (*.pem, *.crt)|*.pem; *.crt|All Files (*.*)|*.*||";

// The index modes in the order of their numbers.
constexpr std::string_view kIndexModes[] = {"none", "0..z", "0..z (all)", "0-9..z", "0-9..z (all)"};

struct TextBinding {
    ControlId id;
    std::string CListConfig::*field;
};
constexpr TextBinding kFileNames[] = {
    {Id::kDatabase, &CListConfig::database}, {Id::kOutput, &CListConfig::output},
    {Id::kHeadFile, &CListConfig::headfile}, {Id::kEndFile, &CListConfig::endfile},
    {Id::kCfgFile, &CListConfig::cfgfile},
};
constexpr TextBinding kColours[] = {
    {Id::kHeadColour, &CListConfig::headcol},
    {Id::kIndexColour, &CListConfig::indexcol},
    {Id::kFirstColour, &CListConfig::firstcol},
    {Id::kSecondColour, &CListConfig::secondcol},
};
constexpr TextBinding kFtpTexts[] = {
    {Id::kServer, &CListConfig::server},     {Id::kLogin, &CListConfig::loginname},
    {Id::kPassword, &CListConfig::password}, {Id::kRemoteFile, &CListConfig::filename},
    {Id::kCertFile, &CListConfig::certfile},
};

struct BrowseButton {
    ControlId button;
    ControlId edit;
    std::string CListConfig::*field;
    bool save;
    const char* extension;
    const char* initialName;
    const char* filter;
};
constexpr BrowseButton kBrowseButtons[] = {
    {Id::kBrowseDatabase, Id::kDatabase, &CListConfig::database, false, "db", "database.db", kDatabaseFilter},
    {Id::kBrowseOutput, Id::kOutput, &CListConfig::output, false, "htm", "list.htm", kHtmlFilter},
    {Id::kBrowseHeadFile, Id::kHeadFile, &CListConfig::headfile, false, "htm", "head.htm", kHtmlOrTextFilter},
    {Id::kBrowseEndFile, Id::kEndFile, &CListConfig::endfile, false, "htm", "end.htm", kHtmlOrTextFilter},
    {Id::kBrowseCfgFile, Id::kCfgFile, &CListConfig::cfgfile, true, "cfg", "config.cfg", kConfigFilter},
};

struct ColourButton {
    ControlId button;
    ControlId edit;
    std::string CListConfig::*field;
};
constexpr ColourButton kColourButtons[] = {
    {Id::kPickHeadColour, Id::kHeadColour, &CListConfig::headcol},
    {Id::kPickIndexColour, Id::kIndexColour, &CListConfig::indexcol},
    {Id::kPickFirstColour, Id::kFirstColour, &CListConfig::firstcol},
    {Id::kPickSecondColour, Id::kSecondColour, &CListConfig::secondcol},
};

// A whole decimal integer: blanks around it, an optional sign, at least one
// digit and nothing else. None for anything else, and for a number that an
// int cannot hold.
std::optional<int> ParseInteger(std::string_view text) {
    text = Trim(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t digits = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (i == digits || i != text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

// The colour six hexadecimal digits stand for; none for any other text.
std::optional<PickedColour> ColourFromText(const std::string& text) {
    if (text.size() != 6) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return PickedColour{value >> 16, (value >> 8) & 0xFF, value & 0xFF};
}

// Makes an empty file at path unless something is there already; the
// reason when that failed.
std::optional<std::string> CreateEmptyFileAt(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return std::nullopt;
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "ab");  // "a": never truncates
    if (!file) return errno ? std::generic_category().message(errno) : std::string("it cannot be made");
    std::fclose(file);
    return std::nullopt;
}

constexpr std::string_view kByteOrder = "byte order A-Z";

// The languages the host can sort by, by their own names.
std::vector<CollationLanguage> LanguageChoices() {
    ICollation* collation = Collation();
    std::vector<CollationLanguage> languages = collation ? collation->Languages() : std::vector<CollationLanguage>{};
    std::stable_sort(languages.begin(), languages.end(), [](const CollationLanguage& a, const CollationLanguage& b) {
        const int folded = CompareNoCase(a.ownName, b.ownName);
        return folded != 0 ? folded < 0 : a.tag < b.tag;
    });
    return languages;
}

}  // namespace

DialogTemplate CConfigDlg::Template() {
    using K = ControlKind;
    namespace S = ControlStyle;
    constexpr unsigned kPath = S::kReadOnly | S::kAutoHScroll;
    constexpr unsigned kText = S::kAutoHScroll;
    DialogTemplate t;
    t.caption = "Configuration";
    t.units = {364, 220};
    t.controls = {
        MakeControl(K::GroupBox, DialogId::kNone, "Files", 5, 5, 145, 160),
        MakeControl(K::Label, DialogId::kNone, "Database", 12, 16, 32, 8),
        MakeControl(K::Edit, Id::kDatabase, "", 12, 25, 130, 12, kPath),
        Spoken(MakeControl(K::Button, Id::kBrowseDatabase, "br", 129, 11, 13, 13, S::kIcon),
               "Browse for the database file"),
        MakeControl(K::Label, DialogId::kNone, "Output", 12, 46, 22, 8),
        MakeControl(K::CheckBox, Id::kViewOut, "Open", 50, 45, 33, 10),
        MakeControl(K::CheckBox, Id::kFtpUpload, "Upload", 88, 45, 39, 10),
        MakeControl(K::Edit, Id::kOutput, "", 12, 55, 130, 12, kPath),
        Spoken(MakeControl(K::Button, Id::kBrowseOutput, "br", 129, 41, 13, 13, S::kIcon),
               "Browse for the output file"),
        MakeControl(K::Label, DialogId::kNone, "Headfile", 12, 76, 27, 8),
        Spoken(MakeControl(K::Button, Id::kEditHead, "ed", 112, 71, 13, 13, S::kIcon), "Edit the head file"),
        Spoken(MakeControl(K::Button, Id::kBrowseHeadFile, "br", 129, 71, 13, 13, S::kIcon),
               "Browse for the head file"),
        MakeControl(K::Edit, Id::kHeadFile, "", 12, 85, 130, 12, kPath),
        MakeControl(K::Label, DialogId::kNone, "Endfile", 12, 106, 22, 8),
        Spoken(MakeControl(K::Button, Id::kEditEnd, "ed", 112, 100, 13, 13, S::kIcon), "Edit the end file"),
        Spoken(MakeControl(K::Button, Id::kBrowseEndFile, "br", 129, 100, 13, 13, S::kIcon), "Browse for the end file"),
        MakeControl(K::Edit, Id::kEndFile, "", 12, 115, 130, 12, kPath),
        MakeControl(K::Label, DialogId::kNone, "Configuration file (save settings as..)", 13, 136, 114, 8),
        Spoken(MakeControl(K::Button, Id::kBrowseCfgFile, "br", 129, 131, 13, 13, S::kIcon),
               "Browse for the configuration file"),
        MakeControl(K::Edit, Id::kCfgFile, "", 13, 145, 130, 12, kPath),
        MakeControl(K::GroupBox, DialogId::kNone, "Colors", 157, 5, 57, 130),
        MakeControl(K::Label, DialogId::kNone, "Headline", 164, 16, 29, 8),
        MakeControl(K::Edit, Id::kHeadColour, "", 164, 25, 30, 12, kText),
        Spoken(MakeControl(K::Button, Id::kPickHeadColour, "c", 195, 25, 13, 13, S::kIcon), "Pick the headline color"),
        MakeControl(K::Label, DialogId::kNone, "Index", 164, 46, 18, 8),
        MakeControl(K::Edit, Id::kIndexColour, "", 164, 55, 30, 12, kText),
        Spoken(MakeControl(K::Button, Id::kPickIndexColour, "c", 195, 54, 13, 13, S::kIcon), "Pick the index color"),
        MakeControl(K::Label, DialogId::kNone, "First row", 164, 76, 27, 8),
        MakeControl(K::Edit, Id::kFirstColour, "", 164, 85, 30, 12, kText),
        Spoken(MakeControl(K::Button, Id::kPickFirstColour, "c", 195, 84, 13, 13, S::kIcon),
               "Pick the first row color"),
        MakeControl(K::Label, DialogId::kNone, "Second row", 164, 106, 39, 8),
        MakeControl(K::Edit, Id::kSecondColour, "", 164, 115, 30, 12, kText),
        Spoken(MakeControl(K::Button, Id::kPickSecondColour, "c", 195, 115, 13, 13, S::kIcon),
               "Pick the second row color"),
        MakeControl(K::GroupBox, DialogId::kNone, "Upload (optional)", 221, 5, 135, 127),
        MakeControl(K::Label, DialogId::kNone, "Server", 228, 16, 22, 8),
        MakeControl(K::Edit, Id::kServer, "", 228, 25, 80, 12, kText),
        MakeControl(K::Label, DialogId::kNone, "Protocol", 313, 16, 30, 8),
        MakeControl(K::DropDownList, Id::kProtocol, "ftp\nftps\nsftp", 313, 25, 35, 50),
        MakeControl(K::Label, DialogId::kNone, "Login", 228, 46, 18, 8),
        MakeControl(K::Edit, Id::kLogin, "", 228, 55, 55, 12, kText),
        MakeControl(K::Label, DialogId::kNone, "Password", 293, 46, 32, 8),
        // Masked: a password is not for whoever else looks at the screen.
        MakeControl(K::Edit, Id::kPassword, "", 293, 55, 55, 12, kText | S::kPassword),
        MakeControl(K::Label, DialogId::kNone, "Remote file", 228, 76, 36, 8),
        MakeControl(K::Edit, Id::kRemoteFile, "", 228, 85, 55, 12, kText),
        MakeControl(K::Label, DialogId::kNone, "Port", 293, 76, 14, 8),
        MakeControl(K::Edit, Id::kPort, "", 293, 85, 55, 12, kText),
        MakeControl(K::Label, Id::kCertLabel, "Certificate file (ftps)", 228, 106, 80, 8),
        Spoken(MakeControl(K::Button, Id::kBrowseCertFile, "br", 335, 101, 13, 13, S::kIcon),
               "Browse for the certificate file"),
        MakeControl(K::Edit, Id::kCertFile, "", 228, 115, 120, 12, kText),
        Spoken(MakeControl(K::GroupBox, DialogId::kNone, "", 221, 127, 135, 51), "List layout"),
        MakeControl(K::CheckBox, Id::kUseWidth, "List width", 228, 136, 45, 8),
        MakeControl(K::Edit, Id::kWidth, "", 228, 145, 55, 12, kText),
        MakeControl(K::Label, DialogId::kNone, "Index:", 293, 136, 20, 8),
        MakeControl(K::DropDownList, Id::kAddIndex, "none\n0..z\n0..z (all)\n0-9..z\n0-9..z (all)", 293, 145, 55, 61),
        MakeControl(K::CheckBox, Id::kOtherLetters, "List other letters after Z", 228, 163, 120, 10),
        MakeControl(K::CheckBox, Id::kPageStyle, "Page for today's browsers (sortable, searchable)", 12, 168, 205, 10),
        MakeControl(K::Label, DialogId::kNone, "Sort and index as", 12, 185, 62, 8),
        MakeControl(K::DropDownList, Id::kLanguage, LanguageList(), 76, 183, 74, 120),
        MakeControl(K::Label, DialogId::kNone, "Leading words to ignore", 156, 185, 88, 8),
        MakeControl(K::Edit, Id::kArticles, "", 246, 183, 40, 12, kText),
        MakeControl(K::CheckBox, Id::kNumbers, "Numbers by value", 290, 184, 68, 10),
        MakeControl(K::Button, Id::kHelp, "Help", 162, 202, 50, 14, S::kDisabled),
        MakeControl(K::DefaultButton, DialogId::kOk, "Save", 234, 202, 50, 14),
        MakeControl(K::Button, DialogId::kCancel, "Cancel", 306, 202, 50, 14),
    };
    return t;
}

std::string CConfigDlg::LanguageList() {
    std::string entries(kByteOrder);
    for (const CollationLanguage& language : LanguageChoices())
        entries += "\n" + language.ownName + " (" + language.tag + ")";
    return entries;
}

ControlId CConfigDlg::DoModal() {
    // Each showing starts from the record as it is now.
    m_record = m_frame.Config();
    m_languages.clear();
    for (const CollationLanguage& language : LanguageChoices()) m_languages.push_back(language.tag);
    m_lastColour.clear();
    return m_frame.DialogHost().RunModal(Template(), *this) == DialogId::kOk ? DialogId::kOk : DialogId::kCancel;
}

void CConfigDlg::OnInitDialog(IDialogWindow& dialog) {
    UpdateData(dialog, false);
    dialog.EnableControl(Id::kWidth, m_record.usewidth == 1);
    EnableCertificate(dialog);
}

void CConfigDlg::EnableCertificate(IDialogWindow& dialog) {
    // Only ftps checks the server against a certificate.
    const bool ftps = m_record.protocol == kUploadProtocols[1].name;
    for (const ControlId id : {Id::kCertLabel, Id::kCertFile, Id::kBrowseCertFile}) dialog.EnableControl(id, ftps);
}

void CConfigDlg::Refuse(IDialogWindow& dialog, ControlId id, const std::string& text) {
    m_frame.Messages().Show(text, kProgramName, MbIcon::Exclamation, MbButtons::Ok);
    dialog.SetFocus(id);
    dialog.SelectAll(id);
}

bool CConfigDlg::UpdateData(IDialogWindow& dialog, bool take) {
    CListConfig& c = m_record;
    auto text = [&](const TextBinding& b) {
        if (take)
            c.*b.field = dialog.GetControlText(b.id);
        else
            dialog.SetControlText(b.id, c.*b.field);
    };
    auto check = [&](ControlId id, int& field) {
        if (take)
            field = dialog.GetCheck(id) ? 1 : 0;
        else
            dialog.SetCheck(id, field == 1);
    };
    // False when the edit does not hold a whole number (or one in range).
    auto integer = [&](ControlId id, int& field, bool ranged) {
        if (!take) {
            dialog.SetControlText(id, std::to_string(field));
            return true;
        }
        const std::optional<int> value = ParseInteger(dialog.GetControlText(id));
        if (!value) {
            Refuse(dialog, id, "Please enter an integer.");
            return false;
        }
        if (ranged && (*value < kMinPort || *value > kMaxPort)) {
            Refuse(dialog, id,
                   "Please enter an integer between " + std::to_string(kMinPort) + " and " + std::to_string(kMaxPort) +
                       ".");
            return false;
        }
        field = *value;
        return true;
    };

    text(kFileNames[0]);
    check(Id::kViewOut, c.viewout);
    check(Id::kFtpUpload, c.ftpupload);
    for (std::size_t i = 1; i < std::size(kFileNames); ++i) text(kFileNames[i]);
    for (const TextBinding& colour : kColours) {
        if (take) {
            const std::string value = dialog.GetControlText(colour.id);
            if (value.size() > kColourChars) {
                Refuse(dialog, colour.id, "Please enter no more than " + std::to_string(kColourChars) + " characters.");
                return false;
            }
            c.*colour.field = value;
        } else {
            dialog.SetControlText(colour.id, c.*colour.field);
        }
        m_colourText[colour.id] = c.*colour.field;
        NoteColour(colour.id, c.*colour.field);
    }
    for (const TextBinding& ftp : kFtpTexts) text(ftp);
    if (take) {
        // No choice (a protocol the file named that is none of these):
        // the record keeps it.
        const std::optional<int> chosen = ParseInteger(dialog.GetControlText(Id::kProtocol));
        if (chosen && *chosen >= 0 && *chosen < static_cast<int>(std::size(kUploadProtocols)))
            c.protocol = kUploadProtocols[*chosen].name;
    } else {
        dialog.SetControlText(Id::kProtocol, std::to_string(UploadProtocolIndex(c.protocol)));
    }
    if (!integer(Id::kPort, c.port, true)) return false;
    check(Id::kUseWidth, c.usewidth);
    if (!integer(Id::kWidth, c.width, false)) return false;
    // A width not used is stored as the file reads it back, so that an
    // unused 0 in the disabled box does not stop Save.
    if (take && c.usewidth == 0 && c.width <= 0) c.width = CListConfig{}.width;
    check(Id::kOtherLetters, c.otherletters);
    check(Id::kPageStyle, c.pagestyle);
    check(Id::kNumbers, c.numbers);
    text({Id::kArticles, &CListConfig::articles});
    if (take) {
        c.articles = std::string(Trim(c.articles));
        // No choice (a language the file named that the list does not hold
        // as it is written, "sv-SE"): the record keeps it.
        const std::optional<int> chosen = ParseInteger(dialog.GetControlText(Id::kLanguage));
        if (chosen && *chosen == 0) c.language.clear();
        if (chosen && *chosen > 0 && *chosen <= static_cast<int>(m_languages.size()))
            c.language = m_languages[static_cast<std::size_t>(*chosen - 1)];
    } else {
        int shown = c.language.empty() ? 0 : -1;
        for (std::size_t i = 0; i < m_languages.size(); ++i)
            if (m_languages[i] == c.language) shown = static_cast<int>(i) + 1;
        dialog.SetControlText(Id::kLanguage, std::to_string(shown));
    }
    if (take) {
        const std::optional<int> index = ParseInteger(dialog.GetControlText(Id::kAddIndex));
        c.addindex = index && *index >= 0 && *index < static_cast<int>(std::size(kIndexModes)) ? *index : 0;
    } else {
        const bool known = c.addindex >= 0 && c.addindex < static_cast<int>(std::size(kIndexModes));
        dialog.SetControlText(Id::kAddIndex, std::to_string(known ? c.addindex : -1));
    }
    return true;
}

void CConfigDlg::OnEditChange(IDialogWindow& dialog, ControlId id) {
    auto accepted = m_colourText.find(id);
    if (accepted == m_colourText.end()) return;
    const std::string typed = dialog.GetControlText(id);
    // A colour edit takes no more than six characters; a longer value shown
    // from the file may still be shortened.
    if (typed.size() <= kColourChars || typed.size() <= accepted->second.size())
        accepted->second = typed;
    else
        dialog.SetControlText(id, accepted->second);
}

void CConfigDlg::OnCommand(IDialogWindow& dialog, ControlId id) {
    switch (id) {
    case DialogId::kOk: Save(dialog); return;
    case DialogId::kCancel: dialog.EndDialog(DialogId::kCancel); return;
    case Id::kEditHead:
    case Id::kEditEnd: EditFile(dialog, id); return;
    case Id::kUseWidth: {
        UpdateData(dialog, true);
        dialog.EnableControl(Id::kWidth, dialog.GetCheck(Id::kUseWidth));
        return;
    }
    case Id::kProtocol: ChangeProtocol(dialog); return;
    case Id::kBrowseCertFile: PickCertificateFile(dialog); return;
    default: break;
    }
    for (const BrowseButton& b : kBrowseButtons)
        if (b.button == id) return Browse(dialog, id);
    for (const ColourButton& b : kColourButtons)
        if (b.button == id) return PickColour(dialog, id);
}

void CConfigDlg::Browse(IDialogWindow& dialog, ControlId button) {
    const BrowseButton* b = nullptr;
    for (const BrowseButton& candidate : kBrowseButtons)
        if (candidate.button == button) b = &candidate;
    if (!b || !UpdateData(dialog, true)) return;
    dialog.SetFocus(b->edit);
    IFilePicker& picker = m_frame.FilePicker();
    FilePickerOptions options;
    options.defaultExtension = b->extension;
    options.initialName = b->initialName;
    options.filter = b->filter;
    // At the file the field names, a relative name taken from the
    // configuration's folder.
    const ConfigFiles resolved = ResolveConfigFiles(m_record);
    const std::string* named = b->field == &CListConfig::cfgfile    ? &m_record.cfgfile
                               : b->field == &CListConfig::database ? &resolved.database
                               : b->field == &CListConfig::output   ? &resolved.output
                               : b->field == &CListConfig::headfile ? &resolved.headfile
                                                                    : &resolved.endfile;
    StartPickerAt(options, *named, true);
    const std::optional<std::string> chosen = b->save ? picker.PickSaveFile(options) : picker.PickOpenFile(options);
    if (!chosen || chosen->empty()) return;
    // Made now, so that a new file passes the checks that it exists.
    if (const std::optional<std::string> reason = CreateEmptyFileAt(*chosen)) {
        m_frame.Messages().Show("The file\n" + *chosen + "\ncould not be created: " + *reason +
                                    ".\n\nThe configuration still names the file it named before.",
                                "Configuration", MbIcon::Exclamation, MbButtons::Ok);
        return;
    }
    CListConfig& config = m_record;
    if (b->field == &CListConfig::cfgfile) {
        // Relative names are taken from the configuration's folder; a
        // configuration saved into another folder keeps naming the same
        // files, not namesakes there.
        const ConfigFiles files = ResolveConfigFiles(config);
        config.database = files.database;
        config.output = files.output;
        config.headfile = files.headfile;
        config.endfile = files.endfile;
    }
    config.*b->field = *chosen;
    UpdateData(dialog, false);
}

void CConfigDlg::EditFile(IDialogWindow& dialog, ControlId button) {
    dialog.SetFocus(button);
    const ConfigFiles files = ResolveConfigFiles(m_record);
    const std::string name = button == Id::kEditHead ? files.headfile : files.endfile;
    if (!FileExists(name)) {
        m_frame.Messages().Show("File not found", kProgramName, MbIcon::None, MbButtons::Ok);
        return;
    }
    if (!m_frame.Shell().RunAssociatedCommand(".txt", name, kShowNormal)) {
        m_frame.Messages().Show("No program to edit text files could be started for\n" + name, kProgramName,
                                MbIcon::Exclamation, MbButtons::Ok);
    }
}

void CConfigDlg::PickColour(IDialogWindow& dialog, ControlId button) {
    const ColourButton* b = nullptr;
    for (const ColourButton& candidate : kColourButtons)
        if (candidate.button == button) b = &candidate;
    if (!b || !UpdateData(dialog, true)) return;
    dialog.SetFocus(b->edit);
    // The picker starts at the field's colour, so that OK without a choice
    // keeps it; a field that holds no colour now starts at the last it held.
    const auto last = m_lastColour.find(b->edit);
    const PickedColour start = last != m_lastColour.end() ? last->second : PickedColour{};
    if (const std::optional<PickedColour> colour = m_frame.ColourPicker().PickColour(start))
        m_record.*b->field = ColorToText(colour->red, colour->green, colour->blue);
    UpdateData(dialog, false);
}

void CConfigDlg::ChangeProtocol(IDialogWindow& dialog) {
    const std::string before = m_record.protocol;
    const bool taken = UpdateData(dialog, true);
    EnableCertificate(dialog);
    if (!taken || m_record.protocol == before) return;
    // The port goes with the protocol unless the user chose one of his own.
    const int oldIndex = UploadProtocolIndex(before);
    if (m_record.port == 0 || (oldIndex >= 0 && m_record.port == kUploadProtocols[oldIndex].port))
        m_record.port = kUploadProtocols[UploadProtocolIndex(m_record.protocol)].port;
    UpdateData(dialog, false);
}

void CConfigDlg::PickCertificateFile(IDialogWindow& dialog) {
    if (!UpdateData(dialog, true)) return;
    dialog.SetFocus(Id::kCertFile);
    FilePickerOptions options;
    options.defaultExtension = "pem";
    options.filter = kCertificateFilter;
    StartPickerAt(options, m_record.certfile, true);
    const std::optional<std::string> chosen = m_frame.FilePicker().PickOpenFile(options);
    if (!chosen || chosen->empty()) return;
    m_record.certfile = *chosen;
    UpdateData(dialog, false);
}

void CConfigDlg::NoteColour(ControlId edit, const std::string& text) {
    if (std::optional<PickedColour> colour = ColourFromText(text)) m_lastColour[edit] = *colour;
}

void CConfigDlg::Save(IDialogWindow& dialog) {
    if (!UpdateData(dialog, true)) return;
    // A width in use must be one the file can hold: said at the box itself.
    if (m_record.usewidth == 1 && m_record.width <= 0) {
        Refuse(dialog, Id::kWidth, "Please enter an integer between 1 and " + std::to_string(INT_MAX) + ".");
        return;
    }
    // The file is written from the main window's record: the copy goes in
    // for the save and stays only when the save succeeded.
    const CListConfig before = m_frame.Config();
    m_frame.Config() = m_record;
    if (SaveConfigFile(m_frame, true)) {
        dialog.EndDialog(DialogId::kOk);
        return;
    }
    m_frame.Config() = before;
}

}  // namespace tabulon
