#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "midi/MidiInQueue.h"
#include "midi/NoMidiDriver.h"

// One input and one output device, everything on the caller's thread. Input bytes arrive when
// the caller feeds them, in whatever pieces it chooses, or at once in answer to each long message
// sent; buffers are filled and returned by the same queue every real backend uses.
class InlineMidiDriver : public NoMidiDriver {
public:
    void Feed(const uint8_t* data, std::size_t length);
    void FeedShort(uint32_t packed);
    // What the device sends back for every long message it is sent (none: silence).
    void SetAnswer(std::vector<uint8_t> answer) { m_Answer = std::move(answer); }

    uint32_t OutCount() override { return 1; }
    std::string OutName(uint32_t index) override;
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutClose(MidiHandle handle) override;

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
    // The open input, or none for a handle that is not its own.
    MidiInQueue* Find(MidiHandle handle) const;

    std::unique_ptr<MidiInQueue> m_Queue;
    bool m_OutOpen = false;
    std::vector<uint8_t> m_Answer;
};
