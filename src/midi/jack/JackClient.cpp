#include "midi/jack/JackClient.h"

#include <jack/jack.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

namespace {

// What a MIDI port buffer spends on its own bookkeeping and the event's, with room to spare.
constexpr std::size_t kMidiBufferOverhead = 64;

void Quiet(const char*) {}

}  // namespace

_jack_client* JackClient::OpenClient(const std::string& name) {
    // libjack prints on every call when no server runs; this process never wants that.
    static std::once_flag silenced;
    std::call_once(silenced, [] {
        jack_set_error_function(Quiet);
        jack_set_info_function(Quiet);
    });
    return jack_client_open(name.c_str(), JackNoStartServer, nullptr);
}

std::shared_ptr<JackClient> JackClient::Shared() {
    static std::mutex lock;
    // Never closed at exit: the server forgets the client of a process that ends, while closing
    // it would wait for what a stalled server still owes, seconds each.
    static auto* const shared = new std::shared_ptr<JackClient>();
    std::lock_guard guard(lock);
    if (*shared == nullptr || !(*shared)->Alive()) {
        shared->reset();
        jack_client_t* client = OpenClient("Sonavist-" + std::to_string(getpid()));
        if (client != nullptr) {
            shared->reset(new JackClient(client));
            if (jack_activate(client) != 0) {
                shared->reset();
            }
        }
    }
    return *shared;
}

bool JackClient::ServerRuns() {
    jack_client_t* client = OpenClient("Sonavist probe");
    if (client == nullptr) {
        return false;
    }
    jack_client_close(client);
    return true;
}

JackClient::JackClient(_jack_client* client)
    : m_Client(client), m_Prefix(std::string(jack_get_client_name(client)) + ":") {
    jack_set_process_callback(m_Client, Process, this);
    jack_on_info_shutdown(
        m_Client, [](jack_status_t, const char*, void* self) { OnShutdown(self); }, this);
}

JackClient::~JackClient() {
    m_Calls.reset();
    jack_client_close(m_Client);
}

int JackClient::Process(uint32_t frames, void* client) {
    auto* self = static_cast<JackClient*>(client);
    const uint64_t cycle = self->m_Entered.fetch_add(1) + 1;
    for (std::atomic<JackPort*>& slot : self->m_Ports) {
        if (JackPort* port = slot.load()) {
            port->Process(frames, cycle);
        }
    }
    self->m_Left.fetch_add(1);
    return 0;
}

void JackClient::OnShutdown(void* client) {
    auto* self = static_cast<JackClient*>(client);
    self->m_Alive = false;
    for (std::atomic<JackPort*>& slot : self->m_Ports) {
        if (JackPort* port = slot.load()) {
            port->GiveUp();
        }
    }
}

std::size_t JackClient::MaxEventSize() const {
    const std::size_t size = jack_port_type_get_buffer_size(m_Client, JACK_DEFAULT_MIDI_TYPE);
    return size > kMidiBufferOverhead ? size - kMidiBufferOverhead : 0;
}

std::vector<std::string> JackClient::MidiPorts(bool sources) const {
    std::vector<std::string> names;
    const char** ports = jack_get_ports(m_Client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                        sources ? JackPortIsOutput : JackPortIsInput);
    for (const char** port = ports; port != nullptr && *port != nullptr; ++port) {
        if (std::string(*port).rfind(m_Prefix, 0) != 0) {
            names.emplace_back(*port);
        }
    }
    jack_free(ports);
    return names;
}

MidiResult JackClient::Open(const std::shared_ptr<JackPort>& port) {
    auto result = std::make_shared<MidiResult>(kMidiError);
    // Given up on, the call undoes itself once it has run.
    const bool ran = m_Calls->Run([this, port, result] { *result = Connect(*port); },
                                  [this, port, result] {
                                      if (*result == kMidiOk) {
                                          Unregister(*port);
                                      }
                                  },
                                  kOpenLimit);
    if (!ran || *result != kMidiOk) {
        return ran ? *result : kMidiError;
    }
    // A cycle that began before the connection was made may not carry it.
    port->HoldUntil(m_Entered.load() + 2);
    if (!Attach(port.get())) {
        Close(port);
        return kMidiNoMemory;
    }
    return kMidiOk;
}

void JackClient::Close(const std::shared_ptr<JackPort>& port) {
    Detach(port.get());
    m_Calls->Post([this, port] { Unregister(*port); });
}

MidiResult JackClient::Connect(JackPort& port) {
    if (!m_Alive) {
        return kMidiError;
    }
    const bool input = port.IsInput();
    const std::string name = (input ? "in-" : "out-") + std::to_string(++m_PortNumber);
    port.port = jack_port_register(m_Client, name.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                   input ? JackPortIsInput : JackPortIsOutput, 0);
    if (port.port == nullptr) {
        return kMidiError;
    }
    const char* own = jack_port_name(port.port);
    const int connected = input ? jack_connect(m_Client, port.device.c_str(), own)
                                : jack_connect(m_Client, own, port.device.c_str());
    if (connected != 0 && connected != EEXIST) {
        Unregister(port);
        return kMidiBadDeviceId;  // gone since it was listed
    }
    return kMidiOk;
}

void JackClient::Unregister(JackPort& port) {
    if (port.port != nullptr && m_Alive) {
        jack_port_unregister(m_Client, port.port);
    }
    port.port = nullptr;
}

bool JackClient::Attach(JackPort* port) {
    for (std::atomic<JackPort*>& slot : m_Ports) {
        JackPort* empty = nullptr;
        if (slot.compare_exchange_strong(empty, port)) {
            return true;
        }
    }
    return false;
}

void JackClient::Detach(JackPort* port) {
    for (std::atomic<JackPort*>& slot : m_Ports) {
        JackPort* attached = port;
        slot.compare_exchange_strong(attached, nullptr);
    }
    // A cycle that began before could still be serving it; one never waits on anything.
    const uint64_t begun = m_Entered.load();
    while (m_Left.load() < begun) {
        std::this_thread::yield();
    }
}
