#pragma once

#include <memory>
#include <string>
#include <vector>

class EXException;
class EX5Patch;

// One sub-command of sonavist-cli. Run returns the process's exit status.
class CliCommand {
public:
    virtual ~CliCommand() = default;
    virtual const char* Name() const = 0;
    virtual const char* Usage() const = 0;  // the arguments after the name
    virtual int Run(const std::vector<std::string>& args) = 0;
    // Commands that talk MIDI get the driver chain; the others never start ALSA or JACK.
    virtual bool UsesMidi() const { return false; }

protected:
    // Prints the error line "%s:%d %s" to standard error.
    static void ReportError(const EXException* error);
    // Prints "sonavist-cli: <problem>" and this command's usage; returns 2.
    int UsageError(const std::string& problem) const;
    // 0 when the positional arguments are exactly the named ones, else the usage error naming
    // the first one missing or the first one too many.
    int CheckArguments(const std::vector<std::string>& positional,
                       const std::vector<std::string>& names) const;
    // Splits the arguments into the positional ones and the FILE of one "-o FILE": 0, or the exit
    // status of a usage error.
    int SplitOutputOption(const std::vector<std::string>& args,
                          std::vector<std::string>& positional, std::string& output) const;
    // Assembles a slot's voice ("I1-001") of a bank file as a double-click does: 0, or the exit
    // status after the reason went to standard error (a drum voice, a voice without elements).
    int PatchOfSlot(const std::string& bankPath, const std::string& slot,
                    std::unique_ptr<EX5Patch>& patch) const;
};
