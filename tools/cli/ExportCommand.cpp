#include "ExportCommand.h"

#include <cstdio>

#include "platform/AtomicFile.h"
#include "voice/EXException.h"
#include "voice/VoiceBank.h"
#include "voice/VoiceExport.h"

int ExportCommand::Run(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string output;
    if (const int status = SplitOutputOption(args, positional, output)) {
        return status;
    }
    if (positional.empty() || output.empty()) {
        return UsageError("give BANK and -o FILE");
    }
    const std::optional<VoiceExport::Format> format = VoiceExport::FormatOfName(output);
    if (!format) {
        return UsageError("FILE must end in .syx or .mid, not " + output);
    }
    std::vector<int> voices;
    for (size_t i = 1; i < positional.size(); ++i) {
        voices.push_back(VoiceBank::VoiceIndexFromSlot(positional[i]));
        if (voices.back() < 0) {
            return UsageError("SLOT must be I1-001 to I2-128, not " + positional[i]);
        }
    }
    VoiceBank bank;
    if (!EXException::Catch([&] { bank.LoadBank(positional[0]); }, ReportError)) {
        return 1;
    }
    VoiceExport dumps;
    if (voices.empty()) {
        dumps.AddBank(bank);
    }
    for (const int voice : voices) {
        dumps.Add(bank, voice);
    }
    for (const VoiceExport::Skip& skip : dumps.Skips()) {
        std::fprintf(stderr, "%s: %s\n", VoiceBank::SlotOfVoice(skip.voice).c_str(), skip.reason);
    }
    if (dumps.Dumps().empty()) {
        std::fprintf(stderr, "sonavist-cli: no voice to write, %s left as it was\n",
                     output.c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes = dumps.FileBytes(*format);
    if (!AtomicFile::Replace(output, bytes.data(), bytes.size())) {
        std::fprintf(stderr, "sonavist-cli: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
