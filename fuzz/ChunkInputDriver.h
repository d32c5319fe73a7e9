#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "midi/MidiInQueue.h"
#include "midi/NoMidiDriver.h"

// One input device whose bytes arrive when the caller feeds them, on the caller's thread, in
// whatever pieces it chooses. Buffers are filled and returned by the same queue every real
// backend uses. No outputs.
class ChunkInputDriver : public NoMidiDriver {
public:
    void Feed(const uint8_t* data, std::size_t length);
    void FeedShort(uint32_t packed);

    uint32_t InCount() override { return 1; }
    std::string InName(uint32_t index) override;
    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                      std::uintptr_t instance) override;
    MidiResult InPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InAddBuffer(MidiHandle handle, MidiHeader* header) override;
    MidiResult InStart(MidiHandle handle) override;
    MidiResult InStop(MidiHandle handle) override;
    MidiResult InReset(MidiHandle handle) override;
    MidiResult InUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InClose(MidiHandle handle) override;

private:
    // The open device, or none for a handle that is not its own.
    MidiInQueue* Find(MidiHandle handle) const;

    std::unique_ptr<MidiInQueue> m_Queue;
};
