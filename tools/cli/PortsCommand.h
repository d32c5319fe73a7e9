#pragma once

#include "CliCommand.h"

// Lists the MIDI devices in driver order: inputs, then outputs.
class PortsCommand : public CliCommand {
public:
    const char* Name() const override { return "ports"; }
    const char* Usage() const override { return ""; }
    int Run(const std::vector<std::string>& args) override;
};
