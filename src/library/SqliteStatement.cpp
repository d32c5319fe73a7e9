#include "library/SqliteStatement.h"

#include <sqlite3.h>

#include "library/SqliteError.h"

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) : m_Db(db) {
    Check(sqlite3_prepare_v2(db, sql, -1, &m_Statement, nullptr));
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_Statement);
}

void SqliteStatement::Check(int result) const {
    if (result != SQLITE_OK) {
        throw SqliteError(sqlite3_errmsg(m_Db), result & 0xFF);
    }
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
    Check(sqlite3_bind_int64(m_Statement, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::string_view bytes) {
    // A zero-length blob must still be a blob, not NULL.
    Check(sqlite3_bind_blob64(m_Statement, index, bytes.empty() ? "" : bytes.data(), bytes.size(),
                              SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::BindText(int index, std::string_view text) {
    Check(sqlite3_bind_text64(m_Statement, index, text.data(), text.size(), SQLITE_TRANSIENT,
                              SQLITE_UTF8));
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
    Check(sqlite3_bind_null(m_Statement, index));
    return *this;
}

bool SqliteStatement::Step() {
    const int result = sqlite3_step(m_Statement);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result == SQLITE_DONE) {
        return false;
    }
    const int code = sqlite3_reset(m_Statement);
    throw SqliteError(sqlite3_errmsg(m_Db), (code != SQLITE_OK ? code : result) & 0xFF);
}

void SqliteStatement::Reset() {
    sqlite3_reset(m_Statement);
    sqlite3_clear_bindings(m_Statement);
}

void SqliteStatement::Run() {
    while (Step()) {
    }
    Reset();
}

int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(m_Statement, column);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(m_Statement, column) == SQLITE_NULL;
}

std::string_view SqliteStatement::Bytes(int column) const {
    const void* data = sqlite3_column_blob(m_Statement, column);
    const int size = sqlite3_column_bytes(m_Statement, column);
    return data ? std::string_view(static_cast<const char*>(data), static_cast<size_t>(size))
                : std::string_view();
}
