#pragma once

#include <cstddef>
#include <cstdint>

// A channel or system message of one to three bytes, and its packed form
// (status | data1 << 8 | data2 << 16).
class MidiShortMessage {
public:
    // Bytes the message with this status byte occupies.
    static std::size_t Length(uint8_t status);
    // Writes the message's bytes into `bytes` (room for 3); returns how many.
    static std::size_t Unpack(uint32_t packed, uint8_t* bytes);
    static uint32_t Pack(const uint8_t* bytes, std::size_t length);
};
