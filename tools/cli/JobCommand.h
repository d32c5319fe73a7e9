#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "conversation/EXParams.h"
#include "conversation/JobLauncher.h"

// What the identify and send commands share: the device and timing options, the wait with its
// progress on standard error, and the report of the job's outcome.
class JobCommand : public CliCommand {
public:
    static constexpr const char* kLogName = "Sonavist.log";

    bool UsesMidi() const override { return true; }

protected:
    // Takes the options out of args, leaving the positional arguments: 0, or 2 after a usage
    // error has been printed.
    int ParseOptions(std::vector<std::string>& args, bool withMidiDelay);
    // Finds the devices the options name (the virtual instrument without them): 0, or 1 after
    // naming one that is not there.
    int FindDevices();
    // Runs the launched job to its end, showing the progress of long waits.
    void WaitForJob(JobLauncher& launcher) const;
    // Prints the job's error line, if any, and a log it could not write on standard error;
    // true when there was an error line.
    bool ReportOutcome(const EXParams& record) const;

    Settings m_Settings = Settings::Defaults();
    std::string m_InDevice;
    std::string m_OutDevice;

private:
    static bool IsOption(const std::string& option, bool withMidiDelay);
    // One option that IsOption knows. False after a usage error has been printed.
    bool ParseOption(const std::string& option, const std::string& value);
    bool ParseNumber(const std::string& option, const std::string& text, uint32_t maximum,
                     const char* unit, uint32_t& value) const;
};
