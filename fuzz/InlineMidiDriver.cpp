#include "InlineMidiDriver.h"

#include "midi/MidiHeaderState.h"

namespace {

constexpr MidiHandle kInHandle = 1;
constexpr MidiHandle kOutHandle = 2;
constexpr const char* kName = "Inline";

}  // namespace

void InlineMidiDriver::Feed(const uint8_t* data, std::size_t length) {
    if (m_Queue) {
        m_Queue->DeliverLong(data, length);
    }
}

void InlineMidiDriver::FeedShort(uint32_t packed) {
    if (m_Queue) {
        m_Queue->DeliverShort(packed);
    }
}

std::string InlineMidiDriver::OutName(uint32_t index) {
    return index == 0 ? kName : "";
}

MidiResult InlineMidiDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    if (index != 0) {
        return kMidiBadDeviceId;
    }
    if (m_OutOpen) {
        return kMidiAllocated;
    }
    m_OutOpen = true;
    handle = kOutHandle;
    return kMidiOk;
}

MidiResult InlineMidiDriver::OutShortMsg(MidiHandle handle, uint32_t) {
    return handle == kOutHandle && m_OutOpen ? kMidiOk : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::OutPrepare(MidiHandle handle, MidiHeader* header) {
    return handle == kOutHandle && m_OutOpen ? MidiHeaderState::Prepare(header)
                                             : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    if (handle != kOutHandle || !m_OutOpen) {
        return kMidiInvalidHandle;
    }
    const MidiResult result = MidiHeaderState::Enqueue(header);
    if (result == kMidiOk) {
        MidiHeaderState::Finish(header);
        Feed(m_Answer.data(), m_Answer.size());
    }
    return result;
}

MidiResult InlineMidiDriver::OutUnprepare(MidiHandle handle, MidiHeader* header) {
    return handle == kOutHandle && m_OutOpen ? MidiHeaderState::Unprepare(header)
                                             : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::OutClose(MidiHandle handle) {
    if (handle != kOutHandle || !m_OutOpen) {
        return kMidiInvalidHandle;
    }
    m_OutOpen = false;
    return kMidiOk;
}

std::string InlineMidiDriver::InName(uint32_t index) {
    return OutName(index);
}

MidiResult InlineMidiDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                    std::uintptr_t instance) {
    if (index != 0) {
        return kMidiBadDeviceId;
    }
    if (m_Queue) {
        return kMidiAllocated;
    }
    m_Queue = std::make_unique<MidiInQueue>(kInHandle, callback, instance);
    handle = kInHandle;
    m_Queue->Notify(kMimOpen);
    return kMidiOk;
}

MidiInQueue* InlineMidiDriver::Find(MidiHandle handle) const {
    return handle == kInHandle ? m_Queue.get() : nullptr;
}

MidiResult InlineMidiDriver::InPrepare(MidiHandle handle, MidiHeader* header) {
    return Find(handle) ? MidiHeaderState::Prepare(header) : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::InAddBuffer(MidiHandle handle, MidiHeader* header) {
    MidiInQueue* queue = Find(handle);
    return queue ? queue->Add(header) : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::InStart(MidiHandle handle) {
    MidiInQueue* queue = Find(handle);
    return queue ? (queue->Start(), kMidiOk) : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::InStop(MidiHandle handle) {
    MidiInQueue* queue = Find(handle);
    return queue ? (queue->Stop(), kMidiOk) : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::InReset(MidiHandle handle) {
    MidiInQueue* queue = Find(handle);
    return queue ? (queue->Reset(), kMidiOk) : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::InUnprepare(MidiHandle handle, MidiHeader* header) {
    MidiInQueue* queue = Find(handle);
    return queue ? queue->Unprepare(header) : kMidiInvalidHandle;
}

MidiResult InlineMidiDriver::InClose(MidiHandle handle) {
    MidiInQueue* queue = Find(handle);
    if (!queue) {
        return kMidiInvalidHandle;
    }
    if (queue->HoldsBuffers()) {
        return kMidiStillPlaying;
    }
    queue->Notify(kMimClose);
    m_Queue.reset();
    return kMidiOk;
}
