#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "midi/MidiDriver.h"
#include "midi/jack/JackCallQueue.h"
#include "midi/jack/JackPort.h"

struct _jack_client;

// The program's one connection to a JACK server: opened on first use and kept until the program
// ends or the server goes away. Each open device is a port registered on it and connected to the
// device; a close lets the port go at once and the server forgets it in the background.
class JackClient {
public:
    // A stalled server (a stopped client in its graph) takes seconds for every change of the
    // graph; an open gives up after this.
    static constexpr std::chrono::milliseconds kOpenLimit{1500};
    static constexpr std::size_t kMaxPorts = 32;

    // The running client, opened afresh when there is none or its server went away; null when no
    // server runs. libjack prints nothing in this process.
    static std::shared_ptr<JackClient> Shared();
    // Whether a server runs, without keeping a client.
    static bool ServerRuns();
    ~JackClient();
    JackClient(const JackClient&) = delete;
    JackClient& operator=(const JackClient&) = delete;

    bool Alive() const { return m_Alive; }
    // The largest single MIDI event a port carries in one cycle.
    std::size_t MaxEventSize() const;
    // Full names of the other clients' MIDI ports one can read from (sources) or write to.
    std::vector<std::string> MidiPorts(bool sources) const;
    // Registers a port for `port` and connects it to its device, within kOpenLimit.
    MidiResult Open(const std::shared_ptr<JackPort>& port);
    // The process callback serves the port no more once this returns.
    void Close(const std::shared_ptr<JackPort>& port);

private:
    explicit JackClient(_jack_client* client);
    static _jack_client* OpenClient(const std::string& name);
    static int Process(uint32_t frames, void* client);
    static void OnShutdown(void* client);
    // On the call thread.
    MidiResult Connect(JackPort& port);
    void Unregister(JackPort& port);
    bool Attach(JackPort* port);
    void Detach(JackPort* port);

    _jack_client* const m_Client;
    const std::string m_Prefix;  // "name:" of its own ports
    std::atomic<bool> m_Alive{true};
    std::atomic<uint64_t> m_Entered{0};  // process cycles begun
    std::atomic<uint64_t> m_Left{0};     // and ended
    std::array<std::atomic<JackPort*>, kMaxPorts> m_Ports{};
    unsigned m_PortNumber = 0;  // on the call thread
    // Its thread ends before the client closes.
    std::unique_ptr<JackCallQueue> m_Calls = std::make_unique<JackCallQueue>();
};
