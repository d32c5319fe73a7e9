#include "ListCommand.h"

#include <algorithm>
#include <cstdio>

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
    if (paths.size() != 1) {
        return UsageError("give one BANK");
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
        std::fwrite(row.data(), 1, row.size(), stdout);
        std::fputc('\n', stdout);
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
