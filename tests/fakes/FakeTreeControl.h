#pragma once
// A tree view without a screen: items in memory, and the notifications a
// real one sends (expanding before an item opens, a selection change, each
// deletion) passed to a handler. Items can be found by their texts.

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ScriptedDialogHost.h"
#include "platform/TreeControl.h"

namespace tabulon::fakes {

class FakeTreeControl : public ITreeControl {
public:
    struct Node {
        TreeInsert insert;
        std::vector<TreeItem> children;
        bool expanded = false;
    };

    std::function<int(const TreeNotify&)> onNotify;
    bool hasImages = true;

    bool UseFolderImages() override {
        images = hasImages;
        return hasImages;
    }
    TreeItem InsertItem(const TreeInsert& item) override {
        if (item.parent != kTreeRoot && !nodes.count(item.parent)) return 0;
        const TreeItem handle = next++;
        nodes[handle] = Node{item, {}, false};
        ChildrenOf(item.parent).push_back(handle);
        return handle;
    }
    void DeleteAllItems() override {
        for (const auto& [handle, node] : nodes) Send(TreeNotifyCode::kDeleteItem, handle);
        nodes.clear();
        roots.clear();
        selected = 0;
    }
    bool Expand(TreeItem item) override {
        auto it = nodes.find(item);
        if (it == nodes.end()) return false;
        if (!it->second.expanded) {
            Send(TreeNotifyCode::kItemExpanding, item);
            nodes[item].expanded = true;
        }
        return true;
    }
    bool SelectItem(TreeItem item) override {
        if (!nodes.count(item)) return false;
        if (selected != item) {
            selected = item;
            Send(TreeNotifyCode::kSelChanged, item);
        }
        return true;
    }
    TreeItem GetSelectedItem() const override { return selected; }
    std::uint64_t GetItemData(TreeItem item) const override {
        auto it = nodes.find(item);
        return it == nodes.end() ? 0 : it->second.insert.data;
    }
    void SortChildren(TreeItem parent, const std::function<int(std::uint64_t, std::uint64_t)>& compare) override {
        std::vector<TreeItem>& children = ChildrenOf(parent);
        std::stable_sort(children.begin(), children.end(), [&](TreeItem a, TreeItem b) {
            return compare(nodes[a].insert.data, nodes[b].insert.data) < 0;
        });
    }

    // The item reached from the top by these texts; 0 when there is none.
    TreeItem Find(const std::vector<std::string>& texts) {
        TreeItem at = kTreeRoot;
        for (const std::string& text : texts) {
            const std::vector<TreeItem>& children = ChildrenOf(at);
            auto it = std::find_if(children.begin(), children.end(),
                                   [&](TreeItem c) { return nodes[c].insert.text == text; });
            if (it == children.end()) return 0;
            at = *it;
        }
        return at;
    }
    std::vector<std::string> Texts(TreeItem parent) {
        std::vector<std::string> texts;
        for (TreeItem c : ChildrenOf(parent)) texts.push_back(nodes[c].insert.text);
        return texts;
    }
    std::vector<TreeItem>& ChildrenOf(TreeItem parent) { return parent == kTreeRoot ? roots : nodes[parent].children; }

    std::map<TreeItem, Node> nodes;
    std::vector<TreeItem> roots;
    TreeItem selected = 0;
    bool images = false;

private:
    void Send(int code, TreeItem item) {
        if (onNotify) onNotify(TreeNotify{code, item, GetItemData(item)});
    }
    TreeItem next = 1;
};

// A scripted dialog whose tree views are fake trees, and a host that plays
// scripts against it as ScriptedDialogHost does.
class ScriptedTreeDialog : public ScriptedDialog {
public:
    ScriptedTreeDialog(const DialogTemplate& t, IDialogEvents& events) : ScriptedDialog(t) {
        for (const auto& c : t.controls) {
            if (c.kind != ControlKind::TreeView) continue;
            const ControlId id = c.id;
            trees[id].onNotify = [this, &events, id](const TreeNotify& n) { return events.OnTreeNotify(*this, id, n); };
        }
    }
    ITreeControl* TreeControl(ControlId id) override {
        auto it = trees.find(id);
        return it == trees.end() ? nullptr : &it->second;
    }
    std::map<ControlId, FakeTreeControl> trees;
};

inline FakeTreeControl& TreeOf(ScriptedDialog& dialog, ControlId id) {
    return static_cast<FakeTreeControl&>(*dialog.TreeControl(id));
}

// Steps on the tree: open or select the item reached by these texts.
inline DialogStep ExpandItem(ControlId tree, std::vector<std::string> texts) {
    return [tree, texts](ScriptedDialog& d, IDialogEvents&) {
        FakeTreeControl& t = TreeOf(d, tree);
        t.Expand(t.Find(texts));
    };
}
inline DialogStep SelectItem(ControlId tree, std::vector<std::string> texts) {
    return [tree, texts](ScriptedDialog& d, IDialogEvents&) {
        FakeTreeControl& t = TreeOf(d, tree);
        t.SelectItem(t.Find(texts));
    };
}

class ScriptedTreeDialogHost : public IDialogHost {
public:
    std::vector<std::vector<DialogStep>> scripts;
    // The last dialog's trees and controls, as they were when it ended.
    std::map<ControlId, std::vector<std::string>> lastTopLevel;
    std::map<ControlId, bool> lastChecks;
    std::map<ControlId, bool> lastEnabled;
    std::map<ControlId, std::string> lastTexts;
    int shown = 0;

    ControlId RunModal(const DialogTemplate& t, IDialogEvents& events) override {
        ScriptedTreeDialog dialog(t, events);
        events.OnInitDialog(dialog);
        std::vector<DialogStep> script;
        if (static_cast<std::size_t>(shown) < scripts.size()) script = scripts[static_cast<std::size_t>(shown)];
        ++shown;
        for (const auto& step : script) {
            if (dialog.ended) break;
            step(dialog, events);
        }
        if (!dialog.ended) events.OnCommand(dialog, DialogId::kCancel);
        if (!dialog.ended) dialog.EndDialog(DialogId::kCancel);
        for (auto& [id, tree] : dialog.trees) lastTopLevel[id] = tree.Texts(kTreeRoot);
        lastChecks = dialog.checks;
        lastEnabled = dialog.enabled;
        lastTexts = dialog.texts;
        return dialog.result;
    }
};

}  // namespace tabulon::fakes
