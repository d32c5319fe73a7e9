#include "CFolderTree.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPixmap>

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

bool IsSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

// A network name without the leading separators of its server part.
QString WithoutLeadingSeparators(QString name) {
    for (int i = 0; i < 2 && !name.isEmpty() && IsSeparator(name.front()); ++i) {
        name.remove(0, 1);
    }
    return name;
}

QString ShareName(const QString& name) {
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
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnSelchangedFolderTree(current); });
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

QTreeWidgetItem* CFolderTree::MakeItem(NetworkRecord* record, const QString& text, int image,
                                       int selectedImage) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, TidyDisplayName(text));
    item->setData(0, kRealNameRole, text);
    item->setData(0, kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(record)));
    item->setIcon(0, TreeIcon(image, selectedImage < 0 ? image : selectedImage));
    // Every item offers to expand until an expansion finds nothing under it.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

QTreeWidgetItem* CFolderTree::InsertTreeItem(QTreeWidgetItem* parent, NetworkRecord* record,
                                             const QString& text, int image, int selectedImage) {
    QTreeWidgetItem* item = MakeItem(record, text, image, selectedImage);
    if (parent) {
        parent->addChild(item);
    } else {
        addTopLevelItem(item);
    }
    return item;
}

void CFolderTree::FillFolderTree(const QString& startFolder) {
    for (const Volume& volume : m_Volumes->Volumes()) {
        QTreeWidgetItem* root = InsertTreeItem(
            nullptr, nullptr, QString::fromStdString(volume.name), static_cast<int>(volume.kind));
        root->setData(0, kRootPathRole, QString::fromStdString(volume.path));
    }
    m_NetworkItem = InsertTreeItem(nullptr, nullptr, QStringLiteral("Network"), kNetworkImage);
    OpenAt(startFolder);
    if (currentItem()) {
        scrollToItem(currentItem(), QAbstractItemView::PositionAtCenter);
    }
}

QTreeWidgetItem* CFolderTree::RootHolding(const QString& path) const {
    QTreeWidgetItem* best = nullptr;
    qsizetype bestLength = -1;
    if (path.isEmpty()) {
        return best;
    }
    const QString folder = path.endsWith(kSeparator) ? path : path + kSeparator;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = topLevelItem(i);
        const QString rootPath = root->data(0, kRootPathRole).toString();
        if (!rootPath.isEmpty() && folder.startsWith(rootPath) && rootPath.size() > bestLength) {
            best = root;
            bestLength = rootPath.size();
        }
    }
    return best;
}

// An exact match first; names that differ only in case are taken when there is none.
QTreeWidgetItem* CFolderTree::ChildNamed(QTreeWidgetItem* parent, const QString& name) {
    QTreeWidgetItem* caseless = nullptr;
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        const QString childName = child->data(0, kRealNameRole).toString();
        if (childName == name) {
            return child;
        }
        if (!caseless && childName.compare(name, Qt::CaseInsensitive) == 0) {
            caseless = child;
        }
    }
    return caseless;
}

void CFolderTree::OpenAt(const QString& path) {
    QTreeWidgetItem* level = RootHolding(path);
    if (!level) {
        return;
    }
    expandItem(level);
    const QString rest = path.mid(level->data(0, kRootPathRole).toString().size());
    if (rest.isEmpty()) {
        return;
    }
    // A component that matches nothing leaves the level as it is for the next one.
    for (const QString& component : rest.split(kSeparator)) {
        if (QTreeWidgetItem* child = ChildNamed(level, component)) {
            expandItem(child);
            level = child;
        }
    }
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

void CFolderTree::AddChildren(const QString& path, QTreeWidgetItem* item) {
    if (item == m_NetworkItem || RecordOf(item)) {
        AddNetworkResources(item);
    } else {
        AddFolders(path, item);
    }
    if (item->childCount() == 0) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
}

void CFolderTree::AddFolders(const QString& path, QTreeWidgetItem* item) {
    if (path.isEmpty()) {
        return;
    }
    // Sorted by name: the order a directory reports is arbitrary on most file systems here.
    const QStringList names =
        QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    QList<QTreeWidgetItem*> children;
    children.reserve(names.size());
    for (const QString& name : names) {
        children.append(MakeItem(nullptr, name, kFolderImage, kOpenFolderImage));
    }
    item->addChildren(children);
}

bool CFolderTree::AddNetworkResources(QTreeWidgetItem* item) {
    std::vector<NetworkRecord> entries;
    if (!m_Network || !m_Network->Enumerate(RecordOf(item), entries) || entries.empty()) {
        return false;
    }
    for (NetworkRecord& entry : entries) {
        const QString name = WithoutLeadingSeparators(QString::fromStdString(
            entry.m_RemoteName.empty() ? entry.m_Comment : entry.m_RemoteName));
        if (entry.m_DisplayType == NetworkRecord::kDisplayShare) {
            QTreeWidgetItem* share =
                InsertTreeItem(item, nullptr, ShareName(name), kFolderImage, kOpenFolderImage);
            if (!entry.m_LocalName.empty()) {
                share->setData(0, kRootPathRole, QString::fromStdString(entry.m_LocalName));
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
QString CFolderTree::GetItemPath(const QTreeWidgetItem* item) const {
    QString path;
    for (; item; item = item->parent()) {
        if (const NetworkRecord* record = RecordOf(item)) {
            return QString::fromStdString(record->m_RemoteName) + kSeparator + path;
        }
        const QString rootPath = item->data(0, kRootPathRole).toString();
        if (!rootPath.isEmpty()) {
            return rootPath + path;
        }
        path.prepend(item->data(0, kRealNameRole).toString() + kSeparator);
    }
    return path;
}

void CFolderTree::OnSelchangedFolderTree(QTreeWidgetItem* item) {
    const bool folder = item && item != m_NetworkItem && !RecordOf(item);
    emit FolderSelected(folder ? GetItemPath(item) : QString());
}

// Quietly: the selection vanishing with the items is no choice of the user's.
void CFolderTree::FreeItems() {
    const QSignalBlocker quiet(this);
    m_NetworkItem = nullptr;
    clear();
    m_Records.clear();
}
