#include "library/IndexFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "library/SqliteDatabase.h"
#include "library/SqliteError.h"
#include "library/SqliteTransaction.h"
#include "platform/HomeFolder.h"

namespace {

// One row a bank; its voices in fixed-width columns (BankColumns), and the view "voice" showing
// them one row a voice for anyone reading the file with the sqlite3 shell. "folded" comes first
// so that a search reads it from the row's first page without the overflow pages behind it.
constexpr const char* kSchema = R"(
CREATE TABLE bank (
    id INTEGER PRIMARY KEY,
    path BLOB NOT NULL UNIQUE,
    size INTEGER NOT NULL,
    mtime_ns INTEGER NOT NULL,
    problem TEXT,
    folded BLOB,
    codes BLOB,
    names BLOB,
    fingerprints BLOB
);
CREATE VIEW voice (path, slot, code, name, fingerprint) AS
    WITH RECURSIVE slots (slot) AS (SELECT 0 UNION ALL SELECT slot + 1 FROM slots WHERE slot < 255)
    SELECT path, slot, substr(codes, slot * 2 + 1, 2), rtrim(substr(names, slot * 13 + 1, 12), x'00'),
           hex(substr(fingerprints, slot * 8 + 1, 8))
    FROM bank JOIN slots WHERE problem IS NULL;
)";

constexpr int kAttempts = 3;

// The file's identity, so that a file another program already replaced is not set aside.
ino_t Inode(const std::filesystem::path& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

std::filesystem::path IndexFile::DefaultPath() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::filesystem::path base = cache && *cache == '/'
                                           ? std::filesystem::path(cache)
                                           : std::filesystem::path(HomeFolder()) / ".cache";
    return base / "Sonavist" / "voices.sqlite";
}

std::unique_ptr<SqliteDatabase> IndexFile::Open(const std::filesystem::path& path,
                                                std::vector<std::string>& setAside) {
    std::filesystem::create_directories(path.parent_path());
    for (int attempt = 1;; ++attempt) {
        const ino_t inode = Inode(path);
        try {
            auto db = std::make_unique<SqliteDatabase>(path.string(), kBusyMs);
            if (Prepare(*db)) {
                return db;
            }
            if (attempt == kAttempts) {
                throw SqliteError(path.string() + " is no voice index", 0);
            }
        } catch (const SqliteError& error) {
            if (!error.IsDamagedFile() || attempt == kAttempts) {
                throw;
            }
        }
        if (Inode(path) == inode) {
            setAside.push_back(SetAside(path));
        }
    }
}

IndexFile::Kind IndexFile::KindOf(SqliteDatabase& db) {
    const long long application = db.QueryInt("PRAGMA application_id");
    const long long version = db.QueryInt("PRAGMA user_version");
    const long long objects = db.QueryInt("SELECT count(*) FROM sqlite_master");
    if (application == 0 && version == 0 && objects == 0) {
        return Kind::Empty;
    }
    return application == kApplicationId && version == kSchemaVersion ? Kind::Index : Kind::Foreign;
}

bool IndexFile::Prepare(SqliteDatabase& db) {
    // Looked at before anything is written: a file of someone else's is set aside untouched.
    if (KindOf(db) == Kind::Foreign) {
        return false;
    }
    // A search reads the whole table: mapped, its pages cost no copy through the kernel; a bank's
    // row (9.4 kB) fits one page, so it is read where it lies rather than gathered from overflow
    // pages. The page size holds only for a new file.
    db.Exec(
        "PRAGMA page_size=16384; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
        " PRAGMA mmap_size=1073741824; PRAGMA cache_size=-65536");
    SqliteTransaction transaction(db);
    // Another program may have made the tables in the meantime.
    const Kind kind = KindOf(db);
    if (kind == Kind::Empty) {
        db.Exec(kSchema);
        db.Exec("PRAGMA application_id=" + std::to_string(kApplicationId) +
                "; PRAGMA user_version=" + std::to_string(kSchemaVersion));
    }
    transaction.Commit();
    return kind != Kind::Foreign;
}

std::string IndexFile::SetAside(const std::filesystem::path& path) {
    for (int n = 1;; ++n) {
        const std::string target = path.string() + ".broken-" + std::to_string(n);
        // Never over another set-aside file, even one a second program is making right now.
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            for (const char* companion : {"-wal", "-shm"}) {
                const std::string from = path.string() + companion;
                renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, (target + companion).c_str(),
                          RENAME_NOREPLACE);
            }
            return target;
        }
        if (errno != EEXIST) {
            throw SqliteError("cannot set " + path.string() + " aside: " + std::strerror(errno), 0);
        }
    }
}
