#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "DumpCommand.h"
#include "ExportCommand.h"
#include "FindCommand.h"
#include "IdentifyCommand.h"
#include "ListCommand.h"
#include "PortsCommand.h"
#include "SendCommand.h"
#include "midi/MidiSystem.h"
#include "midi/backends/MidiBackends.h"

namespace {

std::vector<std::unique_ptr<CliCommand>> Commands() {
    std::vector<std::unique_ptr<CliCommand>> commands;
    commands.push_back(std::make_unique<ListCommand>());
    commands.push_back(std::make_unique<DumpCommand>());
    commands.push_back(std::make_unique<ExportCommand>());
    commands.push_back(std::make_unique<PortsCommand>());
    commands.push_back(std::make_unique<IdentifyCommand>());
    commands.push_back(std::make_unique<SendCommand>());
    commands.push_back(std::make_unique<FindCommand>());
    return commands;
}

int Usage(const std::vector<std::unique_ptr<CliCommand>>& commands) {
    std::fprintf(stderr, "usage:\n");
    for (const auto& command : commands) {
        std::fprintf(stderr, "  sonavist-cli %s %s\n", command->Name(), command->Usage());
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    auto commands = Commands();
    if (argc < 2) {
        return Usage(commands);
    }
    for (const auto& command : commands) {
        if (std::strcmp(argv[1], command->Name()) == 0) {
            if (command->UsesMidi()) {
                MidiSystem::Install(MidiBackends::CreateDefault());
            }
            return command->Run(std::vector<std::string>(argv + 2, argv + argc));
        }
    }
    return Usage(commands);
}
