#pragma once

#include <atomic>
#include <cstdint>

// Describes one long-message buffer to a driver. The driver writes the recorded count and the
// flags from its own thread, so both are atomic.
struct MidiHeader {
    static constexpr uint32_t kDone = 0x01;      // the driver has finished with the buffer
    static constexpr uint32_t kPrepared = 0x02;  // prepared, not yet unprepared
    static constexpr uint32_t kInQueue = 0x04;   // queued or being sent by the driver

    uint8_t* data = nullptr;
    uint32_t bufferLength = 0;
    std::atomic<uint32_t> bytesRecorded{0};
    std::atomic<uint32_t> flags{0};
};
