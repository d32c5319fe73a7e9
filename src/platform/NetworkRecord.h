#pragma once

#include <cstdint>
#include <string>

// One entry of a network enumeration, kept with the tree item it made. An empty text stands for
// none.
struct NetworkRecord {
    static constexpr uint32_t kDisplayGeneric = 0;
    static constexpr uint32_t kDisplayServer = 2;
    static constexpr uint32_t kDisplayShare = 3;

    uint32_t m_Scope = 0;
    uint32_t m_Type = 0;
    uint32_t m_DisplayType = kDisplayGeneric;
    uint32_t m_Usage = 0;
    std::string m_LocalName;  // where a share is mounted, if it is
    std::string m_RemoteName;
    std::string m_Comment;
    std::string m_Provider;
};
