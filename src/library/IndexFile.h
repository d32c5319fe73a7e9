#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class SqliteDatabase;

// The index's database file: where it lives, its tables, and what happens to a file that is
// damaged or is not such an index.
class IndexFile {
public:
    static constexpr int kApplicationId = 0x534E5649;
    static constexpr int kSchemaVersion = 1;
    // Another program scanning holds the write lock for one batch of banks at a time.
    static constexpr int kBusyMs = 60000;

    // $XDG_CACHE_HOME/Sonavist/voices.sqlite, else ~/.cache/Sonavist/voices.sqlite.
    static std::filesystem::path DefaultPath();

    // The index, ready for use: its folder and tables made as needed, in WAL mode. A file that
    // is damaged or holds something else is first renamed aside (never deleted); its new name
    // is added to setAside.
    static std::unique_ptr<SqliteDatabase> Open(const std::filesystem::path& path,
                                                std::vector<std::string>& setAside);

    // Renames the file and its -wal and -shm companions to "<path>.broken-N" with the first N
    // not taken; gives the new name.
    static std::string SetAside(const std::filesystem::path& path);

private:
    enum class Kind { Empty, Index, Foreign };
    static Kind KindOf(SqliteDatabase& db);
    // False when the file holds something other than this version's index.
    static bool Prepare(SqliteDatabase& db);
};
