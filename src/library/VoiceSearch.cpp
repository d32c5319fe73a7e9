#include "library/VoiceSearch.h"

#include <algorithm>
#include <set>

#include <sqlite3.h>

#include "library/BankColumns.h"
#include "library/FolderScope.h"
#include "library/NameMatcher.h"
#include "library/SqliteDatabase.h"
#include "library/SqliteError.h"
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

BankColumns VoiceSearch::Bank::Columns() const {
    const std::string_view all = bytes;
    constexpr size_t kNames = VoiceBank::kVoiceCount * BankColumns::kNameWidth;
    constexpr size_t kCodes = VoiceBank::kVoiceCount * BankColumns::kCodeWidth;
    return {all.substr(0, kNames), all.substr(kNames, kCodes), all.substr(kNames + kCodes, kNames),
            all.substr(2 * kNames + kCodes)};
}

void VoiceSearch::Refresh() {
    const long long version = m_Db.QueryInt("PRAGMA data_version");
    if (m_Version == version) {
        return;
    }
    m_Banks.clear();
    SqliteStatement banks(m_Db.Handle(),
                          "SELECT path, folded, codes, names, fingerprints FROM bank"
                          " WHERE problem IS NULL ORDER BY path");
    while (banks.Step()) {
        const BankColumns read{banks.Bytes(1), banks.Bytes(2), banks.Bytes(3), banks.Bytes(4)};
        if (!read.IsWhole()) {
            throw SqliteError("a bank's voices are damaged", SQLITE_CORRUPT);
        }
        Bank bank{std::string(banks.Bytes(0)), std::string(read.folded)};
        bank.bytes.append(read.codes).append(read.names).append(read.fingerprints);
        m_Banks.push_back(std::move(bank));
    }
    m_Version = version;
}

std::vector<VoiceMatch> VoiceSearch::Find(const VoiceQuery& query) {
    Refresh();
    const NameMatcher matcher(query.text);
    std::vector<VoiceMatch> matches;
    const auto byPath = [](const Bank& bank, const std::string& path) { return bank.path < path; };
    for (const FolderScope& scope : Scopes(query.folders)) {
        auto bank = std::lower_bound(m_Banks.begin(), m_Banks.end(), scope.Low(), byPath);
        const auto end = std::lower_bound(bank, m_Banks.end(), scope.High(), byPath);
        for (; bank != end; ++bank) {
            const BankColumns columns = bank->Columns();
            for (const int slot : matcher.MatchingSlots(columns.folded)) {
                if (query.sameAs && columns.Fingerprint(slot) != *query.sameAs) {
                    continue;
                }
                VoiceMatch match{bank->path, slot, columns.Code(slot), columns.Name(slot)};
                if (Keeps(query, match.code, match.name)) {
                    matches.push_back(std::move(match));
                }
            }
        }
    }
    SortUnique(matches);
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
    problems.erase(
        std::unique(problems.begin(), problems.end(),
                    [](const ScanProblem& a, const ScanProblem& b) { return a.path == b.path; }),
        problems.end());
    return problems;
}
