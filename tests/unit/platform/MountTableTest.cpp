#include <gtest/gtest.h>

#include "platform/MountTable.h"
#include "platform/MountedShares.h"
#include "platform/MountedVolumes.h"

namespace {

const char kTable[] =
    "/dev/sda1 / ext4 rw,relatime 0 0\n"
    "proc /proc proc rw 0 0\n"
    "tmpfs /run tmpfs rw 0 0\n"
    "/dev/sdb1 /media/ann/MY\\040STICK vfat rw 0 0\n"
    "/dev/sr0 /media/ann/DISC iso9660 ro 0 0\n"
    "//nas/music /mnt/music cifs rw 0 0\n"
    "nas:/srv/backup /srv/backup nfs4 rw 0 0\n"
    "ann@box:/home/ann /run/media/ann/box fuse.sshfs rw 0 0\n"
    "garbage\n"
    "\n"
    "/dev/sdb1 /media/ann/MY\\040STICK vfat rw 0 0\n";

TEST(MountTableTest, ParsesFieldsAndUndoesEscapes) {
    const auto entries = MountTable::Parse(kTable);
    ASSERT_EQ(entries.size(), 9u);
    EXPECT_EQ(entries[3].mountPoint, "/media/ann/MY STICK");
    EXPECT_EQ(entries[5].device, "//nas/music");
    EXPECT_EQ(entries[5].fsType, "cifs");
}

TEST(MountTableTest, ToleratesCutEscapesAndMissingLineEnd) {
    const auto entries = MountTable::Parse("a /x\\04 ext4\nb /y\\1 ext4");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].mountPoint, "/x\\04");
    EXPECT_EQ(entries[1].mountPoint, "/y\\1");
}

TEST(MountedVolumesTest, ListsRootHomeMediaAndNetworkOnce) {
    const auto volumes = MountedVolumes::FromTable(MountTable::Parse(kTable), "/home/ann");
    struct Expected {
        const char* name;
        const char* path;
        VolumeKind kind;
    };
    const Expected expected[] = {
        {"File System", "/", VolumeKind::Fixed},
        {"Home", "/home/ann/", VolumeKind::Fixed},
        {"MY STICK", "/media/ann/MY STICK/", VolumeKind::Removable},
        {"DISC", "/media/ann/DISC/", VolumeKind::CdRom},
        {"music", "/mnt/music/", VolumeKind::Network},
        {"backup", "/srv/backup/", VolumeKind::Network},
        {"box", "/run/media/ann/box/", VolumeKind::Network},
    };
    ASSERT_EQ(volumes.size(), std::size(expected));
    for (size_t i = 0; i < volumes.size(); ++i) {
        EXPECT_EQ(volumes[i].name, expected[i].name) << i;
        EXPECT_EQ(volumes[i].path, expected[i].path) << i;
        EXPECT_EQ(volumes[i].kind, expected[i].kind) << i;
    }
}

TEST(MountedVolumesTest, NoHomeGivesOnlyTheRoot) {
    const auto volumes = MountedVolumes::FromTable({}, "");
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].path, "/");
}

TEST(MountedSharesTest, SplitsDevices) {
    struct Case {
        const char* device;
        bool named;
        const char* server;
        const char* share;
    };
    const Case cases[] = {
        {"//nas/music", true, "nas", "music"},
        {"\\\\nas\\music\\banks", true, "nas", "music\\banks"},
        {"nas:/srv/backup", true, "nas", "srv/backup"},
        {"ann@box:/home/ann", true, "box", "home/ann"},
        {"https://dav.example/files", true, "dav.example", "files"},
        {"//", false, "", ""},
        {":/x", false, "", ""},
        {"/dev/sda1", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string server;
        std::string share;
        ASSERT_EQ(MountedShares::SplitDevice(c.device, server, share), c.named) << c.device;
        if (c.named) {
            EXPECT_EQ(server, c.server) << c.device;
            EXPECT_EQ(share, c.share) << c.device;
        }
    }
}

TEST(MountedSharesTest, GroupsSharesByServer) {
    const auto table = MountTable::Parse(kTable);
    std::vector<NetworkRecord> servers;
    MountedShares::FromTable(table, nullptr, servers);
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0].m_RemoteName, "//nas");
    EXPECT_EQ(servers[0].m_DisplayType, NetworkRecord::kDisplayServer);
    EXPECT_EQ(servers[1].m_RemoteName, "//box");

    std::vector<NetworkRecord> shares;
    MountedShares::FromTable(table, &servers[0], shares);
    ASSERT_EQ(shares.size(), 2u);
    EXPECT_EQ(shares[0].m_RemoteName, "//nas/music");
    EXPECT_EQ(shares[0].m_LocalName, "/mnt/music/");
    EXPECT_EQ(shares[0].m_DisplayType, NetworkRecord::kDisplayShare);
    EXPECT_EQ(shares[1].m_LocalName, "/srv/backup/");

    std::vector<NetworkRecord> below;
    MountedShares::FromTable(table, &shares[0], below);
    EXPECT_TRUE(below.empty());
}

}  // namespace
