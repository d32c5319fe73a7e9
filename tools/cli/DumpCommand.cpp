#include "DumpCommand.h"

#include <cstdio>
#include <memory>

#include "conversation/EXException.h"
#include "platform/AtomicFile.h"
#include "voice/EX5Patch.h"
#include "voice/VoiceBank.h"

namespace {

bool WriteStdout(const uint8_t* data, size_t length) {
    return std::fwrite(data, 1, length, stdout) == length && std::fflush(stdout) == 0;
}

}  // namespace

int DumpCommand::Run(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && output.empty()) {
            output = args[++i];
        } else if (args[i].starts_with("-")) {
            return UsageError("unknown or repeated option " + args[i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        return UsageError("give BANK and SLOT");
    }
    const int voice = VoiceBank::VoiceIndexFromSlot(positional[1]);
    if (voice < 0) {
        return UsageError("SLOT must be I1-001 to I2-128, not " + positional[1]);
    }
    std::unique_ptr<EX5Patch> patch;
    try {
        VoiceBank bank;
        bank.LoadBank(positional[0]);
        patch = bank.PatchForRow(bank.VoiceRow(voice));
    } catch (EXException* error) {
        return ReportError(error);
    }
    if (!patch) {
        std::fprintf(stderr, "%s\n", VoiceBank::kNoDrumsText);
        return 1;
    }
    const uint8_t* dump = patch->BuildDump();
    const bool written = output.empty() ? WriteStdout(dump, patch->GetDumpLength())
                                        : AtomicFile::Replace(output, dump, patch->GetDumpLength());
    if (!written) {
        std::fprintf(stderr, "sonavist-cli: cannot write %s\n",
                     output.empty() ? "standard output" : output.c_str());
        return 1;
    }
    return 0;
}
