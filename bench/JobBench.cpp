#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "conversation/EXParams.h"
#include "conversation/JobLauncher.h"
#include "midi/MidiSystem.h"
#include "midi/backends/MidiBackends.h"
#include "midi/jack/JackClient.h"
#include "support/ScratchFolder.h"
#include "voice/EX5Patch.h"
#include "voice/VoiceBank.h"

// Whole jobs as the dialog starts them, through the launcher, with the dialog's values: the time
// a user waits for a successful identification or a one-voice send, and our overhead beyond the
// waits the conversation must make (the SysEx delay before the request, the MIDI delay after the
// send). In-process against the built-in instrument; over JACK when SONAVIST_BENCH_JACK_DEVICE
// names the device of a running sonavist-virtual-ex5.

namespace {

constexpr uint32_t kJobLimitMs = 60000;

int32_t FindByName(const std::string& text, bool input) {
    MidiDriver& driver = MidiSystem::Driver();
    const uint32_t count = input ? driver.InCount() : driver.OutCount();
    for (uint32_t i = 0; i < count; ++i) {
        if ((input ? driver.InName(i) : driver.OutName(i)).find(text) != std::string::npos) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

// Installs the backend and finds its devices; false when the device is not there.
bool Prepare(const std::string& jackDevice, Settings& settings) {
    // The jobs' log goes here, and the folder goes when the program ends.
    static ScratchFolder folder("sonavist-bench");
    folder.MakeCurrent();
    if (jackDevice.empty()) {
        MidiSystem::Install(MidiBackends::CreateVirtualOnly());
        settings.m_MidiIn = 0;
        settings.m_MidiOut = 0;
        return true;
    }
    MidiSystem::Install(MidiBackends::CreateDefault());
    settings.m_MidiIn = FindByName(jackDevice, true);
    settings.m_MidiOut = FindByName(jackDevice, false);
    return settings.m_MidiIn >= 0 && settings.m_MidiOut >= 0;
}

std::unique_ptr<EX5Patch> OneElementVoice() {
    VoiceBank bank;
    bank.LoadBank(SONAVIST_DEMO_BANK);
    return bank.PatchForRow(bank.VoiceRow(VoiceBank::VoiceIndexFromSlot("I1-003")));
}

void RunJobs(benchmark::State& state, const std::string& jackDevice, bool send) {
    Settings settings = Settings::Defaults();
    if (!Prepare(jackDevice, settings)) {
        state.SkipWithError("the instrument's device is not there");
        return;
    }
    const double mandatedMs = send ? settings.m_MidiDelay : settings.m_SysexDelay;
    EXParams record;
    JobLauncher launcher(record, nullptr, nullptr);
    double overheadMs = 0;
    for (auto _ : state) {
        std::unique_ptr<EX5Patch> patch = send ? OneElementVoice() : nullptr;
        const auto start = std::chrono::steady_clock::now();
        const bool launched = send ? launcher.LaunchSendVoice(settings, std::move(patch))
                                   : launcher.LaunchIdentify(settings);
        if (!launched || !launcher.WaitFor(kJobLimitMs)) {
            state.SkipWithError("the job did not run to its end");
            break;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        overheadMs += took.count() * 1000 - mandatedMs;
        if (!send && std::strcmp(record.m_InstrumentText, "EX5") != 0) {
            state.SkipWithError("the instrument was not recognised");
            break;
        }
    }
    state.counters["mandated_ms"] = mandatedMs;
    state.counters["overhead_ms"] =
        benchmark::Counter(overheadMs, benchmark::Counter::kAvgIterations);
    MidiSystem::Install(nullptr);
}

void Identify(benchmark::State& state) {
    RunJobs(state, "", false);
}
void SendOneVoice(benchmark::State& state) {
    RunJobs(state, "", true);
}
BENCHMARK(Identify)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SendOneVoice)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// The process's first job over JACK, once: the program's JACK client is opened first, on its
// own clock (client_open_ms), then the identification runs as every later one does.
void FirstIdentify(benchmark::State& state, const std::string& jackDevice) {
    const auto start = std::chrono::steady_clock::now();
    const bool opened = JackClient::Shared() != nullptr;
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (!opened) {
        state.SkipWithError("no JACK server runs");
        return;
    }
    RunJobs(state, jackDevice, false);
    state.counters["client_open_ms"] = took.count();
}

// Registered only when a JACK instrument is named, so that the plain run needs no server.
const bool kJackRegistered = [] {
    const char* device = std::getenv("SONAVIST_BENCH_JACK_DEVICE");
    if (!device || !*device) {
        return false;
    }
    const std::string name = device;
    benchmark::RegisterBenchmark("FirstIdentifyOverJack",
                                 [name](benchmark::State& state) { FirstIdentify(state, name); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(1);
    benchmark::RegisterBenchmark("IdentifyOverJack",
                                 [name](benchmark::State& state) { RunJobs(state, name, false); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("SendOneVoiceOverJack",
                                 [name](benchmark::State& state) { RunJobs(state, name, true); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
