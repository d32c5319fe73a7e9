#pragma once

#include "JobCommand.h"

// Runs the identification job and prints what the instrument is.
class IdentifyCommand : public JobCommand {
public:
    const char* Name() const override { return "identify"; }
    const char* Usage() const override {
        return "[--in DEV] [--out DEV] [--device-no N] [--delay MS]";
    }
    int Run(const std::vector<std::string>& args) override;
};
