#include "SendCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "CallbackSink.h"
#include "midi/backends/MidiBackends.h"
#include "voice/EX5Patch.h"

namespace {

constexpr const char* kConfirmation = "SendSysexVoice confirms: Voice sent\n";

}  // namespace

int SendCommand::Run(const std::vector<std::string>& args) {
    std::vector<std::string> positional = args;
    auto report = std::find(positional.begin(), positional.end(), "--report");
    const bool withReport = report != positional.end();
    if (withReport) {
        positional.erase(report);
    }
    if (!ParseOptions(positional, true)) {
        return 2;
    }
    if (positional.size() != 2) {
        return UsageError("give BANK and SLOT");
    }
    std::unique_ptr<EX5Patch> patch;
    if (const int status = PatchOfSlot(positional[0], positional[1], patch)) {
        return status;
    }
    EXParams record;
    CallbackSink done([](const char*) {});
    JobLauncher launcher(record, &done, &done);
    const long logStart = LogSize();
    launcher.LaunchSendVoice(m_Settings, std::move(patch));
    WaitForJob(launcher);
    const std::string appended = ReadLog(logStart);
    if (appended.empty()) {
        std::fprintf(stderr, "send: %s cannot be written\n", kLogName);
        return 1;
    }
    const bool failed = ReportErrors(appended);
    if (failed || appended.find(kConfirmation) == std::string::npos) {
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
                voice->name.c_str(), voice->dump.size(), voice->elements,
                voice->elements == 1 ? "" : "s", voice->checksumOk ? "correct" : "wrong");
}
