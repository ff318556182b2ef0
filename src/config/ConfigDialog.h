#pragma once
// The 'Configuration' dialog: every field of the configuration record, the
// file names through pickers, the colours through the colour picker or by
// typing, and Save, which writes the .cfg file. It works on a copy of the
// main window's record: only a successful Save puts the copy in its place,
// so Cancel leaves the record as it was, whatever was used meanwhile.

#include <map>
#include <string>

#include "config/ConfigFrame.h"
#include "platform/Dialog.h"

namespace tabulon {

namespace ConfigDlgId {
constexpr int kDatabase = 1005;
constexpr int kViewOut = 1006;
constexpr int kHeadColour = 1007;
constexpr int kEditHead = 1008;
constexpr int kPickHeadColour = 1009;
constexpr int kOutput = 1010;
constexpr int kHeadFile = 1011;
constexpr int kEndFile = 1012;
constexpr int kCfgFile = 1013;
constexpr int kIndexColour = 1014;
constexpr int kFirstColour = 1015;
constexpr int kSecondColour = 1016;
constexpr int kEditEnd = 1017;
constexpr int kBrowseCfgFile = 1018;
constexpr int kBrowseEndFile = 1019;
constexpr int kBrowseHeadFile = 1020;
constexpr int kBrowseOutput = 1021;
constexpr int kBrowseDatabase = 1022;
constexpr int kPickIndexColour = 1023;
constexpr int kPickFirstColour = 1024;
constexpr int kPickSecondColour = 1025;
constexpr int kServer = 1026;
constexpr int kRemoteFile = 1027;
constexpr int kFtpUpload = 1028;
constexpr int kAddIndex = 1029;
constexpr int kLogin = 1031;
constexpr int kPassword = 1032;
constexpr int kPort = 1033;
constexpr int kWidth = 1062;
constexpr int kHelp = 1063;
constexpr int kUseWidth = 1064;
}  // namespace ConfigDlgId

class CConfigDlg : public IDialogEvents {
public:
    explicit CConfigDlg(IConfigFrame& frame) : m_frame(frame) {}

    // The dialog's control table, in dialog units.
    static DialogTemplate Template();

    // Shows the dialog through the frame's dialog host; DialogId::kOk when
    // Save ended it, DialogId::kCancel otherwise.
    int DoModal();

    void OnInitDialog(IDialogWindow& dialog) override;
    void OnCommand(IDialogWindow& dialog, int id) override;
    void OnEditChange(IDialogWindow& dialog, int id) override;

    // Takes the values from the controls into the dialog's copy of the
    // record (take true) or shows the copy in the controls (take false).
    // Taking stops at the first control that breaks a rule: its message is
    // shown, the focus goes to it, the fields before it have been taken, and
    // the result is false.
    bool UpdateData(IDialogWindow& dialog, bool take);

private:
    void Browse(IDialogWindow& dialog, int button);
    void EditFile(IDialogWindow& dialog, int button);
    void PickColour(IDialogWindow& dialog, int button);
    void Save(IDialogWindow& dialog);
    void Refuse(IDialogWindow& dialog, int id, const std::string& text);

    // The colour a colour edit last held that was one, by edit.
    void NoteColour(int edit, const std::string& text);

    IConfigFrame& m_frame;
    CListConfig m_record;
    // The text each colour edit last held within its limit.
    std::map<int, std::string> m_colourText;
    std::map<int, PickedColour> m_lastColour;
};

}  // namespace tabulon
