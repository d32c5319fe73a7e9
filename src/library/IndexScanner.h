#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "library/BankReader.h"
#include "library/FolderWalk.h"

class SqliteDatabase;

struct ScanProgress {
    size_t banksRead = 0;
    size_t banksToRead = 0;
    double secondsLeft = 0;  // estimated from the bytes read so far
};

// How a scan reports and is stopped; both optional.
struct ScanControl {
    std::function<void(const ScanProgress&)> progress;
    const std::atomic<bool>* cancel = nullptr;
};

struct ScanReport {
    size_t read = 0;
    size_t unchanged = 0;
    size_t removed = 0;
    bool cancelled = false;
    std::vector<ScanProblem> folderProblems;
};

// Brings the index up to date for folders: new and changed banks are read, unchanged ones (same
// path, size and modification time) are not, vanished ones leave. Banks are read without a lock
// and written in batches, so two programs scanning at once take turns only briefly.
class IndexScanner {
public:
    static constexpr size_t kBatch = 64;

    explicit IndexScanner(SqliteDatabase& db) : m_Db(db) {}

    ScanReport Update(const std::vector<std::string>& folders, const ScanControl& control);

    // Writes what reading banks gave, replacing what the index held for them, in one transaction.
    void Store(const std::vector<FoundBank>& banks, const std::vector<BankRecord>& records);
    static std::vector<BankRecord> Read(const std::vector<FoundBank>& banks);

private:
    struct Known {
        int64_t size;
        int64_t mtimeNs;
        bool readable;
    };

    void Remove(const std::vector<std::string>& paths);

    SqliteDatabase& m_Db;
};
