#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement. Parameters and columns count from 1 and 0, as in SQLite.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& Bind(int index, int64_t value);
    SqliteStatement& BindBlob(int index, std::string_view bytes);
    SqliteStatement& BindText(int index, std::string_view text);
    SqliteStatement& BindNull(int index);

    // True while a row is there to read; false once the statement is done.
    bool Step();
    // Ready to run again, with its bindings cleared.
    void Reset();
    // Runs a statement that returns no rows.
    void Run();

    int64_t Int(int column) const;
    bool IsNull(int column) const;
    // Valid until the next Step or Reset.
    std::string_view Bytes(int column) const;

private:
    void Check(int result) const;

    sqlite3* m_Db;
    sqlite3_stmt* m_Statement = nullptr;
};
