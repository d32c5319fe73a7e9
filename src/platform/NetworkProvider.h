#pragma once

#include <vector>

#include "platform/NetworkRecord.h"

// Lists what the network offers below a container, or at the top level without one.
class NetworkProvider {
public:
    virtual ~NetworkProvider() = default;
    // False when the enumeration cannot be opened; entries are appended in the provider's order.
    virtual bool Enumerate(const NetworkRecord* container, std::vector<NetworkRecord>& entries) = 0;
};
