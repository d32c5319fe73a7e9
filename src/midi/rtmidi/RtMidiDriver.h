#pragma once

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "midi/BufferedMidiDriver.h"

// The machine's ALSA MIDI devices through RtMidi when the sequencer exists, in RtMidi's order as
// they were when last listed. A device is opened by its name, so ports that come and go meanwhile
// do not shift it. RtMidi's errors go to its error callback; nothing is ever printed.
class RtMidiDriver : public BufferedMidiDriver {
public:
    static constexpr const char* kSequencer = "/dev/snd/seq";

    explicit RtMidiDriver(const std::string& sequencer = kSequencer);
    ~RtMidiDriver() override;

    void Refresh() override;

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
    struct Output;
    struct Input;

    static void OnError(RtMidiError::Type type, const std::string& text, void* failed);
    static void OnInput(double, std::vector<unsigned char>* message, void* queue);
    template <typename RtObject>
    static std::vector<std::string> ListPorts();
    // The device's name, or empty for an index not listed.
    std::string Listed(const std::vector<std::string>& names, uint32_t index);
    // Connects a new RtMidi object to the port named `name`.
    template <typename RtObject>
    static MidiResult OpenPort(RtObject& object, const std::string& name,
                               std::atomic<bool>& failed);
    static MidiResult Send(Output& output, const uint8_t* data, std::size_t length);

    const bool m_Sequencer;
    std::mutex m_Mutex;
    std::vector<std::string> m_OutPorts;
    std::vector<std::string> m_InPorts;
};
