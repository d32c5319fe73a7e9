#include "DumpCommand.h"

#include <cstdio>
#include <memory>

#include "platform/AtomicFile.h"
#include "voice/EX5Patch.h"

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
    std::unique_ptr<EX5Patch> patch;
    if (const int status = PatchOfSlot(positional[0], positional[1], patch)) {
        return status;
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
