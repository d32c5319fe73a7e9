#include "CFolderTree.h"

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>

#include "FolderNames.h"
#include "SonavistArt.h"
#include "platform/MountedShares.h"
#include "platform/MountedVolumes.h"

namespace {

constexpr int kOpenFolderImage = 0;
constexpr int kFolderImage = 1;
constexpr int kNetworkImage = 7;

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// A network name without the leading separators of its server part.
QByteArray WithoutLeadingSeparators(QByteArray name) {
    for (int i = 0; i < 2 && !name.isEmpty() && IsSeparator(name.front()); ++i) {
        name.remove(0, 1);
    }
    return name;
}

QByteArray ShareName(const QByteArray& name) {
    for (int i = 0; i < name.size(); ++i) {
        if (IsSeparator(name[i])) {
            return name.mid(i + 1);
        }
    }
    return name;
}

}  // namespace

CFolderTree::CFolderTree(QWidget* parent)
    : QTreeWidget(parent),
      m_Volumes(std::make_shared<MountedVolumes>()),
      m_Network(std::make_shared<MountedShares>()) {
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setDragEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(SonavistArt::kTreeImageWidth, SonavistArt::kTreeImageHeight));
    // Deep folders scroll sideways instead of losing the ends of their names.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemExpanded, this, &CFolderTree::OnItemexpandingFolderTree);
    // The selection, not the current item: focus coming in makes an item current, never selected.
    connect(this, &QTreeWidget::itemSelectionChanged, this,
            [this] { OnSelchangedFolderTree(selectedItems().value(0)); });
}

CFolderTree::~CFolderTree() {
    FreeItems();
}

void CFolderTree::SetProviders(std::shared_ptr<VolumeProvider> volumes,
                               std::shared_ptr<NetworkProvider> network) {
    m_Volumes = std::move(volumes);
    m_Network = std::move(network);
}

QString CFolderTree::TidyDisplayName(const QString& text) {
    for (const QChar c : text) {
        if (c >= u'a' && c <= u'z') {
            return text;
        }
    }
    QString tidy = text.toLower();
    if (!tidy.isEmpty()) {
        tidy[0] = tidy[0].toUpper();
    }
    return tidy;
}

const QIcon& CFolderTree::TreeIcon(int image, int selectedImage) {
    const int key = image * SonavistArt::kTreeImageCount + selectedImage;
    auto found = m_TreeImages.find(key);
    if (found == m_TreeImages.end()) {
        QIcon icon(QPixmap::fromImage(SonavistArt::TreeImage(image)));
        icon.addPixmap(QPixmap::fromImage(SonavistArt::TreeImage(selectedImage)), QIcon::Selected);
        found = m_TreeImages.insert(key, icon);
    }
    return *found;
}

QTreeWidgetItem* CFolderTree::MakeItem(NetworkRecord* record, const QByteArray& name, int image,
                                       int selectedImage) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, TidyDisplayName(FolderNames::Readable(name)));
    item->setData(0, kRealNameRole, name);
    item->setData(0, kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(record)));
    item->setIcon(0, TreeIcon(image, selectedImage < 0 ? image : selectedImage));
    // Every item offers to expand until an expansion finds nothing under it.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

QTreeWidgetItem* CFolderTree::InsertTreeItem(QTreeWidgetItem* parent, NetworkRecord* record,
                                             const QByteArray& name, int image, int selectedImage) {
    QTreeWidgetItem* item = MakeItem(record, name, image, selectedImage);
    if (parent) {
        parent->addChild(item);
    } else {
        addTopLevelItem(item);
    }
    return item;
}

void CFolderTree::FillFolderTree(const QByteArray& startFolder) {
    for (const Volume& volume : m_Volumes->Volumes()) {
        QTreeWidgetItem* root =
            InsertTreeItem(nullptr, nullptr, QByteArray::fromStdString(volume.name),
                           static_cast<int>(volume.kind));
        root->setData(0, kRootPathRole, QByteArray::fromStdString(volume.path));
    }
    m_NetworkItem = InsertTreeItem(nullptr, nullptr, QByteArrayLiteral("Network"), kNetworkImage);
    OpenAt(startFolder);
}

QTreeWidgetItem* CFolderTree::RootHolding(const QByteArray& path) const {
    QTreeWidgetItem* best = nullptr;
    qsizetype bestLength = -1;
    if (path.isEmpty()) {
        return best;
    }
    const QByteArray folder = path.endsWith(kSeparator) ? path : path + kSeparator;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = topLevelItem(i);
        const QByteArray rootPath = root->data(0, kRootPathRole).toByteArray();
        if (!rootPath.isEmpty() && folder.startsWith(rootPath) && rootPath.size() > bestLength) {
            best = root;
            bestLength = rootPath.size();
        }
    }
    return best;
}

// An exact match first; names that differ only in case are taken when there is none.
QTreeWidgetItem* CFolderTree::ChildNamed(QTreeWidgetItem* parent, const QByteArray& name) {
    QTreeWidgetItem* caseless = nullptr;
    const QString text = FolderNames::Readable(name);
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        const QByteArray childName = child->data(0, kRealNameRole).toByteArray();
        if (childName == name) {
            return child;
        }
        if (!caseless && FolderNames::Readable(childName).compare(text, Qt::CaseInsensitive) == 0) {
            caseless = child;
        }
    }
    return caseless;
}

void CFolderTree::OpenAt(const QByteArray& path) {
    QTreeWidgetItem* level = RootHolding(path);
    if (!level) {
        return;
    }
    expandItem(level);
    const QByteArray rest = path.mid(level->data(0, kRootPathRole).toByteArray().size());
    // A component that matches nothing leaves the level as it is for the next one.
    for (const QByteArray& component : rest.split(kSeparator)) {
        if (QTreeWidgetItem* child = component.isEmpty() ? nullptr : ChildNamed(level, component)) {
            expandItem(child);
            level = child;
        }
    }
    ShowItem(level);
}

// Scrolled to the item's row; sideways only as far as the start of its name needs, so that the
// levels above stay in sight whenever the name fits.
void CFolderTree::ShowItem(const QTreeWidgetItem* item) {
    scrollToItem(item, QAbstractItemView::EnsureVisible);
    QScrollBar* sideways = horizontalScrollBar();
    const int start = visualItemRect(item).left() + sideways->value() - indentation();
    const int room = viewport()->width() - fontMetrics().horizontalAdvance(item->text(0)) -
                     iconSize().width() - 2 * indentation();
    sideways->setValue(std::max(0, start - std::max(0, room)));
}

void CFolderTree::OnItemexpandingFolderTree(QTreeWidgetItem* item) {
    WaitCursor wait;
    if (item->childCount() > 0) {
        return;
    }
    AddChildren(GetItemPath(item), item);
    if (currentItem() != item) {
        setCurrentItem(item);
    }
}

void CFolderTree::AddChildren(const QByteArray& path, QTreeWidgetItem* item) {
    if (item == m_NetworkItem || RecordOf(item)) {
        AddNetworkResources(item);
    } else {
        AddFolders(path, item);
    }
    if (item->childCount() == 0) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
}

void CFolderTree::AddFolders(const QByteArray& path, QTreeWidgetItem* item) {
    if (path.isEmpty()) {
        return;
    }
    // Sorted by name: the order a directory reports is arbitrary on most file systems here.
    const QList<FolderNames::Name> names = FolderNames::Folders(path);
    QList<QTreeWidgetItem*> children;
    children.reserve(names.size());
    for (const FolderNames::Name& name : names) {
        children.append(MakeItem(nullptr, name.bytes, kFolderImage, kOpenFolderImage));
    }
    item->addChildren(children);
}

bool CFolderTree::AddNetworkResources(QTreeWidgetItem* item) {
    std::vector<NetworkRecord> entries;
    if (!m_Network || !m_Network->Enumerate(RecordOf(item), entries) || entries.empty()) {
        return false;
    }
    for (NetworkRecord& entry : entries) {
        const QByteArray name = WithoutLeadingSeparators(QByteArray::fromStdString(
            entry.m_RemoteName.empty() ? entry.m_Comment : entry.m_RemoteName));
        if (entry.m_DisplayType == NetworkRecord::kDisplayShare) {
            QTreeWidgetItem* share =
                InsertTreeItem(item, nullptr, ShareName(name), kFolderImage, kOpenFolderImage);
            if (!entry.m_LocalName.empty()) {
                share->setData(0, kRootPathRole, QByteArray::fromStdString(entry.m_LocalName));
            }
            continue;
        }
        const int image = kNetworkImage + static_cast<int>(entry.m_DisplayType);
        m_Records.push_back(std::make_unique<NetworkRecord>(std::move(entry)));
        InsertTreeItem(item, m_Records.back().get(), name, image);
    }
    return true;
}

NetworkRecord* CFolderTree::RecordOf(const QTreeWidgetItem* item) const {
    return item ? reinterpret_cast<NetworkRecord*>(item->data(0, kRecordRole).value<quintptr>())
                : nullptr;
}

// Walks towards the root: a network container or a mounted place ends the walk with its own path.
QByteArray CFolderTree::GetItemPath(const QTreeWidgetItem* item) const {
    QByteArray path;
    for (; item; item = item->parent()) {
        if (const NetworkRecord* record = RecordOf(item)) {
            return QByteArray::fromStdString(record->m_RemoteName) + kSeparator + path;
        }
        const QByteArray rootPath = item->data(0, kRootPathRole).toByteArray();
        if (!rootPath.isEmpty()) {
            return rootPath + path;
        }
        path.prepend(item->data(0, kRealNameRole).toByteArray() + kSeparator);
    }
    return path;
}

void CFolderTree::OnSelchangedFolderTree(QTreeWidgetItem* item) {
    const bool folder = item && item != m_NetworkItem && !RecordOf(item);
    emit FolderSelected(folder ? GetItemPath(item) : QByteArray());
}

// Quietly: the selection vanishing with the items is no choice of the user's.
void CFolderTree::FreeItems() {
    const QSignalBlocker quiet(this);
    m_NetworkItem = nullptr;
    clear();
    m_Records.clear();
}
