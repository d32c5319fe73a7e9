#include "platform/MountedVolumes.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace {

// Where desktops mount media a user plugs in or mounts by hand.
bool IsUserMountPoint(std::string_view path) {
    static constexpr std::array<std::string_view, 3> kPrefixes = {"/media/", "/run/media/",
                                                                  "/mnt/"};
    for (const auto prefix : kPrefixes) {
        if (path.size() > prefix.size() && path.substr(0, prefix.size()) == prefix) {
            return true;
        }
    }
    return false;
}

VolumeKind KindOf(const MountTable::Entry& entry) {
    if (MountTable::IsNetworkType(entry.fsType)) {
        return VolumeKind::Network;
    }
    if (entry.fsType == "iso9660" || entry.fsType == "udf") {
        return VolumeKind::CdRom;
    }
    if (entry.fsType == "tmpfs" || entry.fsType == "ramfs") {
        return VolumeKind::RamDisk;
    }
    return VolumeKind::Removable;
}

std::string LastComponent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void AddOnce(std::vector<Volume>& volumes, Volume volume) {
    for (const auto& known : volumes) {
        if (known.path == volume.path) {
            return;
        }
    }
    volumes.push_back(std::move(volume));
}

}  // namespace

std::vector<Volume> MountedVolumes::Volumes() {
    const char* home = std::getenv("HOME");
    return FromTable(MountTable::Read(), home ? home : "");
}

std::vector<Volume> MountedVolumes::FromTable(const std::vector<MountTable::Entry>& table,
                                              const std::string& home) {
    std::vector<Volume> volumes = {{"File System", "/", VolumeKind::Fixed}};
    if (!home.empty() && home != "/") {
        volumes.push_back({"Home", WithSeparator(home), VolumeKind::Fixed});
    }
    for (const auto& entry : table) {
        if (IsUserMountPoint(entry.mountPoint) || MountTable::IsNetworkType(entry.fsType)) {
            AddOnce(volumes, {LastComponent(entry.mountPoint), WithSeparator(entry.mountPoint),
                              KindOf(entry)});
        }
    }
    return volumes;
}

std::string MountedVolumes::WithSeparator(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}
