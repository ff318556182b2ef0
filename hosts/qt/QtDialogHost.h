#pragma once
// Any dialog of the system, built from its control table as a QDialog.
// Dialog units become pixels by the dialog font: a horizontal unit is a
// quarter of its average character width, a vertical unit an eighth of its
// height. Return presses the default button; Escape and the close box ask
// the dialog's logic for Cancel.

#include <QButtonGroup>
#include <QDialog>
#include <QFont>
#include <QPointer>
#include <map>

#include "platform/Dialog.h"

namespace tabulon::qt {

// Pixels per four horizontal and per eight vertical dialog units.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};
DialogBaseUnits BaseUnitsOf(const QFont& font);
// Those of font, widened where a text of the dialog would not fit its place.
DialogBaseUnits FittingBaseUnits(const DialogTemplate& dialog, const QFont& font);
QRect PixelsFromUnits(const Rect& units, DialogBaseUnits base);

// The shown dialog; also what tests and screenshots look at. A modeless one
// deletes itself once its window is gone.
class CQtDialog final : public QDialog, public IDialogWindow, public IModelessDialog {
    Q_OBJECT
public:
    CQtDialog(const DialogTemplate& dialog, IDialogEvents& events, QWidget* parent);
    ~CQtDialog() override;

    QWidget* Control(ControlId id) const;
    ControlId Result() const { return m_result; }
    bool Ended() const { return m_ended; }
    // The units the dialog was laid out in.
    DialogBaseUnits BaseUnits() const { return m_base; }

    // IDialogWindow
    void SetControlText(ControlId id, const std::string& text) override;
    std::string GetControlText(ControlId id) const override;
    void SetCheck(ControlId id, bool checked) override;
    bool GetCheck(ControlId id) const override;
    void EnableControl(ControlId id, bool enable) override;
    bool IsControlEnabled(ControlId id) const override;
    void SetFocus(ControlId id) override;
    void SelectAll(ControlId id) override;
    void EndDialog(ControlId result) override;
    ITreeControl* TreeControl(ControlId id) override;

    // ---- List boxes, progress bars, grids ----
    void ResetList(ControlId id) override;
    int AddListEntry(ControlId id, const std::string& text) override;
    int GetListCount(ControlId id) const override;
    std::string GetListEntry(ControlId id, int index) const override;
    int GetListSelection(ControlId id) const override;
    void SetListSelection(ControlId id, int index) override;
    void SetProgressRange(ControlId id, int lower, int upper) override;
    void SetProgressPos(ControlId id, int pos) override;
    void AttachGrid(ControlId id, CGridCtrl& grid) override;

    // ---- Modeless ----
    void SetModeless() { m_modeless = true; }
    bool IsModeless() const { return m_modeless; }
    IDialogWindow& Window() override { return *this; }
    void BringToFront() override;
    void MoveWindow(Point topLeft) override;
    void Destroy() override;

public slots:
    // Escape and the close box: the logic decides.
    void reject() override;

private:
    void Build(const DialogTemplate& dialog);
    // A dialog larger than its screen shows its controls on a page that
    // scrolls.
    void ScrollWhenTooBig();
    // The widget of one control of the table, its place adjusted to it;
    // radioGroup is the group of the radio buttons just before.
    QWidget* MakeControl(const DialogControl& c, QRect& place, QButtonGroup*& radioGroup);
    QWidget* MakeEdit(const DialogControl& c);
    QWidget* MakeButton(const DialogControl& c, const QRect& place);
    QWidget* MakeDropDownList(const DialogControl& c, QRect& place);
    QWidget* MakeRadioButton(const DialogControl& c, QRect& place, QButtonGroup*& radioGroup);
    // Nothing more reaches the logic: its grids leave their widgets and no
    // control's signal calls it any longer.
    void Detach();

    IDialogEvents& m_events;
    std::map<ControlId, QPointer<QWidget>> m_controls;
    // The bytes last put into each text control and the text they showed:
    // read back unchanged while nobody edits them, so a name that is not
    // UTF-8 keeps its bytes.
    std::map<ControlId, std::pair<std::string, QString>> m_setTexts;
    // The group the radio buttons built last belong to.
    DialogBaseUnits m_base;
    ControlId m_result = DialogId::kCancel;
    bool m_ended = false;
    bool m_modeless = false;
    bool m_detached = false;
};

class CQtDialogHost final : public IDialogHost {
public:
    explicit CQtDialogHost(QWidget* parent = nullptr) : m_parent(parent) {}
    ControlId RunModal(const DialogTemplate& dialog, IDialogEvents& events) override;
    IModelessDialog* ShowModeless(const DialogTemplate& dialog, IDialogEvents& events) override;
    // The modal dialog while one is shown (for tests), else null.
    CQtDialog* Current() const { return m_current; }

private:
    QWidget* m_parent;
    QPointer<CQtDialog> m_current;
};

}  // namespace tabulon::qt
