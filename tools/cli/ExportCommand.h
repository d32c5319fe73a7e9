#pragma once

#include "CliCommand.h"

// Writes the bulk dumps of several voices of a bank into one .syx or .mid file.
class ExportCommand : public CliCommand {
public:
    const char* Name() const override { return "export"; }
    const char* Usage() const override { return "BANK [SLOT...] -o FILE.syx|FILE.mid"; }
    int Run(const std::vector<std::string>& args) override;
};
