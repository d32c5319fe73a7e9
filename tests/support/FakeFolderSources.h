#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/NetworkProvider.h"
#include "platform/VolumeProvider.h"

// Volumes and a network made up by a test.
class FakeVolumes : public VolumeProvider {
public:
    explicit FakeVolumes(std::vector<Volume> volumes) : m_Volumes(std::move(volumes)) {}
    std::vector<Volume> Volumes() override { return m_Volumes; }

private:
    std::vector<Volume> m_Volumes;
};

// Entries per container remote name; "" is the top level. Counts its enumerations.
class FakeNetwork : public NetworkProvider {
public:
    bool Enumerate(const NetworkRecord* container, std::vector<NetworkRecord>& entries) override {
        ++m_Calls;
        const auto found = m_Entries.find(container ? container->m_RemoteName : std::string());
        if (found == m_Entries.end()) {
            return false;
        }
        entries.insert(entries.end(), found->second.begin(), found->second.end());
        return true;
    }

    std::map<std::string, std::vector<NetworkRecord>> m_Entries;
    int m_Calls = 0;
};
