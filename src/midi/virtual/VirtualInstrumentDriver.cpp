#include "midi/virtual/VirtualInstrumentDriver.h"

#include <utility>

#include "midi/MidiShortMessage.h"

VirtualInstrumentDriver::VirtualInstrumentDriver(std::shared_ptr<VirtualInstrument> instrument)
    : m_Instrument(std::move(instrument)), m_Thread([this] { Run(); }) {}

VirtualInstrumentDriver::~VirtualInstrumentDriver() {
    {
        std::lock_guard lock(m_Mutex);
        m_Stopping = true;
    }
    m_Changed.notify_all();
    m_Thread.join();
}

std::string VirtualInstrumentDriver::OutName(uint32_t index) {
    return index == 0 ? kDeviceName : "";
}

MidiResult VirtualInstrumentDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    if (index != 0) {
        return kMidiBadDeviceId;
    }
    handle = m_Outputs.Open(std::make_unique<MidiOutputTable::Output>());
    return kMidiOk;
}

MidiResult VirtualInstrumentDriver::OutShortMsg(MidiHandle handle, uint32_t packed) {
    if (m_Outputs.Find(handle) == nullptr) {
        return kMidiInvalidHandle;
    }
    uint8_t bytes[3];
    const std::size_t length = MidiShortMessage::Unpack(packed, bytes);
    std::lock_guard lock(m_Mutex);
    Schedule(Arrival(length, Clock::now(), m_InCableFree), {true, {bytes, bytes + length}},
             m_InCableFree);
    return kMidiOk;
}

MidiResult VirtualInstrumentDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    MidiOutputTable::Output* output = m_Outputs.Find(handle);
    if (output == nullptr) {
        return kMidiInvalidHandle;
    }
    if (header == nullptr || header->data == nullptr) {
        return kMidiInvalidParam;
    }
    std::lock_guard lock(m_Mutex);
    const auto arrival = Arrival(header->bufferLength, Clock::now(), m_InCableFree);
    const MidiResult result = output->queue.Accept(header, arrival);
    if (result == kMidiOk) {
        Schedule(arrival, {true, {header->data, header->data + header->bufferLength}},
                 m_InCableFree);
    }
    return result;
}

std::string VirtualInstrumentDriver::InName(uint32_t index) {
    return OutName(index);
}

MidiResult VirtualInstrumentDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                           std::uintptr_t instance) {
    if (index != 0) {
        return kMidiBadDeviceId;
    }
    if (callback == nullptr) {
        return kMidiInvalidParam;
    }
    handle = m_Inputs.Open(std::make_unique<MidiInputTable::Input>(callback, instance));
    return kMidiOk;
}

void VirtualInstrumentDriver::SetByteTime(std::chrono::microseconds byteTime) {
    std::lock_guard lock(m_Mutex);
    m_ByteTime = byteTime;
}

VirtualInstrumentDriver::Clock::time_point VirtualInstrumentDriver::Arrival(
    std::size_t bytes, Clock::time_point from, Clock::time_point cableFree) const {
    return std::max(from, cableFree) + m_ByteTime * static_cast<int64_t>(bytes);
}

void VirtualInstrumentDriver::Schedule(Clock::time_point arrival, Transfer transfer,
                                       Clock::time_point& cableFree) {
    cableFree = arrival;
    m_Timeline.emplace(arrival, std::move(transfer));
    m_Changed.notify_all();
}

void VirtualInstrumentDriver::Run() {
    std::unique_lock lock(m_Mutex);
    while (!m_Stopping) {
        if (m_Timeline.empty()) {
            m_Changed.wait(lock);
            continue;
        }
        const auto first = m_Timeline.begin();
        if (Clock::now() < first->first) {
            m_Changed.wait_until(lock, first->first);
            continue;
        }
        const Transfer transfer = std::move(first->second);
        m_Timeline.erase(first);
        lock.unlock();
        Carry(transfer);
        lock.lock();
    }
}

void VirtualInstrumentDriver::Carry(const Transfer& transfer) {
    if (!transfer.toInstrument) {
        m_Inputs.ForEach([&](MidiInputTable::Input& input) {
            input.queue.DeliverLong(transfer.bytes.data(), transfer.bytes.size());
        });
        return;
    }
    auto outcome = m_Instrument->Receive(transfer.bytes.data(), transfer.bytes.size());
    if (!outcome.reply.empty()) {
        const auto from = Clock::now() + m_Instrument->Latency();
        std::lock_guard lock(m_Mutex);
        const auto arrival = Arrival(outcome.reply.size(), from, m_OutCableFree);
        Schedule(arrival, {false, std::move(outcome.reply)}, m_OutCableFree);
    }
}
