#pragma once

#include "CliCommand.h"

struct VoiceQuery;

// Finds voices by name across every bank under folders, through the voice index.
class FindCommand : public CliCommand {
public:
    const char* Name() const override { return "find"; }
    const char* Usage() const override {
        return "TEXT [--in FOLDER]... [--category CODE] [--show-inits] [--same-as BANK SLOT]";
    }
    int Run(const std::vector<std::string>& args) override;

private:
    // Fills the query from the arguments; 0, or the exit status after a message.
    int Parse(const std::vector<std::string>& args, VoiceQuery& query) const;
};
