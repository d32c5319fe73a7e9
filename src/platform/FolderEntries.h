#pragma once

#include <string>
#include <vector>

// The entries of a folder by the bytes the file system holds: names need not be valid in any
// encoding, so nothing is decoded here.
class FolderEntries {
public:
    struct Entry {
        std::string name;
        bool folder = false;
    };

    // The folders and regular files in the folder (links followed), in the order the system
    // reports them; hidden names (a leading '.') and anything else are left out. Empty when
    // the folder cannot be read.
    static std::vector<Entry> List(const std::string& folder);
};
