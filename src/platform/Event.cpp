#include "platform/Event.h"

#include <chrono>

void Event::Set() {
    {
        std::lock_guard lock(m_Mutex);
        m_Signalled = true;
    }
    m_Changed.notify_all();
}

bool Event::Reset() {
    std::lock_guard lock(m_Mutex);
    m_Signalled = false;
    return true;
}

bool Event::Wait(uint32_t milliseconds) {
    std::unique_lock lock(m_Mutex);
    return m_Changed.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return m_Signalled; });
}

bool Event::IsSet() {
    std::lock_guard lock(m_Mutex);
    return m_Signalled;
}
