#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "midi/MidiDriver.h"

// The input side of one open device as a byte-stream driver keeps it: the caller's queued
// buffers, filled in order with what arrives and handed back through the callback. Shared by
// every backend so that all of them return buffers by the same rules.
class MidiInQueue {
public:
    MidiInQueue(MidiHandle handle, MidiDriver::InCallback callback, std::uintptr_t instance);
    MidiInQueue(const MidiInQueue&) = delete;
    MidiInQueue& operator=(const MidiInQueue&) = delete;

    MidiResult Add(MidiHeader* header);
    MidiResult Unprepare(MidiHeader* header);
    void Start();
    void Stop();
    void Reset();
    // The buffers queued and not yet handed back.
    std::size_t QueuedCount();

    // Called on the driver's thread with System Exclusive bytes, a whole message or a part. They
    // fill the queued buffers in order: a full buffer goes back and the message goes on in the
    // next; the buffer where the message ends (F7) goes back too. What finds no buffer is lost.
    void DeliverLong(const uint8_t* data, std::size_t length);
    void DeliverShort(uint32_t packed);
    // One message as a packet-based driver hands it over: System Exclusive (or a part of one)
    // goes into the buffers, anything else to the callback.
    void Deliver(const uint8_t* data, std::size_t length);
    // Open and close notices, on the caller's thread as the classic API does.
    void Notify(uint32_t message);

private:
    void ReturnFront(uint32_t message);
    std::uintptr_t Elapsed() const;

    const MidiHandle m_Handle;
    const MidiDriver::InCallback m_Callback;
    const std::uintptr_t m_Instance;
    std::mutex m_Mutex;
    std::deque<MidiHeader*> m_Queue;
    bool m_Started = false;
    std::chrono::steady_clock::time_point m_StartedAt;
};
