#pragma once

#include "CliCommand.h"

// Prints a bank's voice rows as the voice list shows them.
class ListCommand : public CliCommand {
public:
    const char* Name() const override { return "list"; }
    const char* Usage() const override { return "[--cat-order] [--show-inits] BANK"; }
    int Run(const std::vector<std::string>& args) override;
};
