#include "qt/QtTreeControl.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "qt/QtText.h"

namespace tabulon::qt {

namespace {

constexpr int kHandleRole = Qt::UserRole;
constexpr int kDataRole = Qt::UserRole + 1;

// Every item below parent whose children are shown, parent's own included.
void CollectExpanded(QTreeWidgetItem* parent, std::vector<QTreeWidgetItem*>& expanded) {
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        if (child->isExpanded()) expanded.push_back(child);
        CollectExpanded(child, expanded);
    }
}

}  // namespace

QIcon TreeImageIcon(TreeImage image) {
    QStyle* style = QApplication::style();
    switch (image) {
    case TreeImage::FolderOpen:
        return QIcon::fromTheme(QStringLiteral("folder-open"), style->standardIcon(QStyle::SP_DirOpenIcon));
    case TreeImage::Home:
        return QIcon::fromTheme(QStringLiteral("user-home"), style->standardIcon(QStyle::SP_DirHomeIcon));
    case TreeImage::Desktop:
        return QIcon::fromTheme(QStringLiteral("user-desktop"), style->standardIcon(QStyle::SP_DesktopIcon));
    case TreeImage::Drive:
        return QIcon::fromTheme(QStringLiteral("drive-harddisk"), style->standardIcon(QStyle::SP_DriveHDIcon));
    case TreeImage::Folder: break;
    }
    return QIcon::fromTheme(QStringLiteral("folder"), style->standardIcon(QStyle::SP_DirIcon));
}

CQtTreeControl::CQtTreeControl(QWidget* parent, Notify notify) : QTreeWidget(parent), m_notify(std::move(notify)) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
    setAcceptDrops(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // A long folder name widens the column and the tree scrolls sideways.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { OnExpanded(item); });
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { Report(TreeNotifyCode::kSelChanged, current); });
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Report(TreeNotifyCode::kRightClick, itemAt(at)); });
}

CQtTreeControl::~CQtTreeControl() {
    // The dialog that hears the tree may be half gone already; what the
    // widget does while it goes is nobody's business.
    m_notify = nullptr;
    blockSignals(true);
}

QTreeWidgetItem* CQtTreeControl::ItemOf(TreeItem item) const {
    auto it = m_items.find(item);
    return it == m_items.end() ? nullptr : it->second;
}

TreeItem CQtTreeControl::HandleOf(const QTreeWidgetItem* item) const {
    return item ? item->data(0, kHandleRole).toULongLong() : 0;
}

void CQtTreeControl::Report(int code, QTreeWidgetItem* item) {
    if (!m_notify) return;
    TreeNotify notify;
    notify.code = code;
    notify.item = HandleOf(item);
    notify.data = item ? item->data(0, kDataRole).toULongLong() : 0;
    m_notify(notify);
}

void CQtTreeControl::OnExpanded(QTreeWidgetItem* item) {
    Report(TreeNotifyCode::kItemExpanding, item);
    // A folder that turned out to hold nothing loses its expand button.
    if (item->childCount() == 0) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        return;
    }
    // The new level comes into view, as much of it as fits below the folder.
    scrollToItem(item->child(item->childCount() - 1));
    scrollToItem(item);
}

bool CQtTreeControl::UseFolderImages() {
    m_images = true;
    return true;
}

TreeItem CQtTreeControl::InsertItem(const TreeInsert& insert) {
    QTreeWidgetItem* parent = insert.parent == kTreeRoot ? invisibleRootItem() : ItemOf(insert.parent);
    if (!parent) return 0;
    const TreeItem handle = m_next++;
    auto* item = new QTreeWidgetItem;
    item->setText(0, TextFromBytes(insert.text));
    item->setData(0, kHandleRole, QVariant::fromValue<qulonglong>(handle));
    item->setData(0, kDataRole, QVariant::fromValue<qulonglong>(insert.data));
    if (m_images && insert.image >= 0) {
        const QIcon closed = TreeImageIcon(static_cast<TreeImage>(insert.image));
        if (insert.selectedImage < 0 || insert.selectedImage == insert.image) {
            item->setIcon(0, closed);
        } else {
            // The selected item shows its open picture, as a folder being looked into.
            const QIcon open = TreeImageIcon(static_cast<TreeImage>(insert.selectedImage));
            QIcon both;
            for (int side : {16, 24, 32}) {
                both.addPixmap(closed.pixmap(side, side), QIcon::Normal);
                both.addPixmap(open.pixmap(side, side), QIcon::Selected);
            }
            item->setIcon(0, both);
        }
    }
    item->setChildIndicatorPolicy(insert.hasChildren ? QTreeWidgetItem::ShowIndicator
                                                     : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    m_items[handle] = item;
    parent->addChild(item);
    return handle;
}

void CQtTreeControl::DeleteAllItems() {
    // Each item is reported before any goes, children before their parents.
    std::vector<QTreeWidgetItem*> order;
    std::vector<QTreeWidgetItem*> pending{invisibleRootItem()};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        if (item != invisibleRootItem()) order.push_back(item);
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) Report(TreeNotifyCode::kDeleteItem, *it);
    const QSignalBlocker quiet(this);
    clear();
    m_items.clear();
}

bool CQtTreeControl::Expand(TreeItem handle) {
    QTreeWidgetItem* item = ItemOf(handle);
    if (!item) return false;
    if (item->isExpanded()) return true;
    item->setExpanded(true);  // reported through itemExpanded
    return true;
}

bool CQtTreeControl::SelectItem(TreeItem handle) {
    QTreeWidgetItem* item = ItemOf(handle);
    if (!item) return false;
    setCurrentItem(item);  // reported through currentItemChanged
    scrollToItem(item);
    return true;
}

TreeItem CQtTreeControl::GetSelectedItem() const { return HandleOf(currentItem()); }

std::uint64_t CQtTreeControl::GetItemData(TreeItem handle) const {
    const QTreeWidgetItem* item = ItemOf(handle);
    return item ? item->data(0, kDataRole).toULongLong() : 0;
}

void CQtTreeControl::SortChildren(TreeItem parent, const std::function<int(std::uint64_t, std::uint64_t)>& compare) {
    QTreeWidgetItem* parentItem = parent == kTreeRoot ? invisibleRootItem() : ItemOf(parent);
    if (!parentItem || parentItem->childCount() < 2) return;
    // Taking the children out and back is no change the dialog should hear
    // of; what was open or selected is so again afterwards.
    const QSignalBlocker quiet(this);
    std::vector<QTreeWidgetItem*> expanded;
    CollectExpanded(parentItem, expanded);
    QTreeWidgetItem* current = currentItem();
    QList<QTreeWidgetItem*> children = parentItem->takeChildren();
    std::stable_sort(children.begin(), children.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return compare(a->data(0, kDataRole).toULongLong(), b->data(0, kDataRole).toULongLong()) < 0;
    });
    parentItem->addChildren(children);
    for (QTreeWidgetItem* item : expanded) item->setExpanded(true);
    if (current) setCurrentItem(current);
}

}  // namespace tabulon::qt
