#include <algorithm>
#include <cstdio>
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
#include "platform/StandardOutput.h"
#include "platform/VersionResource.h"

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

void PrintUsage(FILE* stream, const std::vector<std::unique_ptr<CliCommand>>& commands) {
    std::fprintf(stream, "usage:\n");
    for (const auto& command : commands) {
        std::fprintf(stream, "  sonavist-cli %s %s\n", command->Name(), command->Usage());
    }
    std::fprintf(stream,
                 "  sonavist-cli --help | help | COMMAND --help\n"
                 "  sonavist-cli --version\n");
}

int UsageError(const std::string& problem,
               const std::vector<std::unique_ptr<CliCommand>>& commands) {
    if (!problem.empty()) {
        std::fprintf(stderr, "sonavist-cli: %s\n", problem.c_str());
    }
    PrintUsage(stderr, commands);
    return 2;
}

bool AsksForHelp(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--help") != args.end();
}

int Run(const std::vector<std::string>& args,
        const std::vector<std::unique_ptr<CliCommand>>& commands) {
    if (args.empty()) {
        return UsageError("", commands);
    }
    if (args[0] == "--help" || args[0] == "help") {
        PrintUsage(stdout, commands);
        return 0;
    }
    if (args[0] == "--version") {
        std::printf("sonavist-cli %s\n", VersionResource::Text().c_str());
        return 0;
    }
    for (const auto& command : commands) {
        if (args[0] != command->Name()) {
            continue;
        }
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (AsksForHelp(rest)) {
            std::printf("usage: sonavist-cli %s %s\n", command->Name(), command->Usage());
            return 0;
        }
        if (command->UsesMidi()) {
            MidiSystem::Install(MidiBackends::CreateDefault());
        }
        return command->Run(rest);
    }
    return UsageError("unknown command " + args[0], commands);
}

}  // namespace

int main(int argc, char** argv) {
    const auto commands = Commands();
    return StandardOutput::Checked(Run(std::vector<std::string>(argv + 1, argv + argc), commands),
                                   "sonavist-cli");
}
