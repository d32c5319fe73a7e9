#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "midi/BufferedMidiDriver.h"

// One input and one output device, everything on the caller's thread. Input bytes arrive when
// the caller feeds them, in whatever pieces it chooses, or at once in answer to each long message
// sent; buffers are filled, returned and released as by every real backend.
class InlineMidiDriver : public BufferedMidiDriver {
public:
    // The process's driver, installed at the first call.
    static InlineMidiDriver& Installed();

    void Feed(const uint8_t* data, std::size_t length);
    void FeedShort(uint32_t packed);
    // What the device sends back for every long message it is sent (none: silence).
    void SetAnswer(std::vector<uint8_t> answer) { m_Answer = std::move(answer); }

    uint32_t OutCount() override { return 1; }
    std::string OutName(uint32_t index) override;
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;

    uint32_t InCount() override { return 1; }
    std::string InName(uint32_t index) override;
    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                      std::uintptr_t instance) override;

private:
    std::vector<uint8_t> m_Answer;
};
