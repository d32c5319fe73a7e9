#pragma once

#include <cstdint>

#include "midi/MidiHeader.h"

// One long-message buffer with the header a driver works with.
class SysexMessage {
public:
    static constexpr int32_t kDefaultCapacity = 1024;

    SysexMessage();
    virtual ~SysexMessage();
    SysexMessage(const SysexMessage&) = delete;
    SysexMessage& operator=(const SysexMessage&) = delete;

    int32_t EnsureCapacity(int32_t size);
    void Clear();
    MidiHeader* GetHeader() { return &m_Header; }
    const MidiHeader* GetHeader() const { return &m_Header; }
    // 0, or -1 when the message does not fit (the buffer stays as it was).
    int32_t SetData(const uint8_t* data, int32_t length);
    // Bytes of a finished input buffer, at most maxLength; 0 while the driver still holds it.
    int32_t CopyReceived(uint8_t* dest, int32_t maxLength) const;
    int32_t GetCapacity() const { return m_Capacity; }

private:
    MidiHeader m_Header;
    uint8_t* m_Data = nullptr;
    int32_t m_Capacity = 0;
};
