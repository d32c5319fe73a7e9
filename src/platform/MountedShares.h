#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/MountTable.h"
#include "platform/NetworkProvider.h"

// The network as far as this machine has mounted it: at the top level one container per server,
// below a server its mounted shares.
class MountedShares : public NetworkProvider {
public:
    bool Enumerate(const NetworkRecord* container, std::vector<NetworkRecord>& entries) override;

    static void FromTable(const std::vector<MountTable::Entry>& table,
                          const NetworkRecord* container, std::vector<NetworkRecord>& entries);
    // Server and share of a mounted device such as //server/share, server:/export or
    // user@server:path. False when the device names no server.
    static bool SplitDevice(std::string_view device, std::string& server, std::string& share);
};
