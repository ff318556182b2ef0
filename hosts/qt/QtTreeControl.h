#pragma once
// A tree view of a dialog as a QTreeWidget: folder pictures from the
// desktop's icon theme (with the style's own where the theme has none),
// expand buttons shown before children exist, and every expansion,
// selection change, deletion and right click reported to the dialog.

#include <QTreeWidget>
#include <functional>
#include <unordered_map>

#include "platform/TreeControl.h"

namespace tabulon::qt {

class CQtTreeControl final : public QTreeWidget, public ITreeControl {
    Q_OBJECT
public:
    using Notify = std::function<int(const TreeNotify&)>;
    CQtTreeControl(QWidget* parent, Notify notify);
    ~CQtTreeControl() override;

    // The widget item of a handle and back (for tests); null and 0 for none.
    QTreeWidgetItem* ItemOf(TreeItem item) const;
    TreeItem HandleOf(const QTreeWidgetItem* item) const;

    // ITreeControl
    bool UseFolderImages() override;
    TreeItem InsertItem(const TreeInsert& item) override;
    void DeleteAllItems() override;
    bool Expand(TreeItem item) override;
    bool SelectItem(TreeItem item) override;
    TreeItem GetSelectedItem() const override;
    std::uint64_t GetItemData(TreeItem item) const override;
    void SortChildren(TreeItem parent, const std::function<int(std::uint64_t, std::uint64_t)>& compare) override;

private:
    void Report(int code, QTreeWidgetItem* item);
    void OnExpanded(QTreeWidgetItem* item);

    Notify m_notify;
    std::unordered_map<TreeItem, QTreeWidgetItem*> m_items;
    TreeItem m_next = 1;
    bool m_images = false;
};

// The picture of a TreeImage as the desktop draws it.
QIcon TreeImageIcon(TreeImage image);

}  // namespace tabulon::qt
