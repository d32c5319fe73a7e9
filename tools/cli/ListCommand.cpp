#include "ListCommand.h"

#include <algorithm>
#include <cstdio>

#include "TerminalText.h"
#include "voice/EXException.h"
#include "voice/VoiceBank.h"

int ListCommand::Run(const std::vector<std::string>& args) {
    bool catOrder = false;
    VoiceBank bank;
    std::vector<std::string> paths;
    for (const std::string& arg : args) {
        if (arg == "--cat-order") {
            catOrder = true;
        } else if (arg == "--show-inits") {
            bank.m_ShowInits = true;
        } else if (arg.starts_with("-")) {
            return UsageError("unknown option " + arg);
        } else {
            paths.push_back(arg);
        }
    }
    if (const int status = CheckArguments(paths, {"BANK"})) {
        return status;
    }
    std::vector<std::string> rows;
    if (!EXException::Catch([&] { bank.LoadBank(paths[0]); }, ReportError)) {
        return 1;
    }
    bank.FillVoiceList([&rows](const std::string& row) { rows.push_back(row); });
    // The sorted list orders by text: the code groups the rows, bank and number order them
    // within a code.
    if (catOrder) {
        std::sort(rows.begin(), rows.end());
    }
    for (const std::string& row : rows) {
        std::printf("%s\n", TerminalText::Row(row).c_str());
    }
    return 0;
}
