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
    if (const int status = SplitOutputOption(args, positional, output)) {
        return status;
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
