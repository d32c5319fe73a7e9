#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "conversation/EXParams.h"
#include "midi/MidiParams.h"
#include "midi/MidiSystem.h"
#include "midi/backends/MidiBackends.h"
#include "midi/jack/JackClient.h"
#include "midi/jack/JackDriver.h"
#include "support/VirtualEx5Process.h"
#include "voice/EXException.h"

namespace {

int32_t IndexOf(uint32_t count, const std::function<std::string(uint32_t)>& name,
                const std::string& wanted) {
    for (uint32_t i = 0; i < count; ++i) {
        if (name(i) == wanted) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

// One Identity Request and its reply through the program's ports, as the conversation makes it:
// arm the input, send, wait for the reply, stop, read. Each repetition is one round trip; the
// median of 20 is the figure.
void RoundTrips(benchmark::State& state, const std::string& outName, const std::string& inName) {
    MidiDriver& driver = MidiSystem::Driver();
    EXParams job;
    job.m_MidiOutDevice = IndexOf(
        driver.OutCount(), [&](uint32_t i) { return driver.OutName(i); }, outName);
    job.m_MidiInDevice = IndexOf(
        driver.InCount(), [&](uint32_t i) { return driver.InName(i); }, inName);
    job.m_Delay = 25;
    job.m_Tries = 4;
    if (job.m_MidiOutDevice < 0 || job.m_MidiInDevice < 0) {
        state.SkipWithError("the instrument's ports are not listed");
        return;
    }
    const std::vector<uint8_t> request = {0xF0, 0x7E, 0x01, 0x06, 0x01, 0xF7};
    std::vector<uint8_t> reply(4096);
    EXException::Catch(
        [&] {
            MidiParams ports;
            ports.m_MidiIn.Open(job.m_MidiInDevice);
            ports.m_MidiOut.Open(job);
            for (auto _ : state) {
                const auto start = std::chrono::steady_clock::now();
                Event& arrived = ports.m_MidiIn.Start(job, 4096, 1);
                ports.m_MidiOut.SendLong(job, request.data(), 6);
                const bool answered = arrived.Wait(2000);
                ports.m_MidiIn.Stop(job);
                const int32_t length = ports.m_MidiIn.ReadMessage(reply.data(), 4096, 0);
                state.SetIterationTime(
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                        .count());
                if (!answered || length != 15) {
                    state.SkipWithError("no 15-byte reply");
                    break;
                }
            }
            ports.m_MidiIn.Close(job);
            ports.m_MidiOut.Close(job);
        },
        [&](const EXException* error) {
            state.SkipWithError(error != nullptr ? error->m_Message : "error");
        });
}

// The built-in instrument behind the default chain: its cable time and its own thread.
void IdentityRoundTripInProcess(benchmark::State& state) {
    MidiSystem::Install(MidiBackends::CreateVirtualOnly());
    RoundTrips(state, "Sonavist Virtual EX5", "Sonavist Virtual EX5");
    MidiSystem::Install(nullptr);
}
BENCHMARK(IdentityRoundTripInProcess)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20);

// sonavist-virtual-ex5 on the running JACK server, reached through RtMidi; started once for all
// repetitions.
void IdentityRoundTripOverJack(benchmark::State& state) {
    static VirtualEx5Process instrument;
    static const bool ready = instrument.WaitReady();
    if (!ready) {
        state.SkipWithError("sonavist-virtual-ex5 did not start");
        return;
    }
    // Listed once the instrument is up: the device list is fixed when the driver is made.
    static const auto driver = std::make_shared<JackDriver>();
    MidiSystem::Install(driver);
    RoundTrips(state, instrument.InPort(), instrument.OutPort());
    MidiSystem::Install(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Over JACK only when a server runs, so a plain run needs none.
    if (JackClient::ServerRuns()) {
        benchmark::RegisterBenchmark("IdentityRoundTripOverJack", IdentityRoundTripOverJack)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(20);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
