#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

// A manual-reset event: stays signalled until reset, wakes every waiter.
class Event {
public:
    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    // Returns true on success, as the platform call it stands in for.
    bool Reset();
    // True when the event was signalled within the given milliseconds.
    bool Wait(uint32_t milliseconds);
    bool IsSet();

private:
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    bool m_Signalled = false;
};
