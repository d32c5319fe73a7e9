#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "CliCommand.h"
#include "conversation/EXParams.h"
#include "conversation/JobLauncher.h"

// What the identify and send commands share: the device and timing options, a launcher with the
// tool's sinks, the wait with its progress on standard error, and the reading of "Sonavist.log".
class JobCommand : public CliCommand {
public:
    static constexpr const char* kLogName = "Sonavist.log";

    bool UsesMidi() const override { return true; }

protected:
    // Takes the options out of args, leaving the positional arguments, and finds the devices.
    // False after a usage error has been printed.
    bool ParseOptions(std::vector<std::string>& args, bool withMidiDelay);
    // Runs the launched job to its end, showing the progress of long waits.
    void WaitForJob(JobLauncher& launcher) const;
    // The log from the given offset, or empty when it cannot be read.
    static std::string ReadLog(long from);
    static long LogSize();
    // Prints the job's error lines, if any, on standard error; true when there were some.
    static bool ReportErrors(const std::string& log);
    // The error line within one log line, or empty.
    static std::string_view ErrorLineIn(std::string_view line);

    JobLauncher::Settings m_Settings;
    std::string m_InDevice;
    std::string m_OutDevice;

private:
    // The log opened for reading, or none; never a pipe, whose opening would wait for a writer.
    static FILE* OpenLog();
    bool ParseNumber(const std::string& option, const std::string& text, uint32_t& value) const;
    void ResolveDevices();
};
