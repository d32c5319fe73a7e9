#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include <jack/ringbuffer.h>

#include "midi/MidiInQueue.h"

struct _jack_port;

// One port of the program's JACK client, serving one open device. The caller's thread hands over
// what an output sends; the process callback writes it into the port, or delivers what an input
// receives. A message has left once a cycle has written it into the port: the server carries
// it from there.
class JackPort {
public:
    // An input delivers into `queue`; an output (null queue) carries messages of up to `maxEvent`
    // bytes.
    JackPort(MidiInQueue* queue, std::size_t maxEvent);
    ~JackPort();
    JackPort(const JackPort&) = delete;
    JackPort& operator=(const JackPort&) = delete;

    bool IsInput() const { return m_Queue != nullptr; }
    // The device it connects to, by its full JACK name.
    std::string device;
    // Set once the port is registered; the process callback reads it only while attached.
    _jack_port* port = nullptr;

    // Caller side: whether a message of `length` bytes can be handed over now; the number the
    // next one handed over gets; handing it over (false when it does not fit).
    bool Fits(std::size_t length) const;
    uint64_t NextNumber() const { return m_Pushed + 1; }
    bool Push(const uint8_t* data, std::size_t length);
    // How many messages handed over are surely gone.
    const std::atomic<uint64_t>& Gone() const { return m_Gone; }
    // Writing begins with cycle `cycle`: before it the connection may not carry anything yet.
    void HoldUntil(uint64_t cycle) { m_HeldUntil = cycle; }
    // No cycle will come any more (the server is gone): every message counts as gone.
    void GiveUp();

    // Process side, once per cycle.
    void Process(uint32_t frames, uint64_t cycle);

private:
    void Write(void* buffer);
    void Deliver(void* buffer);

    MidiInQueue* const m_Queue;
    const std::size_t m_MaxEvent;
    jack_ringbuffer_t* const m_Ring;
    std::atomic<uint64_t> m_HeldUntil{0};
    std::atomic<uint64_t> m_Gone{0};
    uint64_t m_Pushed = 0;   // caller side
    uint64_t m_Written = 0;  // process side
};
