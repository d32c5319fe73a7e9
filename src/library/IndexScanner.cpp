#include "library/IndexScanner.h"

#include <chrono>
#include <unordered_map>

#include "library/BankColumns.h"
#include "library/BankReader.h"
#include "library/FolderScope.h"
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
            known[std::string(select.Bytes(0))] = {select.Int(1), select.Int(2),
                                                   select.Int(3) != 0};
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
        const Known was = it->second;  // the erase below frees the entry
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
        const std::vector<FoundBank> batch(toRead.begin() + static_cast<ptrdiff_t>(begin),
                                           toRead.begin() + static_cast<ptrdiff_t>(end));
        Store(batch, Read(batch));
        report.read = end;
        for (size_t i = begin; i < end; ++i) {
            bytesRead += toRead[i].size;
        }
        if (control.progress) {
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            const double left =
                bytesRead > 0 ? elapsed * double(bytesToRead - bytesRead) / double(bytesRead) : 0.0;
            control.progress({end, toRead.size(), left});
        }
    }
    return report;
}

std::vector<BankRecord> IndexScanner::Read(const std::vector<FoundBank>& banks) {
    std::vector<BankRecord> records;
    records.reserve(banks.size());
    for (const FoundBank& bank : banks) {
        records.push_back(bank.problem.empty() ? BankReader::Read(bank.path)
                                               : BankRecord{bank.problem, {}});
    }
    return records;
}

void IndexScanner::Store(const std::vector<FoundBank>& banks,
                         const std::vector<BankRecord>& records) {
    SqliteTransaction transaction(m_Db);
    SqliteStatement store(m_Db.Handle(),
                          "INSERT OR REPLACE INTO bank (path, size, mtime_ns, problem, folded,"
                          " codes, names, fingerprints) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    for (size_t i = 0; i < banks.size(); ++i) {
        const FoundBank& bank = banks[i];
        const BankRecord& record = records[i];
        store.BindBlob(1, bank.path).Bind(2, bank.size).Bind(3, bank.mtimeNs);
        if (record.problem.empty()) {
            const std::array<std::string, 4> columns = BankColumns::Pack(record.voices);
            store.BindNull(4);
            for (int column = 0; column < 4; ++column) {
                store.BindBlob(5 + column, columns[static_cast<size_t>(column)]);
            }
        } else {
            store.BindText(4, record.problem);
        }
        store.Run();
    }
    transaction.Commit();
}

void IndexScanner::Remove(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    SqliteTransaction transaction(m_Db);
    SqliteStatement remove(m_Db.Handle(), "DELETE FROM bank WHERE path = ?1");
    for (const std::string& path : paths) {
        remove.BindBlob(1, path).Run();
    }
    transaction.Commit();
}
