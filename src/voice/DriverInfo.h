#pragma once

#include <cstdint>

// Describes one supported instrument family. Stateless: anyone may make a short-lived one to
// reach its tables. The general descriptor gives neutral answers.
class DriverInfo {
public:
    virtual ~DriverInfo() = default;

    virtual const char* GetName() const;
    virtual int32_t GetBankCount() const;
    // Whether single voices can be sent to the instrument as bulk dumps.
    virtual bool CanSendVoices() const;
    // The lowest device number the instrument answers on.
    virtual int32_t GetDeviceNumberBase() const;
    // The fewest elements a voice needs to be sent.
    virtual int32_t GetMinElementCount() const;
    // The revision of the voice bulk dump layout.
    virtual int32_t GetDumpFormatVersion() const;
    virtual const char* GetBankName(uint32_t index) const;
};
