#pragma once

#include <string>
#include <vector>

class EXException;

// One sub-command of sonavist-cli. Run returns the process's exit status.
class CliCommand {
public:
    virtual ~CliCommand() = default;
    virtual const char* Name() const = 0;
    virtual const char* Usage() const = 0;  // the arguments after the name
    virtual int Run(const std::vector<std::string>& args) = 0;

protected:
    // Prints the error line "%s:%d %s" to standard error, deletes the error, returns 1.
    static int ReportError(EXException* error);
    // Prints "sonavist-cli: <problem>" and this command's usage; returns 2.
    int UsageError(const std::string& problem) const;
};
