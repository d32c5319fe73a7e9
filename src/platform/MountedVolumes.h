#pragma once

#include <string>
#include <vector>

#include "platform/MountTable.h"
#include "platform/VolumeProvider.h"

// The volumes worth browsing on this machine: the file system root, the home folder, removable
// media and network mounts.
class MountedVolumes : public VolumeProvider {
public:
    std::vector<Volume> Volumes() override;

    static std::vector<Volume> FromTable(const std::vector<MountTable::Entry>& table,
                                         const std::string& home);
    static std::string WithSeparator(std::string path);
};
