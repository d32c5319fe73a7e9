#pragma once

#include "JobCommand.h"

// Sends one voice of a bank file as the dialog's double-click does.
class SendCommand : public JobCommand {
public:
    const char* Name() const override { return "send"; }
    const char* Usage() const override {
        return "BANK SLOT [--in DEV] [--out DEV] [--device-no N] [--delay MS] [--midi-delay MS] "
               "[--report]";
    }
    int Run(const std::vector<std::string>& args) override;

private:
    static void ReportReceived();
};
