#include "voice/DriverRegistry.h"

#include <array>

#include "voice/EX5Info.h"

namespace {

const EX5Info kEX5Info;
const std::array<const DriverInfo*, 1> kDrivers = {&kEX5Info};

}  // namespace

uint32_t DriverRegistry::GetDriverCount() {
    return static_cast<uint32_t>(kDrivers.size());
}

const DriverInfo* DriverRegistry::GetDriverInfo(uint32_t index) {
    return index < kDrivers.size() ? kDrivers[index] : nullptr;
}
