#include "SendCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "TerminalText.h"
#include "midi/backends/MidiBackends.h"
#include "voice/EX5Patch.h"

int SendCommand::Run(const std::vector<std::string>& args) {
    std::vector<std::string> positional = args;
    auto report = std::find(positional.begin(), positional.end(), "--report");
    const bool withReport = report != positional.end();
    if (withReport) {
        positional.erase(report);
    }
    if (const int status = ParseOptions(positional, true)) {
        return status;
    }
    if (const int status = CheckArguments(positional, {"BANK", "SLOT"})) {
        return status;
    }
    std::unique_ptr<EX5Patch> patch;
    if (const int status = PatchOfSlot(positional[0], positional[1], patch)) {
        return status;
    }
    if (const int status = FindDevices()) {
        return status;
    }
    EXParams record;
    JobLauncher launcher(record, nullptr, nullptr);
    launcher.LaunchSendVoice(m_Settings, std::move(patch));
    WaitForJob(launcher);
    if (ReportOutcome(record) || record.m_Result != 0) {
        return 1;
    }
    std::printf("Voice sent\n");
    if (withReport) {
        ReportReceived();
    }
    return 0;
}

void SendCommand::ReportReceived() {
    std::optional<VirtualInstrument::Voice> voice = MidiBackends::Instrument()->LastVoice();
    if (!voice) {
        std::printf("The virtual instrument received no voice\n");
        return;
    }
    std::printf("The virtual instrument received \"%s\": %zu bytes, %d element%s, checksum %s\n",
                TerminalText::Latin1(voice->name).c_str(), voice->dump.size(), voice->elements,
                voice->elements == 1 ? "" : "s", voice->checksumOk ? "correct" : "wrong");
}
