#include "library/SqliteDatabase.h"

#include <sqlite3.h>

#include "library/SqliteError.h"
#include "library/SqliteStatement.h"

SqliteDatabase::SqliteDatabase(const std::string& path, int busyMs) {
    const int result =
        sqlite3_open_v2(path.c_str(), &m_Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (result != SQLITE_OK) {
        const std::string message = m_Db ? sqlite3_errmsg(m_Db) : sqlite3_errstr(result);
        sqlite3_close(m_Db);
        throw SqliteError(message, result & 0xFF);
    }
    sqlite3_busy_timeout(m_Db, busyMs);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close(m_Db);
}

void SqliteDatabase::Exec(const std::string& sql) {
    char* error = nullptr;
    const int result = sqlite3_exec(m_Db, sql.c_str(), nullptr, nullptr, &error);
    if (result != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errstr(result);
        sqlite3_free(error);
        throw SqliteError(message, result & 0xFF);
    }
}

long long SqliteDatabase::QueryInt(const char* sql) {
    SqliteStatement statement(m_Db, sql);
    return statement.Step() ? statement.Int(0) : 0;
}
