#pragma once

#include <string>
#include <vector>

// Kinds of volume; the numbers are the folder tree's image indices.
enum class VolumeKind : int {
    Removable = 2,
    Fixed = 3,
    Network = 4,
    CdRom = 5,
    RamDisk = 6,
};

// One place the folder tree offers as a root.
struct Volume {
    std::string name;
    std::string path;  // where it is mounted, ending in the separator
    VolumeKind kind = VolumeKind::Fixed;
};

// The roots of the folder tree, in the order they are shown.
class VolumeProvider {
public:
    virtual ~VolumeProvider() = default;
    virtual std::vector<Volume> Volumes() = 0;
};
