#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "midi/BufferedMidiDriver.h"

// Input and output devices of the given names (one each way unless told), everything on the
// caller's thread. Input bytes arrive when the caller feeds them, in whatever pieces it chooses,
// or at once in answer to each long message sent; buffers are filled, returned and released as by
// every real backend. The tests' scripted driver and the fuzzers build on it.
class InlineMidiDriver : public BufferedMidiDriver {
public:
    explicit InlineMidiDriver(std::vector<std::string> inNames = {"Inline"},
                              std::vector<std::string> outNames = {"Inline"});

    // The process's driver, installed at the first call.
    static InlineMidiDriver& Installed();

    void Feed(const uint8_t* data, std::size_t length);
    void FeedShort(uint32_t packed);
    // What the device sends back for every long message it is sent (none: silence).
    void SetAnswer(std::vector<uint8_t> answer) { m_Answer = std::move(answer); }

    uint32_t OutCount() override;
    std::string OutName(uint32_t index) override;
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;

    uint32_t InCount() override;
    std::string InName(uint32_t index) override;
    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                      std::uintptr_t instance) override;

private:
    const std::vector<std::string> m_InNames;
    const std::vector<std::string> m_OutNames;
    std::vector<uint8_t> m_Answer;
};
