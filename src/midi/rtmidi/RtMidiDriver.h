#pragma once

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "midi/BufferedMidiDriver.h"
#include "midi/rtmidi/JackClock.h"

// The machine's real MIDI devices through RtMidi: ALSA when the sequencer exists, then JACK when
// a server runs, each API's ports in RtMidi's order as they were at construction. A device is
// opened by its name, so ports that come and go meanwhile do not shift it. RtMidi's errors go to
// its error callback; nothing is ever printed.
class RtMidiDriver : public BufferedMidiDriver {
public:
    static constexpr const char* kSequencer = "/dev/snd/seq";

    explicit RtMidiDriver(const std::string& sequencer = kSequencer);
    ~RtMidiDriver() override;

    uint32_t OutCount() override { return static_cast<uint32_t>(m_OutPorts.size()); }
    std::string OutName(uint32_t index) override;
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;

    uint32_t InCount() override { return static_cast<uint32_t>(m_InPorts.size()); }
    std::string InName(uint32_t index) override;
    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                      std::uintptr_t instance) override;

private:
    struct Port {
        RtMidi::Api api;
        std::string name;
    };
    struct Output;
    struct Input;

    static void OnError(RtMidiError::Type type, const std::string& text, void* failed);
    static void OnInput(double, std::vector<unsigned char>* message, void* queue);
    template <typename RtObject>
    std::vector<std::string> ListPorts(RtMidi::Api api) const;
    static void Append(std::vector<Port>& ports, RtMidi::Api api,
                       const std::vector<std::string>& names);
    // Connects a new RtMidi object of the port's API, a client named `client`, to the port.
    template <typename RtObject>
    MidiResult OpenPort(RtObject& object, const Port& port, const std::string& client,
                        std::atomic<bool>& failed) const;
    MidiResult Send(Output& output, const uint8_t* data, std::size_t length);

    std::unique_ptr<JackClock> m_Jack;
    std::vector<Port> m_OutPorts;
    std::vector<Port> m_InPorts;
};
