#pragma once

#include <cstdint>

class DriverInfo;

// The descriptors this program knows, fixed at build time. Callers borrow them.
class DriverRegistry {
public:
    static uint32_t GetDriverCount();
    // The descriptor at index, or none when index >= GetDriverCount().
    static const DriverInfo* GetDriverInfo(uint32_t index);
};
