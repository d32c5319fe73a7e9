#pragma once

#include <string>

struct sqlite3;

// One connection to an SQLite database file, through SQLite's C interface.
class SqliteDatabase {
public:
    // Opens the file for reading and writing, creating it when missing. Another connection
    // holding a lock is waited for up to busyMs.
    SqliteDatabase(const std::string& path, int busyMs);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Runs statements that return no rows we need.
    void Exec(const std::string& sql);
    // The first column of the first row of a query that gives one number.
    long long QueryInt(const char* sql);

    sqlite3* Handle() const { return m_Db; }

private:
    sqlite3* m_Db = nullptr;
};
