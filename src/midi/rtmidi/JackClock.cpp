#include "midi/rtmidi/JackClock.h"

#include <jack/jack.h>

#include <cerrno>
#include <mutex>
#include <thread>

namespace {

// What a MIDI port buffer spends on its own bookkeeping and the event's, with room to spare.
constexpr std::size_t kMidiBufferOverhead = 64;

void Quiet(const char*) {}

}  // namespace

std::unique_ptr<JackClock> JackClock::Open() {
    // libjack prints on every call when no server runs; this process never wants that.
    static std::once_flag silenced;
    std::call_once(silenced, [] {
        jack_set_error_function(Quiet);
        jack_set_info_function(Quiet);
    });
    jack_client_t* client = jack_client_open("Sonavist clock", JackNoStartServer, nullptr);
    if (client == nullptr) {
        return nullptr;
    }
    std::unique_ptr<JackClock> clock(new JackClock(client));
    if (jack_set_process_callback(client, Process, clock.get()) != 0 ||
        jack_activate(client) != 0) {
        return nullptr;
    }
    return clock;
}

JackClock::~JackClock() {
    jack_client_close(m_Client);
}

int JackClock::Process(uint32_t, void* clock) {
    static_cast<JackClock*>(clock)->m_Cycles.fetch_add(1);
    return 0;
}

bool JackClock::WaitCycles(uint64_t count, std::chrono::milliseconds limit) const {
    const uint64_t target = m_Cycles.load() + count;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (m_Cycles.load() < target) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::size_t JackClock::MaxEventSize() const {
    const std::size_t size = jack_port_type_get_buffer_size(m_Client, JACK_DEFAULT_MIDI_TYPE);
    return size > kMidiBufferOverhead ? size - kMidiBufferOverhead : 0;
}

std::vector<std::string> JackClock::MidiPorts(bool sources) const {
    std::vector<std::string> names;
    const char** ports = jack_get_ports(m_Client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                        sources ? JackPortIsOutput : JackPortIsInput);
    for (const char** port = ports; port != nullptr && *port != nullptr; ++port) {
        names.emplace_back(*port);
    }
    jack_free(ports);
    return names;
}

bool JackClock::Connect(const std::string& source, const std::string& destination) const {
    const int result = jack_connect(m_Client, source.c_str(), destination.c_str());
    return result == 0 || result == EEXIST;
}
