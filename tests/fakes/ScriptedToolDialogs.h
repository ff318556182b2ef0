#pragma once
// A dialog host for the tool windows, without a screen: it keeps list boxes,
// progress bars and grids besides what ScriptedDialog keeps, plays scripts
// against modal dialogs, and keeps modeless ones open until their logic ends
// them and the host's loop (Pump) reports them closed.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FakeGridWindow.h"
#include "ScriptedDialogHost.h"
#include "grid/GridCtrl.h"

namespace tabulon::fakes {

class ToolDialog : public ScriptedDialog, public IModelessDialog {
public:
    explicit ToolDialog(const DialogTemplate& t) : ScriptedDialog(t) {}

    // Lists: entries and the selected index (-1: none).
    void ResetList(ControlId id) override {
        lists[id].clear();
        selection[id] = -1;
    }
    int AddListEntry(ControlId id, const std::string& text) override {
        lists[id].push_back(text);
        return static_cast<int>(lists[id].size()) - 1;
    }
    int GetListCount(ControlId id) const override { return static_cast<int>(List(id).size()); }
    std::string GetListEntry(ControlId id, int index) const override {
        const auto& list = List(id);
        return index >= 0 && index < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(index)] : "";
    }
    int GetListSelection(ControlId id) const override {
        auto it = selection.find(id);
        return it == selection.end() ? -1 : it->second;
    }
    void SetListSelection(ControlId id, int index) override {
        selection[id] = index >= 0 && index < GetListCount(id) ? index : -1;
    }

    // Progress bars: every range and position in the order they were set.
    struct ProgressCall {
        char kind;  // 'r' range, 'p' position
        int a;
        int b;
        friend bool operator==(const ProgressCall&, const ProgressCall&) = default;
    };
    void SetProgressRange(ControlId id, int lower, int upper) override { progress[id].push_back({'r', lower, upper}); }
    void SetProgressPos(ControlId id, int pos) override { progress[id].push_back({'p', pos, 0}); }

    // Grids get a window that measures, so they can size their columns.
    void AttachGrid(ControlId id, CGridCtrl& grid) override {
        auto window = std::make_unique<FakeGridWindow>();
        window->hasDC = true;
        grid.AttachWindow(window.get());
        grids[id] = &grid;
        gridWindows.push_back(std::move(window));
    }
    void DetachGrids() {
        for (auto& [id, grid] : grids) grid->AttachWindow(nullptr);
        grids.clear();
    }

    // IModelessDialog
    IDialogWindow& Window() override { return *this; }
    void BringToFront() override { ++broughtToFront; }
    void MoveWindow(Point topLeft) override {
        rect = {topLeft.x, topLeft.y, topLeft.x + rect.Width(), topLeft.y + rect.Height()};
        ++moves;
    }
    void Destroy() override { destroyed = true; }

    // The user clicks an entry of a list; lists send no command.
    void ClickListEntry(ControlId id, int index) { SetListSelection(id, index); }
    // The user clicks a radio button: the others of its group (the radio
    // buttons next to it in the control table) lose their tick.
    void ChooseRadio(ControlId id) {
        const auto& controls = dialogTemplate.controls;
        std::size_t at = 0;
        while (at < controls.size() && controls[at].id != id) ++at;
        if (at == controls.size()) return;
        std::size_t first = at, last = at;
        while (first > 0 && controls[first - 1].kind == ControlKind::RadioButton) --first;
        while (last + 1 < controls.size() && controls[last + 1].kind == ControlKind::RadioButton) ++last;
        for (std::size_t i = first; i <= last; ++i) SetCheck(controls[i].id, i == at);
        events->OnCommand(*this, id);
    }

    std::map<ControlId, std::vector<std::string>> lists;
    std::map<ControlId, int> selection;
    std::map<ControlId, std::vector<ProgressCall>> progress;
    std::map<ControlId, CGridCtrl*> grids;
    std::vector<std::unique_ptr<FakeGridWindow>> gridWindows;
    Rect rect{0, 0, 100, 260};
    int broughtToFront = 0;
    int moves = 0;
    bool destroyed = false;
    bool closedReported = false;
    IDialogEvents* events = nullptr;

private:
    const std::vector<std::string>& List(ControlId id) const {
        static const std::vector<std::string> none;
        auto it = lists.find(id);
        return it == lists.end() ? none : it->second;
    }
};

using ToolStep = std::function<void(ToolDialog& dialog, IDialogEvents& events)>;

inline ToolStep PressTool(ControlId id) {
    return [id](ToolDialog& d, IDialogEvents& e) { e.OnCommand(d, id); };
}

class ScriptedToolDialogHost : public IDialogHost {
public:
    // Modal dialogs: one script per RunModal, in order; a user with nothing
    // left to do closes the dialog (Cancel).
    std::vector<std::vector<ToolStep>> scripts;
    // Runs for every modal dialog that has no script left, after its
    // opening: what the user does then.
    ToolStep whenScriptsEnd;
    std::vector<DialogTemplate> shownModal;
    // Every modeless window shown, in order; closed ones stay here.
    std::vector<std::unique_ptr<ToolDialog>> modeless;

    ControlId RunModal(const DialogTemplate& t, IDialogEvents& events) override {
        shownModal.push_back(t);
        ToolDialog dialog(t);
        dialog.events = &events;
        events.OnInitDialog(dialog);
        std::vector<ToolStep> script;
        if (m_next < scripts.size())
            script = scripts[m_next];
        else if (whenScriptsEnd)
            script = {whenScriptsEnd};
        ++m_next;
        for (const auto& step : script) {
            if (dialog.ended) break;
            step(dialog, events);
        }
        if (!dialog.ended) events.OnCommand(dialog, DialogId::kCancel);
        if (!dialog.ended) dialog.EndDialog(DialogId::kCancel);
        dialog.DetachGrids();
        return dialog.result;
    }

    IModelessDialog* ShowModeless(const DialogTemplate& t, IDialogEvents& events) override {
        auto dialog = std::make_unique<ToolDialog>(t);
        dialog->events = &events;
        events.OnInitDialog(*dialog);
        modeless.push_back(std::move(dialog));
        return modeless.back().get();
    }

    // The loop runs on after a handler: ended modeless windows go.
    void Pump() {
        for (auto& dialog : modeless) {
            if (!dialog->ended || dialog->closedReported || dialog->destroyed) continue;
            dialog->closedReported = true;
            dialog->events->OnDialogClosed();
        }
    }

    // The user clicks a button of a modeless window; the loop then runs on.
    void Click(ToolDialog& dialog, ControlId id) {
        dialog.events->OnCommand(dialog, id);
        Pump();
    }

    // The open modeless windows.
    std::vector<ToolDialog*> Open() const {
        std::vector<ToolDialog*> out;
        for (const auto& dialog : modeless)
            if (!dialog->ended && !dialog->destroyed) out.push_back(dialog.get());
        return out;
    }

private:
    std::size_t m_next = 0;
};

}  // namespace tabulon::fakes
