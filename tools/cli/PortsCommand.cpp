#include "PortsCommand.h"

#include <cstdio>

#include "midi/MidiSystem.h"

int PortsCommand::Run(const std::vector<std::string>& args) {
    if (!args.empty()) {
        return UsageError("ports takes no arguments");
    }
    MidiDriver& driver = MidiSystem::Driver();
    for (uint32_t i = 0; i < driver.InCount(); ++i) {
        std::printf("in\t%u\t%s\n", i, driver.InName(i).c_str());
    }
    for (uint32_t i = 0; i < driver.OutCount(); ++i) {
        std::printf("out\t%u\t%s\n", i, driver.OutName(i).c_str());
    }
    return 0;
}
