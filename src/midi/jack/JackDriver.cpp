#include "midi/jack/JackDriver.h"

#include "midi/MidiShortMessage.h"

struct JackDriver::Output : MidiOutputTable::Output {
    Output(std::shared_ptr<JackClient> c, std::shared_ptr<JackPort> p)
        : MidiOutputTable::Output(&p->Gone()), client(std::move(c)), port(std::move(p)) {}
    ~Output() override { client->Close(port); }
    const std::shared_ptr<JackClient> client;
    const std::shared_ptr<JackPort> port;
};

struct JackDriver::Input : MidiInputTable::Input {
    Input(InCallback callback, std::uintptr_t instance, std::shared_ptr<JackClient> c)
        : MidiInputTable::Input(callback, instance),
          client(std::move(c)),
          port(std::make_shared<JackPort>(&queue, 0)) {}
    ~Input() override { Detach(); }
    void Detach() override {
        if (connected) {
            client->Close(port);
            connected = false;
        }
    }
    const std::shared_ptr<JackClient> client;
    const std::shared_ptr<JackPort> port;
    bool connected = false;
};

JackDriver::JackDriver() {
    Refresh();
}

void JackDriver::Refresh() {
    const std::shared_ptr<JackClient> client = JackClient::Shared();
    std::lock_guard lock(m_Mutex);
    m_OutPorts = client ? client->MidiPorts(false) : std::vector<std::string>();
    m_InPorts = client ? client->MidiPorts(true) : std::vector<std::string>();
}

std::string JackDriver::Listed(const std::vector<std::string>& names, uint32_t index) {
    std::lock_guard lock(m_Mutex);
    return index < names.size() ? names[index] : std::string();
}

uint32_t JackDriver::OutCount() {
    std::lock_guard lock(m_Mutex);
    return static_cast<uint32_t>(m_OutPorts.size());
}

std::string JackDriver::OutName(uint32_t index) {
    return Listed(m_OutPorts, index);
}

MidiResult JackDriver::Connect(const std::shared_ptr<JackClient>& client,
                               const std::shared_ptr<JackPort>& port) {
    return client == nullptr ? kMidiError : client->Open(port);
}

MidiResult JackDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    const std::string device = OutName(index);
    if (device.empty()) {
        return kMidiBadDeviceId;
    }
    const std::shared_ptr<JackClient> client = JackClient::Shared();
    auto port = std::make_shared<JackPort>(nullptr, client ? client->MaxEventSize() : 0);
    port->device = device;
    const MidiResult result = Connect(client, port);
    if (result == kMidiOk) {
        handle = m_Outputs.Open(std::make_unique<Output>(client, port));
    }
    return result;
}

MidiResult JackDriver::OutShortMsg(MidiHandle handle, uint32_t packed) {
    auto* output = static_cast<Output*>(m_Outputs.Find(handle));
    if (output == nullptr) {
        return kMidiInvalidHandle;
    }
    uint8_t bytes[3];
    return output->port->Push(bytes, MidiShortMessage::Unpack(packed, bytes)) ? kMidiOk
                                                                              : kMidiError;
}

MidiResult JackDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    auto* output = static_cast<Output*>(m_Outputs.Find(handle));
    if (output == nullptr) {
        return kMidiInvalidHandle;
    }
    if (header == nullptr || header->data == nullptr) {
        return kMidiInvalidParam;
    }
    JackPort& port = *output->port;
    const auto now = MidiOutQueue::Clock::now();
    // JACK drops an event larger than a port carries in one cycle without a word. A message that
    // fails still finishes by itself, so the caller's release does not stall.
    if (!port.Fits(header->bufferLength)) {
        const MidiResult accepted = output->queue.Accept(header, now, 0);
        return accepted == kMidiOk ? kMidiError : accepted;
    }
    const MidiResult accepted = output->queue.Accept(header, now, port.NextNumber());
    if (accepted == kMidiOk) {
        port.Push(header->data, header->bufferLength);
    }
    return accepted;
}

uint32_t JackDriver::InCount() {
    std::lock_guard lock(m_Mutex);
    return static_cast<uint32_t>(m_InPorts.size());
}

std::string JackDriver::InName(uint32_t index) {
    return Listed(m_InPorts, index);
}

MidiResult JackDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                              std::uintptr_t instance) {
    const std::string device = InName(index);
    if (device.empty()) {
        return kMidiBadDeviceId;
    }
    if (callback == nullptr) {
        return kMidiInvalidParam;
    }
    auto input = std::make_unique<Input>(callback, instance, JackClient::Shared());
    input->port->device = device;
    const MidiResult result = Connect(input->client, input->port);
    if (result != kMidiOk) {
        return result;
    }
    input->connected = true;
    handle = m_Inputs.Open(std::move(input));
    return kMidiOk;
}
