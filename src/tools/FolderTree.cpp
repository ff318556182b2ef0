#include "tools/FolderTree.h"

#include <vector>

#include "base/TextCompare.h"

namespace tabulon {

namespace {

struct Images {
    TreeImage closed;
    TreeImage open;
};

Images ImagesOf(FolderIcon icon) {
    switch (icon) {
    case FolderIcon::Home: return {TreeImage::Home, TreeImage::Home};
    case FolderIcon::Desktop: return {TreeImage::Desktop, TreeImage::Desktop};
    case FolderIcon::Drive: return {TreeImage::Drive, TreeImage::Drive};
    case FolderIcon::Folder: break;
    }
    return {TreeImage::Folder, TreeImage::FolderOpen};
}

}  // namespace

void CFolderTree::SetSystemImageList() { m_images = m_tree.UseFolderImages(); }

void CFolderTree::FillRoot() {
    m_tree.DeleteAllItems();
    // Records of a tree shown before are no longer anybody's.
    m_items.clear();
    const std::vector<FolderEntry> places = m_folders.TopLevel();
    TreeItem first = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const TreeItem item = Insert(places[i], kTreeRoot, static_cast<int>(i));
        if (first == 0) first = item;
    }
    SortChildrenOf(kTreeRoot);
    // The first place opens and is selected, so the path already holds it.
    if (first == 0) return;
    m_tree.Expand(first);
    m_tree.SelectItem(first);
}

TreeItem CFolderTree::Insert(const FolderEntry& folder, TreeItem parent, int place) {
    const std::uint64_t key = m_nextKey++;
    TreeInsert item;
    item.parent = parent;
    item.text = folder.name;
    if (m_images) {
        const Images images = ImagesOf(folder.icon);
        item.image = static_cast<int>(images.closed);
        item.selectedImage = static_cast<int>(images.open);
    }
    item.hasChildren = folder.hasSubFolders;
    item.data = key;
    m_items[key] = FolderItemData{folder, place, false};
    const TreeItem inserted = m_tree.InsertItem(item);
    if (inserted == 0) m_items.erase(key);
    return inserted;
}

void CFolderTree::FillChildren(const std::string& folderId, TreeItem parentItem) {
    for (const FolderEntry& folder : m_folders.SubFolders(folderId)) Insert(folder, parentItem, -1);
}

const CFolderTree::FolderItemData* CFolderTree::DataOf(std::uint64_t key) const {
    auto it = m_items.find(key);
    return it == m_items.end() ? nullptr : &it->second;
}

int CFolderTree::CompareItems(std::uint64_t a, std::uint64_t b) const {
    const FolderItemData* first = DataOf(a);
    const FolderItemData* second = DataOf(b);
    if (!first || !second) return 0;
    if (first->place >= 0 || second->place >= 0)
        return first->place < second->place ? -1 : first->place > second->place ? 1 : 0;
    const int folded = CompareNoCase(first->folder.name, second->folder.name);
    return folded != 0 ? folded : CompareWithCase(first->folder.name, second->folder.name);
}

void CFolderTree::SortChildrenOf(TreeItem parent) {
    m_tree.SortChildren(parent, [this](std::uint64_t a, std::uint64_t b) { return CompareItems(a, b); });
}

int CFolderTree::OnItemExpanding(const TreeNotify& notify) {
    auto it = m_items.find(notify.data);
    if (it == m_items.end() || it->second.filled) return 0;
    // Marked first: whatever the filling reports back must not fill it again.
    it->second.filled = true;
    const std::string id = it->second.folder.id;
    FillChildren(id, notify.item);
    SortChildrenOf(notify.item);
    return 0;
}

bool CFolderTree::OnSelChanged(const TreeNotify& /*notify*/, std::string& path) {
    const TreeItem selected = m_tree.GetSelectedItem();
    if (selected == 0) return false;
    auto it = m_items.find(m_tree.GetItemData(selected));
    if (it == m_items.end()) return false;
    const bool found = !it->second.folder.path.empty();
    if (found) path = it->second.folder.path;
    if (it->second.folder.hasSubFolders && !it->second.filled) {
        it->second.filled = true;
        const std::string id = it->second.folder.id;
        FillChildren(id, selected);
        SortChildrenOf(selected);
    }
    return found;
}

int CFolderTree::OnDeleteItem(const TreeNotify& notify) {
    m_items.erase(notify.data);
    return 0;
}

}  // namespace tabulon
