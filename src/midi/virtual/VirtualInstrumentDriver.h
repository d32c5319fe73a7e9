#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "midi/BufferedMidiDriver.h"
#include "midi/virtual/VirtualInstrument.h"

// The virtual instrument as a backend: one output and one input device, both named
// "Sonavist Virtual EX5". What it is sent travels at MIDI cable speed, so a long message is
// still playing while its bytes leave; the instrument's replies come after its latency, also at
// cable speed, on this driver's own thread.
class VirtualInstrumentDriver : public BufferedMidiDriver {
public:
    static constexpr const char* kDeviceName = "Sonavist Virtual EX5";

    explicit VirtualInstrumentDriver(std::shared_ptr<VirtualInstrument> instrument);
    ~VirtualInstrumentDriver() override;

    uint32_t OutCount() override { return 1; }
    std::string OutName(uint32_t index) override;
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;

    uint32_t InCount() override { return 1; }
    std::string InName(uint32_t index) override;
    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                      std::uintptr_t instance) override;

    // Time each byte takes on the cable, both ways; tests that run many jobs shorten it.
    void SetByteTime(std::chrono::microseconds byteTime);

private:
    using Clock = MidiOutQueue::Clock;
    // Bytes on their way: to the instrument, or from it (always System Exclusive) to the inputs.
    struct Transfer {
        bool toInstrument;
        std::vector<uint8_t> bytes;
    };

    // When bytes sent at `from` arrive over a cable busy until `cableFree`.
    Clock::time_point Arrival(std::size_t bytes, Clock::time_point from,
                              Clock::time_point cableFree) const;
    void Schedule(Clock::time_point arrival, Transfer transfer, Clock::time_point& cableFree);
    void Run();
    void Carry(const Transfer& transfer);

    const std::shared_ptr<VirtualInstrument> m_Instrument;

    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::multimap<Clock::time_point, Transfer> m_Timeline;
    Clock::time_point m_InCableFree;   // the instrument's MIDI In
    Clock::time_point m_OutCableFree;  // the instrument's MIDI Out
    std::chrono::microseconds m_ByteTime = MidiOutQueue::kByteTime;
    bool m_Stopping = false;
    std::thread m_Thread;
};
