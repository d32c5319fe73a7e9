#include "library/IndexScanner.h"

#include <chrono>
#include <unordered_map>

#include "library/BankReader.h"
#include "library/FolderScope.h"
#include "library/NameMatcher.h"
#include "library/SqliteDatabase.h"
#include "library/SqliteStatement.h"
#include "library/SqliteTransaction.h"

namespace {

using Clock = std::chrono::steady_clock;

bool Cancelled(const ScanControl& control) {
    return control.cancel && control.cancel->load();
}

}  // namespace

ScanReport IndexScanner::Update(const std::vector<std::string>& folders,
                                const ScanControl& control) {
    ScanReport report;
    FolderWalk walk(control.cancel);
    std::unordered_map<std::string, Known> known;
    SqliteStatement select(m_Db.Handle(),
                           "SELECT path, size, mtime_ns, problem IS NULL FROM bank"
                           " WHERE path >= ?1 AND path < ?2");
    for (const std::string& folder : folders) {
        const FolderScope scope(folder);
        if (!walk.Walk(scope.Folder())) {
            report.cancelled = true;
            return report;
        }
        select.BindBlob(1, scope.Low()).BindBlob(2, scope.High());
        while (select.Step()) {
            known[std::string(select.Bytes(0))] = {select.Int(1), select.Int(2), select.Int(3) != 0};
        }
        select.Reset();
    }
    report.folderProblems = walk.m_Problems;

    std::vector<FoundBank> toRead;
    int64_t bytesToRead = 0;
    for (FoundBank& bank : walk.m_Banks) {
        const auto it = known.find(bank.path);
        if (it == known.end()) {
            bytesToRead += bank.size;
            toRead.push_back(std::move(bank));
            continue;
        }
        const Known& was = it->second;
        known.erase(it);
        // A problem is looked at again every time: a file made readable keeps its time.
        if (was.readable && was.size == bank.size && was.mtimeNs == bank.mtimeNs) {
            ++report.unchanged;
        } else {
            bytesToRead += bank.size;
            toRead.push_back(std::move(bank));
        }
    }
    std::vector<std::string> vanished;
    for (const auto& [path, was] : known) {
        vanished.push_back(path);
    }
    Remove(vanished);
    report.removed = vanished.size();

    const Clock::time_point start = Clock::now();
    int64_t bytesRead = 0;
    for (size_t begin = 0; begin < toRead.size(); begin += kBatch) {
        if (Cancelled(control)) {
            report.cancelled = true;
            break;
        }
        const size_t end = std::min(toRead.size(), begin + kBatch);
        WriteBatch(toRead, begin, end);
        report.read = end;
        for (size_t i = begin; i < end; ++i) {
            bytesRead += toRead[i].size;
        }
        if (control.progress) {
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            const double left = bytesRead > 0 ? elapsed * double(bytesToRead - bytesRead) /
                                                    double(bytesRead)
                                              : 0.0;
            control.progress({end, toRead.size(), left});
        }
    }
    return report;
}

void IndexScanner::WriteBatch(const std::vector<FoundBank>& banks, size_t begin, size_t end) {
    std::vector<BankRecord> records;
    records.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
        records.push_back(banks[i].problem.empty() ? BankReader::Read(banks[i].path)
                                                   : BankRecord{banks[i].problem, {}});
    }
    SqliteTransaction transaction(m_Db);
    SqliteStatement upsert(m_Db.Handle(),
                           "INSERT INTO bank (path, size, mtime_ns, problem, folded_names)"
                           " VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT (path) DO UPDATE SET"
                           " size = excluded.size, mtime_ns = excluded.mtime_ns,"
                           " problem = excluded.problem, folded_names = excluded.folded_names"
                           " RETURNING id");
    SqliteStatement clear(m_Db.Handle(), "DELETE FROM voice WHERE bank = ?1");
    SqliteStatement insert(m_Db.Handle(),
                           "INSERT INTO voice (bank, slot, code, name, fingerprint)"
                           " VALUES (?1, ?2, ?3, ?4, ?5)");
    for (size_t i = begin; i < end; ++i) {
        const FoundBank& bank = banks[i];
        const BankRecord& record = records[i - begin];
        upsert.BindBlob(1, bank.path).Bind(2, bank.size).Bind(3, bank.mtimeNs);
        if (record.problem.empty()) {
            upsert.BindNull(4).BindBlob(5, NameMatcher::FoldNames(record.voices));
        } else {
            upsert.BindText(4, record.problem).BindNull(5);
        }
        upsert.Step();
        const int64_t id = upsert.Int(0);
        upsert.Reset();
        clear.Bind(1, id).Run();
        for (const IndexedVoice& voice : record.voices) {
            insert.Bind(1, id).Bind(2, voice.slot).BindText(3, voice.code).BindBlob(4, voice.name);
            insert.Bind(5, static_cast<int64_t>(voice.fingerprint)).Run();
        }
    }
    transaction.Commit();
}

void IndexScanner::Remove(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    SqliteTransaction transaction(m_Db);
    SqliteStatement voices(m_Db.Handle(),
                           "DELETE FROM voice WHERE bank = (SELECT id FROM bank WHERE path = ?1)");
    SqliteStatement bank(m_Db.Handle(), "DELETE FROM bank WHERE path = ?1");
    for (const std::string& path : paths) {
        voices.BindBlob(1, path).Run();
        bank.BindBlob(1, path).Run();
    }
    transaction.Commit();
}
