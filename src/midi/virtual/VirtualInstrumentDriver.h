#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "midi/MidiDriver.h"
#include "midi/MidiHandleTable.h"
#include "midi/MidiInQueue.h"
#include "midi/MidiOutQueue.h"
#include "midi/virtual/VirtualInstrument.h"

// The virtual instrument as a backend: one output and one input device, both named
// "Sonavist Virtual EX5". What it is sent travels at MIDI cable speed, so a long message is
// still playing while its bytes leave; the instrument's replies come after its latency, also at
// cable speed, on this driver's own thread.
class VirtualInstrumentDriver : public MidiDriver {
public:
    static constexpr const char* kDeviceName = "Sonavist Virtual EX5";

    explicit VirtualInstrumentDriver(std::shared_ptr<VirtualInstrument> instrument);
    ~VirtualInstrumentDriver() override;

    uint32_t OutCount() override { return 1; }
    std::string OutName(uint32_t index) override;
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutClose(MidiHandle handle) override;

    uint32_t InCount() override { return 1; }
    std::string InName(uint32_t index) override;
    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                      std::uintptr_t instance) override;
    MidiResult InPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InAddBuffer(MidiHandle handle, MidiHeader* header) override;
    MidiResult InStart(MidiHandle handle) override;
    MidiResult InStop(MidiHandle handle) override;
    MidiResult InReset(MidiHandle handle) override;
    MidiResult InUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InClose(MidiHandle handle) override;

private:
    using Clock = MidiOutQueue::Clock;
    struct Input {
        Input(InCallback callback, std::uintptr_t instance)
            : queue(reinterpret_cast<MidiHandle>(this), callback, instance) {}
        MidiInQueue queue;
    };
    struct Output {
        MidiOutQueue queue;
    };
    // Bytes on their way: to the instrument, or from it (always System Exclusive) to the inputs.
    struct Transfer {
        bool toInstrument;
        std::vector<uint8_t> bytes;
    };

    // When bytes sent at `from` arrive over a cable busy until `cableFree`.
    static Clock::time_point Arrival(std::size_t bytes, Clock::time_point from,
                                     Clock::time_point cableFree);
    void Schedule(Clock::time_point arrival, Transfer transfer, Clock::time_point& cableFree);
    void Run();
    void Carry(const Transfer& transfer);
    template <typename Step>
    MidiResult OnInput(MidiHandle handle, Step&& step);

    const std::shared_ptr<VirtualInstrument> m_Instrument;
    MidiHandleTable<Output> m_Outputs;
    MidiHandleTable<Input> m_Inputs;

    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::multimap<Clock::time_point, Transfer> m_Timeline;
    Clock::time_point m_InCableFree;   // the instrument's MIDI In
    Clock::time_point m_OutCableFree;  // the instrument's MIDI Out
    bool m_Stopping = false;
    std::thread m_Thread;
};
