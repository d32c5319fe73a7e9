#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "CFolderTree.h"
#include "support/FakeFolderSources.h"

namespace {

NetworkRecord Entry(uint32_t displayType, const std::string& remote,
                    const std::string& local = {}) {
    NetworkRecord record;
    record.m_DisplayType = displayType;
    record.m_RemoteName = remote;
    record.m_LocalName = local;
    return record;
}

QStringList Texts(const QTreeWidgetItem* parent) {
    QStringList texts;
    for (int i = 0; i < parent->childCount(); ++i) {
        texts << parent->child(i)->text(0);
    }
    return texts;
}

}  // namespace

class FolderTreeTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tidyDisplayName_data();
    void tidyDisplayName();
    void rootsAreVolumesThenNetwork();
    void expansionReadsFoldersOnceAndSelects();
    void emptyFolderLosesItsExpandButton();
    void pathsUseNamesOnDisk();
    void opensAtSavedPath_data();
    void opensAtSavedPath();
    void missingVolumeOpensNothing();
    void networkListsServersThenShares();
    void failedEnumerationShowsNothing();
    void freeItemsEmptiesTree();

private:
    QString Root() const { return m_Dir->path() + QLatin1Char('/'); }
    QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& text);

    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<CFolderTree> m_Tree;
    std::shared_ptr<FakeNetwork> m_Network;
};

void FolderTreeTest::init() {
    m_Dir = std::make_unique<QTemporaryDir>();
    QDir dir(m_Dir->path());
    for (const char* folder : {"MUSIC/Banks", "MUSIC/banks", "music2", "Empty", ".hidden"}) {
        QVERIFY(dir.mkpath(QString::fromLatin1(folder)));
    }
    m_Network = std::make_shared<FakeNetwork>();
    m_Tree = std::make_unique<CFolderTree>();
    m_Tree->SetProviders(std::make_shared<FakeVolumes>(std::vector<Volume>{
                             {"TEST", Root().toStdString(), VolumeKind::Fixed},
                             {"Stick", "/nonexistent-sonavist-stick/", VolumeKind::Removable}}),
                         m_Network);
}

void FolderTreeTest::cleanup() {
    m_Tree.reset();
    m_Dir.reset();
}

QTreeWidgetItem* FolderTreeTest::Child(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text) {
            return parent->child(i);
        }
    }
    return nullptr;
}

void FolderTreeTest::tidyDisplayName_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("all capitals") << "MUSIC"
                                  << "Music";
    QTest::newRow("short name") << "PROGRA~1"
                                << "Progra~1";
    QTest::newRow("drive") << "C:"
                           << "C:";
    QTest::newRow("mixed case") << "Music"
                                << "Music";
    QTest::newRow("lower case") << "music"
                                << "music";
    QTest::newRow("one lower letter") << "BANKs"
                                      << "BANKs";
    QTest::newRow("words") << "MY BANKS"
                           << "My banks";
    QTest::newRow("digits") << "2024"
                            << "2024";
    QTest::newRow("empty") << ""
                           << "";
}

void FolderTreeTest::tidyDisplayName() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(CFolderTree::TidyDisplayName(text), shown);
}

void FolderTreeTest::rootsAreVolumesThenNetwork() {
    m_Tree->FillFolderTree(QString());
    QCOMPARE(Texts(m_Tree->invisibleRootItem()), QStringList({"Test", "Stick", "Network"}));
    QCOMPARE(m_Tree->NetworkItem(), m_Tree->topLevelItem(2));
    QCOMPARE(m_Tree->currentItem(), nullptr);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_Tree->topLevelItem(i)->childCount(), 0);
        QCOMPARE(m_Tree->topLevelItem(i)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    }
}

void FolderTreeTest::expansionReadsFoldersOnceAndSelects() {
    m_Tree->FillFolderTree(QString());
    QSignalSpy selected(m_Tree.get(), &CFolderTree::FolderSelected);
    QTreeWidgetItem* root = m_Tree->topLevelItem(0);
    m_Tree->expandItem(root);
    QCOMPARE(Texts(root), QStringList({"Empty", "Music", "music2"}));
    QCOMPARE(m_Tree->currentItem(), root);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.at(0).at(0).toString(), Root());

    QVERIFY(QDir(m_Dir->path()).mkdir(QStringLiteral("Added")));
    m_Tree->collapseItem(root);
    m_Tree->expandItem(root);
    QCOMPARE(Texts(root), QStringList({"Empty", "Music", "music2"}));
}

void FolderTreeTest::emptyFolderLosesItsExpandButton() {
    m_Tree->FillFolderTree(QString());
    m_Tree->expandItem(m_Tree->topLevelItem(1));
    QTreeWidgetItem* stick = m_Tree->topLevelItem(1);
    QCOMPARE(stick->childCount(), 0);
    QCOMPARE(stick->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    QCOMPARE(m_Tree->currentItem(), stick);
}

void FolderTreeTest::pathsUseNamesOnDisk() {
    m_Tree->FillFolderTree(Root() + "MUSIC/Banks/");
    QTreeWidgetItem* banks = m_Tree->currentItem();
    QVERIFY(banks);
    QCOMPARE(banks->text(0), QStringLiteral("Banks"));
    QCOMPARE(banks->parent()->text(0), QStringLiteral("Music"));
    QCOMPARE(m_Tree->GetItemPath(banks), Root() + "MUSIC/Banks/");
    QCOMPARE(m_Tree->GetItemPath(m_Tree->topLevelItem(0)), Root());
}

void FolderTreeTest::opensAtSavedPath_data() {
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("selected");
    QTest::newRow("volume") << ""
                            << "";
    QTest::newRow("existing folder") << "MUSIC/Banks/"
                                     << "MUSIC/Banks/";
    QTest::newRow("case differs") << "music/BANKS/"
                                  << "MUSIC/Banks/";
    QTest::newRow("exact name wins") << "music/banks/"
                                     << "MUSIC/banks/";
    QTest::newRow("folder gone") << "Gone/"
                                 << "";
    QTest::newRow("gone in the middle") << "Gone/Banks/"
                                        << "";
    QTest::newRow("no trailing separator") << "Empty"
                                           << "Empty/";
}

void FolderTreeTest::opensAtSavedPath() {
    QFETCH(QString, saved);
    QFETCH(QString, selected);
    QSignalSpy folders(m_Tree.get(), &CFolderTree::FolderSelected);
    m_Tree->FillFolderTree(Root() + saved);
    QVERIFY(m_Tree->currentItem());
    QCOMPARE(m_Tree->GetItemPath(m_Tree->currentItem()), Root() + selected);
    QCOMPARE(folders.last().at(0).toString(), Root() + selected);
}

void FolderTreeTest::missingVolumeOpensNothing() {
    for (const QString& saved :
         {QStringLiteral("/elsewhere/Banks/"), QStringLiteral("C:\\Banks\\"), QString()}) {
        CFolderTree tree;
        tree.SetProviders(std::make_shared<FakeVolumes>(std::vector<Volume>{
                              {"Test", Root().toStdString(), VolumeKind::Fixed}}),
                          m_Network);
        QSignalSpy folders(&tree, &CFolderTree::FolderSelected);
        tree.FillFolderTree(saved);
        QCOMPARE(tree.currentItem(), nullptr);
        QCOMPARE(folders.size(), 0);
    }
}

void FolderTreeTest::networkListsServersThenShares() {
    const QString mounted = Root() + "MUSIC/";
    m_Network->m_Entries[""] = {Entry(NetworkRecord::kDisplayServer, "//nas"),
                                Entry(NetworkRecord::kDisplayGeneric, "")};
    m_Network->m_Entries[""].back().m_Comment = "WORKGROUP";
    m_Network->m_Entries["//nas"] = {
        Entry(NetworkRecord::kDisplayShare, "//nas/music", mounted.toStdString()),
        Entry(NetworkRecord::kDisplayShare, "//nas/backup")};
    m_Tree->FillFolderTree(QString());
    QSignalSpy folders(m_Tree.get(), &CFolderTree::FolderSelected);
    QTreeWidgetItem* network = m_Tree->NetworkItem();
    m_Tree->expandItem(network);
    QCOMPARE(Texts(network), QStringList({"nas", "Workgroup"}));
    QCOMPARE(folders.last().at(0).toString(), QString());

    QTreeWidgetItem* server = Child(network, "nas");
    m_Tree->expandItem(server);
    QCOMPARE(Texts(server), QStringList({"music", "backup"}));
    QCOMPARE(folders.last().at(0).toString(), QString());
    QCOMPARE(m_Tree->GetItemPath(Child(server, "backup")), QStringLiteral("//nas/backup/"));

    QTreeWidgetItem* share = Child(server, "music");
    m_Tree->expandItem(share);
    QCOMPARE(folders.last().at(0).toString(), mounted);
    QCOMPARE(Texts(share), QStringList({"Banks", "banks"}));
    QCOMPARE(m_Tree->GetItemPath(share->child(0)), mounted + "Banks/");

    m_Tree->collapseItem(server);
    m_Tree->expandItem(server);
    QCOMPARE(m_Network->m_Calls, 2);
}

void FolderTreeTest::failedEnumerationShowsNothing() {
    m_Tree->FillFolderTree(QString());
    QTreeWidgetItem* network = m_Tree->NetworkItem();
    m_Tree->expandItem(network);
    QCOMPARE(network->childCount(), 0);
    QCOMPARE(network->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderTreeTest::freeItemsEmptiesTree() {
    m_Network->m_Entries[""] = {Entry(NetworkRecord::kDisplayServer, "//nas")};
    m_Tree->FillFolderTree(Root() + "MUSIC/");
    m_Tree->expandItem(m_Tree->NetworkItem());
    QSignalSpy folders(m_Tree.get(), &CFolderTree::FolderSelected);
    m_Tree->FreeItems();
    QCOMPARE(m_Tree->topLevelItemCount(), 0);
    QCOMPARE(m_Tree->NetworkItem(), nullptr);
    QCOMPARE(folders.size(), 0);
}

QTEST_MAIN(FolderTreeTest)
#include "FolderTreeTest.moc"
