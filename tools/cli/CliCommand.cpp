#include "CliCommand.h"

#include <cstdio>
#include <memory>

#include "voice/EX5Patch.h"
#include "voice/EXException.h"
#include "voice/VoiceBank.h"

void CliCommand::ReportError(const EXException* error) {
    if (!error) {
        std::fputs("Unidentified error\n", stderr);
    } else {
        std::fprintf(stderr, "%s:%d %s\n", error->m_SourceFile, error->m_Line, error->m_Message);
    }
}

int CliCommand::UsageError(const std::string& problem) const {
    std::fprintf(stderr, "sonavist-cli: %s\nusage: sonavist-cli %s %s\n", problem.c_str(), Name(),
                 Usage());
    return 2;
}

int CliCommand::CheckArguments(const std::vector<std::string>& positional,
                               const std::vector<std::string>& names) const {
    if (positional.size() < names.size()) {
        return UsageError(names[positional.size()] + " is missing");
    }
    if (positional.size() > names.size()) {
        return UsageError("unexpected argument " + positional[names.size()]);
    }
    return 0;
}

int CliCommand::SplitOutputOption(const std::vector<std::string>& args,
                                  std::vector<std::string>& positional, std::string& output) const {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "-o") {
            if (args[i].starts_with("-")) {
                return UsageError("unknown option " + args[i]);
            }
            positional.push_back(args[i]);
        } else if (i + 1 == args.size()) {
            return UsageError("-o needs a value (FILE)");
        } else if (!output.empty()) {
            return UsageError("-o given twice");
        } else {
            output = args[++i];
        }
    }
    return 0;
}

int CliCommand::PatchOfSlot(const std::string& bankPath, const std::string& slot,
                            std::unique_ptr<EX5Patch>& patch) const {
    const int voice = VoiceBank::VoiceIndexFromSlot(slot);
    if (voice < 0) {
        return UsageError("SLOT must be I1-001 to I2-128, not " + slot);
    }
    const bool assembled = EXException::Catch(
        [&] {
            VoiceBank bank;
            bank.LoadBank(bankPath);
            patch = bank.PatchForRow(bank.VoiceRow(voice));
        },
        ReportError);
    if (!assembled) {
        return 1;
    }
    if (!patch) {
        std::fprintf(stderr, "%s\n", VoiceBank::kNoDrumsText);
        return 1;
    }
    return 0;
}
