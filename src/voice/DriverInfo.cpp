#include "voice/DriverInfo.h"

const char* DriverInfo::GetName() const {
    return nullptr;
}

int32_t DriverInfo::GetBankCount() const {
    return 0;
}

bool DriverInfo::CanSendVoices() const {
    return false;
}

int32_t DriverInfo::GetDeviceNumberBase() const {
    return 0;
}

int32_t DriverInfo::GetMinElementCount() const {
    return 0;
}

int32_t DriverInfo::GetDumpFormatVersion() const {
    return 0;
}

const char* DriverInfo::GetBankName(uint32_t) const {
    return nullptr;
}
