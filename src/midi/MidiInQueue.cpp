#include "midi/MidiInQueue.h"

#include "midi/MidiHeaderState.h"
#include "midi/MidiShortMessage.h"

#include <algorithm>

namespace {

constexpr uint8_t kEndOfExclusive = 0xF7;

}  // namespace

MidiInQueue::MidiInQueue(MidiHandle handle, MidiDriver::InCallback callback,
                         std::uintptr_t instance)
    : m_Handle(handle), m_Callback(callback), m_Instance(instance) {}

MidiResult MidiInQueue::Add(MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    const MidiResult result = MidiHeaderState::Enqueue(header);
    if (result == kMidiOk) {
        header->bytesRecorded = 0;
        m_Queue.push_back(header);
    }
    return result;
}

MidiResult MidiInQueue::Unprepare(MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    return MidiHeaderState::Unprepare(header);
}

void MidiInQueue::Start() {
    std::lock_guard lock(m_Mutex);
    if (!m_Started) {
        m_Started = true;
        m_StartedAt = std::chrono::steady_clock::now();
    }
}

void MidiInQueue::Stop() {
    std::lock_guard lock(m_Mutex);
    m_Started = false;
    if (!m_Queue.empty() && m_Queue.front()->bytesRecorded > 0) {
        ReturnFront(kMimLongData);
    }
}

void MidiInQueue::Reset() {
    std::lock_guard lock(m_Mutex);
    m_Started = false;
    while (!m_Queue.empty()) {
        ReturnFront(kMimLongData);
    }
}

std::size_t MidiInQueue::QueuedCount() {
    std::lock_guard lock(m_Mutex);
    return m_Queue.size();
}

void MidiInQueue::DeliverLong(const uint8_t* data, std::size_t length) {
    std::lock_guard lock(m_Mutex);
    if (!m_Started) {
        return;
    }
    const uint8_t* next = data;
    const uint8_t* const end = data + length;
    while (next != end && !m_Queue.empty()) {
        MidiHeader* header = m_Queue.front();
        const uint32_t recorded = header->bytesRecorded;
        const std::size_t room = header->bufferLength - recorded;
        const uint8_t* stop = next + std::min<std::size_t>(room, end - next);
        const uint8_t* const eox = std::find(next, stop, kEndOfExclusive);
        stop = eox == stop ? stop : eox + 1;
        std::copy(next, stop, header->data + recorded);
        header->bytesRecorded = recorded + static_cast<uint32_t>(stop - next);
        // As a byte-stream driver: a buffer goes back when full or at the end of a message.
        if (header->bytesRecorded == header->bufferLength || stop[-1] == kEndOfExclusive) {
            ReturnFront(kMimLongData);
        }
        next = stop;
    }
}

void MidiInQueue::DeliverShort(uint32_t packed) {
    std::lock_guard lock(m_Mutex);
    if (m_Started) {
        m_Callback(m_Handle, kMimData, m_Instance, packed, Elapsed());
    }
}

void MidiInQueue::Deliver(const uint8_t* data, std::size_t length) {
    if (length == 0) {
        return;
    }
    // System Exclusive, its end, or the rest of one split by the driver.
    const uint8_t first = data[0];
    if (first == 0xF0 || first == kEndOfExclusive || first < 0x80) {
        DeliverLong(data, length);
    } else {
        DeliverShort(MidiShortMessage::Pack(data, length));
    }
}

void MidiInQueue::Notify(uint32_t message) {
    m_Callback(m_Handle, message, m_Instance, 0, 0);
}

void MidiInQueue::ReturnFront(uint32_t message) {
    MidiHeader* header = m_Queue.front();
    m_Queue.pop_front();
    MidiHeaderState::Finish(header);
    m_Callback(m_Handle, message, m_Instance, reinterpret_cast<std::uintptr_t>(header), Elapsed());
}

std::uintptr_t MidiInQueue::Elapsed() const {
    const auto elapsed = std::chrono::steady_clock::now() - m_StartedAt;
    return static_cast<std::uintptr_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}
