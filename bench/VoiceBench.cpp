#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "voice/EX5Patch.h"
#include "voice/VoiceBank.h"

namespace {

// What choosing a file in the file list costs: read the bank and build every row.
void LoadAndList(benchmark::State& state) {
    VoiceBank bank;
    bank.m_ShowInits = true;
    std::vector<std::string> rows;
    rows.reserve(VoiceBank::kVoiceCount);
    for (auto _ : state) {
        rows.clear();
        bank.LoadBank(SONAVIST_DEMO_BANK);
        bank.FillVoiceList([&rows](const std::string& row) { rows.push_back(row); });
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(LoadAndList);

// The voice-send job's packing of the longest dump.
void BuildFourElementDump(benchmark::State& state) {
    VoiceBank bank;
    bank.LoadBank(SONAVIST_DEMO_BANK);
    const auto patch = bank.PatchForRow(bank.VoiceRow(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(patch->BuildDump());
    }
    if (patch->GetUsedElementCount() != 4) {
        state.SkipWithError("the first demo voice should use four elements");
    }
}
BENCHMARK(BuildFourElementDump);

}  // namespace

BENCHMARK_MAIN();
