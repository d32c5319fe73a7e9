#include "DumpCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/AtomicFile.h"
#include "voice/EX5Patch.h"

int DumpCommand::Run(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string output;
    if (const int status = SplitOutputOption(args, positional, output)) {
        return status;
    }
    if (const int status = CheckArguments(positional, {"BANK", "SLOT"})) {
        return status;
    }
    std::unique_ptr<EX5Patch> patch;
    if (const int status = PatchOfSlot(positional[0], positional[1], patch)) {
        return status;
    }
    const uint8_t* dump = patch->BuildDump();
    // Standard output is checked, as for every command, when the command ends.
    if (output.empty()) {
        std::fwrite(dump, 1, patch->GetDumpLength(), stdout);
    } else if (!AtomicFile::Replace(output, dump, patch->GetDumpLength())) {
        std::fprintf(stderr, "sonavist-cli: cannot write %s: %s\n", output.c_str(),
                     std::strerror(errno));
        return 1;
    }
    return 0;
}
