#pragma once

#include <string>
#include <vector>

// One sub-command of sonavist-cli. Run returns the process's exit status.
class CliCommand {
public:
    virtual ~CliCommand() = default;
    virtual const char* Name() const = 0;
    virtual const char* Usage() const = 0;  // the arguments after the name
    virtual int Run(const std::vector<std::string>& args) = 0;
};
