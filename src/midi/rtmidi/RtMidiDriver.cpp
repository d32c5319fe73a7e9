#include "midi/rtmidi/RtMidiDriver.h"

#include <alsa/error.h>
#include <unistd.h>

#include <algorithm>

#include "midi/MidiShortMessage.h"

namespace {

constexpr const char* kClientName = "Sonavist";
// A stalled server must not hang an open.
constexpr std::chrono::milliseconds kConnectionWait{500};

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// An RtMidi object of an API not built in prints a warning rather than failing.
bool IsCompiled(RtMidi::Api api) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

// JACK makes a client of every RtMidi object; each gets a name of its own, so that its port can
// be named when it is connected.
std::string ClientName(RtMidi::Api api) {
    static std::atomic<unsigned> opened{0};
    if (api != RtMidi::UNIX_JACK) {
        return kClientName;
    }
    return std::string(kClientName) + "-" + std::to_string(getpid()) + "-" +
           std::to_string(++opened);
}

// System Exclusive, its end, or the rest of one split by the server.
bool IsLong(const std::vector<unsigned char>& message) {
    const uint8_t first = message.front();
    return first == 0xF0 || first == 0xF7 || first < 0x80;
}

}  // namespace

struct RtMidiDriver::Output : MidiOutputTable::Output {
    using MidiOutputTable::Output::Output;
    std::atomic<bool> failed{false};
    std::unique_ptr<RtMidiOut> out;
    bool jack = false;
};

struct RtMidiDriver::Input : MidiInputTable::Input {
    using MidiInputTable::Input::Input;
    void Detach() override { in.reset(); }
    std::atomic<bool> failed{false};
    std::unique_ptr<RtMidiIn> in;
};

RtMidiDriver::RtMidiDriver(const std::string& sequencer) {
    // ALSA's library prints its errors to the terminal unless given a handler.
    snd_lib_error_set_handler(QuietAlsa);
    std::vector<RtMidi::Api> apis;
    if (access(sequencer.c_str(), R_OK | W_OK) == 0) {
        apis.push_back(RtMidi::LINUX_ALSA);
    }
    m_Jack = JackClock::Open();
    if (m_Jack != nullptr) {
        apis.push_back(RtMidi::UNIX_JACK);
    }
    for (const RtMidi::Api api : apis) {
        if (IsCompiled(api)) {
            Append(m_OutPorts, api, ListPorts<RtMidiOut>(api));
            Append(m_InPorts, api, ListPorts<RtMidiIn>(api));
        }
    }
}

RtMidiDriver::~RtMidiDriver() = default;

template <typename RtObject>
std::vector<std::string> RtMidiDriver::ListPorts(RtMidi::Api api) const {
    // JACK's list in one snapshot: RtMidi asks again for every name, while ports come and go.
    if (api == RtMidi::UNIX_JACK) {
        return m_Jack->MidiPorts(std::is_same_v<RtObject, RtMidiIn>);
    }
    std::vector<std::string> names;
    try {
        std::atomic<bool> failed{false};
        RtObject midi(api, kClientName);
        midi.setErrorCallback(OnError, &failed);
        const unsigned count = midi.getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            names.push_back(midi.getPortName(i));
        }
    } catch (const RtMidiError&) {
        // The API does not start on this machine: it has no devices.
    }
    return names;
}

void RtMidiDriver::Append(std::vector<Port>& ports, RtMidi::Api api,
                          const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        ports.push_back({api, name});
    }
}

void RtMidiDriver::OnError(RtMidiError::Type type, const std::string&, void* failed) {
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) {
        static_cast<std::atomic<bool>*>(failed)->store(true);
    }
}

template <typename RtObject>
MidiResult RtMidiDriver::OpenPort(RtObject& object, const Port& port, const std::string& client,
                                  std::atomic<bool>& failed) const {
    object.setErrorCallback(OnError, &failed);
    constexpr bool input = std::is_same_v<RtObject, RtMidiIn>;
    const char* const own = input ? "in" : "out";
    if (port.api == RtMidi::UNIX_JACK) {
        // Connected by name: a port number can point elsewhere by the time RtMidi uses it.
        object.openVirtualPort(own);
        const std::string ownPort = client + ":" + own;
        if (failed) {
            return kMidiError;
        }
        if (!(input ? m_Jack->Connect(port.name, ownPort) : m_Jack->Connect(ownPort, port.name))) {
            return kMidiBadDeviceId;  // gone since the driver listed it
        }
        // A message sent before the new connection is part of a cycle can be lost.
        m_Jack->WaitCycles(JackClock::kCyclesToLeave, kConnectionWait);
        return kMidiOk;
    }
    const unsigned count = object.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        if (object.getPortName(i) == port.name) {
            object.openPort(i, own);
            return object.isPortOpen() && !failed ? kMidiOk : kMidiError;
        }
    }
    return kMidiBadDeviceId;
}

std::string RtMidiDriver::OutName(uint32_t index) {
    return index < m_OutPorts.size() ? m_OutPorts[index].name : "";
}

MidiResult RtMidiDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    if (index >= m_OutPorts.size()) {
        return kMidiBadDeviceId;
    }
    const Port& port = m_OutPorts[index];
    const bool jack = port.api == RtMidi::UNIX_JACK;
    auto output = std::make_unique<Output>(jack ? &m_Jack->Cycles() : nullptr);
    output->jack = jack;
    const std::string client = ClientName(port.api);
    try {
        output->out = std::make_unique<RtMidiOut>(port.api, client);
    } catch (const RtMidiError&) {
        return kMidiError;
    }
    const MidiResult result = OpenPort(*output->out, port, client, output->failed);
    if (result != kMidiOk) {
        return result;
    }
    handle = m_Outputs.Open(std::move(output));
    return kMidiOk;
}

MidiResult RtMidiDriver::Send(Output& output, const uint8_t* data, std::size_t length) {
    // JACK drops an event larger than a port carries in one cycle without a word.
    if (output.jack && length > m_Jack->MaxEventSize()) {
        return kMidiError;
    }
    output.failed = false;
    output.out->sendMessage(data, length);
    return output.failed ? kMidiError : kMidiOk;
}

MidiResult RtMidiDriver::OutShortMsg(MidiHandle handle, uint32_t packed) {
    auto* output = static_cast<Output*>(m_Outputs.Find(handle));
    if (output == nullptr) {
        return kMidiInvalidHandle;
    }
    uint8_t bytes[3];
    return Send(*output, bytes, MidiShortMessage::Unpack(packed, bytes));
}

MidiResult RtMidiDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    auto* output = static_cast<Output*>(m_Outputs.Find(handle));
    if (output == nullptr) {
        return kMidiInvalidHandle;
    }
    if (header == nullptr || header->data == nullptr) {
        return kMidiInvalidParam;
    }
    // JACK: the cycle that carries the bytes must have run, which also keeps to one long message
    // a cycle. Elsewhere nothing tells when the bytes are out: they get their time on the cable.
    const auto now = MidiOutQueue::Clock::now();
    const MidiResult accepted =
        output->jack
            ? output->queue.Accept(header, now, m_Jack->Cycles().load() + JackClock::kCyclesToLeave)
            : output->queue.Accept(header, now + MidiOutQueue::WireTime(header->bufferLength));
    if (accepted != kMidiOk) {
        return accepted;
    }
    // A message that fails still finishes by itself, so the caller's release does not stall.
    return Send(*output, header->data, header->bufferLength);
}

std::string RtMidiDriver::InName(uint32_t index) {
    return index < m_InPorts.size() ? m_InPorts[index].name : "";
}

void RtMidiDriver::OnInput(double, std::vector<unsigned char>* message, void* queue) {
    if (message == nullptr || message->empty()) {
        return;
    }
    auto* inputQueue = static_cast<MidiInQueue*>(queue);
    if (IsLong(*message)) {
        inputQueue->DeliverLong(message->data(), message->size());
    } else {
        inputQueue->DeliverShort(MidiShortMessage::Pack(message->data(), message->size()));
    }
}

MidiResult RtMidiDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                std::uintptr_t instance) {
    if (index >= m_InPorts.size()) {
        return kMidiBadDeviceId;
    }
    if (callback == nullptr) {
        return kMidiInvalidParam;
    }
    const Port& port = m_InPorts[index];
    auto input = std::make_unique<Input>(callback, instance);
    const std::string client = ClientName(port.api);
    try {
        input->in = std::make_unique<RtMidiIn>(port.api, client);
    } catch (const RtMidiError&) {
        return kMidiError;
    }
    // System Exclusive is ignored unless asked for; the callback also spares the 100-message
    // queue RtMidi keeps otherwise.
    input->in->ignoreTypes(false, false, false);
    input->in->setCallback(OnInput, &input->queue);
    const MidiResult result = OpenPort(*input->in, port, client, input->failed);
    if (result != kMidiOk) {
        return result;
    }
    handle = m_Inputs.Open(std::move(input));
    return kMidiOk;
}
