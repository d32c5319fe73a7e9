#include "midi/virtual/VirtualInstrumentDriver.h"

#include <utility>

#include "midi/MidiHeaderState.h"

namespace {

// Bytes a short message occupies, from its status byte.
std::size_t ShortLength(uint8_t status) {
    switch (status & 0xF0) {
        case 0xC0:
        case 0xD0:
            return 2;
        case 0xF0:
            return status == 0xF2 ? 3 : (status == 0xF1 || status == 0xF3) ? 2 : 1;
        default:
            return 3;
    }
}

// Closing waits this long at most for a long message to leave; the longest takes about 330 ms.
constexpr std::chrono::seconds kDrainLimit{2};

}  // namespace

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
    handle = m_Outputs.Add(std::make_unique<Output>());
    return kMidiOk;
}

MidiResult VirtualInstrumentDriver::OutShortMsg(MidiHandle handle, uint32_t packed) {
    if (m_Outputs.Find(handle) == nullptr) {
        return kMidiInvalidHandle;
    }
    const uint8_t bytes[3] = {static_cast<uint8_t>(packed), static_cast<uint8_t>(packed >> 8),
                              static_cast<uint8_t>(packed >> 16)};
    const std::size_t length = ShortLength(bytes[0]);
    std::lock_guard lock(m_Mutex);
    Schedule(Arrival(length, Clock::now(), m_InCableFree), {true, {bytes, bytes + length}},
             m_InCableFree);
    return kMidiOk;
}

MidiResult VirtualInstrumentDriver::OutPrepare(MidiHandle handle, MidiHeader* header) {
    return m_Outputs.Find(handle) == nullptr ? kMidiInvalidHandle
                                             : MidiHeaderState::Prepare(header);
}

MidiResult VirtualInstrumentDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    Output* output = m_Outputs.Find(handle);
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

MidiResult VirtualInstrumentDriver::OutUnprepare(MidiHandle handle, MidiHeader* header) {
    Output* output = m_Outputs.Find(handle);
    return output == nullptr ? kMidiInvalidHandle : output->queue.Unprepare(header);
}

MidiResult VirtualInstrumentDriver::OutClose(MidiHandle handle) {
    Output* output = m_Outputs.Find(handle);
    if (output == nullptr) {
        return kMidiInvalidHandle;
    }
    output->queue.Drain(kDrainLimit);
    m_Outputs.Remove(handle);
    return kMidiOk;
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
    auto input = std::make_unique<Input>(callback, instance);
    Input* record = input.get();
    handle = m_Inputs.Add(std::move(input));
    record->queue.Notify(kMimOpen);
    return kMidiOk;
}

template <typename Step>
MidiResult VirtualInstrumentDriver::OnInput(MidiHandle handle, Step&& step) {
    Input* input = m_Inputs.Find(handle);
    return input == nullptr ? kMidiInvalidHandle : step(input->queue);
}

MidiResult VirtualInstrumentDriver::InPrepare(MidiHandle handle, MidiHeader* header) {
    Input* input = m_Inputs.Find(handle);
    return input == nullptr ? kMidiInvalidHandle : MidiHeaderState::Prepare(header);
}

MidiResult VirtualInstrumentDriver::InAddBuffer(MidiHandle handle, MidiHeader* header) {
    return OnInput(handle, [&](MidiInQueue& q) { return q.Add(header); });
}

MidiResult VirtualInstrumentDriver::InStart(MidiHandle handle) {
    return OnInput(handle, [](MidiInQueue& q) { return q.Start(), kMidiOk; });
}

MidiResult VirtualInstrumentDriver::InStop(MidiHandle handle) {
    return OnInput(handle, [](MidiInQueue& q) { return q.Stop(), kMidiOk; });
}

MidiResult VirtualInstrumentDriver::InReset(MidiHandle handle) {
    return OnInput(handle, [](MidiInQueue& q) { return q.Reset(), kMidiOk; });
}

MidiResult VirtualInstrumentDriver::InUnprepare(MidiHandle handle, MidiHeader* header) {
    return OnInput(handle, [&](MidiInQueue& q) { return q.Unprepare(header); });
}

MidiResult VirtualInstrumentDriver::InClose(MidiHandle handle) {
    const MidiResult held = OnInput(
        handle, [](MidiInQueue& q) { return q.HoldsBuffers() ? kMidiStillPlaying : kMidiOk; });
    if (held != kMidiOk) {
        return held;
    }
    // Removed first: once out of the table no delivery can reach it, so the close notice is last.
    const auto input = m_Inputs.Remove(handle);
    if (input == nullptr) {
        return kMidiInvalidHandle;
    }
    input->queue.Notify(kMimClose);
    return kMidiOk;
}

VirtualInstrumentDriver::Clock::time_point VirtualInstrumentDriver::Arrival(
    std::size_t bytes, Clock::time_point from, Clock::time_point cableFree) {
    return std::max(from, cableFree) + MidiOutQueue::WireTime(bytes);
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
        m_Inputs.ForEach([&](Input& input) {
            input.queue.DeliverLong(transfer.bytes.data(), transfer.bytes.size());
        });
        return;
    }
    auto outcome = m_Instrument->Receive(transfer.bytes.data(), transfer.bytes.size());
    if (!outcome.reply.empty()) {
        const auto from = Clock::now() + m_Instrument->Latency();
        std::lock_guard lock(m_Mutex);
        Schedule(Arrival(outcome.reply.size(), from, m_OutCableFree),
                 {false, std::move(outcome.reply)}, m_OutCableFree);
    }
}
