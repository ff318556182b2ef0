#pragma once
// Runs dialogs without a screen: keeps the controls' texts, checks and
// enabled states by id, and plays a script of user actions against the
// dialog's logic until it ends (or the script runs out, which cancels).

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Dialog.h"

namespace tabulon::fakes {

class ScriptedDialog : public IDialogWindow {
public:
    explicit ScriptedDialog(const DialogTemplate& t) : dialogTemplate(t) {
        for (const auto& c : t.controls) {
            if (c.id == DialogId::kNone) continue;
            texts[c.id] = c.text;
            enabled[c.id] = !(c.style & ControlStyle::kDisabled);
        }
    }
    void SetControlText(ControlId id, const std::string& text) override { texts[id] = text; }
    std::string GetControlText(ControlId id) const override {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetCheck(ControlId id, bool checked) override { checks[id] = checked; }
    bool GetCheck(ControlId id) const override {
        auto it = checks.find(id);
        return it != checks.end() && it->second;
    }
    void EnableControl(ControlId id, bool enable) override { enabled[id] = enable; }
    bool IsControlEnabled(ControlId id) const override {
        auto it = enabled.find(id);
        return it == enabled.end() || it->second;
    }
    void SetFocus(ControlId id) override { focus = id; }
    void SelectAll(ControlId id) override { selectedAll = id; }
    void EndDialog(ControlId r) override {
        ended = true;
        result = r;
    }

    void ResetList(ControlId id) override { lists[id].clear(); }
    int AddListEntry(ControlId id, const std::string& text) override {
        lists[id].push_back(text);
        return static_cast<int>(lists[id].size()) - 1;
    }
    int GetListCount(ControlId id) const override {
        auto it = lists.find(id);
        return it == lists.end() ? 0 : static_cast<int>(it->second.size());
    }
    std::string GetListEntry(ControlId id, int index) const override {
        auto it = lists.find(id);
        return it == lists.end() || index < 0 || index >= static_cast<int>(it->second.size())
                   ? std::string()
                   : it->second[static_cast<std::size_t>(index)];
    }

    const DialogControl* Control(ControlId id) const {
        for (const auto& c : dialogTemplate.controls)
            if (c.id == id) return &c;
        return nullptr;
    }

    DialogTemplate dialogTemplate;
    std::map<ControlId, std::string> texts;
    std::map<ControlId, bool> checks;
    std::map<ControlId, bool> enabled;
    std::map<ControlId, std::vector<std::string>> lists;
    ControlId focus = DialogId::kNone;
    ControlId selectedAll = DialogId::kNone;
    bool ended = false;
    ControlId result{};
};

// One step of the user: act on the shown dialog through its logic.
using DialogStep = std::function<void(ScriptedDialog& dialog, IDialogEvents& events)>;

// Steps that type into an edit, tick a box or press a button.
inline DialogStep TypeText(ControlId id, std::string text) {
    return [id, text](ScriptedDialog& d, IDialogEvents& e) {
        d.SetControlText(id, text);
        e.OnEditChange(d, id);
    };
}
inline DialogStep Tick(ControlId id, bool checked) {
    return [id, checked](ScriptedDialog& d, IDialogEvents& e) {
        d.SetCheck(id, checked);
        e.OnCommand(d, id);
    };
}
inline DialogStep Press(ControlId id) {
    return [id](ScriptedDialog& d, IDialogEvents& e) { e.OnCommand(d, id); };
}

class ScriptedDialogHost : public IDialogHost {
public:
    // Scripts are used one per RunModal, in order.
    std::vector<std::vector<DialogStep>> scripts;
    std::vector<DialogTemplate> shown;                         // every dialog shown
    std::vector<std::map<ControlId, std::string>> finalTexts;  // the controls' texts when each ended
    std::vector<std::map<ControlId, bool>> finalChecks;
    std::vector<std::map<ControlId, std::vector<std::string>>> finalLists;

    ControlId RunModal(const DialogTemplate& t, IDialogEvents& events) override {
        shown.push_back(t);
        ScriptedDialog dialog(t);
        events.OnInitDialog(dialog);
        std::vector<DialogStep> script;
        if (next < scripts.size()) script = scripts[next];
        ++next;
        for (const auto& step : script) {
            if (dialog.ended) break;
            step(dialog, events);
        }
        // A user who does nothing more closes the dialog.
        if (!dialog.ended) events.OnCommand(dialog, DialogId::kCancel);
        if (!dialog.ended) dialog.EndDialog(DialogId::kCancel);
        finalTexts.push_back(dialog.texts);
        finalChecks.push_back(dialog.checks);
        finalLists.push_back(dialog.lists);
        return dialog.result;
    }

private:
    std::size_t next = 0;
};

}  // namespace tabulon::fakes
