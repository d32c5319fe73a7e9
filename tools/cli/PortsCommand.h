#pragma once

#include "CliCommand.h"

// Lists the MIDI devices with the indices the dialog's port lists and the settings use.
class PortsCommand : public CliCommand {
public:
    const char* Name() const override { return "ports"; }
    const char* Usage() const override { return ""; }
    int Run(const std::vector<std::string>& args) override;
    bool UsesMidi() const override { return true; }
};
