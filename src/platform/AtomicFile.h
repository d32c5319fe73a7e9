#pragma once

#include <cstddef>
#include <string>

// Writes a whole file or nothing: the bytes go into a new file beside the target, which then
// replaces the target in one step. A failed write leaves the target as it was.
class AtomicFile {
public:
    static bool Replace(const std::string& path, const void* data, size_t size);
};
