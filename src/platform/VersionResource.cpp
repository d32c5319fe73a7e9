#include "platform/VersionResource.h"

#include <cstdio>

#include "platform/SonavistVersion.h"

void VersionResource::FileVersion(uint32_t& mostSignificant, uint32_t& leastSignificant) {
    mostSignificant = (uint32_t{SONAVIST_VERSION_MAJOR} << 16) | uint32_t{SONAVIST_VERSION_MINOR};
    leastSignificant =
        (uint32_t{SONAVIST_VERSION_BUILD} << 16) | uint32_t{SONAVIST_VERSION_REVISION};
}

std::string VersionResource::Text(uint32_t mostSignificant, uint32_t leastSignificant) {
    const unsigned major = mostSignificant >> 16;
    const unsigned minor = mostSignificant & 0xFFFF;
    const unsigned build = leastSignificant >> 16;
    if (major + minor + build == 0) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u", major, minor, build);
    return text;
}

std::string VersionResource::Text() {
    uint32_t mostSignificant = 0;
    uint32_t leastSignificant = 0;
    FileVersion(mostSignificant, leastSignificant);
    return Text(mostSignificant, leastSignificant);
}
