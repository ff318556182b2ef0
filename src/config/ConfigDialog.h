#pragma once
// The 'Configuration' dialog: every field of the configuration record, the
// file names through pickers, the colours through the colour picker or by
// typing, and Save, which writes the .cfg file. It works on a copy of the
// main window's record: only a successful Save puts the copy in its place,
// so Cancel leaves the record as it was, whatever was used meanwhile.

#include <map>
#include <string>
#include <vector>

#include "config/ConfigFrame.h"
#include "platform/Dialog.h"

namespace tabulon {

namespace ConfigDlgId {
constexpr ControlId kDatabase{1005};
constexpr ControlId kViewOut{1006};
constexpr ControlId kHeadColour{1007};
constexpr ControlId kEditHead{1008};
constexpr ControlId kPickHeadColour{1009};
constexpr ControlId kOutput{1010};
constexpr ControlId kHeadFile{1011};
constexpr ControlId kEndFile{1012};
constexpr ControlId kCfgFile{1013};
constexpr ControlId kIndexColour{1014};
constexpr ControlId kFirstColour{1015};
constexpr ControlId kSecondColour{1016};
constexpr ControlId kEditEnd{1017};
constexpr ControlId kBrowseCfgFile{1018};
constexpr ControlId kBrowseEndFile{1019};
constexpr ControlId kBrowseHeadFile{1020};
constexpr ControlId kBrowseOutput{1021};
constexpr ControlId kBrowseDatabase{1022};
constexpr ControlId kPickIndexColour{1023};
constexpr ControlId kPickFirstColour{1024};
constexpr ControlId kPickSecondColour{1025};
constexpr ControlId kServer{1026};
constexpr ControlId kRemoteFile{1027};
constexpr ControlId kFtpUpload{1028};
constexpr ControlId kAddIndex{1029};
constexpr ControlId kLogin{1031};
constexpr ControlId kPassword{1032};
constexpr ControlId kPort{1033};
constexpr ControlId kWidth{1062};
constexpr ControlId kHelp{1063};
constexpr ControlId kUseWidth{1064};
constexpr ControlId kProtocol{1065};
constexpr ControlId kCertFile{1066};
constexpr ControlId kBrowseCertFile{1067};
constexpr ControlId kOtherLetters{1068};
constexpr ControlId kPageStyle{1069};
constexpr ControlId kCertLabel{1070};
constexpr ControlId kLanguage{1071};
constexpr ControlId kArticles{1072};
constexpr ControlId kNumbers{1073};
}  // namespace ConfigDlgId

class CConfigDlg : public IDialogEvents {
public:
    explicit CConfigDlg(IConfigFrame& frame) : m_frame(frame) {}

    // The dialog's control table, in dialog units.
    static DialogTemplate Template();
    // The entries of "Sort and index as": the byte order, then the
    // languages of the host by their own names.
    static std::string LanguageList();

    // Shows the dialog through the frame's dialog host; DialogId::kOk when
    // Save ended it, DialogId::kCancel otherwise.
    ControlId DoModal();

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, ControlId id) override;
    void OnEditChange(IDialogWindow& dialog, ControlId id) override;

    // Takes the values from the controls into the dialog's copy of the
    // record (take true) or shows the copy in the controls (take false).
    // Taking stops at the first control that breaks a rule: its message is
    // shown, the focus goes to it, the fields before it have been taken, and
    // the result is false.
    bool UpdateData(IDialogWindow& dialog, bool take);

private:
    void Browse(IDialogWindow& dialog, ControlId button);
    void EditFile(IDialogWindow& dialog, ControlId button);
    void PickColour(IDialogWindow& dialog, ControlId button);
    void PickCertificateFile(IDialogWindow& dialog);
    void ChangeProtocol(IDialogWindow& dialog);
    // The certificate's label, field and button are for ftps alone.
    void EnableCertificate(IDialogWindow& dialog);
    void Save(IDialogWindow& dialog);
    void Refuse(IDialogWindow& dialog, ControlId id, const std::string& text);

    // The colour a colour edit last held that was one, by edit.
    void NoteColour(ControlId edit, const std::string& text);

    IConfigFrame& m_frame;
    CListConfig m_record;
    // The tags of the languages the "Sort and index as" list offers after
    // the byte order, in its order.
    std::vector<std::string> m_languages;
    // The text each colour edit last held within its limit.
    std::map<ControlId, std::string> m_colourText;
    std::map<ControlId, PickedColour> m_lastColour;
};

}  // namespace tabulon
