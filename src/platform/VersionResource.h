#pragma once

#include <cstdint>
#include <string>

// The program's version block, generated from the build's project version.
class VersionResource {
public:
    // The fixed file version: major and minor in the high and low word of the first double word,
    // build and revision in the second.
    static void FileVersion(uint32_t& mostSignificant, uint32_t& leastSignificant);
    // "major.minor.build" of the given double words, or empty when all three are 0.
    static std::string Text(uint32_t mostSignificant, uint32_t leastSignificant);
    static std::string Text();
};
