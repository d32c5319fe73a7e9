#include "platform/MountedShares.h"

#include "platform/MountedVolumes.h"

namespace {

constexpr uint32_t kScopeGlobalNet = 2;
constexpr uint32_t kTypeAny = 0;
constexpr uint32_t kTypeDisk = 1;
constexpr uint32_t kUsageConnectable = 1;
constexpr uint32_t kUsageContainer = 2;

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string_view TrimLeadingSeparators(std::string_view text) {
    while (!text.empty() && IsSeparator(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// Splits "server/share" at the first separator.
void SplitHostPath(std::string_view text, std::string& server, std::string& share) {
    size_t cut = 0;
    while (cut < text.size() && !IsSeparator(text[cut])) {
        ++cut;
    }
    server = text.substr(0, cut);
    share = TrimLeadingSeparators(text.substr(cut));
}

NetworkRecord ServerRecord(const std::string& server) {
    NetworkRecord record;
    record.m_Scope = kScopeGlobalNet;
    record.m_Type = kTypeAny;
    record.m_DisplayType = NetworkRecord::kDisplayServer;
    record.m_Usage = kUsageContainer;
    record.m_RemoteName = "//" + server;
    return record;
}

NetworkRecord ShareRecord(const std::string& server, const std::string& share,
                          const std::string& mountPoint) {
    NetworkRecord record;
    record.m_Scope = kScopeGlobalNet;
    record.m_Type = kTypeDisk;
    record.m_DisplayType = NetworkRecord::kDisplayShare;
    record.m_Usage = kUsageConnectable;
    record.m_LocalName = MountedVolumes::WithSeparator(mountPoint);
    record.m_RemoteName = "//" + server + "/" + share;
    return record;
}

bool Listed(const std::vector<NetworkRecord>& entries, const std::string& remoteName) {
    for (const auto& entry : entries) {
        if (entry.m_RemoteName == remoteName) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool MountedShares::Enumerate(const NetworkRecord* container, std::vector<NetworkRecord>& entries) {
    FromTable(MountTable::Read(), container, entries);
    return true;
}

void MountedShares::FromTable(const std::vector<MountTable::Entry>& table,
                              const NetworkRecord* container, std::vector<NetworkRecord>& entries) {
    std::vector<NetworkRecord> found;
    for (const auto& mount : table) {
        std::string server;
        std::string share;
        if (!MountTable::IsNetworkType(mount.fsType) || !SplitDevice(mount.device, server, share)) {
            continue;
        }
        NetworkRecord record =
            container ? ShareRecord(server, share, mount.mountPoint) : ServerRecord(server);
        const bool below = !container || container->m_RemoteName == "//" + server;
        if (below && !Listed(found, record.m_RemoteName)) {
            found.push_back(std::move(record));
        }
    }
    entries.insert(entries.end(), found.begin(), found.end());
}

bool MountedShares::SplitDevice(std::string_view device, std::string& server, std::string& share) {
    if (device.size() > 2 && IsSeparator(device[0]) && IsSeparator(device[1])) {
        SplitHostPath(device.substr(2), server, share);
    } else if (const size_t scheme = device.find("://"); scheme != std::string_view::npos) {
        SplitHostPath(device.substr(scheme + 3), server, share);
    } else if (const size_t colon = device.find(':'); colon != std::string_view::npos) {
        const std::string_view host = device.substr(0, colon);
        const size_t at = host.rfind('@');
        server = at == std::string_view::npos ? host : host.substr(at + 1);
        share = TrimLeadingSeparators(device.substr(colon + 1));
    } else {
        return false;
    }
    return !server.empty();
}
