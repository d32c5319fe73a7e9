#include "midi/rtmidi/RtMidiDriver.h"

#include <alsa/error.h>
#include <unistd.h>

#include <algorithm>

#include "midi/MidiShortMessage.h"

namespace {

constexpr const char* kClientName = "Sonavist";

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// An RtMidi object of an API not built in prints a warning rather than failing.
bool IsCompiled(RtMidi::Api api) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

}  // namespace

struct RtMidiDriver::Output : MidiOutputTable::Output {
    std::atomic<bool> failed{false};
    std::unique_ptr<RtMidiOut> out;
};

struct RtMidiDriver::Input : MidiInputTable::Input {
    using MidiInputTable::Input::Input;
    void Detach() override { in.reset(); }
    std::atomic<bool> failed{false};
    std::unique_ptr<RtMidiIn> in;
};

RtMidiDriver::RtMidiDriver(const std::string& sequencer)
    : m_Sequencer(access(sequencer.c_str(), R_OK | W_OK) == 0 && IsCompiled(RtMidi::LINUX_ALSA)) {
    // ALSA's library prints its errors to the terminal unless given a handler.
    snd_lib_error_set_handler(QuietAlsa);
    Refresh();
}

RtMidiDriver::~RtMidiDriver() = default;

void RtMidiDriver::Refresh() {
    if (!m_Sequencer) {
        return;
    }
    std::vector<std::string> outs = ListPorts<RtMidiOut>();
    std::vector<std::string> ins = ListPorts<RtMidiIn>();
    std::lock_guard lock(m_Mutex);
    m_OutPorts = std::move(outs);
    m_InPorts = std::move(ins);
}

template <typename RtObject>
std::vector<std::string> RtMidiDriver::ListPorts() {
    std::vector<std::string> names;
    try {
        std::atomic<bool> failed{false};
        RtObject midi(RtMidi::LINUX_ALSA, kClientName);
        midi.setErrorCallback(OnError, &failed);
        const unsigned count = midi.getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            names.push_back(midi.getPortName(i));
        }
    } catch (const RtMidiError&) {
        // The sequencer does not start on this machine: it has no devices.
    }
    return names;
}

std::string RtMidiDriver::Listed(const std::vector<std::string>& names, uint32_t index) {
    std::lock_guard lock(m_Mutex);
    return index < names.size() ? names[index] : std::string();
}

void RtMidiDriver::OnError(RtMidiError::Type type, const std::string&, void* failed) {
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) {
        static_cast<std::atomic<bool>*>(failed)->store(true);
    }
}

template <typename RtObject>
MidiResult RtMidiDriver::OpenPort(RtObject& object, const std::string& name,
                                  std::atomic<bool>& failed) {
    object.setErrorCallback(OnError, &failed);
    const char* const own = std::is_same_v<RtObject, RtMidiIn> ? "in" : "out";
    const unsigned count = object.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        if (object.getPortName(i) == name) {
            object.openPort(i, own);
            return object.isPortOpen() && !failed ? kMidiOk : kMidiError;
        }
    }
    return kMidiBadDeviceId;  // gone since the driver listed it
}

uint32_t RtMidiDriver::OutCount() {
    std::lock_guard lock(m_Mutex);
    return static_cast<uint32_t>(m_OutPorts.size());
}

std::string RtMidiDriver::OutName(uint32_t index) {
    return Listed(m_OutPorts, index);
}

MidiResult RtMidiDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    const std::string name = OutName(index);
    if (name.empty()) {
        return kMidiBadDeviceId;
    }
    auto output = std::make_unique<Output>();
    try {
        output->out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kClientName);
    } catch (const RtMidiError&) {
        return kMidiError;
    }
    const MidiResult result = OpenPort(*output->out, name, output->failed);
    if (result != kMidiOk) {
        return result;
    }
    handle = m_Outputs.Open(std::move(output));
    return kMidiOk;
}

MidiResult RtMidiDriver::Send(Output& output, const uint8_t* data, std::size_t length) {
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
    // Nothing tells when the bytes are out: they get their time on the cable.
    const auto now = MidiOutQueue::Clock::now();
    const MidiResult accepted =
        output->queue.Accept(header, now + MidiOutQueue::WireTime(header->bufferLength));
    if (accepted != kMidiOk) {
        return accepted;
    }
    // A message that fails still finishes by itself, so the caller's release does not stall.
    return Send(*output, header->data, header->bufferLength);
}

uint32_t RtMidiDriver::InCount() {
    std::lock_guard lock(m_Mutex);
    return static_cast<uint32_t>(m_InPorts.size());
}

std::string RtMidiDriver::InName(uint32_t index) {
    return Listed(m_InPorts, index);
}

void RtMidiDriver::OnInput(double, std::vector<unsigned char>* message, void* queue) {
    if (message != nullptr) {
        static_cast<MidiInQueue*>(queue)->Deliver(message->data(), message->size());
    }
}

MidiResult RtMidiDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                std::uintptr_t instance) {
    const std::string name = InName(index);
    if (name.empty()) {
        return kMidiBadDeviceId;
    }
    if (callback == nullptr) {
        return kMidiInvalidParam;
    }
    auto input = std::make_unique<Input>(callback, instance);
    try {
        input->in = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, kClientName);
    } catch (const RtMidiError&) {
        return kMidiError;
    }
    // System Exclusive is ignored unless asked for; the callback also spares the 100-message
    // queue RtMidi keeps otherwise.
    input->in->ignoreTypes(false, false, false);
    input->in->setCallback(OnInput, &input->queue);
    const MidiResult result = OpenPort(*input->in, name, input->failed);
    if (result != kMidiOk) {
        return result;
    }
    handle = m_Inputs.Open(std::move(input));
    return kMidiOk;
}
