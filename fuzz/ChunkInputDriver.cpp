#include "ChunkInputDriver.h"

#include "midi/MidiHeaderState.h"

namespace {

constexpr MidiHandle kHandle = 1;

}  // namespace

void ChunkInputDriver::Feed(const uint8_t* data, std::size_t length) {
    if (m_Queue) {
        m_Queue->DeliverLong(data, length);
    }
}

void ChunkInputDriver::FeedShort(uint32_t packed) {
    if (m_Queue) {
        m_Queue->DeliverShort(packed);
    }
}

std::string ChunkInputDriver::InName(uint32_t index) {
    return index == 0 ? "Chunked input" : "";
}

MidiResult ChunkInputDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                    std::uintptr_t instance) {
    if (index != 0) {
        return kMidiBadDeviceId;
    }
    if (m_Queue) {
        return kMidiAllocated;
    }
    m_Queue = std::make_unique<MidiInQueue>(kHandle, callback, instance);
    handle = kHandle;
    m_Queue->Notify(kMimOpen);
    return kMidiOk;
}

MidiInQueue* ChunkInputDriver::Find(MidiHandle handle) const {
    return handle == kHandle ? m_Queue.get() : nullptr;
}

MidiResult ChunkInputDriver::InPrepare(MidiHandle handle, MidiHeader* header) {
    return Find(handle) ? MidiHeaderState::Prepare(header) : kMidiInvalidHandle;
}

MidiResult ChunkInputDriver::InAddBuffer(MidiHandle handle, MidiHeader* header) {
    MidiInQueue* queue = Find(handle);
    return queue ? queue->Add(header) : kMidiInvalidHandle;
}

MidiResult ChunkInputDriver::InStart(MidiHandle handle) {
    MidiInQueue* queue = Find(handle);
    return queue ? (queue->Start(), kMidiOk) : kMidiInvalidHandle;
}

MidiResult ChunkInputDriver::InStop(MidiHandle handle) {
    MidiInQueue* queue = Find(handle);
    return queue ? (queue->Stop(), kMidiOk) : kMidiInvalidHandle;
}

MidiResult ChunkInputDriver::InReset(MidiHandle handle) {
    MidiInQueue* queue = Find(handle);
    return queue ? (queue->Reset(), kMidiOk) : kMidiInvalidHandle;
}

MidiResult ChunkInputDriver::InUnprepare(MidiHandle handle, MidiHeader* header) {
    MidiInQueue* queue = Find(handle);
    return queue ? queue->Unprepare(header) : kMidiInvalidHandle;
}

MidiResult ChunkInputDriver::InClose(MidiHandle handle) {
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
