#pragma once

#include <filesystem>

// What kind of thing a path names, where that matters before opening it.
class FileKind {
public:
    // A named pipe or a terminal: opening it for reading waits for a writer that may never come.
    static bool MayBlockOnOpen(const std::filesystem::path& path);
};
