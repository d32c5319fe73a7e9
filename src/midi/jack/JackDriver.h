#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "midi/BufferedMidiDriver.h"
#include "midi/jack/JackClient.h"

// The MIDI ports of a running JACK server, through the program's one JACK client: the other
// clients' ports in the server's order, as they were when last listed. A device is opened by its
// name, so ports that come and go meanwhile do not shift it. Nothing is ever printed.
class JackDriver : public BufferedMidiDriver {
public:
    JackDriver();

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

    // The device's name, or empty for an index not listed.
    std::string Listed(const std::vector<std::string>& names, uint32_t index);
    // Makes `port` a port of the running client connected to its device.
    static MidiResult Connect(const std::shared_ptr<JackClient>& client,
                              const std::shared_ptr<JackPort>& port);

    std::mutex m_Mutex;
    std::vector<std::string> m_OutPorts;
    std::vector<std::string> m_InPorts;
};
