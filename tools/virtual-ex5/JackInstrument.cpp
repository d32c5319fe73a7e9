#include "JackInstrument.h"

#include <cstdio>
#include <fstream>
#include <thread>

namespace {

void Report(RtMidiError::Type, const std::string& text, void*) {
    std::fprintf(stderr, "sonavist-virtual-ex5: %s\n", text.c_str());
}

}  // namespace

std::string JackInstrument::OutClientName(const std::string& clientName) {
    return clientName + "-out";
}

JackInstrument::JackInstrument(const std::string& clientName, std::string saveDir, RtMidi::Api api)
    : m_SaveDir(std::move(saveDir)),
      m_In(std::make_unique<RtMidiIn>(api, clientName)),
      m_Out(std::make_unique<RtMidiOut>(api, OutClientName(clientName))) {
    m_In->setErrorCallback(Report, nullptr);
    m_Out->setErrorCallback(Report, nullptr);
    m_In->ignoreTypes(false, true, true);
    m_In->setCallback(OnMessage, this);
    m_In->openVirtualPort("in");
    m_Out->openVirtualPort("out");
}

void JackInstrument::OnMessage(double, std::vector<unsigned char>* message, void* self) {
    auto* instrument = static_cast<JackInstrument*>(self);
    {
        std::lock_guard lock(instrument->m_Mutex);
        instrument->m_Queue.push_back(
            {std::chrono::steady_clock::now(), {message->begin(), message->end()}});
    }
    instrument->m_Arrived.notify_one();
}

void JackInstrument::Run() {
    std::unique_lock lock(m_Mutex);
    while (true) {
        m_Arrived.wait(lock, [this] { return m_Stopping || !m_Queue.empty(); });
        if (m_Stopping) {
            return;
        }
        const Arrival arrival = std::move(m_Queue.front());
        m_Queue.pop_front();
        lock.unlock();
        Serve(arrival);
        lock.lock();
    }
}

void JackInstrument::Stop() {
    {
        std::lock_guard lock(m_Mutex);
        m_Stopping = true;
    }
    m_Arrived.notify_one();
}

void JackInstrument::Serve(const Arrival& arrival) {
    const std::vector<uint8_t>& message = arrival.bytes;
    if (!message.empty() && message.front() == 0xF0) {
        Save(message);
    }
    const auto outcome = m_Instrument.Receive(message.data(), message.size());
    std::printf("%03d %s\n", ++m_Received, outcome.what.c_str());
    std::fflush(stdout);
    if (!outcome.reply.empty()) {
        // The latency counts from the request's arrival, so a backlog does not add to it.
        std::this_thread::sleep_until(arrival.at + m_Instrument.Latency());
        m_Out->sendMessage(outcome.reply.data(), outcome.reply.size());
    }
}

void JackInstrument::Save(const std::vector<uint8_t>& message) {
    if (m_SaveDir.empty()) {
        return;
    }
    char name[16];
    std::snprintf(name, sizeof name, "%03d.syx", ++m_Saved);
    std::ofstream file(m_SaveDir + "/" + name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(message.data()),
               static_cast<std::streamsize>(message.size()));
    if (!file) {
        std::fprintf(stderr, "sonavist-virtual-ex5: cannot write %s/%s\n", m_SaveDir.c_str(), name);
    }
}
