#pragma once

#include <QHash>
#include <QIcon>
#include <QTreeWidget>
#include <memory>
#include <vector>

#include "platform/NetworkProvider.h"
#include "platform/VolumeProvider.h"

// The tree of volumes, the network and folders. Roots are filled once; an item's children are read
// at its first expansion and kept. Selecting an item announces its folder path, or an empty path
// for anything that is not a folder; the focus alone selects nothing. Paths are the file system's
// bytes, names are shown readably.
class CFolderTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr char kSeparator = '/';

    explicit CFolderTree(QWidget* parent = nullptr);
    ~CFolderTree() override;

    void SetProviders(std::shared_ptr<VolumeProvider> volumes,
                      std::shared_ptr<NetworkProvider> network);
    // Lists the volumes and the "Network" root, then opens the tree at the start folder.
    void FillFolderTree(const QByteArray& startFolder);
    // Expands the volume that holds the path and each folder on the way that still exists.
    void OpenAt(const QByteArray& path);
    QByteArray GetItemPath(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* NetworkItem() const { return m_NetworkItem; }
    // Deletes every item with the network record it carries.
    void FreeItems();

    static QString TidyDisplayName(const QString& text);

signals:
    void FolderSelected(const QByteArray& path);

private:
    enum Role { kRealNameRole = Qt::UserRole, kRootPathRole, kRecordRole };

    void OnItemexpandingFolderTree(QTreeWidgetItem* item);
    void OnSelchangedFolderTree(QTreeWidgetItem* item);
    QTreeWidgetItem* MakeItem(NetworkRecord* record, const QByteArray& name, int image,
                              int selectedImage = -1);
    QTreeWidgetItem* InsertTreeItem(QTreeWidgetItem* parent, NetworkRecord* record,
                                    const QByteArray& name, int image, int selectedImage = -1);
    void AddChildren(const QByteArray& path, QTreeWidgetItem* item);
    void AddFolders(const QByteArray& path, QTreeWidgetItem* item);
    bool AddNetworkResources(QTreeWidgetItem* item);
    NetworkRecord* RecordOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* RootHolding(const QByteArray& path) const;
    static QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const QByteArray& name);
    // Shows the item without scrolling sideways more than its depth needs.
    void ShowItem(const QTreeWidgetItem* item);
    const QIcon& TreeIcon(int image, int selectedImage);

    std::shared_ptr<VolumeProvider> m_Volumes;
    std::shared_ptr<NetworkProvider> m_Network;
    std::vector<std::unique_ptr<NetworkRecord>> m_Records;
    QHash<int, QIcon> m_TreeImages;
    QTreeWidgetItem* m_NetworkItem = nullptr;
};
