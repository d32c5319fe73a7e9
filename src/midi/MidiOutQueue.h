#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "midi/MidiDriver.h"

// The long messages one output device has accepted and not yet finished. A message is finished
// once its bytes have left: after the time they take on the wire and, where the driver works in
// process cycles, after the cycle that carries them. Nothing runs in the background; a message
// is judged when the caller asks, so no other thread ever touches the caller's header.
class MidiOutQueue {
public:
    using Clock = std::chrono::steady_clock;

    // Time a byte takes on a MIDI cable: 10 bits at 31,250 baud.
    static constexpr std::chrono::microseconds kByteTime{320};
    static constexpr Clock::duration WireTime(std::size_t bytes) {
        return kByteTime * static_cast<int64_t>(bytes);
    }

    // cycles counts the driver's process cycles; null where there are none.
    explicit MidiOutQueue(const std::atomic<uint64_t>* cycles = nullptr);
    MidiOutQueue(const MidiOutQueue&) = delete;
    MidiOutQueue& operator=(const MidiOutQueue&) = delete;

    // Takes a prepared header that leaves at `leftAt`, or after cycle `cycle` has run.
    MidiResult Accept(MidiHeader* header, Clock::time_point leftAt, uint64_t cycle = 0);
    MidiResult Unprepare(MidiHeader* header);
    // Waits, at most `limit`, until every accepted message has left.
    void Drain(Clock::duration limit);

private:
    struct InFlight {
        MidiHeader* header;
        Clock::time_point leftAt;
        uint64_t cycle;
    };

    static void Finish(const InFlight& message);
    void FinishLeft();
    bool HasLeft(const InFlight& message) const;

    const std::atomic<uint64_t>* const m_Cycles;
    std::mutex m_Mutex;
    std::vector<InFlight> m_InFlight;
};
