#pragma once

#include <cstdint>

#include "voice/DriverInfo.h"

// The descriptor of the EX5, EX5R and EX7: banks, voice categories and bank-file size.
class EX5Info : public DriverInfo {
public:
    const char* GetName() const override;
    int32_t GetBankCount() const override;
    bool CanSendVoices() const override;
    int32_t GetMinElementCount() const override;
    int32_t GetDumpFormatVersion() const override;
    const char* GetBankName(uint32_t index) const override;

    // Category numbers of 23 or more give entry 0 ("--", "No Assign").
    virtual const char* GetCategoryCode(uint32_t category) const;
    virtual const char* GetCategoryName(uint32_t category) const;
    virtual int32_t GetVoiceCount() const;
};
