#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _jack_client;

// A port-less JACK client that counts the server's process cycles. Opening it is also the one
// probe for a running server. Output judged by cycles: a message handed over during cycle n is
// written into its port in cycle n or n + 1, so it has surely left once cycle n + 2 has begun.
class JackClock {
public:
    // Cycles after which bytes handed over now have surely left.
    static constexpr uint64_t kCyclesToLeave = 2;

    // Null when no server runs; libjack prints nothing from then on.
    static std::unique_ptr<JackClock> Open();
    ~JackClock();
    JackClock(const JackClock&) = delete;
    JackClock& operator=(const JackClock&) = delete;

    const std::atomic<uint64_t>& Cycles() const { return m_Cycles; }
    // Waits until `count` more cycles have begun, at most `limit`; false when they have not.
    bool WaitCycles(uint64_t count, std::chrono::milliseconds limit) const;
    // The largest single MIDI event a port carries in one cycle.
    std::size_t MaxEventSize() const;
    // Full names of the MIDI ports one can read from (sources) or write to, in one snapshot.
    std::vector<std::string> MidiPorts(bool sources) const;
    bool Connect(const std::string& source, const std::string& destination) const;

private:
    explicit JackClock(_jack_client* client) : m_Client(client) {}
    static int Process(uint32_t frames, void* clock);

    _jack_client* const m_Client;
    std::atomic<uint64_t> m_Cycles{0};
};
