#include "FindCommand.h"

#include <chrono>
#include <cstdio>
#include <exception>

#include "TerminalText.h"
#include "library/BankReader.h"
#include "library/VoiceIndex.h"
#include "voice/EX5Info.h"
#include "voice/VoiceBank.h"

namespace {

constexpr int kCategoryCount = 23;

bool IsShownCode(const std::string& code) {
    const EX5Info info;
    for (int category = 1; category < kCategoryCount; ++category) {
        if (code == info.GetCategoryCode(static_cast<uint32_t>(category))) {
            return true;
        }
    }
    return code == "xx";
}

// Says how far a scan has come, at most once a second, while more than a second remains.
class ProgressLine {
public:
    void operator()(const ScanProgress& progress) {
        const auto now = std::chrono::steady_clock::now();
        if (progress.secondsLeft <= 1.0 || now - m_Last < std::chrono::seconds(1)) {
            return;
        }
        m_Last = now;
        std::fprintf(stderr, "find: %zu of %zu banks read, about %.0f s left\n", progress.banksRead,
                     progress.banksToRead, progress.secondsLeft);
    }

private:
    std::chrono::steady_clock::time_point m_Last{};
};

bool PrintMatches(const std::vector<VoiceMatch>& matches) {
    for (const VoiceMatch& match : matches) {
        const std::string row = TerminalText::Utf8(match.path) + '\t' +
                                VoiceBank::SlotOfVoice(match.slot) + '\t' + match.code + '\t' +
                                TerminalText::Latin1(match.name) + '\n';
        std::fwrite(row.data(), 1, row.size(), stdout);
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void PrintProblems(const std::vector<ScanProblem>& problems) {
    for (const ScanProblem& problem : problems) {
        std::fprintf(stderr, "%s: %s\n", TerminalText::Utf8(problem.path).c_str(),
                     problem.text.c_str());
    }
}

}  // namespace

int FindCommand::Parse(const std::vector<std::string>& args, VoiceQuery& query) const {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const size_t left = args.size() - i - 1;
        if (arg == "--in" && left >= 1) {
            query.folders.push_back(args[++i]);
        } else if (arg == "--category" && left >= 1 && query.category.empty()) {
            query.category = args[++i];
            if (!IsShownCode(query.category)) {
                return UsageError("unknown category code " + query.category);
            }
        } else if (arg == "--show-inits") {
            query.showInits = true;
        } else if (arg == "--same-as" && left >= 2 && !query.sameAs) {
            const std::string bank = args[++i];
            const int voice = VoiceBank::VoiceIndexFromSlot(args[++i]);
            if (voice < 0) {
                return UsageError("SLOT must be I1-001 to I2-128, not " + args[i]);
            }
            const BankRecord record = BankReader::Read(bank);
            if (!record.problem.empty()) {
                PrintProblems({{bank, record.problem}});
                return 1;
            }
            query.sameAs = record.voices[static_cast<size_t>(voice)].fingerprint;
        } else if (arg.starts_with("-") && arg.size() > 1) {
            return UsageError("unknown, incomplete or repeated option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 1) {
        return UsageError("give one TEXT (\"\" finds every voice)");
    }
    query.text = positional[0];
    if (query.folders.empty()) {
        query.folders.push_back(".");
    }
    return 0;
}

int FindCommand::Run(const std::vector<std::string>& args) {
    VoiceQuery query;
    if (const int status = Parse(args, query)) {
        return status;
    }
    std::vector<VoiceMatch> matches;
    try {
        VoiceIndex index;
        ProgressLine progress;
        ScanControl control;
        control.progress = std::ref(progress);
        const ScanReport report = index.Update(query.folders, control);
        matches = index.Find(query);
        std::vector<ScanProblem> problems = report.folderProblems;
        const std::vector<ScanProblem> banks = index.Problems(query.folders);
        problems.insert(problems.end(), banks.begin(), banks.end());
        for (const std::string& file : index.SetAside()) {
            std::fprintf(stderr, "find: the damaged voice index was kept as %s and rebuilt\n",
                         file.c_str());
        }
        if (!PrintMatches(matches)) {
            std::fputs("sonavist-cli: cannot write standard output\n", stderr);
            return 1;
        }
        PrintProblems(problems);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sonavist-cli: find: %s\n", error.what());
        return 1;
    }
    return matches.empty() ? 1 : 0;
}
