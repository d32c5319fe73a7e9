#pragma once

#include <cstddef>
#include <string>

// Writes a file for a user whole or not at all. A new path or a regular file gets a new file
// beside it, which then replaces it in one step, keeping an existing file's mode (and its owner
// where the system lets it). A symbolic link is followed to its target, which is what gets
// written; the link stays. Anything else (a device, a named pipe) takes the bytes directly, as a
// shell redirection would give them (a pipe that nothing reads fails at once). On failure a file
// is as it was, and errno says why.
class AtomicFile {
public:
    static bool Replace(const std::string& path, const void* data, size_t size);
};
