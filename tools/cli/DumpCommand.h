#pragma once

#include "CliCommand.h"

// Writes the bulk dump that sending one voice of a bank would send.
class DumpCommand : public CliCommand {
public:
    const char* Name() const override { return "dump"; }
    const char* Usage() const override { return "BANK SLOT [-o FILE]"; }
    int Run(const std::vector<std::string>& args) override;
};
