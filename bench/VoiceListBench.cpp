// The dialog against the built-in instrument, as the user meets it: from choosing a bank in the
// file list to its rows shown, and from double-clicking a voice to the instrument holding it.
// The send's only wait before the instrument holds the voice is the cable itself (31,250 baud,
// 320 microseconds a byte); overhead_ms is what the program adds beyond it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <chrono>
#include <functional>
#include <memory>

#include "CPortCombo.h"
#include "CPushButton.h"
#include "CSignalEdit.h"
#include "CSonavistDlg.h"
#include "midi/MidiSystem.h"
#include "midi/virtual/VirtualInstrument.h"
#include "midi/virtual/VirtualInstrumentDriver.h"
#include "support/ScratchFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kCableMsPerByte = 0.32;

void WaitUntil(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents();
    }
}

// A started dialog in a scratch folder with scratch settings, the instrument on device 0, the
// dialog's default SysEx Delay and the lowest MIDI Delay its spin offers.
class BenchDialog {
public:
    BenchDialog() : m_Instrument(std::make_shared<VirtualInstrument>()) {
        m_Scratch.PointAt("XDG_CONFIG_HOME", "config");
        m_Scratch.MakeCurrent();
        MidiSystem::Install(std::make_shared<VirtualInstrumentDriver>(m_Instrument));
        m_Dialog = std::make_unique<CSonavistDlg>();
        m_Dialog->OnInitDialog();
        m_Dialog->show();
        if (!m_Dialog->m_Worker) {
            m_Dialog->m_IdentDoneEdit->InsertText("Done");
        }
        WaitUntil([this] { return m_Dialog->m_QuitButton->isEnabled(); });
        m_Dialog->m_MidiInCombo->setCurrentIndex(0);
        m_Dialog->m_MidiOutCombo->setCurrentIndex(0);
        m_Dialog->m_SysexDelay = 25;
        m_Dialog->m_MidiDelay = 50;
        m_Dialog->m_CurrentFolder = QStringLiteral(SONAVIST_DEMO_BANKS);
        m_Dialog->FillFileList(m_Dialog->m_CurrentFolder);
    }

    ~BenchDialog() {
        WaitUntil([this] { return !m_Dialog->m_Worker; });
        m_Dialog.reset();
        MidiSystem::Install(nullptr);
    }

    void Choose(int file) {
        m_Dialog->m_FileList->setCurrentRow(file);
        QCoreApplication::processEvents();
    }

    ScratchFolder m_Scratch{"sonavist-bench-voices"};
    std::shared_ptr<VirtualInstrument> m_Instrument;
    std::unique_ptr<CSonavistDlg> m_Dialog;
};

// Arguments: Cat Order clear (0) or checked (1); Show Inits clear (0, 29 and 20 rows) or
// checked (1, 256 rows each). The two demo banks in turn.
void ChooseBankToRowsShown(benchmark::State& state) {
    BenchDialog bench;
    bench.Choose(0);
    if (state.range(1)) {
        bench.m_Dialog->m_ShowInitsCheck->click();
    }
    if (state.range(0)) {
        bench.m_Dialog->m_CatOrderCheck->click();
    }
    int file = 0;
    for (auto _ : state) {
        file = 1 - file;
        bench.Choose(file);
        benchmark::DoNotOptimize(bench.m_Dialog->m_VoiceList->count());
    }
}
BENCHMARK(ChooseBankToRowsShown)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// Argument: the row of the first demo bank, a voice of four elements (891 bytes) or of one (435).
void DoubleClickToVoiceHeld(benchmark::State& state) {
    BenchDialog bench;
    bench.Choose(0);
    QListWidget* list = bench.m_Dialog->m_VoiceList;
    QListWidgetItem* item =
        list->findItems(state.range(0) ? QStringLiteral("Ba\tI1-003\tDeep Finger")
                                       : QStringLiteral("Pf\tI1-001\tVelvet Grand"),
                        Qt::MatchExactly)
            .value(0);
    list->setCurrentItem(item);
    double cableMs = 0;
    double overheadMs = 0;
    for (auto _ : state) {
        bench.m_Instrument->Reset();
        const auto start = Clock::now();
        emit list->itemDoubleClicked(item);
        WaitUntil([&bench] { return bench.m_Instrument->LastVoice().has_value(); });
        const std::chrono::duration<double> took = Clock::now() - start;
        state.SetIterationTime(took.count());
        cableMs = double(bench.m_Instrument->LastVoice()->dump.size()) * kCableMsPerByte;
        overheadMs += took.count() * 1000 - cableMs;
        WaitUntil([&bench] { return bench.m_Dialog->m_NoteButton->isEnabled(); });
    }
    state.counters["cable_ms"] = cableMs;
    state.counters["overhead_ms"] =
        benchmark::Counter(overheadMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(DoubleClickToVoiceHeld)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
