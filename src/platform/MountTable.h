#pragma once

#include <string>
#include <string_view>
#include <vector>

// The system's table of mounted file systems, as the kernel lists it for this process.
class MountTable {
public:
    struct Entry {
        std::string device;
        std::string mountPoint;
        std::string fsType;
    };

    // Lines that do not have at least three fields are skipped; "\040"-style escapes are undone.
    static std::vector<Entry> Parse(std::string_view text);
    // Empty when the table cannot be read.
    static std::vector<Entry> Read();
    static bool IsNetworkType(std::string_view fsType);
};
