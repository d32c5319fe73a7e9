#pragma once

#include <rtmidi/RtMidi.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "midi/virtual/VirtualInstrument.h"

// The virtual instrument in JACK (or ALSA's sequencer) with the virtual ports `in` and `out`.
// RtMidi makes one client per port, so they are CLIENT:in and CLIENT-out:out. RtMidi's thread
// only queues what arrives; the instrument works, prints and answers on the caller's thread.
class JackInstrument {
public:
    // Throws RtMidiError when the API cannot be reached.
    JackInstrument(const std::string& clientName, std::string saveDir,
                   RtMidi::Api api = RtMidi::UNIX_JACK);
    JackInstrument(const JackInstrument&) = delete;
    JackInstrument& operator=(const JackInstrument&) = delete;

    static std::string OutClientName(const std::string& clientName);

    VirtualInstrument& Instrument() { return m_Instrument; }
    // Serves until Stop is called.
    void Run();
    void Stop();

private:
    struct Arrival {
        std::chrono::steady_clock::time_point at;
        std::vector<uint8_t> bytes;
    };

    static void OnMessage(double, std::vector<unsigned char>* message, void* self);
    void Serve(const Arrival& arrival);
    void Save(const std::vector<uint8_t>& message);

    VirtualInstrument m_Instrument;
    const std::string m_SaveDir;
    int m_Received = 0;
    int m_Saved = 0;
    std::mutex m_Mutex;
    std::condition_variable m_Arrived;
    std::deque<Arrival> m_Queue;
    bool m_Stopping = false;
    std::unique_ptr<RtMidiIn> m_In;
    std::unique_ptr<RtMidiOut> m_Out;
};
