#include "SendCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "CallbackSink.h"
#include "conversation/EXException.h"
#include "midi/MidiBackends.h"
#include "voice/EX5Patch.h"
#include "voice/VoiceBank.h"

namespace {

constexpr const char* kConfirmation = "SendSysexVoice confirms: Voice sent\n";

// The patch of a slot such as "I1-001", or none after the reason went to standard error.
std::unique_ptr<EX5Patch> PatchOf(const std::string& bankPath, const std::string& slot) {
    VoiceBank bank;
    bank.m_ShowInits = true;
    try {
        bank.LoadBank(bankPath);
        int voice = VoiceBank::VoiceIndexFromSlot(slot);
        if (voice < 0) {
            std::fprintf(stderr, "send: no slot \"%s\" (I1-001 to I2-128)\n", slot.c_str());
            return nullptr;
        }
        std::unique_ptr<EX5Patch> patch = bank.PatchForRow(bank.VoiceRow(voice));
        if (!patch) {
            std::fprintf(stderr, "%s\n", VoiceBank::kNoDrumsText);
        }
        return patch;
    } catch (EXException* error) {
        char line[2 * sizeof error->m_Message + 16];
        error->FormatLine(line, sizeof line);
        std::fputs(line, stderr);
        delete error;
        return nullptr;
    }
}

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
        std::fprintf(stderr, "usage: sonavist-cli send %s\n", Usage());
        return 2;
    }
    std::unique_ptr<EX5Patch> patch = PatchOf(positional[0], positional[1]);
    if (!patch) {
        return 1;
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
