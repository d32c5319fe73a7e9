#include "library/VoiceSearch.h"

#include <algorithm>
#include <set>

#include "library/FolderScope.h"
#include "library/NameMatcher.h"
#include "library/SqliteDatabase.h"
#include "library/SqliteStatement.h"
#include "voice/VoiceBank.h"

namespace {

// The filters a voice passes once its name or data matched.
bool Keeps(const VoiceQuery& query, const std::string& code, const std::string& name) {
    return (query.category.empty() || code == query.category) &&
           (query.showInits || !VoiceBank::IsInitName(name));
}

std::vector<FolderScope> Scopes(const std::vector<std::string>& folders) {
    return std::vector<FolderScope>(folders.begin(), folders.end());
}

void SortUnique(std::vector<VoiceMatch>& matches) {
    std::sort(matches.begin(), matches.end(), [](const VoiceMatch& a, const VoiceMatch& b) {
        return a.path != b.path ? a.path < b.path : a.slot < b.slot;
    });
    // Folders given twice, or one inside another, find the same voices twice.
    matches.erase(std::unique(matches.begin(), matches.end()), matches.end());
}

}  // namespace

std::vector<VoiceMatch> VoiceSearch::Find(const VoiceQuery& query) {
    std::vector<VoiceMatch> matches = query.sameAs ? FindSameAs(query) : FindByName(query);
    SortUnique(matches);
    return matches;
}

std::vector<VoiceMatch> VoiceSearch::FindByName(const VoiceQuery& query) {
    const NameMatcher matcher(query.text);
    std::vector<VoiceMatch> matches;
    std::set<int64_t> seen;
    SqliteStatement banks(m_Db.Handle(),
                          "SELECT id, path, folded_names FROM bank"
                          " WHERE path >= ?1 AND path < ?2 AND problem IS NULL");
    SqliteStatement voices(m_Db.Handle(),
                           "SELECT slot, code, name FROM voice WHERE bank = ?1 ORDER BY slot");
    for (const FolderScope& scope : Scopes(query.folders)) {
        banks.BindBlob(1, scope.Low()).BindBlob(2, scope.High());
        while (banks.Step()) {
            const std::vector<int> slots = matcher.MatchingSlots(banks.Bytes(2));
            if (slots.empty() || !seen.insert(banks.Int(0)).second) {
                continue;
            }
            const std::string path(banks.Bytes(1));
            voices.Bind(1, banks.Int(0));
            auto next = slots.begin();
            while (next != slots.end() && voices.Step()) {
                const int slot = static_cast<int>(voices.Int(0));
                if (slot != *next) {
                    continue;
                }
                ++next;
                VoiceMatch match{path, slot, std::string(voices.Bytes(1)),
                                 std::string(voices.Bytes(2))};
                if (Keeps(query, match.code, match.name)) {
                    matches.push_back(std::move(match));
                }
            }
            voices.Reset();
        }
        banks.Reset();
    }
    return matches;
}

std::vector<VoiceMatch> VoiceSearch::FindSameAs(const VoiceQuery& query) {
    const NameMatcher matcher(query.text);
    const std::vector<FolderScope> scopes = Scopes(query.folders);
    std::vector<VoiceMatch> matches;
    SqliteStatement voices(m_Db.Handle(),
                           "SELECT bank.path, voice.slot, voice.code, voice.name"
                           " FROM voice JOIN bank ON bank.id = voice.bank"
                           " WHERE voice.fingerprint = ?1");
    voices.Bind(1, static_cast<int64_t>(*query.sameAs));
    while (voices.Step()) {
        VoiceMatch match{std::string(voices.Bytes(0)), static_cast<int>(voices.Int(1)),
                         std::string(voices.Bytes(2)), std::string(voices.Bytes(3))};
        const bool inScope = std::any_of(scopes.begin(), scopes.end(), [&](const FolderScope& s) {
            return s.Contains(match.path);
        });
        if (inScope && matcher.Matches(match.name) && Keeps(query, match.code, match.name)) {
            matches.push_back(std::move(match));
        }
    }
    return matches;
}

std::vector<ScanProblem> VoiceSearch::Problems(const std::vector<std::string>& folders) {
    std::vector<ScanProblem> problems;
    SqliteStatement select(m_Db.Handle(),
                           "SELECT path, problem FROM bank"
                           " WHERE path >= ?1 AND path < ?2 AND problem IS NOT NULL");
    for (const FolderScope& scope : Scopes(folders)) {
        select.BindBlob(1, scope.Low()).BindBlob(2, scope.High());
        while (select.Step()) {
            problems.push_back({std::string(select.Bytes(0)), std::string(select.Bytes(1))});
        }
        select.Reset();
    }
    std::sort(problems.begin(), problems.end(),
              [](const ScanProblem& a, const ScanProblem& b) { return a.path < b.path; });
    problems.erase(std::unique(problems.begin(), problems.end(),
                               [](const ScanProblem& a, const ScanProblem& b) {
                                   return a.path == b.path;
                               }),
                   problems.end());
    return problems;
}
