#include "midi/MidiOutQueue.h"

#include "midi/MidiHeaderState.h"

#include <algorithm>
#include <thread>

MidiOutQueue::MidiOutQueue(const std::atomic<uint64_t>* cycles) : m_Cycles(cycles) {}

MidiResult MidiOutQueue::Accept(MidiHeader* header, Clock::time_point leftAt, uint64_t cycle) {
    std::lock_guard lock(m_Mutex);
    const MidiResult result = MidiHeaderState::Enqueue(header);
    if (result == kMidiOk) {
        m_InFlight.push_back({header, leftAt, cycle});
    }
    return result;
}

MidiResult MidiOutQueue::Unprepare(MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    FinishLeft();
    return MidiHeaderState::Unprepare(header);
}

void MidiOutQueue::Drain(Clock::duration limit) {
    const auto deadline = Clock::now() + limit;
    std::unique_lock lock(m_Mutex);
    for (FinishLeft(); !m_InFlight.empty() && Clock::now() < deadline; FinishLeft()) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        lock.lock();
    }
    // Past the limit (a stalled server) the caller gets its buffers back all the same.
    std::for_each(m_InFlight.begin(), m_InFlight.end(), Finish);
    m_InFlight.clear();
}

void MidiOutQueue::FinishLeft() {
    const auto left = std::stable_partition(m_InFlight.begin(), m_InFlight.end(),
                                            [this](const InFlight& m) { return HasLeft(m); });
    std::for_each(m_InFlight.begin(), left, Finish);
    m_InFlight.erase(m_InFlight.begin(), left);
}

void MidiOutQueue::Finish(const InFlight& message) {
    MidiHeaderState::Finish(message.header);
}

bool MidiOutQueue::HasLeft(const InFlight& message) const {
    const bool cycleRun = m_Cycles == nullptr || m_Cycles->load() >= message.cycle;
    return cycleRun && Clock::now() >= message.leftAt;
}
