#pragma once
// A tree view inside a dialog: items with a text, a picture, an expand
// button shown before any child exists, and a number the system keeps for
// each item. The host tells the dialog's logic when an item is about to be
// expanded, when the selection changed and when an item goes away
// (IDialogEvents::OnTreeNotify).

#include <cstdint>
#include <functional>
#include <string>

namespace tabulon {

// An item of the tree; 0 is none, and, as a parent, the invisible root.
using TreeItem = std::uint64_t;
constexpr TreeItem kTreeRoot = 0;

// The pictures a tree can show, by index.
enum class TreeImage { Folder, FolderOpen, Home, Desktop, Drive };

struct TreeInsert {
    TreeItem parent = kTreeRoot;
    std::string text;  // bytes, shown as the grid shows cell texts
    int image = -1;    // -1: none
    int selectedImage = -1;
    bool hasChildren = false;  // an expand button even before children exist
    std::uint64_t data = 0;
};

namespace TreeNotifyCode {
constexpr int kItemExpanding = 1;
constexpr int kSelChanged = 2;
constexpr int kDeleteItem = 3;
constexpr int kRightClick = 4;
}  // namespace TreeNotifyCode

struct TreeNotify {
    int code = 0;
    TreeItem item = 0;       // the item concerned (for a selection: the new one)
    std::uint64_t data = 0;  // its data
};

class ITreeControl {
public:
    virtual ~ITreeControl() = default;
    // Asks for the desktop's folder pictures (TreeImage); false when the
    // host has none, and the tree then shows no pictures.
    virtual bool UseFolderImages() = 0;
    // Appends an item behind the last child of its parent; 0 on failure.
    virtual TreeItem InsertItem(const TreeInsert& item) = 0;
    // Removes every item; each one is reported as deleted first.
    virtual void DeleteAllItems() = 0;
    // Opens item, which is reported as expanding.
    virtual bool Expand(TreeItem item) = 0;
    // Makes item the selected one and reports the change.
    virtual bool SelectItem(TreeItem item) = 0;
    virtual TreeItem GetSelectedItem() const = 0;
    virtual std::uint64_t GetItemData(TreeItem item) const = 0;
    // Orders the children of parent (kTreeRoot: the top level) by compare,
    // which gets two items' data and answers below, at or above zero.
    virtual void SortChildren(TreeItem parent, const std::function<int(std::uint64_t, std::uint64_t)>& compare) = 0;
};

}  // namespace tabulon
